#pragma once
// The crystal filter sweep: VFO A steps from a start to a stop frequency and at each step the
// radio's dBV readout is read, giving the filter's passband and skirts relative to the level
// at the middle of the passband (the AFV reference the user confirms).
//
// Straight-line code over RadioLink, Prompter and the link's Clock. Its output goes through a
// SweepSink, so that the window, corvane-cli and the tests all see the same lines, chart rows
// and progress. It never touches a widget.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/prompter.h"
#include "link/procedurefaults.h"
#include "link/radiolink.h"
#include "measurements/sweepplan.h"
#include "measurements/sweeppoints.h"
#include "radio/k3settings.h"
#include "radio/settingscapture.h"

namespace corvane {

// Waits, in milliseconds.
constexpr int kSweepPresenceWaitMs = 100;      // "id;" before reading
constexpr int kSweepAfGainWaitMs = 1000;       // after "ag005;"
constexpr int kSweepCommandWaitMs = 100;       // after each other set-up command
constexpr int kSweepDbvSelectWaitMs = 1000;    // after "db11;": the readout settles
constexpr int kSweepTuneWaitMs = 4000;         // after each frequency command
constexpr int kSweepReadingWaitMs = 2500;      // "db;" before reading
constexpr int kSweepAfterReadingWaitMs = 100;  // after each reading
constexpr int kSweepStepWaitMs = kSweepTuneWaitMs + kSweepReadingWaitMs + kSweepAfterReadingWaitMs;

// What the window (or the command line) keeps between sweeps.
struct FilterSweepState {
    k3settings::TestWindowFlags flags;
    bool stopSweepRequested = false;
    // The boxes' text as the last sweep started; the report lists them.
    QString startKhzText;
    QString stopKhzText;
    QString stepHzText;
    SettingsCapture capture;
    // Asked during the test set-up (after the AF gain's wait and after the AFV reference
    // prompt): true ends the set-up there. The filter survey's Stop and Ctrl-C.
    std::function<bool()> stopCheck;
};

// Where the sweep is, for a progress line. Times come from the fixed waits alone.
struct SweepProgress {
    int step = 0;   // the step being measured, from 1; 0 before the first
    int steps = 0;  // steps the sweep will measure
    int32_t frequencyHz = 0;
    qint64 msLeft = 0;  // fixed waits of this step and those after it
    // "No answer from the K3 for the last 3 readings" while the radio is silent, else empty.
    QString noAnswerNote;
    // An adaptive sweep: the most points it can measure (steps is then the points planned so
    // far, and msLeft their waits); 0 for a fixed sweep.
    int most = 0;
    // What the sweep does between its steps ("Letting the readout settle..."); when set, it
    // is the progress line.
    QString activity;
};

// The program's one progress line (core/progresstext.h): "Step 3 of 11, about 1 min 0 s
// left"; before the first step "11 steps to measure, about 1 min 13 s". An adaptive sweep
// words it as adaptivePlannedText and adaptiveProgressText.
QString sweepProgressText(const SweepProgress &progress);

class SweepSink {
public:
    virtual ~SweepSink() = default;
    virtual void clearLines() = 0;
    virtual void appendLine(const QString &line) = 0;
    // The list shows its newest line.
    virtual void selectLastLine() {}
    // The chart becomes a line chart of `rows` rows.
    virtual void prepareChart(int rows) = 0;
    virtual void setChartRow(int row, double value, const QString &label) = 0;
    // An adaptive sweep labels every row before its first point.
    virtual void setChartRowLabel(int row, const QString &label) {
        Q_UNUSED(row);
        Q_UNUSED(label);
    }
    // The buttons that could start another exchange go off while a sweep runs.
    virtual void setSweeping(bool sweeping) { Q_UNUSED(sweeping); }
    virtual void progress(const SweepProgress &progress) { Q_UNUSED(progress); }
};

enum class SweepEnd {
    NotPresent,  // the radio did not answer "id;"
    Refused,     // an empty box or a sweep the fields cannot hold; nothing set on the radio
    NotStarted,  // TECH MD could not be read; nothing was changed, so nothing is restored
    Completed,
    Stopped,
    PortLost,  // a port error closed the link; ended at that exchange, nothing restored
    Busy,      // another procedure holds the link; nothing sent
};

// The sweep window's name in the busy message of other windows.
inline const QString kSweepWindowName = QStringLiteral("K3 Crystal Filter Sweep");

struct SweepOutcome {
    SweepEnd end = SweepEnd::NotPresent;
    // The box the focus belongs in after a refusal.
    std::optional<SweepBox> box;
    int stepsMeasured = 0;
    // The readings the radio did not answer.
    int unanswered = 0;
    // False when the closing restore could not put the radio back (the port was lost).
    bool restored = true;
};

class FilterSweep {
public:
    FilterSweep(RadioLink &link, Prompter &prompter, FilterSweepState &state, SweepSink &sink);

    // Begin Sweep: presence check, box checks, settings capture and report, test set-up,
    // the steps (every one, or the adaptive choice: inputs.mode), the final message, then
    // the radio's settings put back.
    SweepOutcome beginSweep(const SweepInputs &inputs);
    // The radio's test configuration: KAT3 check (once per window), TECH MD on, AF gain 5,
    // AGC off, attenuator and preamp off, the user's RF gain, and the AFV reference the user
    // confirms at the middle of the passband before the dBV readout is selected (no sooner
    // than the readout settles). False, with nothing changed, when TECH MD could not be read.
    bool applyTestSettings(const QString &rfGainText);
    // Stop Sweep: noticed at the start of the next step.
    void stopSweep() { m_state.stopSweepRequested = true; }
    // Reset K3: the settings captured before the last sweep, sent again (refused while
    // another procedure holds the link).
    void resetK3();

private:
    // The capture and test set-up (cut short when the port is lost on the way).
    // False when the test did not start (TECH MD could not be read).
    bool prepareRadio(const SweepInputs &inputs);

    RadioLink &m_link;
    Prompter &m_prompter;
    FilterSweepState &m_state;
    SweepSink &m_sink;
};

}  // namespace corvane
