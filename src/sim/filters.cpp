// Crystal filter slots: the sets a typical radio is fitted with, and how the radio picks the
// slot in use from the mode and the DSP bandwidth.
#include "sim/k3simulator.h"

namespace corvane::sim {

namespace {

enum Mode { LSB = 1, USB = 2, CW = 3, FM = 4, AM = 5, DATA = 6, CWREV = 7, DATAREV = 9 };

CrystalFilter makeFilter(int bandwidthHz, int offsetHz, int lossCompDb, int poles, double w6,
                         double w60, bool wide) {
    CrystalFilter f;
    f.installed = true;
    f.bandwidthHz = bandwidthHz;
    f.offsetHz = offsetHz;
    f.actualOffsetHz = offsetHz;
    f.lossCompDb = lossCompDb;
    f.nominalBandwidthHz = bandwidthHz;
    // The loss compensation of a typical radio is set to the filter's real loss.
    f.lossDb = lossCompDb;
    f.poles = poles;
    f.width6dBHz = w6;
    f.width60dBHz = w60;
    // Voice modes use the wide filters, CW and data the narrow ones.
    static constexpr std::array<int, 4> kVoice{LSB, USB, FM, AM};
    static constexpr std::array<int, 4> kNarrow{CW, DATA, CWREV, DATAREV};
    for (int m : wide ? kVoice : kNarrow) f.rxEnabled[size_t(m)] = true;
    return f;
}

}  // namespace

std::array<CrystalFilter, 5> defaultMainFilters() {
    // Widths at -6 / -60 dB as published for these filters; the 400 Hz 8-pole has a shape
    // factor of about 2.1.
    std::array<CrystalFilter, 5> filters{
        makeFilter(2800, 0, 0, 8, 2890, 4620, true), makeFilter(2700, -910, 0, 5, 2910, 8330, true),
        makeFilter(400, 0, 2, 8, 400, 840, false), makeFilter(250, 0, 4, 8, 370, 780, false),
        makeFilter(200, 0, 4, 5, 225, 900, false)};
    // The 250 Hz filter really sits 150 Hz above where its FLx FRQ of 0.00 says: a mis-set
    // offset for a filter survey to find.
    filters[3].actualOffsetHz = 150;
    return filters;
}

std::array<CrystalFilter, 5> defaultSubFilters() {
    std::array<CrystalFilter, 5> filters{
        makeFilter(2800, 0, 0, 8, 2890, 4620, true), makeFilter(2100, 0, 0, 8, 2150, 3500, true),
        makeFilter(500, 0, 2, 8, 500, 1050, false), makeFilter(250, 0, 4, 8, 370, 780, false),
        makeFilter(200, 0, 4, 5, 225, 900, false)};
    // The sub-receiver's 250 Hz filter sits 120 Hz below its FLx FRQ setting.
    filters[3].actualOffsetHz = -120;
    return filters;
}

const CrystalFilter &K3Simulator::filterInUse() const {
    const int slot = qBound(0, m_state.selectedSlot, 4);
    return m_state.mainFilters[size_t(slot)];
}

const CrystalFilter &K3Simulator::subFilterInUse() const {
    const int slot = qBound(0, m_state.subSelectedSlot, 4);
    return m_state.subFilters[size_t(slot)];
}

int K3Simulator::pickSlot(const std::array<CrystalFilter, 5> &filters, int mode, int widthHz) {
    const size_t m = size_t(qBound(0, mode, 9));
    int narrowest = -1;
    int widest = -1;
    for (int slot = 0; slot < 5; ++slot) {
        const CrystalFilter &f = filters[size_t(slot)];
        if (!f.installed || !f.rxEnabled[m]) continue;
        if (widest < 0 || f.bandwidthHz > filters[size_t(widest)].bandwidthHz) widest = slot;
        if (f.bandwidthHz >= widthHz &&
            (narrowest < 0 || f.bandwidthHz < filters[size_t(narrowest)].bandwidthHz))
            narrowest = slot;
    }
    return narrowest >= 0 ? narrowest : widest;
}

void K3Simulator::selectFilterForBandwidth() {
    // No slot enabled for the mode: the radio keeps the one it has.
    const int slot = pickSlot(m_state.mainFilters, m_state.mode, m_state.dspBandwidthHz);
    if (slot >= 0) m_state.selectedSlot = slot;
}

}  // namespace corvane::sim
