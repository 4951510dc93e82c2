#include "measurements/sweeplimits.h"

#include "core/numtext.h"

namespace corvane {

namespace {
const QString kFrequencyTitle = QStringLiteral("Frequency Outside Bounds");
const QString kFrequencyText =
    QStringLiteral("Please insert a frequency in kHz between 1800 and 30000.");
}  // namespace

PromptMessage SweepBoxLimits::outsideMessage() const {
    return PromptMessage{text, title, MessageIcon::Exclamation};
}

SweepBoxLimits sweepBoxLimits(SweepBox box) {
    switch (box) {
        case SweepBox::KHzStart:
        case SweepBox::KHzStop:
            return {1800, 30000, kFrequencyTitle, kFrequencyText};
        case SweepBox::FreqStep:
            return {1, 500, QStringLiteral("Frequency Increment Outside Bounds"),
                    QStringLiteral("Please insert a frequency in Hz between 1 and 500.")};
        case SweepBox::RFGain:
            return {1, 250, QStringLiteral("RF Gain Outside Bounds"),
                    QStringLiteral("Please insert a number between 1 and 250.")};
    }
    return {};
}

std::optional<PromptMessage> checkSweepBox(SweepBox box, const QString &text) {
    const SweepBoxLimits limits = sweepBoxLimits(box);
    if (!isNumber(text)) return limits.outsideMessage();
    // The value is read from the start of the text, as the sweep reads it.
    const double value = numericValue(text);
    if (value < limits.minimum || value > limits.maximum) return limits.outsideMessage();
    return std::nullopt;
}

}  // namespace corvane
