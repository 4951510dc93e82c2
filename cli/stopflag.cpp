#include "stopflag.h"

#include <csignal>

namespace corvane::cli {

namespace {
// A signal handler can only reach the program through a flag like this one.
volatile std::sig_atomic_t stopFlag = 0;

constexpr int kStopSignals[] = {
    SIGINT,
#ifdef SIGTERM
    SIGTERM,
#endif
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void onStopSignal(int signal) {
    if (stopFlag != 0) {
        // The second signal: end now, as if nothing caught it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopFlag = signal;
}
}  // namespace

void installStopHandler() {
#ifdef SA_RESETHAND
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Not restarted: a prompt waiting for Enter returns at once.
    action.sa_flags = 0;
    for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
#else
    for (const int signal : kStopSignals) std::signal(signal, onStopSignal);
#endif
}

bool stopRequested() {
    return stopFlag != 0;
}

int stopSignal() {
    return int(stopFlag);
}

void clearStopRequest() {
    stopFlag = 0;
}

int exitCodeAfterStop(int code) {
    return stopFlag != 0 ? 128 + int(stopFlag) : code;
}

}  // namespace corvane::cli
