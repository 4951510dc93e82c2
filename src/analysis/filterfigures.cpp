#include "analysis/filterfigures.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// Where the skirt on one side of the peak first reaches `level`: `step` is -1 (towards lower
// frequencies) or +1. Interpolated between the last point above the level and the first at
// or below it; empty when the sweep ends first.
std::optional<double> crossing(const std::vector<SweepPoint> &points, size_t peak, int step,
                               double level) {
    size_t above = peak;
    while (true) {
        if ((step < 0 && above == 0) || (step > 0 && above + 1 >= points.size())) return {};
        const size_t next = step < 0 ? above - 1 : above + 1;
        const SweepPoint &a = points[above];
        const SweepPoint &b = points[next];
        if (b.db <= level) {
            if (a.db == b.db) return b.hz;
            return a.hz + (level - a.db) * (b.hz - a.hz) / (b.db - a.db);
        }
        above = next;
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

QString fixed(const std::optional<double> &value, int decimals) {
    if (!value) return QString();
    // No "-0.0": a value that rounds to zero is written as zero.
    const double rounded = std::round(*value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', decimals);
}

QString widthText(const BandWidth &width) {
    if (const std::optional<double> hz = width.widthHz())
        return fixed(hz, 1) + QStringLiteral(" Hz");
    return width.missing.isEmpty() ? QStringLiteral("-") : width.missing;
}

}  // namespace

FilterFigures analyseSweep(std::vector<SweepPoint> points) {
    FilterFigures figures;
    figures.points = int(points.size());
    if (points.empty()) return figures;
    std::stable_sort(points.begin(), points.end(),
                     [](const SweepPoint &a, const SweepPoint &b) { return a.hz < b.hz; });

    const auto peak = static_cast<size_t>(
        std::max_element(points.begin(), points.end(),
                         [](const SweepPoint &a, const SweepPoint &b) { return a.db < b.db; }) -
        points.begin());
    const double peakDb = points[peak].db;
    figures.peakDb = peakDb;
    figures.peakHz = points[peak].hz;

    std::vector<double> levels;
    levels.reserve(points.size());
    for (const SweepPoint &p : points) levels.push_back(p.db);
    std::sort(levels.begin(), levels.end());
    levels.resize(std::max<size_t>(1, levels.size() / 10));
    figures.floorDb = median(levels);
    // A floor hides a skirt only where it is flat (noise, the meter's bottom); the lowest
    // points of a sweep that simply stops on a skirt spread over several dB.
    constexpr double kFlatFloorSpreadDb = 3.0;
    const bool flatFloor = levels.back() - levels.front() <= kFlatFloorSpreadDb;

    for (BandWidth *width : {&figures.width3, &figures.width6, &figures.width60}) {
        const double level = peakDb - width->belowPeakDb;
        const std::optional<double> low = crossing(points, peak, -1, level);
        const std::optional<double> high = crossing(points, peak, +1, level);
        if (flatFloor && *figures.floorDb > level) {
            width->missing = kAboveNoiseFloor;
        } else if (!low || !high) {
            width->missing = kBelowSweptRange;
        } else {
            width->lowHz = low;
            width->highHz = high;
        }
    }

    const std::optional<double> width6 = figures.width6.widthHz();
    const std::optional<double> width60 = figures.width60.widthHz();
    if (width6 && width60 && *width6 > 0) figures.shapeFactor = *width60 / *width6;
    if (width6) {
        figures.centreHz = (*figures.width6.lowHz + *figures.width6.highHz) / 2.0;
        figures.offsetHz = *figures.centreHz - (points.front().hz + points.back().hz) / 2.0;
    }
    if (figures.width3.widthHz()) {
        // Between the outermost humps inside the 3 dB band: the skirts' roll-off towards
        // the band edges is not ripple.
        std::vector<size_t> inside;
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].hz >= *figures.width3.lowHz && points[i].hz <= *figures.width3.highHz)
                inside.push_back(i);
        const auto isHump = [&points](size_t i) {
            return (i == 0 || points[i].db >= points[i - 1].db) &&
                   (i + 1 == points.size() || points[i].db >= points[i + 1].db);
        };
        size_t first = points.size(), last = 0;
        for (const size_t i : inside)
            if (isHump(i)) {
                first = std::min(first, i);
                last = std::max(last, i);
            }
        if (first <= last) {
            const auto [low, high] = std::minmax_element(
                points.begin() + long(first), points.begin() + long(last) + 1,
                [](const SweepPoint &a, const SweepPoint &b) { return a.db < b.db; });
            figures.rippleDb = high->db - low->db;
        }
    }
    return figures;
}

std::vector<std::pair<QString, QString>> figureTexts(const FilterFigures &f) {
    const QString none = QStringLiteral("-");
    const auto or_ = [&none](const QString &text) { return text.isEmpty() ? none : text; };
    const auto kHz = [](const std::optional<double> &hz) {
        return hz ? fixed(*hz / 1000.0, 3) + QStringLiteral(" kHz") : QString();
    };
    return {
        {QStringLiteral("Peak"),
         f.peakDb ? fixed(f.peakDb, 1) + QStringLiteral(" dB at ") + kHz(f.peakHz) : none},
        {QStringLiteral("-3 dB width"), widthText(f.width3)},
        {QStringLiteral("-6 dB width"), widthText(f.width6)},
        {QStringLiteral("-60 dB width"), widthText(f.width60)},
        {QStringLiteral("Shape factor 60/6"), or_(fixed(f.shapeFactor, 2))},
        {QStringLiteral("-6 dB centre"), or_(kHz(f.centreHz))},
        {QStringLiteral("Offset from sweep middle"),
         f.offsetHz ? fixed(f.offsetHz, 1) + QStringLiteral(" Hz") : none},
        {QStringLiteral("Ripple in -3 dB band"),
         f.rippleDb ? fixed(f.rippleDb, 1) + QStringLiteral(" dB") : none},
        {QStringLiteral("Floor"), f.floorDb ? fixed(f.floorDb, 1) + QStringLiteral(" dB") : none},
    };
}

QString figuresCsvHeader() {
    return QStringLiteral(
        "file,peak_db,peak_khz,bw3_hz,bw6_hz,bw60_hz,shape_factor,centre_khz,offset_hz,ripple_db,"
        "floor_db");
}

QString figuresCsvRecord(const QString &file, const FilterFigures &f) {
    QString name = file;
    if (name.contains(u',') || name.contains(u'"'))
        name = u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
    const auto kHz = [](const std::optional<double> &hz) {
        return hz ? std::optional<double>(*hz / 1000.0) : std::nullopt;
    };
    return QStringList{name,
                       fixed(f.peakDb, 1),
                       fixed(kHz(f.peakHz), 3),
                       fixed(f.width3.widthHz(), 1),
                       fixed(f.width6.widthHz(), 1),
                       fixed(f.width60.widthHz(), 1),
                       fixed(f.shapeFactor, 3),
                       fixed(kHz(f.centreHz), 4),
                       fixed(f.offsetHz, 1),
                       fixed(f.rippleDb, 2),
                       fixed(f.floorDb, 1)}
        .join(u',');
}

}  // namespace corvane
