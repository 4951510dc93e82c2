// The adaptive modes with the radio's answers taken from the fuzzer, the first byte picking
// one: an adaptive sweep over 41 steps then Reset K3, the adaptive linear range test over
// 26 gains then the restore, or an adaptive one-slot filter survey at 25 Hz then Reset K3.
// Whatever the answers, every point the planner hands out lies on its grid and is charted
// (in the survey: kept) once.
#include <cmath>
#include <cstdlib>
#include <set>

#include "fuzzradio.h"
#include "measurements/dbvlinearity.h"
#include "measurements/filtersweep.h"
#include "survey/filtersurvey.h"

using namespace corvane;

namespace {
class CheckingSink : public SweepSink, public DbvResultSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
    void prepareChart(int rows) override { m_rows = rows; }
    void setChartRow(int row, double, const QString &) override {
        if (row < 1 || row > m_rows || !m_charted.insert(row).second) std::abort();
    }

private:
    int m_rows = 0;
    std::set<int> m_charted;
};

void adaptiveSurvey(fuzz::FuzzBench &bench) {
    SurveySink sink;
    FilterSurvey survey(bench.link, bench.prompter, sink);
    SurveyOptions options;
    options.slotNumbers = {3};
    options.stepHz = 25;
    options.adaptive = true;
    const SurveyResult result = survey.run(options);
    for (const SlotResult &slot : result.slotResults) {
        std::set<double> kept;
        for (const SweepPoint &point : slot.points) {
            const double steps = (point.hz - slot.plan.startHz) / slot.plan.stepHz;
            if (steps < 0 || steps > slot.plan.points - 1 || steps != std::floor(steps) ||
                !kept.insert(point.hz).second || std::abs(point.db) > 99.9)
                std::abort();
        }
    }
    survey.resetK3();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    fuzz::FuzzBench bench(data + 1, size - 1);
    CheckingSink sink;
    if (data[0] % 3 == 2) {
        adaptiveSurvey(bench);
    } else if (data[0] % 3 == 1) {
        DbvWindowState state;
        DbvFullTest(bench.link, bench.prompter, state, sink)
            .run({QStringLiteral("150"), QStringLiteral("250"), QStringLiteral("4"), true});
        state.capture.restoreInitialSettings(bench.link, state.flags);
    } else {
        FilterSweepState state;
        FilterSweep sweep(bench.link, bench.prompter, state, sink);
        sweep.beginSweep({QStringLiteral("14059.8"), QStringLiteral("14060.2"),
                          QStringLiteral("10"), QStringLiteral("150"), SweepMode::Adaptive});
        sweep.resetK3();
    }
    return 0;
}
