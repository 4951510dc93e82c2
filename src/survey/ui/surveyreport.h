#pragma once
// The drawn files of a survey beside its tables (surveyoutputs.h), all into one folder:
//   survey-overlay.png, .svg   every slot's passband on one chart
//   survey.pdf                 the report: identity, date, how it was run (generator level,
//                              RF gain, each slot's span, step, points, fixed or adaptive,
//                              Corvane's version), the summing-up and the overlay; the table,
//                              the peaks beside the loss compensation, the findings and why a
//                              -60 dB width is missing; a chart and figures per slot; every
//                              page numbered "Page N of M"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "survey/filtersurvey.h"

namespace corvane {

// Every file of the survey (the tables, the overlay, the report) into `folder`, made when
// missing. False with the messages in `problems` ("cannot write PATH: reason") when any file
// could not be written; the others are written all the same.
bool writeSurveyFiles(const QString &folder, const SurveyResult &result, const QDateTime &when,
                      QStringList *problems);

// The report alone.
bool writeSurveyReport(const QString &path, const SurveyResult &result, const QDateTime &when,
                       QString *error);

}  // namespace corvane
