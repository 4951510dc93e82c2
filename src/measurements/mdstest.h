#pragma once
// The receiver sensitivity (MDS) test: with a 1 uV (-107 dBm) signal on the antenna input
// the radio's AFV audio voltage readout is read ten times (signal plus noise), then ten times
// more after the user has switched the generator off (noise); the ratio of the two averages
// against the -107 dBm reference gives the minimum discernible signal in dBm.
//
// Straight-line code over RadioLink, Prompter and the link's Clock, like the other tests. Its
// list lines, progress and button state go through an MdsSink, and the sink answers whether
// the preamp box is ticked (it is read again at every reading). It never touches a widget.
//
// A reply too short to cut, a reading that is not a number, a noise average of 0 or a ratio
// of 0 or below leave no MDS to compute: what was read is listed, the impossible computation
// is skipped, the list and a message say why, and the radio is still put back.

#include <QString>
#include <QStringList>
#include <optional>

#include "core/prompter.h"
#include "link/radiolink.h"
#include "radio/k3settings.h"
#include "radio/settingscapture.h"

namespace corvane {

// Waits, in milliseconds.
constexpr int kMdsAfGainWaitMs = 1000;        // after "ag005;"
constexpr int kMdsCommandWaitMs = 100;        // after each other set-up command
constexpr int kMdsReadingWaitMs = 100;        // "db;" before its reply is read
constexpr int kMdsAfterReadingWaitMs = 2000;  // after each reading: the AFV meter integrates

constexpr int kMdsReadingsPerPhase = 10;
constexpr double kMdsGeneratorDbm = -107.0;  // 1 uV into 50 ohms

inline const QString kMdsSetupTitle = QStringLiteral("MDS Test Setup");
inline const QString kMdsSetupText = QStringLiteral(
    "Beginning MDS test. Turn on RF signal source set at 1 uV (-107 dBm). Be sure K3 frequency "
    "is set to RF signal frequency. Select 400-500Hz filter. Set DSP filter to 0.5kHz. When "
    "ready click OK.");
inline const QString kMdsGeneratorOffTitle = QStringLiteral("RF Signal Generator");
inline const QString kMdsGeneratorOffText = QStringLiteral("Turn off RF signal source");
// A listed S+N:Noise ratio below this: the signal did not rise above the noise, and the MDS
// figure computed from it (near -107 dBm) measures nothing.
constexpr double kMdsHeardRatio = 2.0;
inline const QString kMdsNotHeardText =
    QStringLiteral("the signal was not heard: check the generator and its level");

// What the MDS window keeps for its whole life (Close only hides it).
struct MdsWindowState {
    k3settings::TestWindowFlags flags;
    SettingsCapture capture;
    // CW's own AGC ("GT0041"), read after "md3;" when the radio was found in another mode
    // (a K3 keeps AGC per mode): put back while the radio is still in CW. Empty when the
    // radio was found in CW, or when it could not be read.
    QString cwAgc;
    QString reading;         // the last reading text cut from a "db;" reply
    double signalNoise = 0;  // sum, then average, of the signal-plus-noise readings (mV)
    double noise = 0;        // sum, then average, of the noise readings (mV)
    double ratio = 0;        // signalNoise / noise
    double mds = 0;          // dBm
};

enum class MdsPhase { SignalNoise, Noise };

// Reading `reading` (1..10) of a phase is about to be taken; reading 0 = no phase running.
struct MdsProgress {
    MdsPhase phase = MdsPhase::SignalNoise;
    int reading = 0;
};

// "Signal + noise reading 4 of 10", "Noise reading 10 of 10"; empty for reading 0.
QString mdsProgressText(const MdsProgress &progress);

class MdsSink {
public:
    virtual ~MdsSink() = default;
    virtual void clearLines() = 0;
    virtual void appendLine(const QString &line) = 0;
    // The list shows its newest line.
    virtual void selectLastLine() {}
    // The buttons that could start another exchange go off while the test runs.
    virtual void setTesting(bool testing) { Q_UNUSED(testing); }
    virtual void progress(const MdsProgress &progress) { Q_UNUSED(progress); }
    // Whether the preamp box is ticked now.
    virtual bool preampChecked() const = 0;
};

enum class MdsEnd {
    Completed,    // the four result lines are listed
    NotComputed,  // the readings left no MDS to compute; `problem` says why
    NotHeard,     // the results are listed, but the S+N:Noise ratio says no signal was heard
    PortFailed,   // the port failed: the test ended at that exchange
    Busy,         // another procedure holds the link; nothing sent
    NotStarted,   // TECH MD could not be read: nothing was changed
};

struct MdsOutcome {
    MdsEnd end = MdsEnd::Completed;
    QString problem;
    // False when the closing restore could not put the radio back (the port was lost).
    bool restored = true;
};

// The reading text of a "db;" reply: without its last two characters when the preamp box is
// ticked (otherwise its last one), then without its first five. Nothing when the reply is
// too short for that (fewer than 7 or 6 characters).
std::optional<QString> cutMdsReading(const QString &reply, bool preampChecked);

// The list lines after the readings, from the two averages (nothing for a phase whose
// readings were not all numbers), and why no MDS could be computed when that is so.
struct MdsResults {
    QStringList lines;
    std::optional<double> ratio;
    std::optional<double> mds;
    QString problem;        // empty when the MDS was computed
    bool notHeard = false;  // the listed ratio is below 2.00 (a line says so)
};
MdsResults mdsResults(std::optional<double> signalNoiseAverage, std::optional<double> noiseAverage);

class MdsTest {
public:
    MdsTest(RadioLink &link, Prompter &prompter, MdsWindowState &state, MdsSink &sink);

    // Begin MDS Test: settings capture and report, test set-up, the two phases of readings
    // with the generator prompts, the results, the final message, then the radio's settings
    // put back. There is no stop; it runs to its end (or to a port failure).
    MdsOutcome beginMdsTest();
    // KAT3 check (once per window), TECH MD on, AF gain 5, CW, then (found in another mode)
    // CW's own AGC read, AGC off, attenuator off, preamp as the box says, RF gain 250, the
    // AFV readout. AGC goes off only in CW: the mode the radio was found in keeps its own.
    // False, nothing changed, when TECH MD could not be read.
    bool applyTestSettings();
    // Reset K3: the settings captured before the last test, sent again (refused while another
    // procedure holds the link).
    void resetK3();
    // The restore after the test and of Reset K3. Found in CW: the capture's restore. Found
    // in another mode: CW's AGC while still in CW, the mode found, then the capture's restore
    // without its mode step. True when everything reached the radio; else the user is told
    // what was not put back.
    bool restoreRadio();

private:
    struct Phase {
        double sum = 0;
        QString problem;  // the first reading that could not be added
    };
    // Ten readings; false when the port failed during them.
    bool readPhase(MdsPhase phase, Phase &result);
    bool portFailed(const QString &step);
    // The capture found the radio in CW ("MD3").
    bool foundInCw() const;

    RadioLink &m_link;
    Prompter &m_prompter;
    MdsWindowState &m_state;
    MdsSink &m_sink;
};

}  // namespace corvane
