#pragma once
// The look every chart of the program shares, on screen and in its files: a white backdrop
// to the edges without rounded corners, the title bold and a quarter larger, axis lines in
// dark grey and the grid in light grey, lines 2 px wide; and the one rule for a value axis:
// round steps holding the data with a small margin, never with a line along the plot's edge.

#include <QColor>
#include <QPen>

#include "charts/axisspacing.h"

class QAbstractAxis;
class QChart;

namespace corvane {

constexpr QRgb kChartLineColour = 0xff0000a0;  // dark blue: a chart of one line
constexpr qreal kChartLineWidth = 2.0;
constexpr QRgb kChartAxisColour = 0xff505050;
constexpr QRgb kChartGridColour = 0xffc8c8c8;
// The -6 and -60 dB marker lines of the sweep charts.
constexpr QRgb kChartLevelColour = 0xffb03030;

void applyChartLook(QChart &chart);
void applyAxisLook(QAbstractAxis &axis);
QPen chartLinePen(QColor colour);

// The range of a value axis for data from `low` to `high` in at most `maxSteps` round steps:
// a margin of 4 % of the data's spread above and below, and a step more where the data
// would still touch an end (a flat 0 dB passband never lies on the plot's border).
NiceRange chartValueRange(bool haveData, double low, double high, int maxSteps);

}  // namespace corvane
