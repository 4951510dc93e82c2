#pragma once
// Adaptive measuring: which points of a fixed-step run to measure, and in which order, so
// that the answer comes out as the fixed run's would with far fewer radio steps.
//
// Both planners work on the grid of the fixed run, its points numbered from 0 (a sweep's
// frequencies start + k * step, a linear range test's gains start + k * increment), so every
// point measured is one the fixed run measures too, with the same commands and waits. They
// first hand out a coarse pass across the whole grid, then, round by round, points between
// neighbours already measured, until nothing more is worth measuring:
//  - a sweep refines where the pair brackets the -3, -6 or -60 dB level below the highest
//    reading so far (the figures' band edges), down to neighbouring grid points, taking the
//    grid point where the straight line between the two readings crosses the level (a skirt
//    is nearly straight there), or the point halfway when one of them lies on the flat top
//    (within kFlatTopDb of the highest reading); and it takes the point halfway between
//    neighbours more than kSkirtSpacing grid points apart whose readings differ by more than
//    kSplitDifferenceDb (the skirts: a point at least every kSkirtSpacing grid points);
//  - a linear range test bisects at each end of the linear range (analysis/linearrange.h)
//    of the gains measured so far, down to neighbouring gains.
// A point is never handed out twice. Plain code: the procedures ask for the next point,
// measure it and hand the reading back.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace corvane {

class AdaptivePlanner {
public:
    virtual ~AdaptivePlanner() = default;

    // The next grid point to measure; empty when the run is complete.
    std::optional<int> next();
    // The reading of a point handed out by next().
    void addReading(int index, double value);
    // A point handed out by next() that gave no reading: it is not handed out again; a
    // point wanted there later is taken from the nearest grid point free beside it.
    void addUnread(int index) { m_unread.insert(index); }

    int gridPoints() const { return m_gridPoints; }
    int measured() const { return int(m_readings.size()); }
    // Points measured or already chosen: what the run will measure at least.
    int planned() const { return measured() + int(m_queue.size()); }
    // Grid points between coarse points (a power of two).
    int coarseStride() const { return m_stride; }
    const std::map<int, double> &readings() const { return m_readings; }

protected:
    AdaptivePlanner(int gridPoints, int coarseStride);
    // Queues the next round's points (between measured neighbours); none ends the run.
    virtual void planRound() = 0;
    void queue(int index);
    // Queues the grid point nearest `index` strictly between `low` and `high` that has not
    // gone unread (the lower of two as near); none when every one between has.
    void queueNear(int index, int low, int high);

private:
    int m_gridPoints;
    int m_stride;
    std::map<int, double> m_readings;
    std::deque<int> m_queue;
    std::set<int> m_unread;
};

// A sweep: the coarse pass takes every coarseStride-th grid point and the last; a passband
// at least kMaxSweepStride points wide therefore always has a coarse point inside it.
class AdaptiveSweepPlanner : public AdaptivePlanner {
public:
    static constexpr double kSplitDifferenceDb = 10.0;
    static constexpr double kFlatTopDb = 1.0;
    static constexpr int kSkirtSpacing = 8;
    static constexpr int kMaxSweepStride = 16;
    static constexpr int kMinCoarseIntervals = 8;

    explicit AdaptiveSweepPlanner(int gridPoints);

protected:
    void planRound() override;
};

// A linear range test over gains start + k * increment.
class AdaptiveGainPlanner : public AdaptivePlanner {
public:
    static constexpr int kMaxGainStride = 8;
    static constexpr int kMinCoarseIntervals = 8;

    AdaptiveGainPlanner(int gridPoints, int startGain, int increment, double toleranceDb);

protected:
    void planRound() override;

private:
    int m_startGain;
    int m_increment;
    double m_toleranceDb;
};

// The order of a run's grid points: every one in turn without a planner, else what the
// adaptive planner picks.
class PointOrder {
public:
    PointOrder(int gridPoints, std::unique_ptr<AdaptivePlanner> planner)
        : m_total(gridPoints), m_planner(std::move(planner)) {}
    std::optional<int> next() {
        if (m_planner) return m_planner->next();
        if (m_next >= m_total) return std::nullopt;
        return m_next++;
    }
    void addReading(int index, double value) {
        if (m_planner) m_planner->addReading(index, value);
    }
    void addUnread(int index) {
        if (m_planner) m_planner->addUnread(index);
    }
    // Points measured or chosen so far, the one under way included.
    int planned() const { return m_planner ? m_planner->planned() + 1 : m_total; }
    // The most the adaptive run can measure (0 for a fixed run).
    int most() const { return m_planner ? m_total : 0; }

private:
    int m_total;
    int m_next = 0;
    std::unique_ptr<AdaptivePlanner> m_planner;
};

}  // namespace corvane
