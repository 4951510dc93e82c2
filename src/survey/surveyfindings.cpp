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

QString slotName(int slot) {
    return QStringLiteral("FL%1").arg(slot);
}

QString widthFinding(const SlotResult &s) {
    const std::optional<int> bw = s.configuredBwHz();
    const std::optional<double> measured = s.figures.width6.widthHz();
    if (!bw || !measured) return QString();
    const bool narrow = *measured < kWidthLowRatio * *bw;
    if (!narrow && *measured <= kWidthHighRatio * *bw) return QString();
    return QStringLiteral(
               "%1 is %2 Hz wide at -6 dB, %3 times its configured bandwidth of %4 kHz: "
               "another filter may sit in the slot, or its FLx BW may be set wrong.")
        .arg(slotName(s.slot), fixed(measured, 0),
             narrow ? QStringLiteral("less than 0.75") : QStringLiteral("more than 1.75"),
             s.configuredBw);
}

QString centreFinding(const SlotResult &s) {
    const std::optional<double> &offset = s.figures.offsetHz;
    if (!offset || std::abs(*offset) <= kCentreToleranceHz) return QString();
    QString line =
        QStringLiteral(
            "%1's passband centre is %2 Hz %3 the carrier, where its offset of %4 kHz "
            "should put it")
            .arg(slotName(s.slot), fixed(std::abs(*offset), 0),
                 *offset > 0 ? QStringLiteral("above") : QStringLiteral("below"),
                 s.configuredOffset.isEmpty() ? QStringLiteral("?") : s.configuredOffset);
    if (const std::optional<double> configured = configuredOffsetHz(s))
        return line + QStringLiteral(": the filter really sits at about %1 kHz.")
                          .arg(fixed((*configured - *offset) / 1000.0, 2));
    return line + u'.';
}

QString lossFinding(const SlotResult &s, const QString &widest) {
    if (!s.peakRelWidestDb || *s.peakRelWidestDb >= -kLossFlagDb) return QString();
    return QStringLiteral(
               "%1's peak is %2 dB below the widest slot's%3, more than 6 dB: the filter may be "
               "damaged or badly fitted.")
        .arg(slotName(s.slot), fixed(-*s.peakRelWidestDb, 1),
             widest.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(widest));
}

}  // namespace

QString csvRecord(const QStringList &cells) {
    QStringList quoted;
    for (QString cell : cells) {
        if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') ||
            cell.contains(u'\r'))
            cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
        quoted << cell;
    }
    return quoted.join(u',');
}

QStringList surveyCsvHeaderCells() {
    return {"slot",
            "configured_bw_khz",
            "configured_offset_khz",
            "loss_comp_db",
            "enabled_in_mode",
            "bw3_hz",
            "bw6_hz",
            "bw60_hz",
            "shape_factor",
            "centre_offset_hz",
            "peak_db_rel_widest",
            "ripple_db",
            "floor_db"};
}

QStringList surveyCsvCells(const SlotResult &s) {
    const FilterFigures &f = s.figures;
    const QString enabled = s.enabledInMode
                                ? (*s.enabledInMode ? QStringLiteral("yes") : QStringLiteral("no"))
                                : QString();
    return {slotName(s.slot),
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
            fixed(f.floorDb, 1)};
}

QStringList surveyCsvLines(const SurveyResult &result) {
    QStringList lines{csvRecord(surveyCsvHeaderCells())};
    for (const SlotResult &s : result.slotResults) lines << csvRecord(surveyCsvCells(s));
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

QStringList slotDisagreements(const SlotResult &s, const QString &widest) {
    QStringList out;
    if (!s.hasSweep()) return out;
    for (const QString &line : {widthFinding(s), centreFinding(s), lossFinding(s, widest)})
        if (!line.isEmpty()) out << line;
    return out;
}

QString widestSlotName(const SurveyResult &result) {
    // As the run picks it: the measured slot with the widest configured bandwidth.
    const SlotResult *widest = nullptr;
    for (const SlotResult &s : result.slotResults)
        if (s.figures.peakDb && (!widest || s.configuredBwHz() > widest->configuredBwHz()))
            widest = &s;
    return widest ? slotName(widest->slot) : QString();
}

bool noCarrierHeard(const SurveyResult &result) {
    if (!result.attenuatorStepDb || std::abs(*result.attenuatorStepDb) >= kNoCarrierStepDb)
        return false;
    for (const SlotResult &s : result.slotResults)
        if (s.figures.peakDb && s.figures.floorDb &&
            *s.figures.peakDb - *s.figures.floorDb > kNoCarrierDepthDb)
            return false;
    return true;
}

QStringList surveyFindings(const SurveyResult &result) {
    QStringList out;
    const bool noCarrier = noCarrierHeard(result);
    if (noCarrier)
        out << QStringLiteral(
                   "The K3's 10 dB attenuator moved the dBV reading only %1 dB and no slot's "
                   "floor lies more than 10 dB below its peak; no carrier heard at %2 kHz: check "
                   "the generator's frequency and level.")
                   .arg(formatFixed(*result.attenuatorStepDb, 1),
                        formatFixed(result.centreHz / 1000.0, 3));
    else if (!result.readoutLinear())
        out << QStringLiteral(
                   "The dBV readout moved %1 dB, not 10 dB, when the K3's attenuator was switched "
                   "in at the carrier: at RF gain %2 the readout is not linear for this carrier, "
                   "so the widths and peaks below are not right. Use a weaker carrier or a lower "
                   "RF gain (the dBV linear range test finds one) and survey again.")
                   .arg(formatFixed(*result.attenuatorStepDb, 1), result.options.rfGain);
    const QString widest = widestSlotName(result);
    for (const SlotResult &s : result.slotResults) {
        if (s.status == SlotStatus::NotInstalled || s.status == SlotStatus::NotSelectable ||
            s.status == SlotStatus::Unread)
            // "FL2 was not installed", "FL3 could not be read", "... could not be selected".
            out << QStringLiteral("FL%1 %2%3 and is not in the survey.")
                       .arg(s.slot)
                       .arg(s.status == SlotStatus::NotInstalled ? QStringLiteral("was ")
                                                                 : QString())
                       .arg(slotStatusText(s.status));
        else if (s.status == SlotStatus::Partial)
            out << QStringLiteral(
                       "FL%1 was stopped part way; its figures come from the points "
                       "measured.")
                       .arg(s.slot);
        if (!noCarrier) out << slotDisagreements(s, widest);
    }
    return out;
}

bool slotAgrees(const SlotResult &slot) {
    return slot.status == SlotStatus::Measured && slotDisagreements(slot).isEmpty();
}

QString surveySummary(const SurveyResult &result) {
    const int asked = int(result.slotResults.size());
    if (noCarrierHeard(result))
        return QStringLiteral(
            "No slot could be set beside its configuration: no carrier was "
            "heard.");
    if (!result.readoutLinear())
        return QStringLiteral(
            "No slot could be set beside its configuration: the dBV readout "
            "was not linear for the carrier.");
    int agree = 0;
    for (const SlotResult &s : result.slotResults)
        if (slotAgrees(s)) ++agree;
    return QStringLiteral("%1 of %2 %3 %4 with %5 configuration.")
        .arg(agree)
        .arg(asked)
        .arg(asked == 1 ? QStringLiteral("slot") : QStringLiteral("slots"),
             agree == 1 ? QStringLiteral("agrees") : QStringLiteral("agree"))
        .arg(agree == 1 ? QStringLiteral("its") : QStringLiteral("their"));
}

QStringList lossListing(const SurveyResult &result) {
    QStringList out;
    for (const SlotResult &s : result.slotResults) {
        if (!s.peakRelWidestDb) continue;
        out << QStringLiteral("%1: peak %2 dB, FLx GN %3")
                   .arg(slotName(s.slot), fixed(s.peakRelWidestDb, 1),
                        s.lossComp.isEmpty() ? QStringLiteral("not read")
                                             : s.lossComp + QStringLiteral(" dB"));
    }
    return out;
}

QString width60Remedy(const SlotResult &s, const SurveyResult &result) {
    const FilterFigures &f = s.figures;
    if (!s.hasSweep() || f.width60.widthHz()) return QString();
    if (f.width60.missing == kAboveNoiseFloor && f.peakDb && f.floorDb) {
        // A carrier stronger by whole 10 dB steps puts the peak 60 dB over the floor; the
        // stronger carrier wants the lower RF gain the advice gives, to stay linear.
        const double depth = *f.peakDb - *f.floorDb;
        const double stronger = std::max(10.0, std::ceil((kWidth60Db - depth) / 10.0) * 10.0);
        bool ok = false;
        const int gain = result.options.rfGain.toInt(&ok);
        const QString gainText =
            ok && gain <= kStrongCarrierRfGain
                ? QStringLiteral(
                      "an RF gain below %1 that keeps the readout linear (the dBV "
                      "linear range test finds one)")
                      .arg(gain)
                : QStringLiteral("RF gain %1").arg(kStrongCarrierRfGain);
        return QStringLiteral("the floor is only %1 dB below the peak: use about %2 dBm and %3")
            .arg(fixed(depth, 0), shortestText(result.options.generatorDbm + stronger), gainText);
    }
    if (s.status == SlotStatus::Partial)
        return QStringLiteral("it was stopped before its skirts were swept: survey it again");
    if (f.width60.missing == kBelowSweptRange)
        return QStringLiteral(
                   "its skirts are still above -60 dB at the ends of the %1 Hz swept: sweep it "
                   "over a wider span in the Sweep Filter window")
            .arg(s.plan.points > 0 ? s.plan.stopHz() - s.plan.startHz : 0);
    return f.width60.missing;
}

}  // namespace corvane
