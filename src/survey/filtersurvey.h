#pragma once
// The filter survey: every crystal filter slot asked for, on the main or the sub-receiver,
// swept in turn against one generator carrier, analysed, and set beside what the radio is
// told about it (bandwidth, offset, loss compensation, receive enable in the mode).
//
// The run: the settings capture and identity as the test windows take them; the filter
// readouts of the filter windows (bandwidths, offsets, loss compensation; receive flags);
// the sweep's test set-up with its AFV reference at the carrier; the DSP passband opened
// wide so that the crystal filter shapes the passband. Then per slot: enable it for receive
// in the mode when it is not (remembered), select it by number ("k30;k22;fw0000N;k20;"),
// confirm the radio reports it ("k22;fw;k20;"), sweep three widths around the carrier with
// the sweep's own point procedure, analyse. Only dBV readouts become readings: an auto-info
// report or a stray answer in a reply is passed over, and a reply without a readout is an
// unanswered point. The put-back, whether the survey completed or was stopped: every receive
// flag it switched on, the survey mode's own memories (AGC, filter, width) while still in
// that mode, then the starting mode and the captured settings, then the sub-receiver's.
// A port lost on the way ends it at that exchange, and "K3 Not Restored" names what was not
// put back (Reset K3 sends it once the K3 is connected again). A Stop or Ctrl-C is acted on
// within two seconds at every phase. Straight-line code over RadioLink, Prompter and the
// link's Clock.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/filterfigures.h"
#include "core/prompter.h"
#include "filters/crystalfilters.h"
#include "link/radiolink.h"
#include "measurements/filtersweep.h"
#include "radio/settingscapture.h"
#include "survey/subcapture.h"
#include "survey/surveyplan.h"

namespace corvane {

constexpr int kSurveyWideBandwidthTens = 400;  // the DSP passband during the sweeps: 4.00 kHz
constexpr int kSurveySelectWaitMs = 100;       // after the filter selection
constexpr int kSurveyReadBackWaitMs = 100;     // "k22;fw;k20;" before reading
constexpr int kSurveyVfoWaitMs = 100;          // "fa;" before reading
constexpr int kSurveySetupWaitMs = 100;        // each other set-up command
constexpr int kSurveyAttenuatorWaitMs = 2500;  // "ra01;" / "ra00;": the audio level settles
// The dBV readout is taken as linear for the carrier when the 10 dB attenuator moves it by
// 10 dB within this.
constexpr double kSurveyLinearToleranceDb = 1.5;

inline const QString kSurveyWindowName = QStringLiteral("Filter Survey");

enum class SlotStatus {
    NotMeasured,    // not reached: the survey was stopped or the port lost before it
    Measured,       // swept to its end
    Partial,        // stopped or cut by a lost port during its sweep
    NotInstalled,   // the radio's filter menu does not show the slot
    NotSelectable,  // the radio did not report the slot after selecting it
    Unread,         // the readouts could not read the slot's settings
};

struct SlotResult {
    int slot = 0;
    // As the filter readout shows them: "2.70", "-0.91", "4"; empty when not read.
    QString configuredBw;
    QString configuredOffset;
    QString lossComp;
    std::optional<bool> enabledInMode;  // before the survey touched it
    bool enabledBySurvey = false;
    SlotStatus status = SlotStatus::NotMeasured;
    SlotSweepPlan plan;
    QStringList listLines;  // the sweep's results list: the report, then one line a point
    std::vector<SweepPoint> points;
    int unanswered = 0;  // readings without a dBV readout in the reply, left out
    FilterFigures figures;
    // The -6 dB centre's distance from the carrier; peak relative to the widest slot.
    std::optional<double> peakRelWidestDb;
    // The widest slot's loss compensation: its own loss is the reference of the peaks.
    std::optional<double> widestLossCompDb;

    std::optional<int> configuredBwHz() const;
    bool hasSweep() const { return !points.empty(); }
};

enum class SurveyEnd { Completed, Stopped, PortLost, NotPresent, Busy, Refused, StepTooCoarse };

struct SurveyResult {
    SurveyEnd end = SurveyEnd::NotPresent;
    SurveyOptions options;
    QDateTime started;
    RadioIdentity identity;
    int32_t centreHz = 0;
    std::vector<SlotResult> slotResults;  // one per slot asked for, in order
    QStringList notes;                    // what went wrong on the way, for the report
    // How far the dBV readout moved at the carrier when the 10 dB attenuator was switched
    // in before the sweeps (about 10 when the readout is linear there); none when not read.
    std::optional<double> attenuatorStepDb;
    // What the put-back could not send (a lost port): receive flags and settings by name.
    QStringList notRestored;
    bool readoutLinear() const;
    // A slot asked for that could not be read, selected or (on a survey not stopped)
    // measured: the command line's exit 1.
    bool anySlotFailed() const;
};

// Where the survey is, for the progress lines.
struct SurveyProgress {
    int slotIndex = 0;  // from 1 among the slots asked for; 0 before the first
    int slotCount = 0;
    int slot = 0;  // FL number
    int point = 0;
    int points = 0;
    qint64 slotMsLeft = 0;
    qint64 totalMsLeft = 0;
};
// "FL3 (slot 2 of 5): point 40 of 121, about 8 min 56 s left" and "Survey: about 40 min left".
QString surveySlotProgressText(const SurveyProgress &progress);
QString surveyOverallProgressText(const SurveyProgress &progress);

// What the survey is doing between the slots' points, for the progress lines.
enum class SurveyPhase { ReadingSettings, SettingUp, Settling, ReadoutCheck, PuttingBack };
// "Reading the slots' settings...", "Setting up the K3 and its AFV reference...",
// "Letting the readout settle...", "Checking the dBV readout at the carrier...",
// "Putting the K3's settings back...".
QString surveyPhaseText(SurveyPhase phase);

class SurveySink {
public:
    virtual ~SurveySink() = default;
    // The plan once the slots' widths are read: the points and the radio time they take.
    virtual void plan(const QStringList &lines) { Q_UNUSED(lines); }
    virtual void slotStarted(const SlotResult &slot) { Q_UNUSED(slot); }
    virtual void point(int slot, int32_t hz, double db) {
        Q_UNUSED(slot);
        Q_UNUSED(hz);
        Q_UNUSED(db);
    }
    virtual void slotFinished(const SlotResult &slot) { Q_UNUSED(slot); }
    virtual void progress(const SurveyProgress &progress) { Q_UNUSED(progress); }
    // True from the first exchange to the end of the put-back.
    virtual void setRunning(bool running) { Q_UNUSED(running); }
    virtual void phase(SurveyPhase phase) { Q_UNUSED(phase); }
    // The run's end, once on every run: after the put-back and before its closing message.
    virtual void ended(const SurveyResult &result) { Q_UNUSED(result); }
};

class FilterSurvey {
public:
    FilterSurvey(RadioLink &link, Prompter &prompter, SurveySink &sink);

    SurveyResult run(const SurveyOptions &options);
    // Noticed at the next exchange, or within RadioLink::kStopCheckMs of a long wait.
    void stop() { m_stop = true; }
    // A stop asked from outside (corvane-cli's Ctrl-C), asked as stop() is.
    void setStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }
    // Reset K3: the receive flags the survey switched on and not yet back off are switched
    // off, and the settings captured before the last survey sent again (after a lost port,
    // once the K3 is connected again). Refused while another procedure holds the link.
    void resetK3();
    bool hasCapture() const { return m_sweepState.capture.hasSnapshot(); }
    bool stopRequested() const { return m_stop || (m_stopCheck && m_stopCheck()); }

private:
    bool prepare(SurveyResult &result);
    bool readCaptures(SurveyResult &result);
    void checkReadoutLinear(SurveyResult &result);
    void readFilterSettings(SurveyResult &result);
    bool stepFits(SurveyResult &result);
    bool selectSlot(int slot);
    void surveySlot(SurveyResult &result, SlotResult &slot, qint64 &totalMsLeft);
    // The put-back: the names of what it could not send (a lost port, before or during it).
    QStringList putBack(QStringList &notes);
    void tellNotRestored(const QString &where, const QStringList &notRestored);
    // Yields (a Stop click is taken then) and says whether a stop was asked.
    bool stopNow();
    QString tuneCommand(int32_t hz) const;
    QString sub() const;  // "$" on the sub-receiver, else ""
    QString flagName(int slot) const;

    RadioLink &m_link;
    Prompter &m_prompter;
    SurveySink &m_sink;
    SurveyOptions m_options;
    FilterSweepState m_sweepState;
    CapturedSettings m_subCapture;
    // Auto-info, off for the survey: reports would stand in front of the readouts' answers.
    CapturedSettings m_autoInfo;
    // The survey mode's memories on the main and the sub-receiver, when it is not the mode
    // the radio was found in (empty otherwise: the capture holds them).
    CapturedSettings m_modeMemories;
    CapturedSettings m_subModeMemories;
    bool m_stop = false;
    bool m_stepRefused = false;
    std::function<bool()> m_stopCheck;
    QString m_where;            // where the survey is, for the message of a lost port
    QList<int> m_enabledSlots;  // switched on for receive by the survey, not yet back off
};

}  // namespace corvane
