// corvane-cli dbv-quick: the dBV quick test (a seven-step half-interval search for the
// highest RF gain at which the dBV readout is still linear). The list lines go to stdout as
// they are measured; -o writes the results file exactly as Save File does. Like the
// window's quick test it cannot be stopped.

#include <QCommandLineOption>

#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "resultsoutput.h"
#include "stopflag.h"

namespace corvane::cli {

namespace {

// The window's quick test cannot be stopped; here a stop signal ends it before its next
// measurement, and the radio is put back.
class QuickTestOutput : public DbvResultSink {
public:
    explicit QuickTestOutput(CliSession &session) : list(session) {}
    PrintedList list;

    void clearLines() override { list.clear(); }
    void appendLine(const QString &line) override { list.append(line); }
    void progress(const DbvProgress &progress) override {
        if (progress.step > 0 || !progress.activity.isEmpty()) printError(progressText(progress));
        m_warning.check(progress.noAnswerNote);
    }
    bool stopAsked() override { return stopRequested(); }

private:
    NoAnswerWarning m_warning;
};

int runDbvQuick(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("dbv-quick takes no arguments"));
    if (const int code = checkOutputPath(session.parser())) return code;
    if (!session.connectRadio()) return kExitFailed;

    DbvWindowState state;
    QuickTestOutput output(session);
    DbvQuickTest test(session.link(), session.prompter(), state, output);
    if (!test.run()) return kExitFailed;
    const int code = finishMeasurement(
        session.parser(), writeDbvResultsFile, output.list.lines(),
        test.end() == DbvEnd::PortLost || !state.capture.lastRestore().isComplete());
    // The quick test has no presence check: a radio that said nothing at all is told here.
    if (code == kExitDone && !session.radioAnswered()) return session.noAnswer();
    return code;
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
