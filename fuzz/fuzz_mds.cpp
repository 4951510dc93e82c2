// The MDS test and Reset K3 with the radio's answers taken from the fuzzer; the first byte
// says whether the preamp box is ticked.
#include "fuzzradio.h"
#include "measurements/mdstest.h"

using namespace corvane;

namespace {
class DroppingSink : public MdsSink {
public:
    explicit DroppingSink(bool preamp) : m_preamp(preamp) {}
    void clearLines() override {}
    void appendLine(const QString &) override {}
    bool preampChecked() const override { return m_preamp; }

private:
    bool m_preamp;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    fuzz::FuzzBench bench(data + 1, size - 1);
    MdsWindowState state;
    DroppingSink sink(data[0] & 1);
    MdsTest test(bench.link, bench.prompter, state, sink);
    test.beginMdsTest();
    test.resetK3();
    return 0;
}
