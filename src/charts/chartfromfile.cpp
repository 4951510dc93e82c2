#include "charts/chartfromfile.h"

#include <algorithm>
#include <cmath>

#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "core/numtext.h"

namespace corvane {

std::vector<SweepPoint> sweepPointsOf(const ChartFileData &data) {
    std::vector<SweepPoint> points;
    points.reserve(data.rows.size());
    for (const ChartFileRow &row : data.rows) points.push_back({row.kHz * 1000.0, row.value});
    return points;
}

namespace {

bool isSweep(const ChartFileData &data) {
    return data.kind == ChartFileKind::Sweep;
}
// A data line's frequency (Hz) or gain.
double positionOf(const ChartFileData &data, const ChartFileRow &row) {
    return isSweep(data) ? row.kHz * 1000.0 : row.gain;
}
// The first row's frequency (Hz) or gain: the file's first point (its lowest, for an
// adaptive run's file), or its start when it has none; and the step from row to row.
double gridStart(const ChartFileData &data) {
    if (data.rows.empty()) return numericValue(data.startText) * (isSweep(data) ? 1000.0 : 1.0);
    double lowest = positionOf(data, data.rows.front());
    for (const ChartFileRow &row : data.rows) lowest = std::min(lowest, positionOf(data, row));
    return lowest;
}
double gridStep(const ChartFileData &data) {
    return isSweep(data) ? numericValue(data.stepText)
                         : std::max(1.0, roundHalfEven(numericValue(data.stepText)));
}

// An adaptive run's points on the rows of its grid, every row labelled, so that the chart is
// drawn by frequency or gain.
void placeOnGrid(ResultChart &chart, const ChartFileData &data) {
    const double start = gridStart(data);
    const double step = gridStep(data);
    chart.setRowCount(data.rowCount);
    for (int row = 1; row <= chart.rowCount(); ++row) {
        const double at = start + (row - 1) * step;
        chart.setRowLabel(row, isSweep(data)
                                   ? format0_000(numericValue(singleText(at / 1000.0)))
                                   : QStringLiteral("%1").arg(qRound(at), 3, 10, QChar(u'0')));
    }
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const int row = chartRowOf(data, i);
        chart.setRowValue(row, data.rows[i].value);
        chart.setRowLabel(row, data.rows[i].label);
    }
}

}  // namespace

int chartRowOf(const ChartFileData &data, size_t index) {
    if (!data.adaptive || index >= data.rows.size()) return int(index) + 1;
    const double at = positionOf(data, data.rows[index]);
    const double step = gridStep(data);
    // A point off the grid stands on the nearest row (0 when it is off the chart: not drawn).
    const double row = step > 0 ? std::round((at - gridStart(data)) / step) + 1 : 0;
    return row >= 1 && row <= data.rowCount ? int(row) : 0;
}

namespace {

// The sweep's X axis from the file's first to its last frequency (its start and stop when
// it holds no points), labelled as the sweep chart is.
void applySweepFileScales(ResultChart &chart, const ChartFileData &data) {
    if (data.rows.empty()) {
        applySweepScales(chart, sweepSpacing(data.startText, data.stopText, data.stepText));
        return;
    }
    const double first = gridStart(data) / 1000.0;
    const double last = first + (data.rowCount - 1) * gridStep(data) / 1000.0;
    applySweepScales(
        chart,
        sweepSpacing(data.adaptive ? shortestText(first) : data.rows.front().label,
                     data.adaptive ? shortestText(last) : data.rows.back().label, data.stepText));
}

}  // namespace

void applyChartFile(ResultChart &chart, const ChartFileData &data) {
    if (data.kind == ChartFileKind::Sweep)
        applySweepFileTexts(chart);
    else
        applyLinearRangeTexts(chart);
    if (data.adaptive) {
        placeOnGrid(chart, data);
        if (data.kind == ChartFileKind::Sweep)
            applySweepFileScales(chart, data);
        else
            applyAutomaticScales(chart);
        return;
    }
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
        applySweepFileScales(chart, data);
    else
        applyAutomaticScales(chart);
}

}  // namespace corvane
