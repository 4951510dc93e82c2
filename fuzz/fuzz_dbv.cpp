// The dBV linear range tests (full test over a few RF gain steps, then the quick test and
// Reset K3) with the radio's answers taken from the fuzzer.
#include "fuzzradio.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvquick.h"

using namespace corvane;

namespace {
class DroppingSink : public DbvResultSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzBench bench(data, size);
    DbvWindowState state;
    DroppingSink sink;
    DbvFullTest full(bench.link, bench.prompter, state, sink);
    full.run({QStringLiteral("100"), QStringLiteral("103"), QStringLiteral("1")});
    DbvQuickTest quick(bench.link, bench.prompter, state, sink);
    quick.run();
    state.capture.restoreInitialSettings(bench.link, state.flags);
    return 0;
}
