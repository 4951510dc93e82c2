#include "surveyfindings.h"

#include <cmath>

#include "core/numtext.h"

namespace corvane {

namespace {

QString fixed(const std::optional<double> &value, int decimals) {
    if (!value) return QString();
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(*value * scale) / scale;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', decimals);
}

std::optional<double> configuredOffsetHz(const SlotResult &slot) {
    bool ok = false;
    const double khz = slot.configuredOffset.toDouble(&ok);
    return ok ? std::optional<double>(khz * 1000.0) : std::nullopt;
}

std::optional<double> lossCompDb(const SlotResult &slot) {
    bool ok = false;
    const double db = slot.lossComp.toDouble(&ok);
    return ok ? std::optional<double>(db) : std::nullopt;
}

}  // namespace

QString surveyCsvHeader() {
    return QStringLiteral(
        "slot,configured_bw_khz,configured_offset_khz,loss_comp_db,enabled_in_mode,bw3_hz,bw6_hz,"
        "bw60_hz,shape_factor,centre_offset_hz,peak_db_rel_widest,ripple_db,floor_db");
}

QString surveyCsvRow(const SlotResult &s) {
    const FilterFigures &f = s.figures;
    const QString enabled = s.enabledInMode
                                ? (*s.enabledInMode ? QStringLiteral("yes") : QStringLiteral("no"))
                                : QString();
    return QStringList{QStringLiteral("FL%1").arg(s.slot),
                       s.configuredBw,
                       s.configuredOffset,
                       s.lossComp,
                       enabled,
                       fixed(f.width3.widthHz(), 1),
                       fixed(f.width6.widthHz(), 1),
                       fixed(f.width60.widthHz(), 1),
                       fixed(f.shapeFactor, 3),
                       fixed(f.offsetHz, 1),
                       fixed(s.peakRelWidestDb, 1),
                       fixed(f.rippleDb, 2),
                       fixed(f.floorDb, 1)}
        .join(u',');
}

QStringList surveyCsvLines(const SurveyResult &result) {
    QStringList lines{surveyCsvHeader()};
    for (const SlotResult &s : result.slotResults) lines << surveyCsvRow(s);
    return lines;
}

QString slotStatusText(SlotStatus status) {
    switch (status) {
        case SlotStatus::Measured:
            return QStringLiteral("measured");
        case SlotStatus::Partial:
            return QStringLiteral("stopped part way");
        case SlotStatus::NotInstalled:
            return QStringLiteral("not installed");
        case SlotStatus::NotSelectable:
            return QStringLiteral("could not be selected");
        case SlotStatus::Unread:
            return QStringLiteral("could not be read");
        case SlotStatus::NotMeasured:
            break;
    }
    return QStringLiteral("not measured");
}

QStringList slotDisagreements(const SlotResult &s) {
    QStringList out;
    if (!s.hasSweep()) return out;
    const QString name = QStringLiteral("FL%1").arg(s.slot);
    const FilterFigures &f = s.figures;
    if (const std::optional<int> bw = s.configuredBwHz(); bw && f.width6.widthHz()) {
        const double measured = *f.width6.widthHz();
        const double off = (measured - *bw) / *bw;
        if (std::abs(off) > kWidthTolerance)
            out << QStringLiteral(
                       "%1 is %2 Hz wide at -6 dB, %3 % %4 than its configured "
                       "bandwidth of %5 kHz.")
                       .arg(name, fixed(measured, 0), fixed(std::abs(off) * 100.0, 0),
                            off > 0 ? QStringLiteral("wider") : QStringLiteral("narrower"),
                            s.configuredBw);
    }
    if (f.offsetHz && std::abs(*f.offsetHz) > kCentreToleranceHz) {
        const double hz = *f.offsetHz;
        QString line =
            QStringLiteral(
                "%1's passband centre is %2 Hz %3 the carrier, where its "
                "offset of %4 kHz should put it")
                .arg(name, fixed(std::abs(hz), 0),
                     hz > 0 ? QStringLiteral("above") : QStringLiteral("below"),
                     s.configuredOffset.isEmpty() ? QStringLiteral("?") : s.configuredOffset);
        if (const std::optional<double> offset = configuredOffsetHz(s))
            line += QStringLiteral(": the filter really sits at about %1 kHz.")
                        .arg(fixed((*offset - hz) / 1000.0, 2));
        else
            line += u'.';
        out << line;
    }
    if (const std::optional<double> comp = lossCompDb(s); comp && s.peakRelWidestDb) {
        // Relative to the widest slot, which has its own compensation (0 for a wide filter).
        const double uncovered = *s.peakRelWidestDb + *comp - s.widestLossCompDb.value_or(0.0);
        if (std::abs(uncovered) > kLossToleranceDb)
            out << QStringLiteral(
                       "%1's peak is %2 dB below the widest filter's, but its loss "
                       "compensation is %3 dB: %4 dB %5.")
                       .arg(name, fixed(-*s.peakRelWidestDb, 1), s.lossComp,
                            fixed(std::abs(uncovered), 1),
                            uncovered < 0 ? QStringLiteral("of loss not made up")
                                          : QStringLiteral("more than the loss"));
    }
    return out;
}

QStringList surveyFindings(const SurveyResult &result) {
    QStringList out;
    if (!result.readoutLinear())
        out << QStringLiteral(
                   "The dBV readout moved %1 dB, not 10 dB, when the K3's attenuator was switched "
                   "in at the carrier: at RF gain %2 the readout is not linear for this carrier, "
                   "so the widths and peaks below are not right. Use a weaker carrier or a lower "
                   "RF gain (the dBV linear range test finds one) and survey again.")
                   .arg(formatFixed(*result.attenuatorStepDb, 1), result.options.rfGain);
    for (const SlotResult &s : result.slotResults) {
        if (s.status == SlotStatus::NotInstalled || s.status == SlotStatus::NotSelectable ||
            s.status == SlotStatus::Unread)
            out << QStringLiteral("FL%1 was %2 and is not in the survey.")
                       .arg(s.slot)
                       .arg(slotStatusText(s.status));
        else if (s.status == SlotStatus::Partial)
            out << QStringLiteral(
                       "FL%1 was stopped part way; its figures come from the points "
                       "measured.")
                       .arg(s.slot);
        out << slotDisagreements(s);
    }
    return out;
}

}  // namespace corvane
