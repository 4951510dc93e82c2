#include "survey/ui/surveychart.h"

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "charts/ui/chartlook.h"
#include "survey/surveyfindings.h"

namespace corvane {

namespace {
constexpr int kMostSteps = 8;
const QString kReadingTitle = QStringLiteral("dBV reading, dB");
const QString kRelativeTitle = QStringLiteral("dB rel. widest peak");
}  // namespace

SurveyChart::SurveyChart() {
    applyChartLook(*this);
    legend()->setAlignment(Qt::AlignRight);
    m_xAxis = new QValueAxis(this);
    m_xAxis->setTitleText(QStringLiteral("Hz from the carrier"));
    m_xAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_xAxis->setTickType(QValueAxis::TicksDynamic);
    m_yAxis = new QValueAxis(this);
    m_yAxis->setTitleText(kReadingTitle);
    m_yAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_yAxis->setTickType(QValueAxis::TicksDynamic);
    for (QValueAxis *axis : {m_xAxis, m_yAxis}) applyAxisLook(*axis);
    addAxis(m_xAxis, Qt::AlignBottom);
    addAxis(m_yAxis, Qt::AlignLeft);
    m_level6 = markerLine();
    m_level60 = markerLine();
    rescale();
}

QLineSeries *SurveyChart::markerLine() {
    auto *series = new QLineSeries(this);
    QPen pen(QColor::fromRgb(kChartLevelColour));
    pen.setStyle(Qt::DashLine);
    pen.setWidthF(1.2);
    series->setPen(pen);
    addSeries(series);
    series->attachAxis(m_xAxis);
    series->attachAxis(m_yAxis);
    for (QLegendMarker *marker : legend()->markers(series)) marker->setVisible(false);
    return series;
}

QLineSeries *SurveyChart::curve(int slot) const {
    const auto found = m_curves.find(slot);
    return found == m_curves.end() ? nullptr : found->second;
}

QLineSeries *SurveyChart::curveFor(int slot) {
    if (QLineSeries *existing = curve(slot)) return existing;
    auto *series = new QLineSeries(this);
    series->setName(QStringLiteral("FL%1").arg(slot));
    series->setPen(chartLinePen(surveySlotColour(slot)));
    addSeries(series);
    series->attachAxis(m_xAxis);
    series->attachAxis(m_yAxis);
    m_curves[slot] = series;
    return series;
}

void SurveyChart::clearCurves() {
    for (auto &[slot, series] : m_curves) {
        removeSeries(series);
        delete series;
    }
    m_curves.clear();
    m_haveData = false;
    m_markerPeakDb.reset();
    m_deepFloor = false;
    m_farthestHz = 0;
    m_yAxis->setTitleText(kReadingTitle);
    rescale();
}

void SurveyChart::setCurves(const std::vector<SurveyCurve> &curves,
                            std::optional<double> markerPeakDb, double halfSpanHz, bool relative) {
    clearCurves();
    m_halfSpanHz = halfSpanHz;
    m_markerPeakDb = markerPeakDb;
    m_yAxis->setTitleText(relative ? kRelativeTitle : kReadingTitle);
    for (const SurveyCurve &c : curves) {
        QList<QPointF> points(c.points.begin(), c.points.end());
        curveFor(c.slot)->replace(points);
        for (const QPointF &p : c.points) {
            m_low = m_haveData ? std::min(m_low, p.y()) : p.y();
            m_high = m_haveData ? std::max(m_high, p.y()) : p.y();
            m_farthestHz = std::max(m_farthestHz, std::abs(p.x()));
            m_haveData = true;
        }
        if (markerPeakDb && c.floorDb && *c.floorDb <= *markerPeakDb - kWidth60Db)
            m_deepFloor = true;
    }
    rescale();
}

void SurveyChart::addPoint(int slot, const QPointF &point) {
    curveFor(slot)->append(point);
    const bool grows = !m_haveData || point.y() < m_low || point.y() > m_high ||
                       (m_halfSpanHz <= 0 && std::abs(point.x()) > m_farthestHz);
    m_low = m_haveData ? std::min(m_low, point.y()) : point.y();
    m_high = m_haveData ? std::max(m_high, point.y()) : point.y();
    m_farthestHz = std::max(m_farthestHz, std::abs(point.x()));
    m_haveData = true;
    if (grows) rescale();
}

void SurveyChart::rescale() {
    const double half = m_halfSpanHz > 0 ? m_halfSpanHz : std::max(m_farthestHz, 500.0);
    const NiceRange x = niceRange(-half, half, kMostSteps);
    m_xAxis->setRange(x.low, x.high);
    m_xAxis->setTickAnchor(0);
    m_xAxis->setTickInterval(x.step);
    double low = m_low, high = m_high;
    if (m_markerPeakDb) {
        low = std::min(low, *m_markerPeakDb - (m_deepFloor ? kWidth60Db : 6.0));
        high = std::max(high, *m_markerPeakDb);
    }
    const NiceRange y = chartValueRange(m_haveData, low, high, kMostSteps);
    m_yAxis->setRange(y.low, y.high);
    m_yAxis->setTickAnchor(y.low);
    m_yAxis->setTickInterval(y.step);
    placeMarkers();
}

void SurveyChart::placeMarkers() {
    m_level6->clear();
    m_level60->clear();
    if (!m_markerPeakDb) return;
    const double left = m_xAxis->min();
    const double right = m_xAxis->max();
    const double peak = *m_markerPeakDb;
    m_level6->append({{left, peak - 6.0}, {right, peak - 6.0}});
    if (m_deepFloor) m_level60->append({{left, peak - kWidth60Db}, {right, peak - kWidth60Db}});
}

void drawSurveyChart(QPainter &painter, const QRectF &target, double scale, const QString &title,
                     const std::vector<SurveyCurve> &curves, std::optional<double> markerPeakDb,
                     double halfSpanHz, bool relative) {
    QGraphicsScene scene;
    auto *chart = new SurveyChart;  // the scene owns it
    scene.addItem(chart);
    chart->setTitle(title);
    chart->setBackgroundBrush(Qt::white);
    chart->setCurves(curves, markerPeakDb, halfSpanHz, relative);
    chart->legend()->setVisible(curves.size() > 1);
    const QSizeF layoutSize = target.size() / scale;
    chart->resize(layoutSize);
    if (QGraphicsLayout *layout = chart->layout()) layout->activate();
    const QRectF source(QPointF(0, 0), layoutSize);
    scene.setSceneRect(source);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, source);
    painter.restore();
}

}  // namespace corvane
