#include "radio/settingscapture.h"

#include "core/numtext.h"

namespace corvane {

namespace {

const QChar kTab = u'\t';

QString rule(int count) {
    return QString(count, u'=');
}

// An answer without its last character (its ";"; nothing checks that it is one).
QString withoutLast(const QString &answer) {
    return cutMiddle(answer, 0, 1);
}

QString tailLineOfEquals() {
    return rule(39);
}

}  // namespace

ReportTail dbvReportTail(const QString &rfGainStart, const QString &rfGainStop,
                         const QString &rfGainInc) {
    return {QStringLiteral("Preamp: Off"),
            {QStringLiteral("RF Gain Start: ") + rfGainStart,
             QStringLiteral("RF Gain Stop: ") + rfGainStop,
             QStringLiteral("RF Gain Increment: ") + rfGainInc, tailLineOfEquals(),
             QStringLiteral("RF Gain\tdBV 1\tdBV 2\tDiff")}};
}

ReportTail sweepReportTail(const QString &kHzStart, const QString &kHzStop,
                           const QString &freqStep) {
    return {QStringLiteral("Preamp: Off"),
            {QStringLiteral("Frequency Start: ") + kHzStart,
             QStringLiteral("Frequency Stop: ") + kHzStop,
             QStringLiteral("Frequency Step: ") + freqStep, tailLineOfEquals(),
             QStringLiteral("Frequency\tdBV")}};
}

ReportTail mdsReportTail(bool preampTicked) {
    return {preampTicked ? QStringLiteral("Preamp: On") : QStringLiteral("Preamp: Off"),
            {QStringLiteral("Mode: CW"), tailLineOfEquals(), QStringLiteral("Reading\tAFV")}};
}

void SettingsCapture::readInitialSettings(RadioLink &link) {
    const auto query = [&link](const char *command) {
        return link.queryRadio(QString::fromLatin1(command), kSettingQueryWaitMs, kSettingSettleMs);
    };
    RadioSnapshot s;
    s.afGain = cutMiddle(query("ag;"), 2, 1);
    s.agc = withoutLast(query("k22;gt;k20;"));
    s.attenuator = withoutLast(query("ra;"));
    s.preamp = withoutLast(query("pa;"));
    s.rfGain = withoutLast(query("rg;"));
    s.rfGainNumber = cutMiddle(s.rfGain, 2, 0);
    s.mode = withoutLast(query("md;"));
    s.power = withoutLast(query("k22;pc;k20;"));
    s.vfoA = withoutLast(query("fa;"));
    s.filterBandwidth = withoutLast(query("k31;fw;k30;"));
    s.filterNumber = withoutLast(query("k22;fw;k20;"));
    m_snapshot = s;
    m_hasSnapshot = true;
}

void SettingsCapture::readRadioIdentity(RadioLink &link) {
    link.sendCommand(QStringLiteral("mn026;"), kSerialEntryWaitMs);
    const QString display =
        link.queryRadio(QStringLiteral("ds;"), kSerialDisplayWaitMs, kSerialDisplaySettleMs);
    link.sendCommand(k3settings::kLeaveMenuCommand, kMenuLeaveWaitMs);
    RadioIdentity id;
    id.mcuRevision = cutMiddle(
        link.queryRadio(QStringLiteral("rvm;"), kRevisionQueryWaitMs, kRevisionSettleMs), 3, 1);
    id.dspRevision = cutMiddle(
        link.queryRadio(QStringLiteral("rvd;"), kRevisionQueryWaitMs, kRevisionSettleMs), 3, 1);
    id.frontPanelRevision =
        cutMiddle(link.queryRadio(QStringLiteral("rvf;"), kRevisionQueryWaitMs), 3, 1);
    // "DS" + 8 display characters + 2 status characters + ";": display characters 4 to 8.
    id.serialNumber = cutMiddle(display, 5, 3);
    m_identity = id;
}

QStringList SettingsCapture::listInitialSettings(const ReportTail &tail) const {
    using namespace k3settings;
    const RadioSnapshot &s = m_snapshot;
    // The decoders that cut their argument get copies: the snapshot is what the restore sends.
    QString power = s.power;
    QString powerAgain = s.power;
    QString vfoA = s.vfoA;
    QString bandwidth = s.filterBandwidth;
    QString filterNumber = s.filterNumber;

    QStringList lines;
    lines << QStringLiteral("K3 Serial Number:   ") + kTab + m_identity.serialNumber
          << QStringLiteral("K3 MCU Revision:    ") + kTab + m_identity.mcuRevision
          << QStringLiteral("K3 DSP Revision:    ") + kTab + m_identity.dspRevision
          << QStringLiteral("K3 Front Panel Rev: ") + kTab + m_identity.frontPanelRevision
          << QStringLiteral("Initial settings of K3 ") + rule(15)
          << QStringLiteral("AF Gain:\t\t") + s.afGain
          << QStringLiteral("AGC:\t\t") + decodeAgc(s.agc)
          << QStringLiteral("Attenuator:\t") + decodeAttenuator(s.attenuator)
          << QStringLiteral("Preamp:\t\t") + decodePreamp(s.preamp)
          << QStringLiteral("RF Gain:\t\t") + s.rfGainNumber
          << QStringLiteral("Mode:\t\t") + decodeMode(s.mode)
          << QStringLiteral("Power:\t\t") + decodePower(power) + QStringLiteral(" watts")
          << QStringLiteral("VFO A Frequency:   ") + decodeVfoFrequency(vfoA) +
                 QStringLiteral(" kHz")
          << QStringLiteral("Filter BW:\t") + decodeBandwidth(bandwidth) + QStringLiteral(" kHz")
          << QStringLiteral("Filter Nbr: \tFL") + decodeFilterNumber(filterNumber)
          << QStringLiteral("Test settings of K3 ") + rule(15) << QStringLiteral("AF Gain: 005")
          << QStringLiteral("AGC: Off") << QStringLiteral("Attenuator: Off") << tail.preampLine
          << QStringLiteral("Power: \t") + decodePower(powerAgain) + QStringLiteral(" watts")
          << tail.closingLines;
    return lines;
}

void SettingsCapture::restoreInitialSettings(RadioLink &link,
                                             const k3settings::TestWindowFlags &flags) const {
    // Before any snapshot (Reset K3 pressed before a test ran in this window) the restore
    // would be built from empty texts: "k22;;k20;", "AG;" (a query), lone ";"s. The radio
    // would answer the queries and leave stale text in the receive buffer in front of the
    // next exchange, so nothing is sent. TECH MD cannot have been turned on by this window
    // yet either: the test set-up that does so runs after the snapshot.
    if (!m_hasSnapshot) return;
    const RadioSnapshot &s = m_snapshot;
    const auto send = [&link](const QString &command) {
        link.sendCommand(command, kRestoreStepWaitMs);
    };
    send(QStringLiteral("k22;") + s.agc + QStringLiteral(";k20;"));
    send(QStringLiteral("AG") + s.afGain + u';');
    send(s.attenuator + u';');
    send(s.preamp + u';');
    send(s.rfGain + u';');
    send(s.mode + u';');
    send(s.vfoA + u';');
    send(QStringLiteral("k22;") + s.filterNumber + QStringLiteral(";k20;"));
    send(QStringLiteral("k31;") + s.filterBandwidth + QStringLiteral(";k30;"));
    link.sendCommand(QStringLiteral("db00;"), kReadoutResetWaitMs);
    // The flag stays set: every later restore in this window turns TECH MD off again,
    // which changes nothing when it is already off.
    if (flags.techModeSet) k3settings::disableTechMode(link);
}

}  // namespace corvane
