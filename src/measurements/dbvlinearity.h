#pragma once
// The full dBV linear range test: steps the RF gain from start to stop and, at each step,
// reads the dBV level with the attenuator off and on. Where the receiver is linear the
// difference is the attenuator's full loss; where it compresses, the difference shrinks.
// Straight-line code over the radio link; it yields once per step so that Stop Test can be
// pressed, and the step in progress is always finished first.

#include <QString>

#include "core/prompter.h"
#include "link/radiolink.h"
#include "measurements/dbvsession.h"

namespace corvane {

// The texts of the three RF gain boxes as they stand when the test begins, and the
// Adaptive box: coarse gain steps across start..stop, then bisection to a single increment
// at each end of the linear range (analysis/adaptiveplan.h); each measurement is the fixed
// test's, and the list gets them in the order measured.
struct DbvGainBoxes {
    QString start;
    QString stop;
    QString inc;
    bool adaptive = false;
};

class DbvFullTest {
public:
    DbvFullTest(RadioLink &link, Prompter &prompter, DbvWindowState &state, DbvResultSink &sink);

    // Full Test. Returns false when it did not start: a box outside its limits (its message
    // shown), another procedure holding the link, or no answer to "id;" (the "K3 Not
    // Present" message); nothing else changes then. end() says how a run ended: PortLost
    // when a port error closed the link, the lines measured before it kept
    // (link/procedurefaults.h).
    bool run(const DbvGainBoxes &boxes);
    DbvEnd end() const { return m_end; }

private:
    bool radioAnswers();

    DbvExchanges m_exchanges;
    DbvResultSink &m_sink;
    DbvEnd m_end = DbvEnd::NotStarted;
};

}  // namespace corvane
