#pragma once
// The survey's overlay on screen: the same drawing as the saved images and the report.

#include <QWidget>
#include <vector>

#include "survey/surveyoutputs.h"

namespace corvane {

class SurveyChartView : public QWidget {
    Q_OBJECT
public:
    explicit SurveyChartView(QWidget *parent = nullptr);
    void setCurves(std::vector<SurveyCurve> curves, double spanHz);
    // A point added to a slot's curve (the slot's curve is made on its first point).
    void addPoint(int slot, const QPointF &point);
    void clear();
    const std::vector<SurveyCurve> &curves() const { return m_curves; }
    QSize sizeHint() const override { return {560, 320}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<SurveyCurve> m_curves;
    double m_spanHz = 0;
};

}  // namespace corvane
