#pragma once
// The limits on the dBV window's three RF gain boxes, checked when the user leaves a box and
// by corvane-cli on its options. Each check gives nothing when the text is acceptable, or the
// message to show (the text stays as typed; the caller keeps the focus in the box).

#include <QString>
#include <optional>

#include "core/prompter.h"

namespace corvane {

// A number (as a whole), 0 or more.
std::optional<PromptMessage> checkRfGainStart(const QString &text);
// A number, 250 or less.
std::optional<PromptMessage> checkRfGainStop(const QString &text);
// A number from 1 to 5.
std::optional<PromptMessage> checkRfGainInc(const QString &text);

}  // namespace corvane
