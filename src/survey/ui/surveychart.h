#pragma once
// The survey's charts, drawn with Qt Charts in the look of every other chart of the program
// (charts/ui/chartlook.h): one line per slot in the slot's colour, Hz from the carrier on
// the X axis (above it to the right), dB relative to the widest slot's peak on the Y axis,
// and the sweep chart's dashed marker lines 6 and 60 dB below the peak (the -60 dB line only
// where a floor lies that low). The window's overlay, the overlay's PNG and SVG and the
// report's charts are all this chart.

#include <QChart>
#include <QPainter>
#include <map>
#include <optional>
#include <vector>

#include "survey/surveyoutputs.h"

class QLineSeries;
class QValueAxis;

namespace corvane {

class SurveyChart : public QChart {
public:
    SurveyChart();

    // The curves (replacing any shown). `markerPeakDb`: the level the -6 and -60 dB lines
    // hang from (none: no lines); `halfSpanHz`: the X axis from -half to +half (0: from the
    // points); `relative`: the curves are relative to the widest slot's peak, else the
    // readings themselves.
    void setCurves(const std::vector<SurveyCurve> &curves, std::optional<double> markerPeakDb,
                   double halfSpanHz, bool relative);
    // A reading added to a slot's curve while it is swept.
    void addPoint(int slot, const QPointF &point);
    void clearCurves();

    QLineSeries *curve(int slot) const;
    QLineSeries *level6() const { return m_level6; }
    QLineSeries *level60() const { return m_level60; }
    QValueAxis *xAxis() const { return m_xAxis; }
    QValueAxis *yAxis() const { return m_yAxis; }

private:
    QLineSeries *curveFor(int slot);
    QLineSeries *markerLine();
    void rescale();
    void placeMarkers();

    QValueAxis *m_xAxis = nullptr;
    QValueAxis *m_yAxis = nullptr;
    QLineSeries *m_level6 = nullptr;
    QLineSeries *m_level60 = nullptr;
    std::map<int, QLineSeries *> m_curves;
    std::optional<double> m_markerPeakDb;
    bool m_deepFloor = false;  // some floor reaches 60 dB below the marker peak
    double m_halfSpanHz = 0;
    bool m_haveData = false;
    double m_low = 0, m_high = 0, m_farthestHz = 0;
};

// The chart drawn into `target` of the painter (an image, an SVG drawing, a PDF page), laid
// out at the target's size over `scale` and scaled to it: a scale above 1 draws the text
// larger. The other arguments as setCurves(); the legend only with more than one slot.
void drawSurveyChart(QPainter &painter, const QRectF &target, double scale, const QString &title,
                     const std::vector<SurveyCurve> &curves, std::optional<double> markerPeakDb,
                     double halfSpanHz, bool relative);

}  // namespace corvane
