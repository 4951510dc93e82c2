// The per-mode memories of both receivers (MD, MD$), and the whole radio state as lines a
// test compares before and after a procedure.
#include "sim/k3simulator.h"
#include "sim/menutable.h"

namespace corvane::sim {

namespace {

constexpr int kModes[] = {1, 2, 3, 4, 5, 6};

// Seeded memories: every mode's differs from every other's (AGC, width and filter together),
// and none is the defaults' slow AGC with the filter the width alone would pick.
struct Seed {
    ModeMemory main;
    ModeMemory sub;
};
const Seed kSeeds[] = {
    {{true, 2, 2400, 1}, {true, 4, 2300, 0}},   // LSB: FL2; sub FL1
    {{true, 4, 2600, 0}, {true, 4, 2500, 1}},   // USB: FL1; sub FL2
    {{true, 2, 500, 3}, {true, 4, 400, 4}},     // CW: fast AGC, FL4; sub FL5
    {{false, 4, 3000, 1}, {true, 4, 2900, 0}},  // FM: AGC off, FL2; sub FL1
    {{false, 2, 5000, 0}, {true, 4, 4500, 1}},  // AM: AGC off, FL1; sub FL2
    {{false, 4, 1000, 4}, {true, 4, 600, 3}},   // DATA: AGC off, FL5; sub FL4
};

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

int memoryOfMode(int mode) {
    const int m = qBound(0, mode, 9);
    if (m == 7) return 3;  // CW-REV
    if (m == 9) return 6;  // DATA-REV
    return m;
}

namespace {

// The remembered slot when it can still be used in the mode, else the one the width picks,
// else the present one.
int recalledSlot(const std::array<CrystalFilter, 5> &filters, int mode, const ModeMemory &m,
                 int present) {
    const int slot = qBound(0, m.slot, 4);
    const CrystalFilter &f = filters[size_t(slot)];
    if (f.installed && f.rxEnabled[size_t(qBound(0, mode, 9))]) return slot;
    const int picked = K3Simulator::pickSlot(filters, mode, m.bandwidthHz);
    return picked >= 0 ? picked : present;
}

}  // namespace

void K3Simulator::setMode(int mode) {
    K3State &s = m_state;
    if (mode == s.mode) return;
    s.mainMemories[size_t(memoryOfMode(s.mode))] =
        ModeMemory{s.agcOn, s.agcTimeConstant, s.dspBandwidthHz, s.selectedSlot};
    s.mode = mode;
    const ModeMemory &m = s.mainMemories[size_t(memoryOfMode(mode))];
    s.agcOn = m.agcOn;
    s.agcTimeConstant = m.agcTimeConstant;
    s.dspBandwidthHz = m.bandwidthHz;
    s.selectedSlot = recalledSlot(s.mainFilters, mode, m, s.selectedSlot);
}

void K3Simulator::setSubMode(int mode) {
    K3State &s = m_state;
    if (mode == s.subMode) return;
    ModeMemory &from = s.subMemories[size_t(memoryOfMode(s.subMode))];
    from.bandwidthHz = s.subBandwidthHz;
    from.slot = s.subSelectedSlot;
    s.subMode = mode;
    const ModeMemory &m = s.subMemories[size_t(memoryOfMode(mode))];
    s.subBandwidthHz = m.bandwidthHz;
    s.subSelectedSlot = recalledSlot(s.subFilters, mode, m, s.subSelectedSlot);
}

ModeMemory K3Simulator::mainMemory(int mode) const {
    const K3State &s = m_state;
    if (memoryOfMode(mode) == memoryOfMode(s.mode))
        return {s.agcOn, s.agcTimeConstant, s.dspBandwidthHz, s.selectedSlot};
    return s.mainMemories[size_t(memoryOfMode(mode))];
}

ModeMemory K3Simulator::subMemory(int mode) const {
    const K3State &s = m_state;
    ModeMemory m = s.subMemories[size_t(memoryOfMode(mode))];
    if (memoryOfMode(mode) == memoryOfMode(s.subMode)) {
        m.bandwidthHz = s.subBandwidthHz;
        m.slot = s.subSelectedSlot;
    }
    return m;
}

void K3Simulator::seedDistinctModeMemories() {
    K3State &s = m_state;
    for (size_t i = 0; i < std::size(kSeeds); ++i) {
        s.mainMemories[size_t(kModes[i])] = kSeeds[i].main;
        s.subMemories[size_t(kModes[i])] = kSeeds[i].sub;
    }
    const ModeMemory &m = s.mainMemories[size_t(memoryOfMode(s.mode))];
    s.agcOn = m.agcOn;
    s.agcTimeConstant = m.agcTimeConstant;
    s.dspBandwidthHz = m.bandwidthHz;
    s.selectedSlot = m.slot;
    const ModeMemory &sub = s.subMemories[size_t(memoryOfMode(s.subMode))];
    s.subBandwidthHz = sub.bandwidthHz;
    s.subSelectedSlot = sub.slot;
}

QStringList K3Simulator::stateLines() const {
    const K3State &s = m_state;
    QStringList out;
    const auto add = [&out](const QString &name, const QString &value) {
        out << name + u'=' + value;
    };
    add(QStringLiteral("vfo a"), QString::number(s.vfoAHz));
    add(QStringLiteral("vfo b"), QString::number(s.vfoBHz));
    add(QStringLiteral("mode"), QString::number(s.mode));
    add(QStringLiteral("sub mode"), QString::number(s.subMode));
    add(QStringLiteral("rf gain"), QString::number(s.rfGain));
    add(QStringLiteral("af gain"), QString::number(s.afGain));
    add(QStringLiteral("sub rf gain"), QString::number(s.subRfGain));
    add(QStringLiteral("sub af gain"), QString::number(s.subAfGain));
    add(QStringLiteral("attenuator"), flag(s.attenuator));
    add(QStringLiteral("preamp"), flag(s.preamp));
    add(QStringLiteral("sub attenuator"), flag(s.subAttenuator));
    add(QStringLiteral("sub preamp"), flag(s.subPreamp));
    add(QStringLiteral("sub on"), flag(s.subOn));
    add(QStringLiteral("diversity"), flag(s.diversity));
    add(QStringLiteral("power"), QString::number(s.powerWatts));
    for (const int mode : kModes) {
        const ModeMemory m = mainMemory(mode);
        const ModeMemory sub = subMemory(mode);
        add(QStringLiteral("md%1 agc").arg(mode),
            QStringLiteral("%1/%2").arg(flag(m.agcOn)).arg(m.agcTimeConstant));
        add(QStringLiteral("md%1 width").arg(mode), QString::number(m.bandwidthHz));
        add(QStringLiteral("md%1 filter").arg(mode), QStringLiteral("FL%1").arg(m.slot + 1));
        add(QStringLiteral("md%1 sub width").arg(mode), QString::number(sub.bandwidthHz));
        add(QStringLiteral("md%1 sub filter").arg(mode), QStringLiteral("FL%1").arg(sub.slot + 1));
    }
    for (int r = 0; r < 2; ++r) {
        const auto &filters = r == 0 ? s.mainFilters : s.subFilters;
        for (int slot = 0; slot < 5; ++slot) {
            const CrystalFilter &f = filters[size_t(slot)];
            QString enabled;
            for (int mode = 1; mode <= 9; ++mode)
                enabled += f.rxEnabled[size_t(mode)] ? u'Y' : u'-';
            add(QStringLiteral("%1FL%2")
                    .arg(r == 0 ? QString() : QStringLiteral("sub "))
                    .arg(slot + 1),
                QStringLiteral("%1 %2 %3 %4 rx %5")
                    .arg(flag(f.installed))
                    .arg(f.bandwidthHz)
                    .arg(f.offsetHz)
                    .arg(f.lossCompDb)
                    .arg(enabled));
        }
    }
    for (int entry = 0; entry <= 115; ++entry) {
        if (entry >= 38 && entry <= 41) continue;  // the filter slots above
        if (!MenuTable::instance().entry(entry)) continue;
        add(QStringLiteral("menu %1").arg(entry, 3, 10, QChar(u'0')),
            QString::fromLatin1(menuValueDisplay(entry)));
    }
    add(QStringLiteral("open menu"), QString::number(s.openMenuEntry));
    add(QStringLiteral("vfo b readout"), QString::number(int(s.vfoBReadout)));
    add(QStringLiteral("auto info"), QString::number(s.autoInfo));
    add(QStringLiteral("k2 k3"), QStringLiteral("%1 %2").arg(s.k2Mode).arg(s.k3Mode));
    add(QStringLiteral("split rit xit"),
        flag(s.split) + flag(s.ritOn) + flag(s.xitOn) + u' ' + QString::number(s.ritOffsetHz));
    add(QStringLiteral("transmitting"), flag(s.transmitting));
    add(QStringLiteral("data sub-mode"), QString::number(s.dataSubMode));
    add(QStringLiteral("squelch mic nb nr"), QStringLiteral("%1 %2 %3 %4")
                                                 .arg(s.squelch)
                                                 .arg(s.micGain)
                                                 .arg(s.noiseBlanker)
                                                 .arg(s.noiseReduction));
    add(QStringLiteral("keyer lock antenna band"), QStringLiteral("%1 %2 %3 %4")
                                                       .arg(s.cwSpeedWpm)
                                                       .arg(flag(s.locked))
                                                       .arg(s.antenna)
                                                       .arg(s.band));
    return out;
}

}  // namespace corvane::sim
