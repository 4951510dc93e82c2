#pragma once
// Messages for the shell: "title: text" on stderr, then the user presses Enter (at once
// with --yes). End of input counts as Enter, so a script can pipe nothing in; so does Ctrl-C,
// which also asks the running procedure to stop. On a terminal the message ends with
// "(Enter to go on; --yes skips)", and what was typed ahead is dropped first: an Enter
// pressed during a long wait must not confirm a message nobody read.

#include <cstdio>

#include "core/prompter.h"
#include "link/clock.h"

namespace corvane::cli {

class CliPrompter : public Prompter {
public:
    explicit CliPrompter(bool confirmAtOnce, int inputFd = 0, std::FILE *output = stderr);
    using Prompter::message;
    void message(const PromptMessage &msg) override;
    // With the built-in simulator on a virtual clock: every message moves that clock on by
    // the time a person takes to read it and act, as at a bench, so the radio's audio meter
    // has settled when the procedure reads it after an "OK".
    void setReadingClock(VirtualClock *clock) { m_readingClock = clock; }
    static constexpr int kReadingTimeMs = 5000;

private:
    void waitForEnter();

    bool m_confirmAtOnce;
    int m_inputFd;
    std::FILE *m_output;
    VirtualClock *m_readingClock = nullptr;
};

}  // namespace corvane::cli
