// The simulator's serial side: cutting writes into commands, queueing answers with the reply
// latency, and the faults a real line shows. The commands themselves are in commands.cpp,
// the displays in display.cpp, the menus in menus.cpp and the measurement physics in
// physics.cpp.
#include "sim/k3simulator.h"

#include <algorithm>

namespace corvane::sim {

namespace {
// A command longer than this without its ";" is line noise; the radio's buffer drops it.
constexpr int kMaxCommandLength = 256;
// Unsolicited reports caught up in one read at most (a slow reader sees the newest ones).
constexpr int kMaxCatchUpReports = 256;
}  // namespace

K3Simulator::K3Simulator(quint32 seed) : m_rng(seed) {
    m_state.mainFilters = defaultMainFilters();
    m_state.subFilters = defaultSubFilters();
    // The DSP passband each mode starts with, AGC slow and on in every mode, and the filter
    // the width picks; the sub receiver starts on FL2.
    static constexpr std::array<int, 10> kWidthHz{2700, 2700, 2700, 500,  2800,
                                                  4000, 2800, 500,  2700, 2800};
    for (int mode = 0; mode < 10; ++mode) {
        ModeMemory &m = m_state.mainMemories[size_t(mode)];
        m.bandwidthHz = kWidthHz[size_t(mode)];
        m.slot = qMax(0, pickSlot(m_state.mainFilters, mode, m.bandwidthHz));
        ModeMemory &sub = m_state.subMemories[size_t(mode)];
        sub.bandwidthHz = kWidthHz[size_t(mode)];
        sub.slot = qMax(0, pickSlot(m_state.subFilters, mode, sub.bandwidthHz));
    }
    m_state.subMemories[size_t(m_state.subMode)].slot = m_state.subSelectedSlot;
    const ModeMemory &m = m_state.mainMemories[size_t(memoryOfMode(m_state.mode))];
    m_state.dspBandwidthHz = m.bandwidthHz;
    m_state.selectedSlot = m.slot;
    trackLevel(0, 0);
}

K3Simulator::~K3Simulator() = default;

void K3Simulator::receive(const QByteArray &bytes, qint64 nowMs) {
    if (m_faults.vanished) return;
    noticeHandChanges(nowMs);
    m_lastSeenMs = nowMs;

    for (const char byte : bytes) {
        if (byte != ';') {
            if (m_partial.size() >= kMaxCommandLength) m_partial.clear();
            m_partial += byte;
            continue;
        }
        QByteArray command = m_partial;
        m_partial.clear();
        // Line ends and blanks between commands are not part of them.
        int start = 0;
        while (start < command.size() && uchar(command[start]) <= ' ') ++start;
        command.remove(0, start);
        if (command.isEmpty()) continue;
        execute(QString::fromLatin1(command), nowMs);
        trackLevel(nowMs, nowMs);
    }
}

QByteArray K3Simulator::takeOutput(qint64 nowMs) {
    if (m_faults.vanished) return {};
    noticeHandChanges(nowMs);
    m_lastSeenMs = std::max(m_lastSeenMs, nowMs);
    queueUnsolicitedReports(nowMs);
    QByteArray out;
    while (!m_output.empty() && m_output.front().first <= nowMs) {
        out += m_output.front().second;
        m_output.pop_front();
    }
    return out;
}

qint64 K3Simulator::nextOutputTime() const {
    qint64 next = m_output.empty() ? -1 : m_output.front().first;
    if (m_faults.unsolicitedIfEveryMs > 0 && !m_faults.silent && !m_faults.vanished) {
        const qint64 report = m_lastIfReportMs + m_faults.unsolicitedIfEveryMs;
        if (next < 0 || report < next) next = report;
    }
    return next;
}

void K3Simulator::answer(const QByteArray &text, qint64 nowMs) {
    if (m_faults.silent || m_faults.vanished) return;
    qint64 due = nowMs + std::max(0, m_latencyMs) + std::max(0, m_faults.lateMs);
    // One serial line: an answer never overtakes the one before it.
    if (!m_output.empty()) due = std::max(due, m_output.back().first);
    queueOutput(due, damage(text));
}

void K3Simulator::queueOutput(qint64 due, const QByteArray &text) {
    auto it = std::upper_bound(
        m_output.begin(), m_output.end(), due,
        [](qint64 t, const std::pair<qint64, QByteArray> &item) { return t < item.first; });
    m_output.insert(it, {due, text});
}

void K3Simulator::queueUnsolicitedReports(qint64 nowMs) {
    const int every = m_faults.unsolicitedIfEveryMs;
    if (every <= 0) {
        m_lastIfReportMs = nowMs;
        return;
    }
    if (m_faults.silent) {
        m_lastIfReportMs = std::max(m_lastIfReportMs, nowMs - every + 1);
        return;
    }
    const qint64 missed = (nowMs - m_lastIfReportMs) / every;
    if (missed > kMaxCatchUpReports) m_lastIfReportMs += (missed - kMaxCatchUpReports) * every;
    while (m_lastIfReportMs + every <= nowMs) {
        m_lastIfReportMs += every;
        queueOutput(m_lastIfReportMs, damage(ifReport()));
    }
}

QByteArray K3Simulator::damage(const QByteArray &text) {
    QByteArray out = text;
    if (m_faults.garbled && !out.isEmpty()) {
        // One or two characters hit by line noise; any byte value may appear.
        std::uniform_int_distribution<int> position(0, std::max(0, int(out.size()) - 2));
        std::uniform_int_distribution<int> byte(1, 255);
        const int hits = out.size() > 4 ? 2 : 1;
        for (int i = 0; i < hits; ++i) out[position(m_rng)] = char(byte(m_rng));
    }
    if (m_faults.truncated) out.truncate(out.size() / 2);
    return out;
}

void K3Simulator::autoInfoReport(qint64 nowMs) {
    if (m_state.autoInfo >= 1) answer(ifReport(), nowMs);
}

void K3Simulator::noticeHandChanges(qint64 nowMs) {
    // The generator or the radio changed by hand since the last exchange: taken as done
    // while the program waited for the user, so the AFV meter has settled on it.
    trackLevel(nowMs, m_lastSeenMs - std::max(10, m_state.afvTimeMs));
}

void K3Simulator::markChanged(qint64 nowMs) {
    trackLevel(nowMs, nowMs);
    m_lastSeenMs = std::max(m_lastSeenMs, nowMs);
}

}  // namespace corvane::sim
