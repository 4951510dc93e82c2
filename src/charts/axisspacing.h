#pragma once
// Where the chart view puts its X labels and tick marks and how it rounds the Y range: plain
// arithmetic on rows and pixels, kept apart from the drawing so it can be checked alone.

#include "charts/resultchart.h"

namespace corvane {

// A Y axis range on round numbers (steps of 1, 2, 2.5 or 5 times a power of ten) that holds
// minimum..maximum in at most `maxSteps` steps, with the number of decimals its labels need.
struct NiceRange {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    int decimals = 1;
};
NiceRange niceRange(double minimum, double maximum, int maxSteps = 6);

// Rows from one X label to the next on an axis `plotWidthPx` wide holding `rowCount` rows,
// for labels up to `labelWidthPx` wide. A set spacing of N rows labels every N-th row,
// widened to a multiple of N only where the labels would otherwise overlap; an automatic (or
// non-positive) spacing picks the smallest of 1, 2, 5, 10, 20, 50 ... rows that fits.
int labelStep(const CategoryScale &scale, int rowCount, double plotWidthPx, double labelWidthPx);
// Rows from one tick mark to the next: a divisor of the label step (labels stand on tick
// marks), at least the set spacing and never closer than `minGapPx`. A non-positive set
// spacing puts ticks at the labels only; an automatic scale adds ticks at a fifth or a half
// of the label step where they have room.
int tickStep(const CategoryScale &scale, int labelStep, double pxPerRow, double minGapPx);

}  // namespace corvane
