// bench_dbv_wait: how closely a real-clock dBV full test keeps to its documented waits. A
// short full test (a few RF gain steps), the AFV prompt answered at once (goal: median ratio
// at most 1.01).

#include "measurements/dbvlinearity.h"
#include "realclockwait.h"

namespace {

using namespace corvane;

const DbvGainBoxes kBoxes{QStringLiteral("100"), QStringLiteral("102"), QStringLiteral("1")};

// Confirms every message at once, as a user who clicks OK without delay.
class ConfirmingPrompter : public Prompter {
public:
    using Prompter::message;
    void message(const PromptMessage &) override {}
};

class CountingSink : public DbvResultSink {
public:
    int lines = 0;
    void clearLines() override { lines = 0; }
    void appendLine(const QString &) override { ++lines; }
};

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    return bench::runWaitBench("dbv_wait", [](RadioLink &link) -> std::optional<QString> {
        ConfirmingPrompter prompter;
        DbvWindowState state;
        CountingSink sink;
        DbvFullTest test(link, prompter, state, sink);
        if (!test.run(kBoxes)) return std::nullopt;
        return QStringLiteral("RF gain %1..%2 step %3, %4 list lines")
            .arg(kBoxes.start, kBoxes.stop, kBoxes.inc)
            .arg(sink.lines);
    });
}
