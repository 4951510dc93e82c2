#include "measurements/dbvquick.h"

#include <cstddef>

namespace corvane {

int nextQuickGain(int k, int lastGain, double diff, int prevGain, double prevDiff) {
    if (k < 1 || k > static_cast<int>(kQuickSteps.size())) return lastGain;
    const int step = kQuickSteps[static_cast<std::size_t>(k - 1)];
    if (k == 1) return diff >= kLinearDifferenceDb ? lastGain + step : lastGain - step;
    if (diff >= kLinearDifferenceDb) return lastGain + step;
    const double trend = diff - prevDiff;
    // A difference that fell while the gain rose (or rose while it fell) points down.
    if (trend < 0 && lastGain > prevGain) return lastGain - step;
    if (trend < 0 && lastGain < prevGain) return lastGain + step;
    if (trend > 0 && lastGain > prevGain) return lastGain + step;
    if (trend > 0 && lastGain < prevGain) return lastGain - step;
    return lastGain;
}

}  // namespace corvane
