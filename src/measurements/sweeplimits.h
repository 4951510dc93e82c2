#pragma once
// The limits of the sweep window's four boxes, checked when the user leaves a box (and on the
// command line's options). A box holds a number as a whole (blanks, sign, point, exponent)
// whose value lies within its limits, both ends included.

#include <QString>
#include <optional>

#include "core/prompter.h"
#include "measurements/sweepplan.h"

namespace corvane {

struct SweepBoxLimits {
    double minimum = 0;
    double maximum = 0;
    QString title;
    QString text;
    // The box's refusal: its title and text with the exclamation icon.
    PromptMessage outsideMessage() const;
};

SweepBoxLimits sweepBoxLimits(SweepBox box);

// Empty when the text passes; otherwise the message to show (the text stays as typed).
std::optional<PromptMessage> checkSweepBox(SweepBox box, const QString &text);

}  // namespace corvane
