// The MAIN and CONFIG menu reports with the radio's answers taken from the fuzzer.
#include "fuzzradio.h"
#include "menus/menureports.h"
#include "radio/k3settings.h"

using namespace corvane;
using namespace corvane::menus;

namespace {
class DroppingSink : public MenuReportSink {
public:
    void clearLines() override {}
    void appendLine(const QString &, bool) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzBench bench(data, size);
    DroppingSink sink;
    k3settings::enableTechMode(bench.link);
    mainMenuReport(bench.link, sink);
    configMenuReport(bench.link, sink);
    return 0;
}
