// The settings capture around a test: snapshot, identity, report and restore on arbitrary
// answers.
#include "fuzzradio.h"
#include "radio/settingscapture.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzBench bench(data, size);
    SettingsCapture capture;
    k3settings::TestWindowFlags flags;
    k3settings::prepareKat3AndTechMode(bench.link, bench.prompter, flags);
    capture.readInitialSettings(bench.link);
    capture.readRadioIdentity(bench.link);
    capture.listInitialSettings(
        dbvReportTail(QStringLiteral("100"), QStringLiteral("250"), QStringLiteral("1")));
    capture.listInitialSettings(mdsReportTail(true));
    capture.restoreInitialSettings(bench.link, flags);
    return 0;
}
