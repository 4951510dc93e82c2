// corvane-cli identify: the connect procedure ("id;", and on "ID017;" the auto-info check),
// then what File, Exit does (auto-info mode 1 put back). Prints the identity answer.

#include "clicommand.h"
#include "clisession.h"
#include "link/connection.h"

namespace corvane::cli {

namespace {

// The answer to "id;": the first text read in this session.
QString identityAnswer(const LinkTrace &trace) {
    for (const TraceEvent &event : trace.events())
        if (event.kind == TraceEvent::Kind::Read) return event.text;
    return QString();
}

int runIdentify(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("identify takes no arguments"));
    if (!session.openPort()) return kExitFailed;
    const ConnectOutcome outcome = identifyRadio(session.link(), session.prompter());
    if (outcome.error.isError()) {
        session.reportPortError(outcome.error);
        return kExitFailed;
    }
    const QString identity = identityAnswer(session.trace());
    if (identity.isEmpty()) return session.noAnswer();
    session.printLatin1(identity);
    if (!outcome.identified) return kExitFailed;
    restoreAutoInfo(session.link(), session.prompter(), outcome.autoInfo);
    session.link().close();
    return kExitDone;
}

}  // namespace

CliCommand command_identify() {
    return {QStringLiteral("identify"),
            QString(),
            QStringLiteral("Connect as the connection dialog does and print the radio's identity."),
            {},
            runIdentify};
}

}  // namespace corvane::cli
