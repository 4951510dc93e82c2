#include "measurements/dbvlimits.h"

#include "core/numtext.h"

namespace corvane {

namespace {

const QString kGainTitle = QStringLiteral("RF Gain Outside Bounds");
const QString kIncTitle = QStringLiteral("RF Gain Increment Outside Bounds");

// The text must be a number as a whole; the value compared is the number read from its
// start, as the test reads it.
std::optional<PromptMessage> check(const QString &text, double low, double high,
                                   const QString &title, const QString &message) {
    if (isNumber(text)) {
        const double value = numericValue(text);
        if (value >= low && value <= high) return std::nullopt;
    }
    return PromptMessage{message, title, MessageIcon::Exclamation};
}

constexpr double kUnbounded = 1e300;

}  // namespace

std::optional<PromptMessage> checkRfGainStart(const QString &text) {
    return check(text, 0, kUnbounded, kGainTitle,
                 QStringLiteral("Please insert a number greater than or equal to 0."));
}

std::optional<PromptMessage> checkRfGainStop(const QString &text) {
    return check(text, -kUnbounded, 250, kGainTitle,
                 QStringLiteral("Please insert a number less than or equal to 250."));
}

std::optional<PromptMessage> checkRfGainInc(const QString &text) {
    return check(text, 1, 5, kIncTitle, QStringLiteral("Please insert a number between 1 and 5."));
}

}  // namespace corvane
