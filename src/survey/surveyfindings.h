#pragma once
// What a survey found, as the table and the plain words of the report: each slot's row of
// survey.csv, and where the measurement and the radio's configuration disagree:
//   - a -6 dB width more than 15 % from the configured bandwidth;
//   - a -6 dB centre more than 50 Hz from where the offset puts it. The K3 moves its IF by
//     each slot's FLx FRQ so that a filter whose offset is right is centred on the tuned
//     frequency: every slot's centre belongs at the carrier, the sweep's middle, and
//     centre_offset_hz is the measured centre (VFO A) minus the carrier. A filter that sits
//     d Hz above where FLx FRQ says passes the carrier best with VFO A d Hz below it: its
//     centre_offset_hz is -d, and FLx FRQ wants setting to (offset - centre_offset_hz);
//   - a loss the compensation does not cover: |peak relative to the widest slot + FLx GN|
//     more than 1 dB (less the widest slot's own FLx GN, 0 for the wide filters).

#include <QString>
#include <QStringList>

#include "survey/filtersurvey.h"

namespace corvane {

constexpr double kWidthTolerance = 0.15;
constexpr double kCentreToleranceHz = 50.0;
constexpr double kLossToleranceDb = 1.0;

QString surveyCsvHeader();
// One slot's row: figures that cannot be had are left empty.
QString surveyCsvRow(const SlotResult &slot);
// Header, then one row per slot asked for.
QStringList surveyCsvLines(const SurveyResult &result);

// The plain-word disagreements of one slot (none for a slot not measured).
QStringList slotDisagreements(const SlotResult &slot);
// Every slot's, in order; slots not installed or not selectable are named too.
QStringList surveyFindings(const SurveyResult &result);
// "measured", "stopped part way", "not installed", "could not be selected", "not measured".
QString slotStatusText(SlotStatus status);

}  // namespace corvane
