#pragma once
// What a survey leaves in its folder, and the one drawing of its charts that the window, the
// images and the report share:
//   survey-FL1.txt ... survey-FL5.txt   each slot swept, as a filter sweep results file
//   survey.csv                          the table, one row per slot asked for
//   survey-overlay.png, .svg            every slot's passband on one chart
//   survey.pdf                          the report: identity, date, the overlay, the table
//                                       and findings, a chart and figures per slot

#include <QColor>
#include <QDateTime>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "survey/filtersurvey.h"

namespace corvane {

// One slot's curve: hertz from the carrier against the dB reading.
struct SurveyCurve {
    int slot = 0;
    std::vector<QPointF> points;
};
// The colour of a slot's curve, the same everywhere.
QColor surveySlotColour(int slot);
// The curves of the slots swept so far, around `centreHz`.
std::vector<SurveyCurve> surveyCurves(const SurveyResult &result);

// Axes, grid, curves and legend in `area`. `spanHz` is the half-width of the x axis (0: from
// the curves); a chart with no points draws its axes and says "No points yet".
void drawSurveyChart(QPainter &painter, const QRectF &area, const std::vector<SurveyCurve> &curves,
                     const QString &title, double spanHz = 0);

// The files named above into `folder` (created when missing). Slots without points get no
// .txt; everything else is always written. False with the messages in `problems` ("cannot
// write PATH: reason") when any file could not be written.
bool writeSurveyFiles(const QString &folder, const SurveyResult &result, const QDateTime &when,
                      QStringList *problems);

// The report alone (tests and the window's Save).
bool writeSurveyReport(const QString &path, const SurveyResult &result, const QDateTime &when,
                       QString *error);

}  // namespace corvane
