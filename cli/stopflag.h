#pragma once
// Ctrl-C in corvane-cli is the Stop button of the procedures that have one: the first
// Ctrl-C asks the running procedure to stop at its next step, a second one ends the program.

namespace corvane::cli {

void installStopHandler();
bool stopRequested();
void clearStopRequest();

}  // namespace corvane::cli
