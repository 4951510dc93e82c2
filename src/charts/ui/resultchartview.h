#pragma once
// The drawing of a ResultChart: a Qt Charts line chart whose X axis is labelled with the row
// labels, following the model live. Model changes are gathered and drawn together at most
// every few tens of milliseconds, and the line holds at most four points per pixel column
// (first, lowest, highest and last row of the column), so that appending row after row to
// a chart of thousands of rows never costs a re-layout of every point per row. The same
// drawing feeds the screen and the chart image (renderImage), which the image windows show,
// copy and save.

#include <QChartView>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <array>
#include <vector>

#include "charts/axisspacing.h"

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace corvane {

class ResultChart;

class ResultChartView : public QChartView {
    Q_OBJECT
public:
    explicit ResultChartView(QWidget *parent = nullptr);

    // The chart to draw; the view does not own it.
    void setModel(ResultChart *model);
    ResultChart *model() const { return m_model; }

    // Applies the model changes still waiting for the next pass of the event loop.
    void flush();

    // The chart as drawn, at the view's size; with a solid white backdrop when asked (the
    // view itself goes back to its own backdrop afterwards).
    QImage renderImage(bool filledBackdrop);
    // Lays a never-shown view out at a sensible size and applies the waiting changes, so
    // that it can be drawn.
    void prepareToDraw();
    bool isBackdropFilled() const { return m_backdropFilled; }
    void setBackdropFilled(bool filled);

    QLineSeries *series() const { return m_series; }
    QCategoryAxis *xAxis() const { return m_xAxis; }
    QValueAxis *yAxis() const { return m_yAxis; }
    int labelStepInUse() const { return m_labelStep; }
    int tickStepInUse() const { return m_tickStep; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scheduleFlush();
    void onRowCountChanged();
    void onRowValueChanged(int row);
    void onRowLabelChanged(int row);

    void applyTexts();
    int columnRowsFor(int rows) const;
    void rebuildColumns();
    void computeColumn(size_t column);
    bool updateSeries();  // whether the line changed
    void updateYRange(bool force);
    void updateXAxis();
    void rebuildXAxis(int rows, int labelStep, int tickStep);
    QString categoryName(int row, int index) const;
    void noteLabelWidth(const QString &label);

    QPointer<ResultChart> m_model;
    QChart *m_chart = nullptr;  // owned by the view
    QLineSeries *m_series = nullptr;
    QCategoryAxis *m_xAxis = nullptr;
    QValueAxis *m_yAxis = nullptr;
    QTimer m_flushTimer;
    bool m_backdropFilled = false;

    // Waiting for the next flush.
    bool m_textsDirty = true;
    bool m_rowsReset = true;
    bool m_axisDirty = true;
    std::vector<size_t> m_dirtyColumns;
    std::vector<int> m_pendingLabelRows;

    // The points drawn for the rows of one pixel column.
    struct Column {
        std::array<QPointF, 4> points;
        int count = 0;
        bool dirty = false;
    };
    std::vector<Column> m_columns;
    int m_columnRows = 1;  // rows per column
    bool m_haveData = false;
    double m_dataMin = 0.0;
    double m_dataMax = 0.0;
    NiceRange m_yRange;
    bool m_yRangeSet = false;
    int m_yMaxSteps = 0;
    double m_labelWidth = 0.0;  // widest row label seen, in pixels
    int m_axisRows = -1;
    int m_labelStep = 0;
    int m_tickStep = 0;
    std::vector<QString> m_labelCategories;  // X axis category of each labelled row
};

}  // namespace corvane
