#include "charts/ui/resultchartview.h"

#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLayout>
#include <QLineSeries>
#include <QLoggingCategory>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

#include "charts/resultchart.h"
#include "charts/ui/chartlook.h"

Q_LOGGING_CATEGORY(lcCharts, "corvane.charts", QtWarningMsg)

namespace corvane {

namespace {

// Model changes wait this long at most before they are drawn together.
constexpr int kFlushDelayMs = 40;
constexpr int kMinTickGapPx = 5;
// A size to draw at when the chart window has never been shown.
constexpr QSize kUnshownSize(800, 500);

// Qt Charts names each X axis category by its text, and names must differ. Row labels may
// repeat and unlabelled rows have none, so every name ends in the category's index written
// in characters that take no room on screen.
QString invisibleIndex(int index) {
    static constexpr char16_t kDigits[] = {u'\u200B', u'\u200C', u'\u200D', u'\u2060'};
    QString text;
    do {
        text.prepend(QChar(kDigits[index % 4]));
        index /= 4;
    } while (index > 0);
    return text;
}

}  // namespace

ResultChartView::ResultChartView(QWidget *parent) : QChartView(parent) {
    m_chart = chart();
    m_chart->legend()->hide();
    applyChartLook(*m_chart);

    m_series = new QLineSeries(m_chart);
    m_series->setPen(chartLinePen(QColor::fromRgb(kChartLineColour)));
    m_chart->addSeries(m_series);

    m_xAxis = new QCategoryAxis(m_chart);
    m_xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_xAxis->setMinorGridLineVisible(false);
    m_chart->addAxis(m_xAxis, Qt::AlignBottom);
    m_series->attachAxis(m_xAxis);

    m_yAxis = new QValueAxis(m_chart);
    m_yAxis->setTickType(QValueAxis::TicksDynamic);
    m_chart->addAxis(m_yAxis, Qt::AlignLeft);
    m_series->attachAxis(m_yAxis);

    applyAxisLook(*m_xAxis);
    applyAxisLook(*m_yAxis);

    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(240, 180);
    setBackdropFilled(false);

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ResultChartView::flush);
    // A new plot size may call for another label spacing.
    connect(m_chart, &QChart::plotAreaChanged, this, &ResultChartView::scheduleFlush);
}

void ResultChartView::setModel(ResultChart *model) {
    if (m_model) disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model) {
        connect(model, &ResultChart::textsChanged, this, [this] {
            m_textsDirty = true;
            scheduleFlush();
        });
        connect(model, &ResultChart::scalesChanged, this, [this] {
            m_axisDirty = true;
            scheduleFlush();
        });
        connect(model, &ResultChart::rowCountChanged, this, &ResultChartView::onRowCountChanged);
        connect(model, &ResultChart::rowValueChanged, this, &ResultChartView::onRowValueChanged);
        connect(model, &ResultChart::rowLabelChanged, this, &ResultChartView::onRowLabelChanged);
    }
    m_textsDirty = true;
    onRowCountChanged();
}

void ResultChartView::scheduleFlush() {
    // A hidden chart catches up when it is shown or copied.
    if (isVisible() && !m_flushTimer.isActive()) m_flushTimer.start();
}

void ResultChartView::showEvent(QShowEvent *event) {
    QChartView::showEvent(event);
    flush();
}

void ResultChartView::onRowCountChanged() {
    m_rowsReset = true;
    m_axisDirty = true;
    m_dirtyColumns.clear();
    m_pendingLabelRows.clear();
    m_labelWidth = 0.0;
    scheduleFlush();
}

void ResultChartView::onRowValueChanged(int row) {
    if (!m_rowsReset) {
        const auto index = static_cast<size_t>((row - 1) / m_columnRows);
        if (index < m_columns.size() && !m_columns[index].dirty) {
            m_columns[index].dirty = true;
            m_dirtyColumns.push_back(index);
        }
    }
    scheduleFlush();
}

void ResultChartView::onRowLabelChanged(int row) {
    noteLabelWidth(m_model->rowLabel(row));
    if (!m_axisDirty) m_pendingLabelRows.push_back(row);
    scheduleFlush();
}

void ResultChartView::noteLabelWidth(const QString &label) {
    const QFontMetricsF metrics(m_xAxis->labelsFont());
    m_labelWidth = std::max(m_labelWidth, metrics.horizontalAdvance(label));
}

void ResultChartView::flush() {
    m_flushTimer.stop();
    if (!m_model) return;
    if (m_textsDirty) applyTexts();
    if (!updateSeries()) updateYRange(false);
    updateXAxis();
}

void ResultChartView::applyTexts() {
    m_textsDirty = false;
    m_chart->setTitle(m_model->title().toHtmlEscaped());
    m_xAxis->setTitleText(m_model->xAxisTitle().toHtmlEscaped());
    m_yAxis->setTitleText(m_model->yAxisTitle().toHtmlEscaped());
    setAccessibleDescription(
        tr("%1. X axis: %2. Y axis: %3.")
            .arg(m_model->title(), m_model->xAxisTitle(), m_model->yAxisTitle()));
}

int ResultChartView::columnRowsFor(int rows) const {
    const qreal plotWidth = m_chart->plotArea().width();
    const int columns = plotWidth >= 1.0 ? static_cast<int>(plotWidth) : kUnshownSize.width();
    return std::max(1, (rows + columns - 1) / columns);
}

void ResultChartView::rebuildColumns() {
    const int rows = m_model->rowCount();
    m_columnRows = columnRowsFor(rows);
    m_columns.assign(static_cast<size_t>((rows + m_columnRows - 1) / m_columnRows), Column());
    m_dirtyColumns.clear();
    for (size_t i = 0; i < m_columns.size(); ++i) computeColumn(i);
}

void ResultChartView::computeColumn(size_t column) {
    // First, lowest, highest and last row in the column, in row order: the line through
    // them covers the same pixels as the line through every row.
    const int firstRow = static_cast<int>(column) * m_columnRows + 1;
    const int lastRow = std::min(firstRow + m_columnRows - 1, m_model->rowCount());
    int first = 0, low = 0, high = 0, last = 0;
    double lowValue = 0.0, highValue = 0.0;
    for (int row = firstRow; row <= lastRow; ++row) {
        const std::optional<double> value = m_model->rowValue(row);
        if (!value) continue;
        if (first == 0) {
            first = low = high = row;
            lowValue = highValue = *value;
        }
        if (*value < lowValue) {
            low = row;
            lowValue = *value;
        }
        if (*value > highValue) {
            high = row;
            highValue = *value;
        }
        last = row;
    }
    Column &c = m_columns[column];
    c.dirty = false;
    c.count = 0;
    if (first == 0) return;
    std::array<int, 4> rows = {first, low, high, last};
    std::sort(rows.begin(), rows.end());
    for (const int row : rows) {
        if (c.count > 0 && c.points[static_cast<size_t>(c.count - 1)].x() == row) continue;
        c.points[static_cast<size_t>(c.count++)] = QPointF(row, *m_model->rowValue(row));
    }
}

bool ResultChartView::updateSeries() {
    const bool reset = m_rowsReset || columnRowsFor(m_model->rowCount()) != m_columnRows;
    if (reset) {
        m_rowsReset = false;
        rebuildColumns();
    } else if (m_dirtyColumns.empty()) {
        return false;
    } else {
        for (const size_t column : m_dirtyColumns) computeColumn(column);
        m_dirtyColumns.clear();
    }
    // One replace of the whole (column-bounded) line: a single re-layout of the series.
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(m_columns.size()) * 2);
    m_haveData = false;
    for (const Column &c : m_columns) {
        for (int i = 0; i < c.count; ++i) {
            const QPointF &p = c.points[static_cast<size_t>(i)];
            points.append(p);
            m_dataMin = m_haveData ? std::min(m_dataMin, p.y()) : p.y();
            m_dataMax = m_haveData ? std::max(m_dataMax, p.y()) : p.y();
            m_haveData = true;
        }
    }
    m_series->replace(points);
    updateYRange(reset);
    return true;
}

void ResultChartView::updateYRange(bool force) {
    constexpr int kMostYSteps = 8;
    const double low = m_dataMin;
    const double high = m_dataMax;
    // As many steps as labels fit one above the other (the chart library shortens labels to
    // the axis height over the number of marks).
    const qreal labelHeight = QFontMetricsF(m_yAxis->labelsFont()).height() + 3 * kMinTickGapPx;
    const qreal plotHeight = m_chart->plotArea().height();
    const int maxSteps =
        plotHeight >= 1.0
            ? std::clamp(static_cast<int>(plotHeight / labelHeight) - 1, 1, kMostYSteps)
            : kMostYSteps;
    // Grow the range only when a point reaches its edge, so that a running test does not
    // re-scale on every point.
    if (!force && m_yRangeSet && maxSteps == m_yMaxSteps && m_haveData && low > m_yRange.low &&
        high < m_yRange.high) {
        return;
    }
    m_yMaxSteps = maxSteps;
    m_yRange = chartValueRange(m_haveData, low, high, maxSteps);
    m_yRangeSet = true;
    m_yAxis->setRange(m_yRange.low, m_yRange.high);
    m_yAxis->setTickAnchor(m_yRange.low);
    m_yAxis->setTickInterval(m_yRange.step);
    m_yAxis->setLabelFormat(QStringLiteral("%.%1f").arg(m_yRange.decimals));
}

void ResultChartView::updateXAxis() {
    const int rows = m_model->rowCount();
    const double plotWidth = m_chart->plotArea().width();
    if (m_axisDirty) {
        m_labelWidth = 0.0;
        for (int row = 1; row <= rows; ++row) noteLabelWidth(m_model->rowLabel(row));
    }
    // Room for a few digits even before the first label arrives.
    const double labelWidth =
        std::max(m_labelWidth, QFontMetricsF(m_xAxis->labelsFont()).horizontalAdvance("0000"));
    const CategoryScale scale = m_model->xCategoryScale();
    const int label = labelStep(scale, rows, plotWidth, labelWidth);
    const double pxPerRow = rows > 0 ? plotWidth / rows : plotWidth;
    const int tick = tickStep(scale, label, pxPerRow, kMinTickGapPx);
    if (m_axisDirty || rows != m_axisRows || label != m_labelStep || tick != m_tickStep) {
        rebuildXAxis(rows, label, tick);
        return;
    }
    for (const int row : m_pendingLabelRows) {
        if ((row - 1) % m_labelStep != 0) continue;
        const auto index = static_cast<size_t>((row - 1) / m_labelStep);
        const QString name = categoryName(row, static_cast<int>(index));
        if (index < m_labelCategories.size() && m_labelCategories[index] != name) {
            m_xAxis->replaceLabel(m_labelCategories[index], name);
            m_labelCategories[index] = name;
        }
    }
    m_pendingLabelRows.clear();
}

void ResultChartView::rebuildXAxis(int rows, int labelStep, int tickStep) {
    qCDebug(lcCharts) << "X axis:" << rows << "rows, label every" << labelStep << "tick every"
                      << tickStep;
    m_axisDirty = false;
    m_pendingLabelRows.clear();
    m_axisRows = rows;
    m_labelStep = labelStep;
    m_tickStep = tickStep;

    for (const QString &name : m_xAxis->categoriesLabels()) m_xAxis->remove(name);
    m_labelCategories.clear();
    // Rows stand at whole numbers, half a row of room at either end.
    m_xAxis->setRange(0.5, std::max(rows, 1) + 0.5);
    // The categories run from label to label, the first from outside the plot, so that the
    // tick marks between labels are spaced evenly from the left edge on.
    m_xAxis->setStartValue(1 - labelStep);
    int index = 0;
    for (int row = 1; row <= rows; row += labelStep, ++index) {
        const QString name = categoryName(row, index);
        m_xAxis->append(name, row);
        m_labelCategories.push_back(name);
    }
    // A category axis without categories is not drawn at all, and its title then floats to
    // the chart's corner: before the first row it gets one unlabelled category.
    if (rows == 0) m_xAxis->append(invisibleIndex(0), 1);
    m_xAxis->setMinorTickCount(labelStep / tickStep - 1);
}

QString ResultChartView::categoryName(int row, int index) const {
    return m_model->rowLabel(row).toHtmlEscaped() + invisibleIndex(index);
}

void ResultChartView::setBackdropFilled(bool filled) {
    m_backdropFilled = filled;
    m_chart->setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
    m_chart->setBackgroundVisible(filled);
    m_chart->setPlotAreaBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
    m_chart->setPlotAreaBackgroundVisible(filled);
}

void ResultChartView::prepareToDraw() {
    if (!isVisible()) {
        // Lay the never-shown window out so the chart is drawn at a sensible size.
        if (QLayout *layout = window()->layout()) layout->activate();
        if (width() < minimumWidth() || height() < minimumHeight()) resize(kUnshownSize);
    }
    flush();
}

QImage ResultChartView::renderImage(bool filledBackdrop) {
    prepareToDraw();
    const bool wasFilled = m_backdropFilled;
    setBackdropFilled(filledBackdrop);
    if (QGraphicsLayout *layout = m_chart->layout()) layout->activate();

    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    render(&painter);
    painter.end();

    setBackdropFilled(wasFilled);
    return image;
}

}  // namespace corvane
