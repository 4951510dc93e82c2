// corvane-cli send CMD: the connection dialog's console. Writes CMD followed by ";" as typed
// ("id" when none is given), waits 400 ms and prints what the radio answered. Unlike every
// other subcommand it runs no connect procedure (no identify exchange, no auto-info change):
// it shows the radio as it is, reports and all.

#include "clicommand.h"
#include "clisession.h"
#include "link/connection.h"

namespace corvane::cli {

namespace {

int runSend(CliSession &session, const QStringList &arguments) {
    if (arguments.size() > 1)
        return session.usageError(QStringLiteral("send takes one command (without \";\")"));
    if (!session.openPort()) return kExitFailed;
    PortError error;
    const QString answer = sendConsoleCommand(session.link(), arguments.value(0), &error);
    if (error.isError()) {
        session.reportPortError(error);
        return kExitFailed;
    }
    if (answer.isEmpty()) return session.noAnswer();
    session.printLatin1(answer);
    return kExitDone;
}

}  // namespace

CliCommand command_send() {
    return {QStringLiteral("send"),
            QStringLiteral("[CMD]"),
            QStringLiteral("Send CMD; to the radio as typed (id when empty) and print its answer. "
                           "A raw exchange: no connect step, auto-info left as it is."),
            {},
            runSend};
}

}  // namespace corvane::cli
