#include "charts/axisspacing.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int kMaxStep = ResultChart::kMaxRows;

// The smallest of 1, 2, 5, 10, 20, 50 ... that is at least `need`.
int niceStepAtLeast(int need) {
    for (int decade = 1; decade <= kMaxStep; decade *= 10) {
        for (const int m : {1, 2, 5}) {
            if (m * decade >= need) return m * decade;
        }
    }
    return kMaxStep;
}

constexpr double kLabelGapPx = 12.0;
constexpr double kLibraryLabelPaddingPx = 4.0;

int rowsNeeded(double pxPerRow, double widthPx) {
    if (!(pxPerRow > 0.0)) return kMaxStep;
    const double rows = std::ceil(widthPx / pxPerRow);
    return static_cast<int>(std::clamp(rows, 1.0, static_cast<double>(kMaxStep)));
}

}  // namespace

NiceRange niceRange(double minimum, double maximum, int maxSteps) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return NiceRange();
    maxSteps = std::max(1, maxSteps);
    if (minimum > maximum) std::swap(minimum, maximum);
    if (minimum == maximum) {
        const double pad = std::max(1.0, std::fabs(minimum) * 0.1);
        minimum -= pad;
        maximum += pad;
    }
    const double rough = (maximum - minimum) / maxSteps;
    double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    NiceRange r;
    // The smallest round step that spans the data in maxSteps steps once both ends are
    // rounded outwards.
    for (int decade = 0; decade < 3; ++decade, magnitude *= 10.0) {
        for (const double m : {1.0, 2.0, 2.5, 5.0}) {
            const double step = m * magnitude;
            const double low = std::floor(minimum / step + 1e-9) * step;
            const double high = std::ceil(maximum / step - 1e-9) * step;
            if ((high - low) / step <= maxSteps + 1e-9) {
                r.step = step;
                r.low = low;
                r.high = high;
                // 2.5 x 10^k needs one decimal more than its power of ten.
                const double digits = -std::floor(std::log10(step) + 1e-9);
                r.decimals = static_cast<int>(std::max(0.0, digits + (m == 2.5 ? 1 : 0)));
                return r;
            }
        }
    }
    return r;
}

int labelStep(const CategoryScale &scale, int rowCount, double plotWidthPx, double labelWidthPx) {
    if (rowCount <= 1 || !(plotWidthPx > 0.0)) return 1;
    const double pxPerRow = plotWidthPx / rowCount;
    const auto fits = [&](int step) {
        // Room between neighbours, and the chart library's own limit: it shortens each label
        // to the axis width over the number of marks (one per label, and one more).
        const int marks = (rowCount + step - 1) / step + 1;
        return step * pxPerRow >= labelWidthPx + kLabelGapPx &&
               plotWidthPx / marks - 2 * kLibraryLabelPaddingPx >= labelWidthPx;
    };
    const bool nice = scale.automatic || scale.divisionsPerLabel <= 0;
    int step = nice ? 1 : scale.divisionsPerLabel;
    while (step < rowCount && !fits(step)) {
        step = nice ? niceStepAtLeast(step + 1) : step + scale.divisionsPerLabel;
    }
    return std::min(step, kMaxStep);
}

int tickStep(const CategoryScale &scale, int labelStep, double pxPerRow, double minGapPx) {
    if (labelStep <= 1) return 1;
    const int need = rowsNeeded(pxPerRow, minGapPx);
    if (scale.automatic) {
        for (const int parts : {5, 2}) {
            if (labelStep % parts == 0 && labelStep / parts >= need) return labelStep / parts;
        }
        return labelStep;
    }
    if (scale.divisionsPerTick <= 0) return labelStep;
    const int least = std::max<int>(scale.divisionsPerTick, need);
    for (int d = least; d < labelStep; ++d) {
        if (labelStep % d == 0) return d;
    }
    return labelStep;
}

}  // namespace corvane
