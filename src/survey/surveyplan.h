#pragma once
// What a filter survey will do before it touches the radio: the options as a user gives
// them (receiver, mode, slots, RF gain, step, centre), each slot's sweep span and step from
// its configured bandwidth, the radio time that takes, and what signal to connect.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "filters/crystalfilters.h"

namespace corvane {

// The defaults: CW, all five slots, RF gain 150, step = width / 40 (at least 5 Hz), span
// three times the width around the carrier, and for a narrow slot at least the width and
// 1 kHz: a narrow crystal filter's skirts spread further beside its width than a wide one's.
constexpr int kSurveyDefaultMode = 3;
constexpr int kSurveyStepDivisor = 40;
constexpr int kSurveyMinStepHz = 5;
constexpr int kSurveySpanWidths = 3;
constexpr int kSurveyMinSkirtsHz = 1000;
inline const QString kSurveyDefaultRfGain = QStringLiteral("150");
// The generator level the signal advice asks for (S9); the user's own is recorded.
constexpr double kSurveyAdvisedGeneratorDbm = -73.0;

// Every slot: 1 to 5.
inline QList<int> allSurveySlots() {
    QList<int> numbers;
    for (int slot = 1; slot <= 5; ++slot) numbers << slot;
    return numbers;
}

struct SurveyOptions {
    Receiver receiver = Receiver::Main;
    int modeNumber = kSurveyDefaultMode;  // the "md" number: 1 LSB ... 6 DATA
    QList<int> slotNumbers = allSurveySlots();
    QString rfGain = kSurveyDefaultRfGain;  // sent as typed, like the sweep's box
    std::optional<int> stepHz;              // none: each slot's width / 40
    std::optional<int32_t> centreHz;        // none: VFO A once the user has tuned
    bool adaptive = false;
    double generatorDbm = kSurveyAdvisedGeneratorDbm;  // as the user set the generator
};

// "1,3-5" -> 1 3 4 5 (sorted, each once). A slot outside 1..5, an empty item or a backward
// range gives no list and says why in `problem`.
std::optional<QList<int>> parseSlotList(const QString &text, QString *problem);
// "CW", "lsb", "Data" ... -> the mode number (the filter windows' mode table).
std::optional<int> surveyModeNumber(const QString &name);
// The mode's name as the filter windows show it: "CW", "Data".
QString surveyModeName(int modeNumber);
// The option checks of the window and the command line: RF gain 1..250, step 1..500 Hz,
// centre 1800..30000 kHz. The message names the value and its limits; empty when fine.
QString checkSurveyRfGain(const QString &text);
QString checkSurveyStep(const QString &text);
QString checkSurveyCentre(const QString &text);
// The generator level, -140 to 0 dBm.
QString checkSurveyGenerator(const QString &text);

// One slot's sweep: the span around the carrier and the step.
struct SlotSweepPlan {
    int stepHz = 0;
    int32_t startHz = 0;
    int points = 0;
    int32_t frequencyOfPoint(int index) const { return startHz + index * stepHz; }
    int32_t stopHz() const { return frequencyOfPoint(points - 1); }
};
// The sweep of a slot of `configuredBwHz` around `centreHz`: three widths wide (at least
// the width and 1 kHz), the step given or width / 40 (at least 5 Hz), the points placed
// symmetrically about the centre.
SlotSweepPlan planSlotSweep(int configuredBwHz, int32_t centreHz, std::optional<int> stepHz);
// Points of a slot's sweep before its bandwidth is known: the fewest there can be. With the
// default step those of a slot 500 Hz wide or wider; with a step given, those of the
// narrowest span (a slot of a few hertz: its width and 1 kHz).
int plannedPointsPerSlot(std::optional<int> stepHz);

// The coarsest step that still shows a slot's passband: a quarter of its configured width,
// in whole hertz. A step above it is refused before the first sweep.
int largestSurveyStepHz(int configuredBwHz);
struct SlotWidth {
    int slot = 0;
    int widthHz = 0;
};
// Why `stepHz` is too coarse for the slots given: names each slot whose quarter width it
// is above, and the largest step that fits them all ("A step of 100 Hz is more than a
// quarter of the configured width of FL5 (0.20 kHz): use at most 50 Hz, or no step ...");
// empty when it fits (or no step was given).
QString surveyStepProblem(std::optional<int> stepHz, const std::vector<SlotWidth> &widths);

// The -o folder checked whole before the radio is touched: its path and each name in it
// short enough for every file the survey writes there (4095 and 255 bytes on Linux), no
// symbolic link in it that leads round in a loop or nowhere, not a file, and files can be
// written in it or in the nearest folder above it when it is still to be made (the files'
// writer makes it). Nothing is made or left behind. Empty when all is well; else why not
// ("/tmp/x is a loop of symbolic links").
QString surveyFolderProblem(const QString &folder);

// The radio time of the whole survey: the readouts, the set-up and every point's waits.
qint64 surveyOverheadMs(Receiver receiver);
qint64 surveyPointsMs(int points);

// What to tell the user before starting: the signal to connect and the plan. `totalPoints`
// comes from plannedPointsPerSlot() (`exact` false: the fewest there can be) or, once the
// widths are read, the real plans.
QStringList surveyPlanText(const SurveyOptions &options, int totalPoints, bool exact = true);
QStringList surveySignalAdvice(const SurveyOptions &options);

// What the window and the command say before a survey starts: the signal to connect, then
// the plan with the fewest points the default widths give (the widths are not read yet).
QStringList surveyAdviceAndPlan(const SurveyOptions &options);

}  // namespace corvane
