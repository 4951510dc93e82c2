#pragma once
// Messages for the shell: "title: text" on stderr, then the user presses Enter (at once
// with --yes). End of input counts as Enter, so a script can pipe nothing in; so does Ctrl-C,
// which also asks the running procedure to stop.

#include <cstdio>

#include "core/prompter.h"

namespace corvane::cli {

class CliPrompter : public Prompter {
public:
    explicit CliPrompter(bool confirmAtOnce, int inputFd = 0, std::FILE *output = stderr);
    using Prompter::message;
    void message(const PromptMessage &msg) override;

private:
    void waitForEnter();

    bool m_confirmAtOnce;
    int m_inputFd;
    std::FILE *m_output;
};

}  // namespace corvane::cli
