#include "measurements/dbvquick.h"

#include <cstddef>

#include "core/numtext.h"
#include "measurements/dbvsteps.h"

namespace corvane {

int nextQuickGain(int k, int lastGain, double diff, int prevGain, double prevDiff) {
    if (k < 1 || k > static_cast<int>(kQuickSteps.size())) return lastGain;
    const int step = kQuickSteps[static_cast<std::size_t>(k - 1)];
    if (k == 1) return diff >= kLinearDifferenceDb ? lastGain + step : lastGain - step;
    if (diff >= kLinearDifferenceDb) return lastGain + step;
    const double trend = diff - prevDiff;
    // A difference that fell while the gain rose (or rose while it fell) points down.
    if (trend < 0 && lastGain > prevGain) return lastGain - step;
    if (trend < 0 && lastGain < prevGain) return lastGain + step;
    if (trend > 0 && lastGain > prevGain) return lastGain + step;
    if (trend > 0 && lastGain < prevGain) return lastGain - step;
    return lastGain;
}

}  // namespace corvane

namespace corvane {

DbvQuickTest::DbvQuickTest(RadioLink &link, Prompter &prompter, DbvWindowState &state,
                           DbvResultSink &sink)
    : m_exchanges(link, prompter, state), m_sink(sink) {}

void DbvQuickTest::halfIntervalSearch(int rfGain) {
    const DbvReading r = m_exchanges.measureAtGain(rfGain);
    DbvWindowState &state = m_exchanges.state();
    state.rfGainReadText = r.rgText;
    state.dbv1Text = r.dbv1Text;
    state.dbv2Text = r.dbv2Text;
}

bool DbvQuickTest::run() {
    m_end = DbvEnd::NotStarted;
    DbvWindowState &state = m_exchanges.state();
    RadioLink &link = m_exchanges.link();
    Prompter &prompter = m_exchanges.prompter();
    if (refuseWhileBusy(link, prompter)) return false;
    const LinkHold hold(link, QStringLiteral("Quick Test"), kDbvWindowName);
    link.clearError();
    m_sink.runStateChanged(DbvRunKind::QuickTest);
    m_sink.clearLines();
    state.capture.readInitialSettings(link);
    if (!link.portLost()) {
        state.capture.tellUnreadSettings(prompter);
        if (!m_exchanges.applyTestSettings()) {
            m_sink.runStateChanged(DbvRunKind::Idle);
            return false;
        }
    }
    m_sink.appendLine(kQuickHeading);
    m_sink.appendLine(dbvColumnHeading());
    if (!link.portLost()) m_exchanges.setAfvReference(m_sink);

    int gain = kQuickStartGain;
    int prevGain = kQuickStartGain;
    double prevDiff = 0;
    int lostAtStep = link.portLost() ? 0 : -1;
    bool stopped = false;
    for (int k = 1; lostAtStep < 0 && k <= kQuickMeasurements; ++k) {
        if ((stopped = m_sink.stopAsked())) break;
        m_sink.progress({k,
                         kQuickMeasurements,
                         qint64(kQuickMeasurements - k + 1) * kMeasurementWaitMs,
                         m_exchanges.noAnswers().progressNote(),
                         0,
                         {}});
        halfIntervalSearch(gain);
        if (link.portLost()) {
            lostAtStep = k;
            break;
        }
        const int lastGain = gain;
        m_sink.appendLine(
            quickTestLine(state.rfGainReadText, state.dbv1Text, state.dbv2Text, state.diffText));
        m_sink.selectLastLine();
        const double diff = numericValue(state.diffText);
        if (k < kQuickMeasurements) gain = nextQuickGain(k, lastGain, diff, prevGain, prevDiff);
        prevDiff = diff;
        prevGain = lastGain;
    }
    m_sink.progress({});

    const QString title = QStringLiteral("Quick Test Status");
    if (lostAtStep >= 0) {
        m_end = DbvEnd::PortLost;
        m_sink.runStateChanged(DbvRunKind::Idle);
        prompter.message(lostConnectionMessage(link.lastError(), lostAtStep, kQuickMeasurements,
                                               lostAtStep > 0 ? lostAtStep - 1 : 0));
        return true;
    }
    if (stopped) {
        m_end = DbvEnd::Stopped;
        prompter.message(QStringLiteral("Quick Test was terminated prematurely."), title,
                         MessageIcon::Exclamation);
    } else {
        m_end = DbvEnd::Completed;
        prompter.message(QStringLiteral("Quick Test is complete. Check results in Listbox.") +
                             m_exchanges.noAnswers().completionNote(),
                         title, MessageIcon::Information);
    }
    m_sink.runStateChanged(DbvRunKind::Idle);
    state.capture.restoreAndTell(link, state.flags, prompter);
    return true;
}

}  // namespace corvane
