#include "charts/chartfromfile.h"

#include "charts/chartsetup.h"
#include "charts/resultchart.h"

namespace corvane {

std::vector<SweepPoint> sweepPointsOf(const ChartFileData &data) {
    std::vector<SweepPoint> points;
    points.reserve(data.rows.size());
    for (const ChartFileRow &row : data.rows) points.push_back({row.kHz * 1000.0, row.value});
    return points;
}

void applyChartFile(ResultChart &chart, const ChartFileData &data) {
    if (data.kind == ChartFileKind::Sweep)
        applySweepFileTexts(chart);
    else
        applyLinearRangeTexts(chart);
    std::vector<double> values;
    std::vector<QString> labels;
    values.reserve(data.rows.size());
    labels.reserve(data.rows.size());
    for (const ChartFileRow &r : data.rows) {
        values.push_back(r.value);
        labels.push_back(r.label);
    }
    chart.setRows(data.rowCount, values, labels);
    if (data.kind == ChartFileKind::Sweep)
        applySweepScales(chart, sweepSpacing(data.startText, data.stopText, data.stepText));
    else
        applyAutomaticScales(chart);
}

}  // namespace corvane
