// corvane-cli mds: the receiver sensitivity (MDS) test of the MDS window. --no-preamp is the
// preamp box cleared. The two signal generator prompts go to stderr and wait for Enter (or
// --yes); the list lines go to stdout as they are read, and -o writes the list as a results
// file. On --port sim the program plays the user at the bench: when the set-up prompt is
// confirmed the simulator's generator is switched on at 1 uV (-107 dBm) on VFO A's frequency,
// and when "Turn off RF signal source" is confirmed it is switched off. A signal that was not
// heard (S+N:Noise ratio below 2.00) is a result: its message goes to stderr and the exit is 0.

#include <QCommandLineOption>

#include "core/numtext.h"
#include "measurements/mdsresultsfile.h"
#include "measurements/mdstest.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kNoPreampOption = QStringLiteral("no-preamp");

class MdsOutput : public MdsSink {
public:
    MdsOutput(CliSession &session, bool preamp) : list(session), m_preamp(preamp) {}
    PrintedList list;

    void clearLines() override { list.clear(); }
    void appendLine(const QString &line) override { list.append(line); }
    void progress(const MdsProgress &progress) override {
        if (progress.reading > 0) printError(mdsProgressText(progress));
    }
    bool preampChecked() const override { return m_preamp; }

private:
    bool m_preamp;
};

// The session's prompter; with the built-in simulator the generator follows the prompts once
// the user has confirmed them.
class BenchPrompter : public Prompter {
public:
    BenchPrompter(CliSession &session) : m_session(session) {}
    using Prompter::message;
    void message(const PromptMessage &msg) override {
        m_session.prompter().message(msg);
        const std::shared_ptr<sim::K3Simulator> simulator = m_session.simulator();
        if (!simulator) return;
        sim::SignalGenerator &generator = simulator->generator();
        if (msg.title == kMdsSetupTitle) {
            generator.on = true;
            generator.levelDbm = kMdsGeneratorDbm;
            generator.frequencyHz = double(simulator->state().vfoAHz);
            printError(QStringLiteral("K3 Simulator: signal generator on, %1 dBm at %2 kHz")
                           .arg(shortestText(generator.levelDbm))
                           .arg(format0_000(generator.frequencyHz / 1000.0)));
        } else if (msg.title == kMdsGeneratorOffTitle) {
            generator.on = false;
            printError(QStringLiteral("K3 Simulator: signal generator off"));
        }
    }

private:
    CliSession &m_session;
};

int runMds(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty()) return session.usageError(QStringLiteral("mds takes options only"));
    if (const int code = checkOutputPath(session.parser())) return code;
    if (!session.connectRadio()) return kExitFailed;

    MdsWindowState state;
    MdsOutput output(session, !session.parser().isSet(kNoPreampOption));
    BenchPrompter prompter(session);
    MdsTest test(session.link(), prompter, state, output);
    const MdsOutcome outcome = test.beginMdsTest();
    // The list is written whatever the end: the readings taken are the user's.
    const int code = finishMeasurement(session.parser(), writeMdsResultsFile, output.list.lines(),
                                       outcome.end == MdsEnd::PortFailed);
    // A signal not heard is a result of the test (the message says so), not a failure.
    const bool ran = outcome.end == MdsEnd::Completed || outcome.end == MdsEnd::NotHeard;
    return code == kExitDone && !ran ? kExitFailed : code;
}

}  // namespace

CliCommand command_mds() {
    return {
        QStringLiteral("mds"),
        QString(),
        QStringLiteral("Measure the receiver's sensitivity (MDS) with a 1 uV (-107 dBm) signal."),
        {QCommandLineOption(kNoPreampOption,
                            QStringLiteral("Run the test with the preamp off (the preamp box "
                                           "cleared).")),
         QCommandLineOption(kCommentOption, QStringLiteral("User comments for the results file."),
                            QStringLiteral("TEXT")),
         QCommandLineOption(kOutputOption,
                            QStringLiteral("Write the results list to FILE, as a results file."),
                            QStringLiteral("FILE"))},
        runMds};
}

}  // namespace corvane::cli
