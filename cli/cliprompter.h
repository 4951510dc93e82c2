#pragma once
// Messages for the shell: "title: text" on stderr, then the user presses Enter (at once
// with --yes). End of input counts as Enter, so a script can pipe nothing in.

#include <cstdio>

#include "core/prompter.h"

namespace corvane::cli {

class CliPrompter : public Prompter {
public:
    explicit CliPrompter(bool confirmAtOnce, std::FILE *input = stdin, std::FILE *output = stderr);
    using Prompter::message;
    void message(const PromptMessage &msg) override;

private:
    bool m_confirmAtOnce;
    std::FILE *m_input;
    std::FILE *m_output;
};

}  // namespace corvane::cli
