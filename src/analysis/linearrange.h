#pragma once
// The dBV readout's linear range from a full or adaptive test's measurements: each measured
// RF gain with the difference its attenuator on/off readings gave. Where the receiver is
// linear that difference is the attenuator's own step, so the median difference of all the
// gains measured stands for it; the linear range is the longest run of consecutive measured
// gains whose difference stays within a tolerance of that median.
//
// "Longest" is measured in RF gain (highest minus lowest gain of the run), so a run of a
// few widely spaced gains of an adaptive test weighs as much as the dense run it stands for;
// between runs of equal span the one with more gains, then the lower one, wins. A range needs
// at least two gains: a lone gain within the tolerance is not a range.

#include <QString>
#include <optional>
#include <vector>

namespace corvane {

constexpr double kDefaultLinearToleranceDb = 0.5;

struct GainDiff {
    int gain = 0;
    double diffDb = 0.0;
};

struct LinearRange {
    int points = 0;                         // gains measured
    std::optional<double> referenceDiffDb;  // median difference of all of them
    std::optional<int> lowGain;             // the range's ends; empty when there is no range
    std::optional<int> highGain;
    int rangePoints = 0;  // measured gains inside the range
    bool found() const { return lowGain.has_value(); }
};

// The measurements may come in any order; a gain measured twice counts as two gains.
LinearRange findLinearRange(std::vector<GainDiff> measured,
                            double toleranceDb = kDefaultLinearToleranceDb);

// One CSV record (file name first) and its header, as corvane-cli analyze --csv writes them
// for a dBV file; the ends are left empty when there is no range.
QString linearRangeCsvHeader();
QString linearRangeCsvRecord(const QString &file, const LinearRange &range);

}  // namespace corvane
