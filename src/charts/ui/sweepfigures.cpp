#include "charts/ui/sweepfigures.h"

#include <QCategoryAxis>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <cmath>

#include "charts/resultchart.h"
#include "charts/ui/resultchartview.h"
#include "core/numtext.h"

namespace corvane {

namespace {

constexpr int kRecomputeDelayMs = 150;
constexpr QRgb kLevelColour = 0xb03030;
constexpr QRgb kEdgeColour = 0x2e8b57;

QString tableHtml(const FilterFigures &figures, const QString &heading) {
    QString html;
    if (!heading.isEmpty()) html += QStringLiteral("<p><b>%1</b></p>").arg(heading.toHtmlEscaped());
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const auto &[name, value] : figureTexts(figures))
        html += QStringLiteral("<tr><td>%1</td><td>&nbsp;%2</td></tr>")
                    .arg(name.toHtmlEscaped(), value.toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

// Where a frequency falls on the chart's rows, between the two points around it.
std::optional<double> rowOf(const std::vector<RowPoint> &points, double hz) {
    for (size_t i = 1; i < points.size(); ++i) {
        const RowPoint &a = points[i - 1];
        const RowPoint &b = points[i];
        const double low = std::min(a.point.hz, b.point.hz);
        const double high = std::max(a.point.hz, b.point.hz);
        if (hz < low || hz > high) continue;
        if (a.point.hz == b.point.hz) return a.row;
        return a.row + (hz - a.point.hz) * (b.row - a.row) / (b.point.hz - a.point.hz);
    }
    return std::nullopt;
}

QLineSeries *markerSeries(QChart *chart, QAbstractAxis *x, QAbstractAxis *y, QRgb colour,
                          Qt::PenStyle style) {
    auto *series = new QLineSeries(chart);
    QPen pen{QColor::fromRgb(colour)};
    pen.setStyle(style);
    pen.setWidthF(1.2);
    series->setPen(pen);
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
    return series;
}

}  // namespace

FiguresLabel::FiguresLabel(QWidget *parent) : QLabel(parent) {
    setObjectName(QStringLiteral("lblFigures"));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAccessibleName(tr("Filter figures"));
    setFocusPolicy(Qt::StrongFocus);
    showFigures(FilterFigures());
}

void FiguresLabel::showFigures(const FilterFigures &figures, const QString &heading) {
    setText(tableHtml(figures, heading));
}

void FiguresLabel::showTables(const std::vector<std::pair<QString, FilterFigures>> &tables) {
    QString html;
    for (const auto &[heading, figures] : tables) html += tableHtml(figures, heading);
    setText(html);
}

SweepFigures::SweepFigures(ResultChart &chart, ResultChartView &view, FiguresLabel &label,
                           QObject *parent)
    : QObject(parent), m_chart(chart), m_view(&view), m_label(label) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRecomputeDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &SweepFigures::update);
    const auto later = [this] { m_timer.start(); };
    connect(&chart, &ResultChart::rowCountChanged, this, later);
    connect(&chart, &ResultChart::rowValueChanged, this, later);
    connect(&chart, &ResultChart::rowLabelChanged, this, later);
    QChart *drawing = view.chart();
    m_level6 = markerSeries(drawing, view.xAxis(), view.yAxis(), kLevelColour, Qt::DashLine);
    m_level60 = markerSeries(drawing, view.xAxis(), view.yAxis(), kLevelColour, Qt::DashLine);
    m_lowEdge = markerSeries(drawing, view.xAxis(), view.yAxis(), kEdgeColour, Qt::DotLine);
    m_highEdge = markerSeries(drawing, view.xAxis(), view.yAxis(), kEdgeColour, Qt::DotLine);
}

void SweepFigures::setPointSource(PointSource source) {
    m_source = std::move(source);
    m_timer.start();
}

std::vector<RowPoint> SweepFigures::pointsFromRows() const {
    std::vector<RowPoint> points;
    for (int row = 1; row <= m_chart.rowCount(); ++row)
        if (const std::optional<double> value = m_chart.rowValue(row))
            points.push_back({double(row), {numericValue(m_chart.rowLabel(row)) * 1000.0, *value}});
    if (points.size() < 2) return points;
    // Least squares line through (row, Hz): the even steps the labels round.
    double sumRow = 0, sumHz = 0;
    for (const RowPoint &p : points) {
        sumRow += p.row;
        sumHz += p.point.hz;
    }
    const double n = double(points.size());
    const double meanRow = sumRow / n, meanHz = sumHz / n;
    double num = 0, den = 0;
    for (const RowPoint &p : points) {
        num += (p.row - meanRow) * (p.point.hz - meanHz);
        den += (p.row - meanRow) * (p.row - meanRow);
    }
    const double hzPerRow = den > 0 ? num / den : 0.0;
    for (RowPoint &p : points) p.point.hz = std::round(meanHz + (p.row - meanRow) * hzPerRow);
    return points;
}

void SweepFigures::update() {
    m_timer.stop();
    const std::vector<RowPoint> points = m_source ? m_source() : pointsFromRows();
    std::vector<SweepPoint> sweep;
    sweep.reserve(points.size());
    for (const RowPoint &p : points) sweep.push_back(p.point);
    m_figures = analyseSweep(sweep);
    m_label.showFigures(m_figures);
    placeMarkers(points);
}

void SweepFigures::placeMarkers(const std::vector<RowPoint> &points) {
    for (QLineSeries *series : {m_level6, m_level60, m_lowEdge, m_highEdge}) series->clear();
    if (!m_figures.peakDb || points.empty()) return;
    const double left = 0.5;
    const double right = std::max(1, m_chart.rowCount()) + 0.5;
    const double peak = *m_figures.peakDb;
    m_level6->append({{left, peak - 6.0}, {right, peak - 6.0}});
    if (m_figures.floorDb && *m_figures.floorDb <= peak - 60.0)
        m_level60->append({{left, peak - 60.0}, {right, peak - 60.0}});
    // The 6 dB band's edges, from its line down to the floor.
    const double bottom = m_figures.floorDb.value_or(peak - 60.0);
    if (!m_figures.width6.widthHz()) return;
    const std::optional<double> low = rowOf(points, *m_figures.width6.lowHz);
    const std::optional<double> high = rowOf(points, *m_figures.width6.highHz);
    if (!low || !high) return;
    m_lowEdge->append({{*low, bottom}, {*low, peak - 6.0}});
    m_highEdge->append({{*high, bottom}, {*high, peak - 6.0}});
}

}  // namespace corvane

namespace corvane {

SweepFigures *attachSweepFigures(ResultChart &chart, ResultChartView &view) {
    QWidget *window = view.parentWidget();
    QLayout *holder = nullptr;
    if (window)
        for (QLayout *layout : window->findChildren<QLayout *>())
            if (layout->indexOf(&view) >= 0) {
                holder = layout;
                break;
            }
    // The view's place in the window goes to a row of the view and the table.
    auto *box = new QWidget(window);
    if (holder) delete holder->replaceWidget(&view, box);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(&view, 1);
    auto *label = new FiguresLabel(box);
    row->addWidget(label, 0);
    return new SweepFigures(chart, view, *label, box);
}

}  // namespace corvane
