#pragma once
// What the dBV linearity window keeps between its tests, and what its tests report back.
//  - DbvWindowState: the flags, captured settings and last results the window holds for
//    its whole life (Close only hides it).
//  - DbvResultSink: where the tests put their list lines, chart rows, progress and button
//    state; the window, corvane-cli and the tests each implement it.
//  - DbvExchanges: the radio exchanges both tests are made of (test configuration, AFV
//    reference, one measurement).

#include <QString>
#include <QtGlobal>

#include "core/prompter.h"
#include "link/procedurefaults.h"
#include "link/radiolink.h"
#include "radio/k3settings.h"
#include "radio/settingscapture.h"

namespace corvane {

struct DbvWindowState {
    bool stopTestRequested = false;  // set by Stop Test; looked at once per full-test step
    k3settings::TestWindowFlags flags;
    SettingsCapture capture;
    QString diffText;  // difference of the last measurement
    // The quick test's last measurement, as cut from the radio's answers.
    QString rfGainReadText;
    QString dbv1Text;
    QString dbv2Text;
};

enum class DbvRunKind { Idle, FullTest, QuickTest };

// Where a running test stands: measurement `step` of `total` (from 1), and the fixed waiting
// of the measurements still to come including this one. step 0 = no test running.
struct DbvProgress {
    int step = 0;
    int total = 0;
    qint64 msLeft = 0;
    // "No answer from the K3 for the last 3 readings" while the radio is silent, else empty.
    QString noAnswerNote;
    // An adaptive full test: the most gains it can measure (total is then the gains planned
    // so far); step 0 with `most` set is the moment before its first measurement.
    int most = 0;
    // What the test does between its steps ("Letting the readout settle..."); when set, it
    // is the progress line.
    QString activity;
};

// The program's one progress line (core/progresstext.h): "Step 3 of 201, about 35 min 0 s
// left" (with ". " and the no-answer note when there is one); empty when no test is running.
// An adaptive test words it as adaptivePlannedText and adaptiveProgressText.
QString progressText(const DbvProgress &progress);

class DbvResultSink {
public:
    virtual ~DbvResultSink() = default;
    virtual void clearLines() = 0;
    virtual void appendLine(const QString &line) = 0;
    // The list follows a running test: its newest line is selected and shown.
    virtual void selectLastLine() {}
    // A test started (its buttons go off) or ended (they come back).
    virtual void runStateChanged(DbvRunKind) {}
    // The linear range chart: sized before the first step, one row per step (from 1),
    // its presentation set after the last.
    virtual void prepareChart(int /*rows*/) {}
    virtual void setChartRow(int /*row*/, double /*value*/, const QString & /*label*/) {}
    // An adaptive test labels every row before its first measurement.
    virtual void setChartRowLabel(int /*row*/, const QString & /*label*/) {}
    virtual void finishChart() {}
    virtual void progress(const DbvProgress &) {}
    // Each step's yield, just before Stop Test is looked at: a Stop request that does not
    // come through the event loop (Ctrl-C in corvane-cli) is passed on here.
    virtual void atStepYield() {}
    // Asked before each quick-test measurement, which has no Stop button: true ends the test
    // there as Stop would (corvane-cli on SIGTERM or SIGHUP).
    virtual bool stopAsked() { return false; }
};

// How a dBV test run ended.
enum class DbvEnd { NotStarted, Completed, Stopped, PortLost };

// One measurement at one RF gain: the texts cut from the radio's answers.
struct DbvReading {
    QString rgText;
    QString dbv1Text;  // attenuator off
    QString dbv2Text;  // attenuator on
};

class DbvExchanges {
public:
    DbvExchanges(RadioLink &link, Prompter &prompter, DbvWindowState &state);

    // The dBV test configuration: KAT3 check (once per window), TECH MD on, AF gain 5, AGC,
    // attenuator and preamp off. False, with nothing changed, when TECH MD could not be read.
    bool applyTestSettings();
    // Selects the AFV readout, lets the user confirm the tuning and the readout settle (the
    // sink's progress says so), then selects the dBV readout, whose reference is the AFV
    // level at that moment.
    void setAfvReference(DbvResultSink &sink);
    // Gain set and read back, dBV with the attenuator off and on, the difference into
    // diffText, attenuator off again. Always runs to its end.
    DbvReading measureAtGain(int gain);
    // The one yield to the event loop per step (recorded in the trace).
    void yieldToEvents();
    // The "db;" readings of this run that the radio did not answer.
    const NoAnswerCount &noAnswers() const { return m_noAnswers; }

    RadioLink &link() const { return m_link; }
    Prompter &prompter() const { return m_prompter; }
    DbvWindowState &state() const { return m_state; }

private:
    RadioLink &m_link;
    Prompter &m_prompter;
    DbvWindowState &m_state;
    NoAnswerCount m_noAnswers;
};

// Reset K3: sends the settings captured before the last test back to the radio, and says so
// when the port is lost on the way.
void resetDbvRadio(RadioLink &link, const DbvWindowState &state, Prompter &prompter);

// The dBV window's name in the busy message of other windows.
inline const QString kDbvWindowName = QStringLiteral("Determine dBV Linear Range");

}  // namespace corvane
