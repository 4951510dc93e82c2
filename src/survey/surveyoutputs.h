#pragma once
// What a survey leaves in its folder that is not drawn, and the data its charts are drawn
// from (the drawn files, the overlay and the report, are in ui/surveyreport.h):
//   survey-FL1.txt ... survey-FL5.txt   each slot swept, as a filter sweep results file
//   survey.csv                          the table, one row per slot asked for
//   survey-run.csv                      its companion lines: how the survey was run (the
//                                       generator level, each slot's span, step, points and
//                                       steps, Corvane's version), why a -60 dB width is
//                                       missing, the summing-up

#include <QColor>
#include <QDateTime>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "survey/filtersurvey.h"

namespace corvane {

// One slot's curve: hertz from the carrier (above it positive) against dB relative to the
// widest slot's peak, in frequency order; its own peak and floor on the same scale.
struct SurveyCurve {
    int slot = 0;
    std::vector<QPointF> points;
    std::optional<double> peakDb;
    std::optional<double> floorDb;
};
// The colour of a slot's curve, the same everywhere.
QColor surveySlotColour(int slot);
// The widest slot's peak reading, which the curves are drawn relative to; none before a
// slot has been analysed (the curves are then the readings themselves).
std::optional<double> surveyPeakReferenceDb(const SurveyResult &result);
// The curves of the slots swept so far.
std::vector<SurveyCurve> surveyCurves(const SurveyResult &result);
// The half-width of the widest span swept, in Hz (0 before any slot was planned).
double surveyHalfSpanHz(const SurveyResult &result);

// "Corvane 1.0.4"
QString corvaneVersionText();
// "fixed" or "adaptive"
QString surveyStepsText(const SurveyResult &result);
// One slot's sweep as run: "FL3: 1500 Hz span, 10 Hz step, 151 points, fixed".
QString slotSweepText(const SlotResult &slot, const SurveyResult &result);

// survey-run.csv: a header "slot,item,value" and one line for each fact about the run
// (slot empty) or a slot.
QStringList surveyRunLines(const SurveyResult &result, const QDateTime &when);

// The files named above into `folder` (made when missing). Slots without points get no
// .txt. False with the messages in `problems` ("cannot write PATH: reason") when any file
// could not be written.
bool writeSurveyTables(const QString &folder, const SurveyResult &result, const QDateTime &when,
                       QStringList *problems);

}  // namespace corvane
