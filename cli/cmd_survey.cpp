// corvane-cli survey: every crystal filter slot of a receiver swept in one run against one
// generator carrier, with the files of the Filter Survey window written into -o DIR. The
// plan and the signal to connect come first; progress on stderr; the table and what
// disagrees with the radio's configuration on stdout. Ctrl-C stops as the Stop button does.

#include "resultsoutput.h"
#include "stopflag.h"
#include "survey/filtersurvey.h"
#include "survey/surveyfindings.h"
#include "survey/surveyoutputs.h"
#include "survey/surveyplan.h"
#include "survey/ui/surveyreport.h"

namespace corvane::cli {

namespace {

const QString kSubOption = QStringLiteral("sub");
const QString kModeOption = QStringLiteral("mode");
const QString kSlotsOption = QStringLiteral("slots");
const QString kGainOption = QStringLiteral("rf-gain");
const QString kStepOption = QStringLiteral("step");
const QString kCentreOption = QStringLiteral("centre");
const QString kAdaptiveOption = QStringLiteral("adaptive");
const QString kGeneratorOption = QStringLiteral("generator-dbm");

class PrintingSurveySink : public SurveySink {
public:
    // The plan was printed before the connect step from the default widths: here only its
    // points and time, as the widths read from the radio make them.
    void plan(const QStringList &lines) override {
        if (!lines.isEmpty())
            printError(QStringLiteral("From the slots' configured widths: ") + lines.last());
    }
    void phase(SurveyPhase phase) override {
        if (const QString text = surveyPhaseText(phase); !text.isEmpty()) printError(text);
    }
    void slotFinished(const SlotResult &slot) override {
        printError(QStringLiteral("FL%1: %2").arg(slot.slot).arg(slotStatusText(slot.status)));
    }
    void progress(const SurveyProgress &p) override {
        // A line at the first point of a slot, every 20th and the last.
        if (p.point == 1 || p.point % 20 == 0 || p.point == p.points)
            printError(surveySlotProgressText(p) + QStringLiteral("; ") +
                       surveyOverallProgressText(p));
    }
};

// The options as the window's boxes: a refusal names the option and its limits.
std::optional<QString> readOptions(const QCommandLineParser &parser, SurveyOptions &options) {
    if (parser.isSet(kSubOption)) options.receiver = Receiver::Sub;
    options.adaptive = parser.isSet(kAdaptiveOption);
    if (parser.isSet(kModeOption)) {
        const std::optional<int> mode = surveyModeNumber(parser.value(kModeOption));
        if (!mode)
            return QStringLiteral("--mode is one of CW, LSB, USB, DATA, AM, FM, not \"%1\".")
                .arg(parser.value(kModeOption));
        options.modeNumber = *mode;
    }
    if (parser.isSet(kSlotsOption)) {
        QString problem;
        const std::optional<QList<int>> numbers =
            parseSlotList(parser.value(kSlotsOption), &problem);
        if (!numbers) return problem;
        options.slotNumbers = *numbers;
    }
    if (parser.isSet(kGainOption)) {
        if (QString problem = checkSurveyRfGain(parser.value(kGainOption)); !problem.isEmpty())
            return problem;
        options.rfGain = parser.value(kGainOption).trimmed();
    }
    if (parser.isSet(kStepOption)) {
        if (QString problem = checkSurveyStep(parser.value(kStepOption)); !problem.isEmpty())
            return problem;
        options.stepHz = qRound(parser.value(kStepOption).toDouble());
    }
    if (parser.isSet(kGeneratorOption)) {
        if (QString problem = checkSurveyGenerator(parser.value(kGeneratorOption));
            !problem.isEmpty())
            return problem;
        options.generatorDbm = parser.value(kGeneratorOption).trimmed().toDouble();
    }
    if (parser.isSet(kCentreOption)) {
        if (QString problem = checkSurveyCentre(parser.value(kCentreOption)); !problem.isEmpty())
            return problem;
        options.centreHz = int32_t(qRound64(parser.value(kCentreOption).toDouble() * 1000.0));
    }
    return std::nullopt;
}

int runSurvey(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty())
        return session.usageError(QStringLiteral("survey takes options only"));
    const QCommandLineParser &parser = session.parser();
    SurveyOptions options;
    if (const std::optional<QString> refusal = readOptions(parser, options)) {
        printError(QStringLiteral("corvane-cli: ") + *refusal);
        return kExitUsage;
    }
    if (!parser.isSet(kOutputOption))
        return session.usageError(QStringLiteral("survey needs -o DIR, the folder for its files"));
    const QString folder = parser.value(kOutputOption);
    // Checked whole before the radio is touched: no run ends with its files lost.
    if (const QString problem = surveyFolderProblem(folder); !problem.isEmpty()) {
        printError(QStringLiteral("corvane-cli: cannot write into ") + folder +
                   QStringLiteral(": ") + problem);
        return kExitFailed;
    }
    // The signal to connect and the plan come first; the points and the time are made exact
    // once the slots' widths are read.
    for (const QString &line : surveyAdviceAndPlan(options)) printError(line);
    if (!session.connectRadio()) return kExitFailed;

    PrintingSurveySink sink;
    FilterSurvey survey(session.link(), session.prompter(), sink);
    // Ctrl-C is asked for at every exchange and during each long wait.
    survey.setStopCheck([] { return stopRequested(); });
    const SurveyResult result = survey.run(options);
    if (result.end == SurveyEnd::NotPresent) return session.noAnswer();
    if (result.end == SurveyEnd::Busy) return kExitFailed;
    // A step too coarse for a slot is the command line's fault: nothing was swept.
    if (result.end == SurveyEnd::StepTooCoarse) {
        // The refusal is the survey's last note.
        printError(QStringLiteral("corvane-cli: ") + result.notes.last());
        return exitCodeAfterStop(kExitUsage);
    }

    for (const QString &line : surveyCsvLines(result)) session.printLatin1(line);
    for (const QString &line : surveyFindings(result)) session.printLatin1(line);
    session.printLatin1(surveySummary(result));
    QStringList problems;
    const bool written = writeSurveyFiles(folder, result, QDateTime::currentDateTime(), &problems);
    for (const QString &problem : problems) printError(QStringLiteral("corvane-cli: ") + problem);
    if (!written || result.end == SurveyEnd::PortLost || result.end == SurveyEnd::Refused ||
        result.anySlotFailed())
        return exitCodeAfterStop(kExitFailed);
    return exitCodeAfterStop(kExitDone);
}

}  // namespace

CliCommand command_survey() {
    CliCommand command{
        QStringLiteral("survey"),
        QString(),
        QStringLiteral("Sweep every crystal filter slot of a receiver against one carrier and "
                       "write the survey files into -o DIR."),
        {QCommandLineOption(kSubOption, QStringLiteral("Survey the sub-receiver's slots.")),
         QCommandLineOption(kModeOption,
                            QStringLiteral("Mode: CW (default), LSB, USB, DATA, AM or FM."),
                            QStringLiteral("mode")),
         QCommandLineOption(kSlotsOption,
                            QStringLiteral("Slots to sweep, e.g. 1,3-5 (default all five)."),
                            QStringLiteral("list")),
         QCommandLineOption(kGainOption,
                            QStringLiteral("RF gain within the dBV readout's linear range "
                                           "(1-250, default 150)."),
                            QStringLiteral("N")),
         QCommandLineOption(kStepOption,
                            QStringLiteral("Step in Hz (1-500, at most a quarter of each slot's "
                                           "configured width; default the width / 40, at "
                                           "least 5 Hz)."),
                            QStringLiteral("Hz")),
         QCommandLineOption(kCentreOption,
                            QStringLiteral("The carrier's frequency in kHz (default VFO A once "
                                           "you have tuned to it)."),
                            QStringLiteral("kHz")),
         QCommandLineOption(kGeneratorOption,
                            QStringLiteral("The level the signal generator is set to, in dBm "
                                           "(-140 to 0, default -73): recorded in the report."),
                            QStringLiteral("DBM")),
         QCommandLineOption(kAdaptiveOption,
                            QStringLiteral("Adaptive steps: the finest step only where the "
                                           "response changes (as sweep --adaptive).")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("The folder for the survey's files (made when "
                                           "missing)."),
                            QStringLiteral("DIR"))},
        runSurvey};
    // The report and the overlay are drawn, offscreen.
    command.drawing = true;
    return command;
}

}  // namespace corvane::cli
