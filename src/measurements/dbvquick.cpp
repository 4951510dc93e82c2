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

void DbvQuickTest::run() {
    DbvWindowState &state = m_exchanges.state();
    RadioLink &link = m_exchanges.link();
    m_sink.runStateChanged(DbvRunKind::QuickTest);
    m_sink.clearLines();
    state.capture.readInitialSettings(link);
    m_exchanges.applyTestSettings();
    m_sink.appendLine(kQuickHeading);
    m_sink.appendLine(dbvColumnHeading());
    m_exchanges.setAfvReference();

    int gain = kQuickStartGain;
    int prevGain = kQuickStartGain;
    double prevDiff = 0;
    for (int k = 1; k <= kQuickMeasurements; ++k) {
        m_sink.progress(
            {k, kQuickMeasurements, qint64(kQuickMeasurements - k + 1) * kMeasurementWaitMs});
        halfIntervalSearch(gain);
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

    m_exchanges.prompter().message(
        QStringLiteral("Quick Test is complete. Check results in Listbox."),
        QStringLiteral("Quick Test Status"), MessageIcon::Information);
    m_sink.runStateChanged(DbvRunKind::Idle);
    state.capture.restoreInitialSettings(link, state.flags);
}

}  // namespace corvane
