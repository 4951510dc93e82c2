#include "measurements/dbvplan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/numtext.h"
#include "measurements/dbvsteps.h"

namespace corvane {

namespace {

constexpr int kInt16Min = std::numeric_limits<int16_t>::min();
constexpr int kInt16Max = std::numeric_limits<int16_t>::max();

int toInt16Held(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = roundHalfEven(value);
    if (rounded <= kInt16Min) return kInt16Min;
    if (rounded >= kInt16Max) return kInt16Max;
    return static_cast<int>(rounded);
}

}  // namespace

int DbvFullTestPlan::chartRows() const {
    return std::min(steps + 1, kInt16Max);
}

int DbvFullTestPlan::measuredCount() const {
    if (inc <= 0 || start > stop) return 0;
    return (stop - start) / inc + 1;
}

bool DbvFullTestPlan::sendsReferenceGain() const {
    return isValidRfGain(refGain);
}

DbvFullTestPlan planFullTest(const QString &startText, const QString &stopText,
                             const QString &incText) {
    DbvFullTestPlan plan;
    plan.start = toInt16Held(numericValue(startText));
    plan.stop = toInt16Held(numericValue(stopText));
    plan.inc = toInt16Held(numericValue(incText));
    const double span = double(plan.stop) - double(plan.start);
    plan.refGain = toInt16Held(span / 2.0);
    plan.steps = plan.inc == 0 ? kInt16Max : toInt16Held(std::fabs(span / plan.inc));
    return plan;
}

}  // namespace corvane
