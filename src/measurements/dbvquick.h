#pragma once
// The quick dBV test's half-interval search over RF gain: seven measurements from gain 125,
// the step halving after each (62 31 16 8 4 2). A difference of 10 dB or more counts as
// linear and moves the gain up; below that the trend of the last two measurements decides.

#include <QString>
#include <array>

#include "core/prompter.h"
#include "link/radiolink.h"
#include "measurements/dbvsession.h"

namespace corvane {

constexpr int kQuickStartGain = 125;
constexpr int kQuickMeasurements = 7;
constexpr std::array<int, kQuickMeasurements - 1> kQuickSteps{62, 31, 16, 8, 4, 2};
constexpr double kLinearDifferenceDb = 10.0;

// The gain to measure after measurement k (1..6), which was taken at lastGain and gave
// diff; prevGain and prevDiff are those of measurement k - 1 (unused for k = 1).
int nextQuickGain(int k, int lastGain, double diff, int prevGain, double prevDiff);

inline const QString kQuickHeading =
    QStringLiteral("==============Half-Interval Search Results===================");

// Quick Test: the settings snapshot (no identity, no report), the test configuration, the
// AFV reference at whatever gain the radio has, then the seven measurements. It cannot be
// stopped and does not yield; it does not touch the linear range chart.
class DbvQuickTest {
public:
    DbvQuickTest(RadioLink &link, Prompter &prompter, DbvWindowState &state, DbvResultSink &sink);

    // Refused (false) while another procedure holds the link. end() says how a run ended:
    // a lost port ends it at that exchange (link/procedurefaults.h).
    bool run();
    DbvEnd end() const { return m_end; }
    // One measurement at rfGain, its texts kept in rfGainReadText, dbv1Text, dbv2Text and
    // diffText.
    void halfIntervalSearch(int rfGain);

private:
    DbvExchanges m_exchanges;
    DbvResultSink &m_sink;
    DbvEnd m_end = DbvEnd::NotStarted;
};

}  // namespace corvane
