#pragma once
// What a filter owner wants to know after a sweep: the peak, the widths at 3, 6 and 60 dB
// below it, the shape factor (60 dB width over 6 dB width), the centre of the 6 dB band and
// how far it sits from the middle of the sweep, the ripple inside the 3 dB band, and the
// floor the skirts run into (the median of the lowest tenth of the points).
//
// A width is measured from the peak outwards on either side to the first point at or below
// the level, interpolating linearly between that point and the one before it. A skirt that
// never gets that low within the sweep gives no width ("below the swept range"); neither does
// a level under a flat floor ("above the noise floor": noise hides the skirt there).

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace corvane {

struct SweepPoint {
    double hz = 0.0;
    double db = 0.0;
};

// A width at some level below the peak and the band edges where the skirts cross it.
struct BandWidth {
    double belowPeakDb = 0.0;  // 3, 6 or 60
    std::optional<double> lowHz;
    std::optional<double> highHz;
    QString missing;  // why there is no width; empty when there is one
    std::optional<double> widthHz() const {
        if (!lowHz || !highHz) return std::nullopt;
        return *highHz - *lowHz;
    }
};

inline const QString kBelowSweptRange = QStringLiteral("below the swept range");
inline const QString kAboveNoiseFloor = QStringLiteral("above the noise floor");

struct FilterFigures {
    int points = 0;
    std::optional<double> peakDb;
    std::optional<double> peakHz;
    BandWidth width3{3.0, {}, {}, {}};
    BandWidth width6{6.0, {}, {}, {}};
    BandWidth width60{60.0, {}, {}, {}};
    std::optional<double> shapeFactor;  // width60 / width6
    std::optional<double> centreHz;     // middle of the 6 dB band
    std::optional<double> offsetHz;     // centreHz minus the middle of the sweep
    std::optional<double> rippleDb;     // peak to valley between the 3 dB band's outer humps
    std::optional<double> floorDb;      // median of the lowest tenth of the points
};

// The figures of a sweep; the points may come in any order.
FilterFigures analyseSweep(std::vector<SweepPoint> points);

// The figures as label and text pairs, for a table: "Peak", "-0.3 dB at 14060.150 kHz", ...
// A figure that cannot be had says why ("below the swept range") or "-".
std::vector<std::pair<QString, QString>> figureTexts(const FilterFigures &figures);

// One CSV record (file name first) and its header, as corvane-cli analyze --csv writes them;
// a figure that cannot be had is left empty.
QString figuresCsvHeader();
QString figuresCsvRecord(const QString &file, const FilterFigures &figures);

}  // namespace corvane
