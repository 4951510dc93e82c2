#pragma once
// What a survey found, as the table and the plain words of the report: each slot's row of
// survey.csv, and where the measurement says the slot holds another filter than the radio
// is told about, or is set up wrong:
//   - a -6 dB width under 0.75 or over 1.75 times the configured bandwidth. FLx BW is the DSP
//     width at which the K3 engages the crystal filter, not the filter's measured width: an
//     8-pole "250 Hz" filter measures about 370 Hz at -6 dB, a "400 Hz" about 435 Hz, and
//     owners set FLx BW to taste. Only a width far from it says that a different filter sits
//     in the slot or that FLx BW is wrong;
//   - a -6 dB centre more than 50 Hz from where the offset puts it. The K3 moves its IF by
//     each slot's FLx FRQ so that a filter whose offset is right is centred on the tuned
//     frequency: every slot's centre belongs at the carrier, the sweep's middle, and
//     centre_offset_hz is the measured centre (VFO A) minus the carrier. A filter that sits
//     d Hz above where FLx FRQ says passes the carrier best with VFO A d Hz below it: its
//     centre_offset_hz is -d, and FLx FRQ wants setting to (offset - centre_offset_hz);
//   - a peak more than 6 dB below the widest slot's (a damaged or badly fitted filter). The
//     peaks and the loss compensation (FLx GN) are listed side by side, never compared: the
//     public material does not say whether the K3's audio readout includes FLx GN.
// And when no carrier was heard at all (the attenuator moved the reading less than 3 dB and
// every floor lies near its peak), that alone, instead of figures that mean nothing.

#include <QString>
#include <QStringList>

#include "survey/filtersurvey.h"

namespace corvane {

constexpr double kWidthLowRatio = 0.75;
constexpr double kWidthHighRatio = 1.75;
constexpr double kCentreToleranceHz = 50.0;
constexpr double kLossFlagDb = 6.0;
// No carrier: the 10 dB attenuator moves the reading less than this, and no slot's floor
// lies further than kNoCarrierDepthDb below its peak.
constexpr double kNoCarrierStepDb = 3.0;
constexpr double kNoCarrierDepthDb = 10.0;
// The level a -60 dB width needs under the peak, and the RF gain advised with a stronger
// carrier (as the signal advice before the start).
constexpr double kWidth60Db = 60.0;
constexpr int kStrongCarrierRfGain = 70;

// A CSV record from its cells: a cell holding a comma, a quote or a line end is quoted, its
// quotes doubled. The one writer of the survey's CSV lines.
QString csvRecord(const QStringList &cells);

QStringList surveyCsvHeaderCells();
// One slot's cells: figures that cannot be had are left empty.
QStringList surveyCsvCells(const SlotResult &slot);
// Header, then one row per slot asked for.
QStringList surveyCsvLines(const SurveyResult &result);

// The plain-word disagreements of one slot (none for a slot not measured). `widest` names
// the slot the peaks are relative to ("FL1"; empty: none).
QStringList slotDisagreements(const SlotResult &slot, const QString &widest = QString());
// Every slot's, in order; slots not installed or not selectable are named too.
QStringList surveyFindings(const SurveyResult &result);
// Whether a slot was measured to its end and nothing disagrees with its configuration.
bool slotAgrees(const SlotResult &slot);
// "3 of 5 slots agree with their configuration."
QString surveySummary(const SurveyResult &result);
// The slot the peaks are relative to: the widest measured ("FL1"), empty when none.
QString widestSlotName(const SurveyResult &result);
// Each measured slot's peak beside the widest and its loss compensation, side by side:
// "FL4: peak -2.1 dB, FLx GN 4 dB".
QStringList lossListing(const SurveyResult &result);
// Why a measured slot has no -60 dB width and what to do about it: "the floor is only
// 47 dB below the peak: use about -53 dBm and RF gain 70"; empty when it has one.
QString width60Remedy(const SlotResult &slot, const SurveyResult &result);
// Whether the readout check and the floors say that no carrier reached the receiver.
bool noCarrierHeard(const SurveyResult &result);
// "measured", "stopped part way", "not installed", "could not be selected", "not measured".
QString slotStatusText(SlotStatus status);

}  // namespace corvane
