#include "analysis/linearrange.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// Differences are read from one-decimal text: a difference exactly at the tolerance counts
// as within it, whatever the binary fractions make of it.
constexpr double kCompareSlackDb = 1e-9;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

QString csvField(QString text) {
    if (text.contains(u',') || text.contains(u'"'))
        text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}

}  // namespace

LinearRange findLinearRange(std::vector<GainDiff> measured, double toleranceDb) {
    LinearRange range;
    range.points = int(measured.size());
    if (measured.empty()) return range;
    std::stable_sort(measured.begin(), measured.end(),
                     [](const GainDiff &a, const GainDiff &b) { return a.gain < b.gain; });
    std::vector<double> diffs;
    diffs.reserve(measured.size());
    for (const GainDiff &m : measured) diffs.push_back(m.diffDb);
    const double reference = median(diffs);
    range.referenceDiffDb = reference;

    const auto within = [&](const GainDiff &m) {
        return std::abs(m.diffDb - reference) <= toleranceDb + kCompareSlackDb;
    };
    size_t bestFirst = 0, bestLast = 0;
    bool haveBest = false;
    for (size_t first = 0; first < measured.size();) {
        if (!within(measured[first])) {
            ++first;
            continue;
        }
        size_t last = first;
        while (last + 1 < measured.size() && within(measured[last + 1])) ++last;
        if (last > first) {
            const int span = measured[last].gain - measured[first].gain;
            const int bestSpan = measured[bestLast].gain - measured[bestFirst].gain;
            // Runs come lowest first, so a tie keeps the lower run.
            if (!haveBest || span > bestSpan ||
                (span == bestSpan && last - first > bestLast - bestFirst)) {
                bestFirst = first;
                bestLast = last;
                haveBest = true;
            }
        }
        first = last + 1;
    }
    if (haveBest) {
        range.lowGain = measured[bestFirst].gain;
        range.highGain = measured[bestLast].gain;
        range.rangePoints = int(bestLast - bestFirst + 1);
    }
    return range;
}

QString linearRangeCsvHeader() {
    return QStringLiteral("file,low_gain,high_gain,reference_diff_db,points");
}

QString linearRangeCsvRecord(const QString &file, const LinearRange &range) {
    const auto whole = [](const std::optional<int> &v) {
        return v ? QString::number(*v) : QString();
    };
    QString reference;
    if (range.referenceDiffDb) {
        const double rounded = std::round(*range.referenceDiffDb * 100.0) / 100.0;
        reference = QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 2);
    }
    return QStringList{csvField(file), whole(range.lowGain), whole(range.highGain), reference,
                       QString::number(range.points)}
        .join(u',');
}

}  // namespace corvane
