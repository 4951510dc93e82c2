// The crystal filter operations and readouts of both receivers with the radio's answers
// taken from the fuzzer: the first byte picks the receiver, the mode and the slot.
#include "filters/crystalfilters.h"
#include "fuzzradio.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const uint8_t pick = data[0];
    fuzz::FuzzBench bench(data + 1, size - 1);
    const Receiver receiver = (pick & 1) ? Receiver::Sub : Receiver::Main;
    FilterWindowFields fields;
    TableSink sink;
    CrystalFilters filters(bench.link, bench.prompter, receiver, fields, sink);
    const int mode = 1 + (pick >> 1) % 6;
    const int slot = 1 + (pick >> 4) % 5;
    if (pick & 0x80)
        filters.disableReceive(mode, slot);
    else
        filters.enableReceive(mode, slot);
    filters.bandwidthReadout();
    filters.receiveReadout();
    return 0;
}
