#pragma once
// A results file read back (files/chartfiles.h) as a chart: the rows, texts and scales the
// chart-from-file windows show, and a sweep file's points for the filter figures.

#include <vector>

#include "analysis/filterfigures.h"
#include "files/chartfiles.h"

namespace corvane {

class ResultChart;

// A sweep file's points: each data line's full frequency (Hz) and its reading.
std::vector<SweepPoint> sweepPointsOf(const ChartFileData &data);

// Fills the chart as the chart-from-file window shows it: texts, rows, labels, scales.
void applyChartFile(ResultChart &chart, const ChartFileData &data);

}  // namespace corvane
