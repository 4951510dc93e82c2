// A one-slot filter survey (main or sub-receiver, by the first byte) and Reset K3 with the
// radio's answers taken from the fuzzer: no reading outside the dBV readout's range.
#include <cmath>
#include <cstdlib>

#include "fuzzradio.h"
#include "survey/filtersurvey.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    fuzz::FuzzBench bench(data + 1, size - 1);
    SurveySink sink;
    FilterSurvey survey(bench.link, bench.prompter, sink);
    SurveyOptions options;
    options.receiver = data[0] & 1 ? Receiver::Sub : Receiver::Main;
    options.slotNumbers = {3};
    options.stepHz = 100;
    const SurveyResult result = survey.run(options);
    for (const SlotResult &slot : result.slotResults)
        for (const SweepPoint &point : slot.points)
            if (std::abs(point.db) > 99.9) std::abort();
    survey.resetK3();
    return 0;
}
