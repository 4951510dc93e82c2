#include "measurements/sweeppoints.h"

#include <memory>

#include "analysis/adaptiveplan.h"
#include "measurements/filtersweep.h"

namespace corvane {

qint64 mostSweepTimeMs(const SweepPlan &plan) {
    return qint64(plan.stepsMeasured()) * kSweepStepWaitMs;
}

SweepPointsRun measureSweepPoints(RadioLink &link, SweepSink &sink, const SweepPlan &plan,
                                  SweepMode mode, const std::function<bool()> &stopRequested,
                                  const std::function<QString(int32_t)> &tuneCommand,
                                  const ReadingOf &readingOf, StopInside stopInside) {
    SweepPointsRun run;
    const int steps = plan.stepsMeasured();
    PointOrder order(steps, mode == SweepMode::Adaptive
                                ? std::make_unique<AdaptiveSweepPlanner>(steps)
                                : nullptr);
    sink.prepareChart(plan.count);
    if (mode == SweepMode::Adaptive) {
        // Every grid row is labelled now: the points arrive out of frequency order.
        for (int index = 0; index < steps; ++index)
            sink.setChartRowLabel(index + 1, kHzLabel(plan.frequencyOfStep(index)));
    }
    sink.progress(
        SweepProgress{0, steps, plan.startHz, mostSweepTimeMs(plan), {}, order.most(), {}});
    run.planned = mode == SweepMode::Fixed ? steps : 0;
    if (link.portLost()) {
        run.lostAtStep = 0;
        return run;
    }
    for (int point = 1;; ++point) {
        const std::optional<int> index = order.next();
        if (!index) break;
        Clock &clock = link.clock();
        if (LinkTrace *trace = link.trace()) trace->addYield(clock.now());
        clock.yield();
        if (stopRequested()) {
            run.stopped = true;
            break;
        }
        const int32_t hz = plan.frequencyOfStep(*index);
        run.planned = order.planned();
        sink.progress(SweepProgress{point,
                                    run.planned,
                                    hz,
                                    qint64(run.planned - point + 1) * kSweepStepWaitMs,
                                    run.noAnswers.progressNote(),
                                    order.most(),
                                    {}});
        // One step: frequency, reading, list line, chart row. Where a stop breaks off the
        // step's waits, the point is not listed.
        const QString tune = tuneCommand ? tuneCommand(hz) : frequencyCommand(hz);
        bool cut = false;
        QString reply;
        if (stopInside == StopInside::DuringWaits) {
            cut = !link.sendCommandUnless(tune, kSweepTuneWaitMs, stopRequested);
            if (!cut)
                reply = link.queryRadioUnless(QStringLiteral("db;"), kSweepReadingWaitMs,
                                              stopRequested, &cut);
        } else {
            link.sendCommand(tune, kSweepTuneWaitMs);
            reply = link.queryRadio(QStringLiteral("db;"), kSweepReadingWaitMs);
        }
        // A lost port ends the sweep here; the point is not listed.
        if (link.portLost()) {
            run.lostAtStep = point;
            break;
        }
        if (cut) {
            run.stopped = true;
            break;
        }
        const std::optional<QString> read =
            readingOf ? readingOf(reply) : std::optional<QString>(readingFromReply(reply));
        run.noAnswers.note(read ? reply : QString());
        link.wait(kSweepAfterReadingWaitMs);
        if (!read) {
            // Not a reading: counted as unanswered, and no point is made of it. The adaptive
            // planner does not hand that point out again; the run ends at twice the grid.
            ++run.unread;
            order.addUnread(*index);
            if (point >= 2 * steps) break;
            continue;
        }
        const QString &reading = *read;
        const double db = readingValue(reading);
        sink.appendLine(sweepResultLine(hz, reading));
        sink.setChartRow(*index + 1, db, kHzLabel(hz));
        run.points.push_back({hz, reading, db});
        order.addReading(*index, db);
        sink.selectLastLine();
    }
    return run;
}

}  // namespace corvane
