#include "survey/ui/surveychartview.h"

#include <QPainter>

namespace corvane {

SurveyChartView::SurveyChartView(QWidget *parent) : QWidget(parent) {
    setMinimumSize(360, 200);
}

void SurveyChartView::setCurves(std::vector<SurveyCurve> curves, double spanHz) {
    m_curves = std::move(curves);
    m_spanHz = spanHz;
    update();
}

void SurveyChartView::addPoint(int slot, const QPointF &point) {
    auto curve = std::find_if(m_curves.begin(), m_curves.end(),
                              [slot](const SurveyCurve &c) { return c.slot == slot; });
    if (curve == m_curves.end()) {
        m_curves.push_back({slot, {}});
        curve = m_curves.end() - 1;
    }
    curve->points.push_back(point);
    update();
}

void SurveyChartView::clear() {
    m_curves.clear();
    update();
}

void SurveyChartView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    drawSurveyChart(painter, QRectF(rect()), m_curves, QStringLiteral("Filter slots swept"),
                    m_spanHz);
}

}  // namespace corvane
