// bench_sweep_wait: how closely the filter sweep keeps to its documented waits on the real
// clock. A sweep of a few steps; the AFV reference prompt and the final message are answered
// at once.

#include "core/prompter.h"
#include "measurements/filtersweep.h"
#include "realclockwait.h"

namespace {

using namespace corvane;

const SweepInputs kSweep{QStringLiteral("14060"), QStringLiteral("14060.3"), QStringLiteral("100"),
                         QStringLiteral("150")};

class CountingSink : public SweepSink {
public:
    void clearLines() override { lines = 0; }
    void appendLine(const QString &) override { ++lines; }
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
    int lines = 0;
};

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    return bench::runWaitBench("sweep_wait", [](RadioLink &link) -> std::optional<QString> {
        ScriptedPrompter prompter;
        FilterSweepState state;
        CountingSink sink;
        FilterSweep sweep(link, prompter, state, sink);
        const SweepOutcome outcome = sweep.beginSweep(kSweep);
        if (outcome.end != SweepEnd::Completed) return std::nullopt;
        return QStringLiteral("%1 steps, %2 list lines").arg(outcome.stepsMeasured).arg(sink.lines);
    });
}
