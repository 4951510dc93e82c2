// corvane-cli identify: the connect procedure that every subcommand but send runs ("id;",
// and on "ID017;" the auto-info check), then what File, Exit does (auto-info mode 1 put
// back). Prints the identity answer.

#include <optional>

#include "clicommand.h"
#include "clisession.h"

namespace corvane::cli {

namespace {

// The answer to "id;": the first text read in this session; none when the port failed.
std::optional<QString> identityAnswer(const LinkTrace &trace) {
    for (const TraceEvent &event : trace.events())
        if (event.kind == TraceEvent::Kind::Read) return event.text;
    return std::nullopt;
}

int runIdentify(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("identify takes no arguments"));
    const bool identified = session.connectRadio();
    // Printed whatever it was: it tells what answered.
    if (const std::optional<QString> answer = identityAnswer(session.trace()))
        session.printLatin1(*answer);
    return identified ? kExitDone : kExitFailed;
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
