#pragma once
// The one progress line and the one time-left format of every test window (dBV, filter
// sweep, and the MDS, filter and menu windows as they come): the dBV test, the sweep and
// corvane-cli all word progress through these functions, so a user (and a screen reader,
// which reads the line as the progress bar's description) meets the same text everywhere.
// Windows added later use them too; do not write another formatter.

#include <QString>
#include <QtGlobal>

namespace corvane {

// Time left, rounded up to whole seconds (so it never shows 0 s while waits remain):
// "21 s", "1 min 6 s", "1 h 2 min 45 s".
QString timeLeftText(qint64 ms);

// "Step 2 of 3, about 21 s left" while measurement `step` (from 1) of `steps` runs, with
// ". " and `note` after it when there is one ("No answer from the K3 for the last 3
// readings"); empty when step is 0 (no test running).
QString progressText(int step, int steps, qint64 msLeft, const QString &note = QString());

// Before the first step: "11 steps to measure, about 1 min 13 s" ("1 step ..." for one).
QString plannedText(int steps, qint64 msTotal);

// An adaptive run, whose points are chosen as it goes. Before the first point, the most it
// can take: "Adaptive: at most 121 points, at most 13 min 19 s". While point `point` runs,
// of the `planned` chosen so far: "Point 17 of 24 planned so far (at most 121), about 46 s
// left", with ". " and `note` as progressText has it.
QString adaptivePlannedText(int most, qint64 msMost);
QString adaptiveProgressText(int point, int planned, int most, qint64 msLeft,
                             const QString &note = QString());

}  // namespace corvane
