#pragma once
// The survey's overlay on screen: the survey chart (surveychart.h), growing as the readings
// come in, then the slots relative to the widest slot's peak once the survey has ended.

#include <QChartView>

#include "survey/ui/surveychart.h"

namespace corvane {

class SurveyChartView : public QChartView {
    Q_OBJECT
public:
    explicit SurveyChartView(QWidget *parent = nullptr);
    SurveyChart &surveyChart() { return *m_chart; }
    QSize sizeHint() const override { return {560, 260}; }

private:
    SurveyChart *m_chart;  // owned by the view
};

}  // namespace corvane
