#include "cliprompter.h"

namespace corvane::cli {

CliPrompter::CliPrompter(bool confirmAtOnce, std::FILE *input, std::FILE *output)
    : m_confirmAtOnce(confirmAtOnce), m_input(input), m_output(output) {}

void CliPrompter::message(const PromptMessage &msg) {
    const QString title = msg.title.isEmpty() ? programTitle() : msg.title;
    const QByteArray line = (title + QStringLiteral(": ") + msg.text).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_output);
    std::fflush(m_output);
    if (m_confirmAtOnce) return;
    // Wait for the end of a line; end of input or Ctrl-C closes the message as well.
    for (int c = std::fgetc(m_input); c != EOF && c != '\n'; c = std::fgetc(m_input)) {
    }
    std::clearerr(m_input);
}

}  // namespace corvane::cli
