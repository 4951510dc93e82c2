#include "survey/ui/surveychartview.h"

namespace corvane {

SurveyChartView::SurveyChartView(QWidget *parent) : QChartView(parent), m_chart(new SurveyChart) {
    setChart(m_chart);
    m_chart->setTitle(QStringLiteral("Filter slots swept"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 200);
}

}  // namespace corvane
