#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP (a closed terminal, a logout) in corvane-cli are the
// Stop button of the procedures: the first asks the running procedure to stop after the
// exchange in progress; it then puts the radio back, writes its -o file and the program
// exits with 128 + the signal's number. A second signal ends the program at once.
// (POSIX signals; on other platforms only the first Ctrl-C is caught.)

namespace corvane::cli {

void installStopHandler();
bool stopRequested();
// The signal that asked to stop (0 when none).
int stopSignal();
void clearStopRequest();
// 128 + the stop signal when one came, else `code`.
int exitCodeAfterStop(int code);

}  // namespace corvane::cli
