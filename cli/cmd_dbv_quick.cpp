// corvane-cli dbv-quick: the dBV quick test (a seven-step half-interval search for the
// highest RF gain at which the dBV readout is still linear). The list lines go to stdout as
// they are measured; -o writes the results file exactly as Save File does. Like the
// window's quick test it cannot be stopped.

#include <QCommandLineOption>

#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

class QuickTestOutput : public DbvResultSink {
public:
    explicit QuickTestOutput(CliSession &session) : list(session) {}
    PrintedList list;

    void clearLines() override { list.clear(); }
    void appendLine(const QString &line) override { list.append(line); }
};

int runDbvQuick(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("dbv-quick takes no arguments"));
    if (!session.connectRadio()) return kExitFailed;

    DbvWindowState state;
    QuickTestOutput output(session);
    DbvQuickTest test(session.link(), session.prompter(), state, output);
    test.run();
    if (session.link().lastError().isError()) {
        session.reportPortError(session.link().lastError());
        return kExitFailed;
    }
    return writeOutputFile(session.parser(), writeDbvResultsFile, output.list.lines());
}

}  // namespace

CliCommand command_dbv_quick() {
    return {
        QStringLiteral("dbv-quick"),
        QString(),
        QStringLiteral("Run the dBV quick test (half-interval search); print the results."),
        {QCommandLineOption(kCommentOption, QStringLiteral("User comments for the results file."),
                            QStringLiteral("TEXT")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("Write the results file, as Save File does."),
                            QStringLiteral("FILE"))},
        runDbvQuick};
}

}  // namespace corvane::cli
