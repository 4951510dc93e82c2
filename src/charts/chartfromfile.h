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

// The chart row data line `index` (from 0) is drawn on: the next row for a fixed run's
// file; for an adaptive run's, the row of its frequency or gain on the grid of the start
// and step (or increment) of lines 26 to 28 (0 when that falls off the chart).
int chartRowOf(const ChartFileData &data, size_t index);

// Fills the chart as the chart-from-file window shows it: texts, rows, labels, scales; an
// adaptive run's points each on its own row (chartRowOf), every row labelled.
void applyChartFile(ResultChart &chart, const ChartFileData &data);

}  // namespace corvane
