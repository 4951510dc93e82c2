#pragma once
// A filter sweep and a dBV full test run on the simulator (SimBench), recording the list
// lines and the chart rows they produce: what the saved-file and analysis tests read back.

#include <QStringList>
#include <vector>

#include "common/bench.h"
#include "measurements/dbvlinearity.h"
#include "measurements/filtersweep.h"

namespace corvane::test {

struct RecordedRow {
    int row = 0;
    double value = 0;
    QString label;
};

class RecordingRuns : public SweepSink, public DbvResultSink {
public:
    QStringList lines;
    std::vector<RecordedRow> rows;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void prepareChart(int) override { rows.clear(); }
    void setChartRow(int row, double value, const QString &label) override {
        rows.push_back({row, value, label});
    }
    void finishChart() override {}
};

// The sweep; the user confirms the AFV reference once the readout has settled, and
// `stopAtYield` (when not 0) presses Stop at that yield.
struct SimSweep : SimBench {
    FilterSweepState sweepState;
    RecordingRuns record;
    SweepOutcome run(const SweepInputs &inputs, int stopAtYield = 0) {
        prompter.setHook([this](const PromptMessage &m) {
            if (m.title == QLatin1String("Set AFV Reference")) clock.advance(3000);
        });
        FilterSweep sweep(link, prompter, sweepState, record);
        clock.setYieldHook([this, stopAtYield, &sweep] {
            if (stopAtYield && clock.yieldCount() == stopAtYield) sweep.stopSweep();
        });
        const SweepOutcome outcome = sweep.beginSweep(inputs);
        clock.setYieldHook({});
        return outcome;
    }
};

}  // namespace corvane::test
