#pragma once
// The measuring part of a filter sweep: the points of a planned sweep, each one frequency
// command, a dBV reading, a list line and a chart row, with the yield and Stop check before
// it and a progress report. The sweep window's fixed and adaptive sweeps run it after their
// capture and test set-up; the filter survey runs it once per filter slot.
//
// Fixed: every step from start to stop, in order. Adaptive: the points the planner
// (analysis/adaptiveplan.h) picks from the same grid, finest step = the plan's step; each
// point's exchanges and waits are those of a fixed step. The list gets the points in the
// order they are measured; the chart has a row for every grid point (as the fixed sweep's)
// with its frequency label, and each point lands on its own row, so it is drawn by frequency.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "link/procedurefaults.h"
#include "link/radiolink.h"
#include "measurements/sweepplan.h"

namespace corvane {

class SweepSink;

struct SweepPointReading {
    int32_t hz = 0;
    QString reading;  // as cut from the radio's answer
    double db = 0.0;  // its numeric value, as charted
};

struct SweepPointsRun {
    std::vector<SweepPointReading> points;  // in measuring order
    bool stopped = false;
    // The point whose exchange found the port gone (from 1; 0 when it was gone before the
    // first), or -1. That point is not listed.
    int lostAtStep = -1;
    // Points the run had planned when it ended (the fixed sweep: all its steps).
    int planned = 0;
    NoAnswerCount noAnswers;
    int unread = 0;  // replies in which readingOf found no reading
    bool portLost() const { return lostAtStep >= 0; }
};

// The reading in a reply to "db;", or none when the reply holds no reading.
using ReadingOf = std::function<std::optional<QString>(const QString &reply)>;

// Measures the points of `plan`. `stopRequested` is asked after each point's yield and
// during its waits; true ends the run there (the point before it is complete and listed).
// The link's port being lost ends it at that exchange. `tuneCommand` makes each point's
// frequency command (default frequencyCommand(), VFO A; the sub-receiver's survey tunes VFO
// B). `readingOf` cuts the reading from the reply (default readingFromReply(), which always
// gives one); a reply it finds none in is counted unanswered and makes no point (an
// adaptive run then ends at twice the grid's points at most).
// Where a stop request is acted on: the sweep's Stop finishes the step under way (its list
// keeps every step begun); the survey also breaks off inside a step's waits, so that Ctrl-C
// is acted on within a second or two.
enum class StopInside { BetweenSteps, DuringWaits };

SweepPointsRun measureSweepPoints(RadioLink &link, SweepSink &sink, const SweepPlan &plan,
                                  SweepMode mode, const std::function<bool()> &stopRequested,
                                  const std::function<QString(int32_t)> &tuneCommand = {},
                                  const ReadingOf &readingOf = {},
                                  StopInside stopInside = StopInside::BetweenSteps);

// The most radio time the points of `plan` can take (every grid point measured).
qint64 mostSweepTimeMs(const SweepPlan &plan);

}  // namespace corvane
