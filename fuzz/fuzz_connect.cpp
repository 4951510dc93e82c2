// The connect procedure, Test Communications, the console and Exit's auto-info step, with
// the radio's answers taken from the fuzzer.
#include "fuzzradio.h"
#include "link/connection.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzBench bench(data, size);
    const ConnectOutcome outcome = identifyRadio(bench.link, bench.prompter);
    PortError error;
    testCommunications(bench.link, bench.prompter, &error);
    sendConsoleCommand(bench.link, QStringLiteral("fa"), &error);
    restoreAutoInfo(bench.link, bench.prompter, outcome.autoInfo);
    return 0;
}
