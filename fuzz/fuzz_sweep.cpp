// A three-step filter sweep and Reset K3 with the radio's answers taken from the fuzzer.
#include "fuzzradio.h"
#include "measurements/filtersweep.h"

using namespace corvane;

namespace {
class DroppingSink : public SweepSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzBench bench(data, size);
    FilterSweepState state;
    DroppingSink sink;
    FilterSweep sweep(bench.link, bench.prompter, state, sink);
    sweep.beginSweep({QStringLiteral("14059.9"), QStringLiteral("14060.1"), QStringLiteral("100"),
                      QStringLiteral("150")});
    sweep.resetK3();
    return 0;
}
