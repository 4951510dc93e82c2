#include "stopflag.h"

#include <csignal>

namespace corvane::cli {

namespace {
// A signal handler can only reach the program through a flag like this one.
volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onInterrupt(int) {
    stopFlag = 1;
}
}  // namespace

void installStopHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Not restarted: a prompt waiting for Enter returns at once. The handler is used once;
    // the next Ctrl-C ends the program the ordinary way.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

bool stopRequested() {
    return stopFlag != 0;
}

void clearStopRequest() {
    stopFlag = 0;
}

}  // namespace corvane::cli
