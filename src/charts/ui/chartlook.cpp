#include "charts/ui/chartlook.h"

#include <QAbstractAxis>
#include <QChart>
#include <QGraphicsLayout>

namespace corvane {

void applyChartLook(QChart &chart) {
    chart.setBackgroundRoundness(0);
    // The backdrop reaches the edges; the margins keep the text off them.
    chart.layout()->setContentsMargins(0, 0, 0, 0);
    chart.setMargins(QMargins(10, 8, 16, 8));
    QFont titleFont = chart.titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    chart.setTitleFont(titleFont);
}

void applyAxisLook(QAbstractAxis &axis) {
    // Axis lines and tick marks dark enough to read on the window's own background.
    axis.setLinePen(QPen(QColor::fromRgb(kChartAxisColour), 1.0));
    axis.setGridLinePen(QPen(QColor::fromRgb(kChartGridColour), 1.0));
}

QPen chartLinePen(QColor colour) {
    return QPen(colour, kChartLineWidth);
}

NiceRange chartValueRange(bool haveData, double low, double high, int maxSteps) {
    constexpr double kEmptyLow = 0.0;
    constexpr double kEmptyHigh = 10.0;
    constexpr double kMarginShare = 0.04;
    if (!haveData) return niceRange(kEmptyLow, kEmptyHigh, maxSteps);
    const double margin = (high - low) * kMarginShare;
    NiceRange range = niceRange(low - margin, high + margin, maxSteps);
    if (range.low >= low) range.low -= range.step;
    if (range.high <= high) range.high += range.step;
    return range;
}

}  // namespace corvane
