// corvane-cli display: reads the VFO A display ("ds;", 100 ms) and prints it decoded, as the
// menu readers see it (decimal points in place, the display's letter codes replaced).

#include "clicommand.h"
#include "clisession.h"
#include "radio/k3settings.h"

namespace corvane::cli {

namespace {

int runDisplay(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("display takes no arguments"));
    if (!session.connectRadio()) return kExitFailed;
    const QString display = k3settings::readDisplay(session.link());
    if (session.link().lastError().isError()) {
        session.reportPortError(session.link().lastError());
        return kExitFailed;
    }
    if (!session.radioAnswered()) return session.noAnswer();
    session.printLatin1(k3settings::decodeDisplayText(display));
    return kExitDone;
}

}  // namespace

CliCommand command_display() {
    return {QStringLiteral("display"),
            QString(),
            QStringLiteral("Read the VFO A display and print it decoded."),
            {},
            runDisplay};
}

}  // namespace corvane::cli
