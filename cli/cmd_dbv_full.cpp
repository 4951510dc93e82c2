// corvane-cli dbv-full: the dBV linear range full test of the "Determine dBV Linear Range"
// window. The options take the place of its three RF gain boxes (with the same limits and
// messages); the list lines go to stdout as they are measured, and -o writes the results
// file exactly as Save File does. Ctrl-C is Stop Test: the step under way is finished and
// listed, then the radio's settings are put back.

#include <QCommandLineOption>

#include "measurements/adaptivereport.h"
#include "measurements/dbvlimits.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvresultsfile.h"
#include "resultsoutput.h"
#include "stopflag.h"

namespace corvane::cli {

namespace {

const QString kStartOption = QStringLiteral("start");
const QString kStopOption = QStringLiteral("stop");
const QString kIncOption = QStringLiteral("inc");
const QString kAdaptiveOption = QStringLiteral("adaptive");

// List lines on stdout as they come, kept for the file; progress on stderr; Ctrl-C passed
// on as Stop Test at each step.
class FullTestOutput : public DbvResultSink {
public:
    FullTestOutput(CliSession &session, DbvWindowState &state) : list(session), m_state(state) {}
    PrintedList list;

    void clearLines() override { list.clear(); }
    void appendLine(const QString &line) override { list.append(line); }
    void progress(const DbvProgress &progress) override {
        if (progress.step > 0 || progress.most > 0 || !progress.activity.isEmpty())
            printError(progressText(progress));
        m_warning.check(progress.noAnswerNote);
    }
    void atStepYield() override {
        if (stopRequested()) m_state.stopTestRequested = true;
    }

private:
    DbvWindowState &m_state;
    NoAnswerWarning m_warning;
};

int runDbvFull(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("dbv-full takes no arguments"));
    const QCommandLineParser &options = session.parser();
    const auto box = [&options](const QString &name, const char *initial) {
        return options.isSet(name) ? options.value(name) : QString::fromLatin1(initial);
    };
    // The window's boxes start with these texts.
    const DbvGainBoxes boxes{box(kStartOption, "50"), box(kStopOption, "250"), box(kIncOption, "1"),
                             options.isSet(kAdaptiveOption)};
    for (const auto &refusal :
         {checkRfGainStart(boxes.start), checkRfGainStop(boxes.stop), checkRfGainInc(boxes.inc)}) {
        if (refusal) return refuseOption(*refusal);
    }
    if (const int code = checkOutputPath(options)) return code;
    if (!session.connectRadio()) return kExitFailed;

    DbvWindowState state;
    FullTestOutput output(session, state);
    DbvFullTest test(session.link(), session.prompter(), state, output);
    if (!test.run(boxes)) {
        if (!session.radioAnswered() && !session.link().portLost()) return session.noAnswer();
        return kExitFailed;
    }
    return finishMeasurement(
        options, writeDbvResultsFile, resultsListInFileOrder(output.list.lines()),
        test.end() == DbvEnd::PortLost || !state.capture.lastRestore().isComplete());
}

}  // namespace

CliCommand command_dbv_full() {
    return {
        QStringLiteral("dbv-full"),
        QString(),
        QStringLiteral("Run the dBV linear range full test; print the results list."),
        {QCommandLineOption(kStartOption,
                            QStringLiteral("RF gain start value, 0 or more (default 50)."),
                            QStringLiteral("N")),
         QCommandLineOption(kStopOption,
                            QStringLiteral("RF gain stop value, 250 or less (default 250)."),
                            QStringLiteral("N")),
         QCommandLineOption(kIncOption, QStringLiteral("RF gain increment, 1 to 5 (default 1)."),
                            QStringLiteral("N")),
         QCommandLineOption(kAdaptiveOption,
                            QStringLiteral("Measure adaptively: coarse gain steps, then bisection "
                                           "to one increment at each end of the linear range.")),
         QCommandLineOption(kCommentOption, QStringLiteral("User comments for the results file."),
                            QStringLiteral("TEXT")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("Write the results file, as Save File does."),
                            QStringLiteral("FILE"))},
        runDbvFull};
}

}  // namespace corvane::cli
