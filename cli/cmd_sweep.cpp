// corvane-cli sweep: the crystal filter sweep of the sweep window. The options stand for the
// window's boxes and are checked as the boxes are; the list lines go to stdout as they are
// measured, and -o writes the results file as Save File does. Ctrl-C is Stop Sweep.

#include "measurements/adaptivereport.h"
#include "measurements/filtersweep.h"
#include "measurements/sweeplimits.h"
#include "measurements/sweepplan.h"
#include "measurements/sweepresultsfile.h"
#include "resultsoutput.h"
#include "stopflag.h"

namespace corvane::cli {

namespace {

const QString kStartOption = QStringLiteral("start");
const QString kStopOption = QStringLiteral("stop");
const QString kStepOption = QStringLiteral("step");
const QString kGainOption = QStringLiteral("rf-gain");
const QString kAdaptiveOption = QStringLiteral("adaptive");

// The list as stdout: every line as the window lists it. Ctrl-C is noticed here, between
// steps, and stops the sweep before its next step as the Stop Sweep button does.
class PrintingSink : public SweepSink {
public:
    PrintingSink(CliSession &session, FilterSweepState &state) : m_list(session), m_state(state) {}
    void clearLines() override { m_list.clear(); }
    void appendLine(const QString &line) override {
        m_list.append(line);
        noticeStop();
    }
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
    void progress(const SweepProgress &progress) override {
        printError(sweepProgressText(progress));
        m_warning.check(progress.noAnswerNote);
        noticeStop();
    }
    const QStringList &lines() const { return m_list.lines(); }

private:
    void noticeStop() {
        if (stopRequested()) m_state.stopSweepRequested = true;
    }
    PrintedList m_list;
    FilterSweepState &m_state;
    NoAnswerWarning m_warning;
};

// The boxes' checks on the options: an option left out is an empty box.
std::optional<PromptMessage> checkOptions(const SweepInputs &inputs) {
    if (const std::optional<SweepRefusal> empty = firstEmptyBox(inputs)) return empty->message;
    const std::pair<SweepBox, const QString *> boxes[] = {{SweepBox::KHzStart, &inputs.kHzStart},
                                                          {SweepBox::KHzStop, &inputs.kHzStop},
                                                          {SweepBox::FreqStep, &inputs.freqStep},
                                                          {SweepBox::RFGain, &inputs.rfGain}};
    for (const auto &[box, text] : boxes)
        if (std::optional<PromptMessage> refusal = checkSweepBox(box, *text)) return refusal;
    // A sweep too long for its fields is refused before the radio is connected.
    if (const SweepPlanResult planned = planSweep(inputs); planned.refusal)
        return planned.refusal->message;
    return std::nullopt;
}

int runSweep(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty()) return session.usageError(QStringLiteral("sweep takes options only"));
    const QCommandLineParser &parser = session.parser();
    const SweepInputs inputs{
        parser.value(kStartOption), parser.value(kStopOption), parser.value(kStepOption),
        parser.value(kGainOption),
        parser.isSet(kAdaptiveOption) ? SweepMode::Adaptive : SweepMode::Fixed};
    if (const std::optional<PromptMessage> refusal = checkOptions(inputs))
        return refuseOption(*refusal);
    if (const int code = checkOutputPath(parser)) return code;
    if (!session.connectRadio()) return kExitFailed;

    FilterSweepState state;
    PrintingSink sink(session, state);
    FilterSweep sweep(session.link(), session.prompter(), state, sink);
    const SweepOutcome outcome = sweep.beginSweep(inputs);
    if (outcome.end == SweepEnd::NotPresent) return session.noAnswer();
    if (outcome.end == SweepEnd::Refused) return kExitUsage;
    if (outcome.end == SweepEnd::Busy || outcome.end == SweepEnd::NotStarted) return kExitFailed;
    return finishMeasurement(parser, writeSweepResultsFile, resultsListInFileOrder(sink.lines()),
                             outcome.end == SweepEnd::PortLost || !outcome.restored);
}

}  // namespace

CliCommand command_sweep() {
    return {
        QStringLiteral("sweep"),
        QString(),
        QStringLiteral("Sweep the crystal filter in use: VFO A from --start to --stop kHz in "
                       "--step Hz steps, the dBV reading at each."),
        {QCommandLineOption(kStartOption, QStringLiteral("Start frequency, kHz (1800-30000)."),
                            QStringLiteral("kHz")),
         QCommandLineOption(kStopOption, QStringLiteral("Stop frequency, kHz (1800-30000)."),
                            QStringLiteral("kHz")),
         QCommandLineOption(kStepOption, QStringLiteral("Frequency step, Hz (1-500)."),
                            QStringLiteral("Hz")),
         QCommandLineOption(kGainOption,
                            QStringLiteral("RF gain within the dBV readout's linear range "
                                           "(1-250)."),
                            QStringLiteral("N")),
         QCommandLineOption(kAdaptiveOption,
                            QStringLiteral("Measure adaptively: a coarse pass, then finer points "
                                           "on the skirts and band edges, down to --step.")),
         QCommandLineOption(kCommentOption, QStringLiteral("User comments for the results file."),
                            QStringLiteral("text")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("Write the results file (as Save File) to FILE."),
                            QStringLiteral("FILE"))},
        runSweep};
}

}  // namespace corvane::cli
