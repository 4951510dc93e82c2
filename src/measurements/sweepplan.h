#pragma once
// The arithmetic of a crystal filter sweep: what the four boxes mean in hertz, how many
// points the sweep has, the frequency command for each step, how the radio's dBV reply is cut
// and how one result line reads. Plain functions; nothing here talks to the radio.

#include <QString>
#include <cstdint>
#include <optional>

#include "core/prompter.h"

namespace corvane {

// The chart's row count and row counter are 16-bit.
constexpr int kSweepMaxPoints = 32767;

// Every step from start to stop, or the adaptive choice of them (measurements/sweeppoints.h).
enum class SweepMode { Fixed, Adaptive };

// The four boxes of the sweep window (or the command line's options), text as typed, and
// the Adaptive box (the step box then holds the finest step).
struct SweepInputs {
    QString kHzStart;
    QString kHzStop;
    QString freqStep;
    QString rfGain;
    SweepMode mode = SweepMode::Fixed;
};

// Which box a check refers to, in the order the window checks them.
enum class SweepBox { KHzStart, KHzStop, FreqStep, RFGain };

struct SweepPlan {
    int32_t startHz = 0;
    int32_t stopHz = 0;
    int16_t stepHz = 1;
    // Chart rows: |stop - start| / step rounded (halves to even), plus one.
    int16_t count = 1;

    // Steps actually measured: start, start + step, ... while not above stop.
    int stepsMeasured() const;
    // Frequency of the step numbered from 0.
    int32_t frequencyOfStep(int index) const { return startHz + index * int32_t(stepHz); }
};

// A refusal of the sweep before anything is sent to the radio: the message and its box.
struct SweepRefusal {
    PromptMessage message;
    SweepBox box = SweepBox::KHzStart;
};

// The first empty box, in the window's order, with its message (critical icon).
std::optional<SweepRefusal> firstEmptyBox(const SweepInputs &inputs);

// Start and stop in Hz, step and count from the box texts; a sweep whose values do not fit
// the radio's or the chart's fields (step below 1 Hz, more than 32767 points) is refused with
// a message that says how to get it within them.
struct SweepPlanResult {
    std::optional<SweepPlan> plan;
    std::optional<SweepRefusal> refusal;
};
SweepPlanResult planSweep(const SweepInputs &inputs);

// Chart rows for a range and step: |stopHz - startHz| / step rounded halves to even, plus 1.
double sweepPointCount(double startHz, double stopHz, double stepHz);
// The smallest whole-hertz step that keeps the range within kSweepMaxPoints.
int smallestStepFor(double startHz, double stopHz);

// "FA" + the frequency in Hz padded with zeros to 11 digits + ";".
QString frequencyCommand(int32_t hz);

// The reading in the reply to "db;": the reply less its last four characters, then less its
// first two. A reply too short for that gives an empty reading.
QString readingFromReply(const QString &reply);
// The numeric value charted for a reading text (0 for text that holds no number).
double readingValue(const QString &reading);

// The kHz value of a frequency in Hz as the chart labels it: single precision, at most seven
// significant digits ("14060", "14060.5").
QString kHzLabel(int32_t hz);

// One results line: kHz "####0.000" (of the single-precision value), two tabs, the reading
// "#0.0" (a reading that is not a number stays as it is).
QString sweepResultLine(int32_t hz, const QString &reading);
// The same line with the frequency to the hertz, for steps finer than the 10 Hz the
// single-precision labels hold (the filter survey's).
QString exactSweepResultLine(int32_t hz, const QString &reading);

}  // namespace corvane
