// The readers behind the chart-from-file windows, the viewer, `corvane-cli chart` and
// `corvane-cli analyze`: arbitrary file bytes read as lines, recognised, parsed as a sweep
// and as a dBV results file, charted, and the sweep's filter figures worked out.
#include "analysis/filterfigures.h"
#include "charts/chartfromfile.h"
#include "charts/resultchart.h"
#include "fuzzradio.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QTemporaryFile file;
    if (!fuzz::writeScratchFile(file, data, size)) return 0;
    QString error;
    const std::optional<QStringList> lines = readTextLines(file.fileName(), &error);
    if (!lines) return 0;
    chartFileKindOf(*lines);
    for (const ChartFileResult &result :
         {parseSweepChartLines(*lines), parseDbvChartLines(*lines)}) {
        if (!result.data) continue;
        ResultChart chart;
        applyChartFile(chart, *result.data);
        analyseSweep(sweepPointsOf(*result.data));
    }
    return 0;
}
