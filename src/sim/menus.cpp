// Menu entries as the radio steps them with UP / DN, and the front-panel switch taps the
// program sends (SWT): XFIL (29) steps the crystal filter entries to the next slot, SUB (48)
// points them at the sub receiver's filters.
#include "sim/k3simulator.h"
#include "sim/menutable.h"

namespace corvane::sim {

namespace {
constexpr int kSwitchXfil = 29;
constexpr int kSwitchSub = 48;
constexpr int kBandwidthStepHz = 50;
constexpr int kOffsetStepHz = 10;
constexpr int kMaxLossCompDb = 9;

bool isFilterEntry(int entry) {
    return entry >= 38 && entry <= 41;
}
}  // namespace

QStringList K3Simulator::menuChoices(int entry) const {
    QStringList out;
    const MenuEntry *e = MenuTable::instance().entry(entry);
    if (!e) return out;
    if (isFilterEntry(entry)) {
        out << QString::fromLatin1(filterEntryDisplay(entry));
        return out;
    }
    for (const QString &v : e->values) out << QString::fromLatin1(MenuTable::encode(v, e->plain));
    return out;
}

int K3Simulator::menuIndex(int entry) const {
    const MenuEntry *e = MenuTable::instance().entry(entry);
    if (!e || e->values.empty()) return 0;
    const auto it = m_state.menuValueIndex.find(entry);
    const int index = it == m_state.menuValueIndex.end() ? e->defaultIndex : it->second;
    return qBound(0, index, int(e->values.size()) - 1);
}

std::array<CrystalFilter, 5> &K3Simulator::menuFilters() {
    return m_state.menuOnSub ? m_state.subFilters : m_state.mainFilters;
}

const std::array<CrystalFilter, 5> &K3Simulator::menuFilters() const {
    return m_state.menuOnSub ? m_state.subFilters : m_state.mainFilters;
}

void K3Simulator::stepMenu(int entry, int direction) {
    K3State &s = m_state;
    const MenuEntry *e = MenuTable::instance().entry(entry);
    if (!e) return;
    if (isFilterEntry(entry)) {
        CrystalFilter &f = menuFilters()[size_t(qBound(0, s.menuSlot, 4))];
        switch (entry) {
            case 38:
                f.bandwidthHz =
                    qBound(kBandwidthStepHz, f.bandwidthHz + direction * kBandwidthStepHz, 9990);
                break;
            case 39:
                f.offsetHz = qBound(-9990, f.offsetHz + direction * kOffsetStepHz, 9990);
                break;
            case 40:
                f.lossCompDb = qBound(0, f.lossCompDb + direction, kMaxLossCompDb);
                break;
            default: {
                const size_t mode = size_t(qBound(0, s.mode, 9));
                f.rxEnabled[mode] = !f.rxEnabled[mode];
                break;
            }
        }
        // A new width makes the radio pick the slot in use afresh; a receive flag only when
        // the slot in use is no longer enabled for the mode (enabling another slot leaves the
        // mode's filter as it is).
        if (s.menuOnSub) return;
        const bool inUseDisabled = !s.mainFilters[size_t(qBound(0, s.selectedSlot, 4))]
                                        .rxEnabled[size_t(qBound(0, s.mode, 9))];
        if (entry == 38 || (entry == 41 && inUseDisabled)) selectFilterForBandwidth();
        return;
    }
    const int count = int(e->values.size());
    auto stepped = [&](int index) { return ((index + direction) % count + count) % count; };
    switch (entry) {
        case 14: {
            int index = 0;
            for (int i = 0; i < count; ++i)
                if (e->values[size_t(i)].toInt() <= s.afvTimeMs) index = i;
            s.afvTimeMs = e->values[size_t(stepped(index))].toInt();
            return;
        }
        case 15:
            if (menuIndex(53) == int(MenuTable::instance().entry(53)->values.size()) - 1) return;
            break;
        case 23: {
            const int index = !s.kat3Installed ? 0 : (s.kat3Bypassed ? 1 : 2);
            const int next = stepped(index);
            s.kat3Installed = next != 0;
            s.kat3Bypassed = next == 1;
            return;
        }
        case 26:
        case 28:
            return;
        case 72:
            s.techMode = !s.techMode;
            return;
        default:
            break;
    }
    s.menuValueIndex[entry] = stepped(menuIndex(entry));
}

void K3Simulator::tapSwitch(int code) {
    K3State &s = m_state;
    const bool inFilterEntry = isFilterEntry(s.openMenuEntry);
    if (code == kSwitchXfil) {
        const auto &filters = inFilterEntry ? menuFilters() : s.mainFilters;
        const int from = inFilterEntry ? s.menuSlot : s.selectedSlot;
        const size_t mode = size_t(qBound(0, s.mode, 9));
        for (int i = 1; i <= 5; ++i) {
            const int slot = (qBound(0, from, 4) + i) % 5;
            const CrystalFilter &f = filters[size_t(slot)];
            if (!f.installed) continue;
            if (inFilterEntry) {
                s.menuSlot = slot;
                return;
            }
            // Outside the menu XFIL steps through the slots enabled for the mode.
            if (f.rxEnabled[mode]) {
                s.selectedSlot = slot;
                return;
            }
        }
        return;
    }
    if (code == kSwitchSub) {
        if (inFilterEntry)
            s.menuOnSub = true;
        else
            s.subOn = !s.subOn;
    }
    // Other switches change nothing simulated here: among them 11, which the sub-receiver's
    // filter readout taps once with entry 038 open before its passes (each pass opens its
    // entries and taps SUB itself, so the passes read the same whatever 11 does), and DISP,
    // the display and meter keys.
}

}  // namespace corvane::sim
