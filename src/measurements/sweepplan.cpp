#include "measurements/sweepplan.h"

#include <cmath>

#include "core/numtext.h"
#include "measurements/sweeplimits.h"

namespace corvane {

namespace {

SweepRefusal emptyBoxRefusal(SweepBox box, const char *title, const char *text) {
    return SweepRefusal{
        PromptMessage{QString::fromLatin1(text), QString::fromLatin1(title), MessageIcon::Critical},
        box};
}

SweepRefusal limitRefusal(SweepBox box) {
    return SweepRefusal{sweepBoxLimits(box).outsideMessage(), box};
}

// A box's frequency in Hz: the kHz value times 1000, to the nearest hertz.
std::optional<int32_t> hzFromKHzText(const QString &text) {
    const std::optional<int32_t> hz = toInt32(numericValue(text) * 1000.0);
    if (!hz || *hz < 0) return std::nullopt;
    return hz;
}

}  // namespace

int SweepPlan::stepsMeasured() const {
    if (startHz > stopHz || stepHz < 1) return 0;
    return static_cast<int>((int64_t(stopHz) - startHz) / stepHz) + 1;
}

std::optional<SweepRefusal> firstEmptyBox(const SweepInputs &inputs) {
    if (inputs.kHzStart.isEmpty())
        return emptyBoxRefusal(SweepBox::KHzStart, "Start Frequency Null Error",
                               "Enter an appropriate start frequency");
    if (inputs.kHzStop.isEmpty())
        return emptyBoxRefusal(SweepBox::KHzStop, "Stop Frequency Null Error",
                               "Enter an appropriate stop frequency");
    if (inputs.freqStep.isEmpty())
        return emptyBoxRefusal(SweepBox::FreqStep, "Frequency Step Null Error",
                               "Enter an appropriate frequency increment");
    if (inputs.rfGain.isEmpty())
        return emptyBoxRefusal(SweepBox::RFGain, "RF Gain Null Error",
                               "Enter an appropriate RF Gain setting");
    return std::nullopt;
}

double sweepPointCount(double startHz, double stopHz, double stepHz) {
    return roundHalfEven(std::fabs((stopHz - startHz) / stepHz)) + 1.0;
}

int smallestStepFor(double startHz, double stopHz) {
    const double span = std::fabs(stopHz - startHz);
    // A first guess from the span, then the exact test (rounding may allow one hertz less).
    int step = std::max(1, static_cast<int>(std::ceil(span / (kSweepMaxPoints - 1))));
    while (sweepPointCount(startHz, stopHz, step) > kSweepMaxPoints) ++step;
    while (step > 1 && sweepPointCount(startHz, stopHz, step - 1) <= kSweepMaxPoints) --step;
    return step;
}

SweepPlanResult planSweep(const SweepInputs &inputs) {
    SweepPlanResult result;
    const std::optional<int32_t> start = hzFromKHzText(inputs.kHzStart);
    if (!start) {
        result.refusal = limitRefusal(SweepBox::KHzStart);
        return result;
    }
    const std::optional<int32_t> stop = hzFromKHzText(inputs.kHzStop);
    if (!stop) {
        result.refusal = limitRefusal(SweepBox::KHzStop);
        return result;
    }
    const std::optional<int16_t> step = toInt16(numericValue(inputs.freqStep));
    if (!step || *step < 1) {
        result.refusal = limitRefusal(SweepBox::FreqStep);
        return result;
    }
    const double points = sweepPointCount(*start, *stop, *step);
    if (points > kSweepMaxPoints) {
        const int smallest = smallestStepFor(*start, *stop);
        const SweepBoxLimits stepLimits = sweepBoxLimits(SweepBox::FreqStep);
        QString advice;
        if (smallest <= stepLimits.maximum) {
            advice = QStringLiteral(
                         "Use a frequency step of at least %1 Hz, or a narrower "
                         "frequency range.")
                         .arg(smallest);
        } else {
            const double widestKHz = (kSweepMaxPoints - 1) * stepLimits.maximum / 1000.0;
            advice = QStringLiteral(
                         "Use a narrower frequency range: at %1 Hz steps a sweep "
                         "can cover at most %2 kHz.")
                         .arg(stepLimits.maximum)
                         .arg(shortestText(widestKHz));
        }
        const QString text = QStringLiteral(
                                 "This sweep would measure %1 points; a sweep can "
                                 "measure at most %2. ")
                                 .arg(shortestText(points))
                                 .arg(kSweepMaxPoints) +
                             advice;
        result.refusal = SweepRefusal{
            PromptMessage{text, QStringLiteral("Too Many Sweep Points"), MessageIcon::Exclamation},
            SweepBox::FreqStep};
        return result;
    }
    SweepPlan plan;
    plan.startHz = *start;
    plan.stopHz = *stop;
    plan.stepHz = *step;
    plan.count = static_cast<int16_t>(points);
    result.plan = plan;
    return result;
}

QString frequencyCommand(int32_t hz) {
    return QStringLiteral("FA") + QString::number(hz).rightJustified(11, u'0') + u';';
}

QString readingFromReply(const QString &reply) {
    // The reply is "DB", the eight display characters and ";": the first five display
    // characters are the reading. Anything shorter leaves nothing to cut.
    return cutMiddle(reply, 2, 4);
}

double readingValue(const QString &reading) {
    return numericValue(reading);
}

QString kHzLabel(int32_t hz) {
    return singleText(hz / 1000.0);
}

namespace {
QString resultLine(double kHz, const QString &reading) {
    return format0_000(kHz) + QStringLiteral("\t\t") + formatTextFixed(reading, 1);
}
}  // namespace

QString sweepResultLine(int32_t hz, const QString &reading) {
    return resultLine(numericValue(kHzLabel(hz)), reading);
}

QString exactSweepResultLine(int32_t hz, const QString &reading) {
    return resultLine(hz / 1000.0, reading);
}

}  // namespace corvane
