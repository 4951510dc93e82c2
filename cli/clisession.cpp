#include "clisession.h"

#include "link/connection.h"
#include "link/portnames.h"
#include "link/radiolog.h"

namespace corvane::cli {

namespace {
void printTo(std::FILE *stream, const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

bool isSimulator(const QString &port) {
    return port.trimmed().compare(kSimulatorPortSpec, Qt::CaseInsensitive) == 0;
}
}  // namespace

CliSession::CliSession(const CommonOptions &options, const QCommandLineParser &parser,
                       const CliCommand &command)
    : m_options(options), m_parser(parser), m_command(command), m_prompter(options.yes) {
    if (isSimulator(m_options.port)) {
        auto clock = std::make_unique<VirtualClock>();
        m_prompter.setReadingClock(clock.get());
        m_clock = std::move(clock);
        m_sim = std::make_shared<sim::K3Simulator>();
    } else {
        m_clock = std::make_unique<RealClock>();
    }
    m_link = std::make_unique<RadioLink>(*m_clock);
    m_link->setTrace(&m_trace);
    if (m_options.trace) {
        m_trace.setObserver([this](const TraceEvent &event) {
            printTo(stderr, RadioLog::stampedLine(event).toLatin1() + '\n');
        });
    }
}

CliSession::~CliSession() {
    m_link->close();
    m_trace.setObserver({});
}

AppContext CliSession::context() {
    AppContext context;
    context.link = m_link.get();
    context.prompter = &m_prompter;
    return context;
}

bool CliSession::connectRadio() {
    if (!openPort()) return false;
    const ConnectOutcome outcome = identifyRadio(*m_link, m_prompter);
    if (outcome.error.isError()) {
        reportPortError(outcome.error);
        m_link->close();
        return false;
    }
    m_identified = outcome.identified;
    m_autoInfo = outcome.autoInfo;
    if (!m_identified && !radioAnswered()) noAnswer();
    return m_identified;
}

void CliSession::disconnectRadio() {
    if (m_identified && m_link->isConnected() && !m_link->lastError().isError())
        restoreAutoInfo(*m_link, m_prompter, m_autoInfo);
    m_identified = false;
    m_link->close();
}

bool CliSession::openPort() {
    if (const auto number = comPortNumber(m_options.port)) m_link->setPortNumber(*number);
    m_link->setSettings(QString::number(m_options.baud) + QStringLiteral(",N,8,1"));
    m_link->setTransport(makeTransport(m_options.port, *m_clock, m_sim));
    const PortError error = m_link->open();
    if (!error.isError()) return true;
    reportPortError(error);
    return false;
}

void CliSession::reportPortError(const PortError &error) {
    printTo(stderr, (kPortErrorTitle + QStringLiteral(": ") + portErrorText(error, m_options.port))
                            .toLocal8Bit() +
                        '\n');
}

void CliSession::printLatin1(const QString &text) {
    printTo(stdout, text.toLatin1() + '\n');
}

int CliSession::usageError(const QString &problem) {
    QString usage = QStringLiteral("Usage: corvane-cli [options] ") + m_command.name;
    if (!m_command.arguments.isEmpty()) usage += u' ' + m_command.arguments;
    printTo(stderr, (QStringLiteral("corvane-cli: ") + problem + u'\n' + usage +
                     QStringLiteral("\nTry corvane-cli --help for the options.\n"))
                        .toLocal8Bit());
    return kExitUsage;
}

bool CliSession::radioAnswered() const {
    for (const TraceEvent &event : m_trace.events())
        if (event.kind == TraceEvent::Kind::Read && !event.text.isEmpty()) return true;
    return false;
}

int CliSession::noAnswer() {
    printTo(stderr, QByteArray("corvane-cli: No answer from the K3\n"));
    return kExitFailed;
}

}  // namespace corvane::cli
