#pragma once
// The filter figures of a sweep chart, beside it and on it: a small table of the figures
// (selectable text) and markers on the chart - dashed lines 6 and 60 dB below the peak and
// the edges of the 6 dB band. The live sweep chart recomputes them as rows arrive; a chart
// read from a file is given its points with their exact frequencies.

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "analysis/filterfigures.h"

class QLineSeries;

namespace corvane {

class ResultChart;
class ResultChartView;

// The figures as a two-column table; its text can be selected and copied.
class FiguresLabel : public QLabel {
    Q_OBJECT
public:
    explicit FiguresLabel(QWidget *parent = nullptr);
    void showFigures(const FilterFigures &figures, const QString &heading = QString());
    // Several tables one under the other (the overlay: one per file).
    void showTables(const std::vector<std::pair<QString, FilterFigures>> &tables);
};

// A sweep point at a (fractional) row of the chart's category axis.
struct RowPoint {
    double row = 0.0;
    SweepPoint point;
};

class SweepFigures : public QObject {
    Q_OBJECT
public:
    // Watches the chart and shows its figures in `label` and as markers on `view`.
    SweepFigures(ResultChart &chart, ResultChartView &view, FiguresLabel &label,
                 QObject *parent = nullptr);

    // The points of the chart's rows. By default they come from the rows' values and their
    // labels read as kHz, on a straight line through row number and frequency (a sweep
    // steps evenly; the live labels carry only seven significant digits).
    using PointSource = std::function<std::vector<RowPoint>()>;
    void setPointSource(PointSource source);
    // Recomputes now (otherwise a short while after the chart changes).
    void update();
    const FilterFigures &figures() const { return m_figures; }

private:
    std::vector<RowPoint> pointsFromRows() const;
    void placeMarkers(const std::vector<RowPoint> &points);

    ResultChart &m_chart;
    QPointer<ResultChartView> m_view;
    FiguresLabel &m_label;
    PointSource m_source;
    QTimer m_timer;
    FilterFigures m_figures;
    QLineSeries *m_level6 = nullptr;
    QLineSeries *m_level60 = nullptr;
    QLineSeries *m_lowEdge = nullptr;
    QLineSeries *m_highEdge = nullptr;
};

}  // namespace corvane

namespace corvane {

// Puts a figures table beside the chart view in its window and returns what keeps it (and
// the markers) up to date. The view must already sit in its window's layout.
SweepFigures *attachSweepFigures(ResultChart &chart, ResultChartView &view);

}  // namespace corvane
