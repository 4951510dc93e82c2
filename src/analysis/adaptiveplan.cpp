#include "analysis/adaptiveplan.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "analysis/linearrange.h"

namespace corvane {

namespace {

// The largest power of two that is at most `most` and leaves at least `intervals` coarse
// intervals across the grid (1 for a short grid: every point is measured).
int coarseStrideFor(int gridPoints, int most, int intervals) {
    int stride = 1;
    while (stride * 2 <= most && (gridPoints - 1) / (stride * 2) >= intervals) stride *= 2;
    return stride;
}

}  // namespace

AdaptivePlanner::AdaptivePlanner(int gridPoints, int coarseStride)
    : m_gridPoints(std::max(0, gridPoints)), m_stride(std::max(1, coarseStride)) {
    for (int index = 0; index < m_gridPoints; index += m_stride) queue(index);
    if (m_gridPoints > 0) queue(m_gridPoints - 1);
}

void AdaptivePlanner::queue(int index) {
    if (index < 0 || index >= m_gridPoints || m_readings.count(index)) return;
    if (std::find(m_queue.begin(), m_queue.end(), index) != m_queue.end()) return;
    m_queue.push_back(index);
}

void AdaptivePlanner::queueNear(int index, int low, int high) {
    for (int distance = 0; index - distance > low || index + distance < high; ++distance)
        for (const int candidate : {index - distance, index + distance})
            if (candidate > low && candidate < high && !m_unread.count(candidate))
                return queue(candidate);
}

std::optional<int> AdaptivePlanner::next() {
    // A round is planned only once every point of the last one has its reading.
    if (m_queue.empty() && measured() > 0) planRound();
    if (m_queue.empty()) return std::nullopt;
    const int index = m_queue.front();
    m_queue.pop_front();
    return index;
}

void AdaptivePlanner::addReading(int index, double value) {
    m_readings[index] = value;
}

AdaptiveSweepPlanner::AdaptiveSweepPlanner(int gridPoints)
    : AdaptivePlanner(gridPoints,
                      coarseStrideFor(gridPoints, kMaxSweepStride, kMinCoarseIntervals)) {}

void AdaptiveSweepPlanner::planRound() {
    const std::map<int, double> &r = readings();
    double peak = -std::numeric_limits<double>::infinity();
    for (const auto &[index, db] : r)
        if (std::isfinite(db)) peak = std::max(peak, db);
    // The analyser finds a band edge at the first point at or below its level.
    const double levels[] = {peak - 3.0, peak - 6.0, peak - 60.0};
    for (auto a = r.begin(), b = std::next(a); b != r.end(); ++a, ++b) {
        const int gap = b->first - a->first;
        if (gap < 2) continue;
        const double high = std::max(a->second, b->second);
        bool bracketed = false;
        for (const double level : levels) {
            if ((a->second > level) == (b->second > level)) continue;
            bracketed = true;
            // Where the straight line between the two readings crosses the level, strictly
            // between them; halfway when one reading is on the flat top, whose level says
            // nothing about where the skirt begins.
            const double at = a->first + (level - a->second) / (b->second - a->second) * gap;
            if (high > peak - kFlatTopDb || !std::isfinite(at))
                queueNear((a->first + b->first) / 2, a->first, b->first);
            else
                queueNear(std::clamp(int(std::lround(at)), a->first + 1, b->first - 1), a->first,
                          b->first);
        }
        // The skirts: a point at least every kSkirtSpacing grid points where they fall fast.
        if (!bracketed && gap > kSkirtSpacing &&
            std::abs(a->second - b->second) > kSplitDifferenceDb)
            queueNear((a->first + b->first) / 2, a->first, b->first);
    }
}

AdaptiveGainPlanner::AdaptiveGainPlanner(int gridPoints, int startGain, int increment,
                                         double toleranceDb)
    : AdaptivePlanner(gridPoints, coarseStrideFor(gridPoints, kMaxGainStride, kMinCoarseIntervals)),
      m_startGain(startGain),
      m_increment(increment),
      m_toleranceDb(toleranceDb) {}

void AdaptiveGainPlanner::planRound() {
    const std::map<int, double> &r = readings();
    std::vector<GainDiff> measuredGains;
    measuredGains.reserve(r.size());
    for (const auto &[index, diff] : r)
        measuredGains.push_back({m_startGain + index * m_increment, diff});
    const LinearRange range = findLinearRange(measuredGains, m_toleranceDb);
    if (!range.found()) return;
    const int low = (*range.lowGain - m_startGain) / m_increment;
    const int high = (*range.highGain - m_startGain) / m_increment;
    // The measured gain just outside each end: the end lies between it and the range.
    const auto below = r.find(low);
    if (below != r.begin()) {
        const int outside = std::prev(below)->first;
        if (low - outside > 1) queueNear((outside + low) / 2, outside, low);
    }
    const auto above = std::next(r.find(high));
    if (above != r.end() && above->first - high > 1)
        queueNear((high + above->first) / 2, high, above->first);
}

}  // namespace corvane
