#include "cliprompter.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "stopflag.h"
#include "terminalinput.h"

namespace corvane::cli {

CliPrompter::CliPrompter(bool confirmAtOnce, int inputFd, std::FILE *output)
    : m_confirmAtOnce(confirmAtOnce), m_inputFd(inputFd), m_output(output) {}

void CliPrompter::message(const PromptMessage &msg) {
    const QString title = msg.title.isEmpty() ? programTitle() : msg.title;
    const bool onTerminal = !m_confirmAtOnce && isTerminal(m_inputFd);
    QString text = title + QStringLiteral(": ") + msg.text;
    if (onTerminal) {
        text += QStringLiteral(" (Enter to go on; --yes skips)");
        discardTypedAhead(m_inputFd);
    }
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_output);
    std::fflush(m_output);
    if (!m_confirmAtOnce) waitForEnter();
    if (m_readingClock) m_readingClock->advance(kReadingTimeMs);
}

void CliPrompter::waitForEnter() {
    // The stop signals are held back except inside ppoll(), so one that comes just before the wait
    // is not lost: the flag is checked with the signal blocked, then ppoll lets it in.
    sigset_t interrupt;
    sigset_t previous;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigaddset(&interrupt, SIGTERM);
    sigaddset(&interrupt, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
    while (!stopRequested()) {
        pollfd input{m_inputFd, POLLIN, 0};
        if (::ppoll(&input, 1, nullptr, &previous) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        char c = 0;
        // One byte at a time: what follows the line end is the next message's answer.
        if (::read(m_inputFd, &c, 1) != 1 || c == '\n') break;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace corvane::cli
