#include "radio/settingscapture.h"

#include <QRegularExpression>
#include <functional>
#include <iterator>
#include <vector>

#include "core/numtext.h"
#include "link/procedurefaults.h"

namespace corvane {

namespace {

const QChar kTab = u'\t';

QString rule(int count) {
    return QString(count, u'=');
}

QString tailLineOfEquals() {
    return rule(39);
}

const QString kNotRead = QStringLiteral("not read");

// One setting query: what it sends, the form of a good answer, what the user calls it.
struct SettingQuery {
    const char *command;
    const char *form;  // letters, then the digits; the ";" is added
    const char *name;
};

// The answer in its setting's form, without its ";" ("RG250;AI1;" -> "RG250"); empty when
// no part of the answer has that form. Of two such answers in one read the last is the
// answer to this query (the first is stale: one that came after its own wait, a report of
// the same form); in the read after a query, its late answer is the first.
enum class Which { Last, First };
QString fittedAnswer(const QString &answer, const char *form, Which which = Which::Last) {
    const QRegularExpression pattern(QString::fromLatin1(form) + u';');
    QString found;
    for (const QRegularExpressionMatch &match : pattern.globalMatch(answer)) {
        found = match.captured(0).chopped(1);
        if (which == Which::First) break;
    }
    return found;
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
    // Letters, then digits within the radio's range: a garbled "PA3" or an "RG" above 250
    // would be sent back as a command the radio never gave.
    static const SettingQuery queries[] = {
        {"ag;", "AG(?:[01][0-9]{2}|2[0-4][0-9]|250)", "AF gain"},  // 000..250
        {"k22;gt;k20;", "GT00[0-4][01]?", "AGC"},  // 002 fast, 004 slow; K22: AGC on/off
        {"ra;", "RA0[01]", "attenuator"},
        {"pa;", "PA[01]", "preamp"},
        {"rg;", "RG(?:[01][0-9]{2}|2[0-4][0-9]|250)", "RF gain"},  // 000..250
        {"md;", "MD[1-79]", "mode"},
        {"k22;pc;k20;", "PC[0-9]{3}[01]?", "power"},
        {"fa;", "FA[0-9]{11}", "VFO A frequency"},
        {"k31;fw;k30;", "FW[0-9]{4}(?:[0-9]{2})?", "filter bandwidth"},
        {"k22;fw;k20;", "FW[0-9]{4}[1-5][0-9]", "filter number"},  // bandwidth, FL1..FL5, 0
    };
    QString *const fields[] = {&m_snapshot.afGain,          &m_snapshot.agc,
                               &m_snapshot.attenuator,      &m_snapshot.preamp,
                               &m_snapshot.rfGain,          &m_snapshot.mode,
                               &m_snapshot.power,           &m_snapshot.vfoA,
                               &m_snapshot.filterBandwidth, &m_snapshot.filterNumber};
    constexpr int count = int(std::size(queries));
    m_snapshot = RadioSnapshot();
    m_unread.clear();
    m_lastRestore = RestoreOutcome();
    const auto ask = [&link](const SettingQuery &query) {
        return link.queryRadio(QString::fromLatin1(query.command), kSettingQueryWaitMs,
                               kSettingSettleMs);
    };
    QStringList answers;
    for (const SettingQuery &query : queries) answers << ask(query);
    // An answer that came after its wait is at the front of the next one.
    std::vector<int> askAgain;
    for (int i = 0; i < count; ++i) {
        *fields[i] = fittedAnswer(answers.at(i), queries[i].form);
        if (fields[i]->isEmpty() && i + 1 < count)
            *fields[i] = fittedAnswer(answers.at(i + 1), queries[i].form, Which::First);
        if (fields[i]->isEmpty() && !answers.at(i).isEmpty()) askAgain.push_back(i);
        if (fields[i]->isEmpty()) m_unread << QString::fromLatin1(queries[i].name);
    }
    // One more question for each setting whose answer came but was not understood (line
    // noise passes). A clean capture asks nothing more, and neither does a silent radio.
    for (const int i : askAgain) {
        if (link.portLost()) break;
        *fields[i] = fittedAnswer(ask(queries[i]), queries[i].form);
    }
    for (const int i : askAgain)
        if (!fields[i]->isEmpty()) m_unread.removeOne(QString::fromLatin1(queries[i].name));
    // The AF gain is kept and sent back as its digits alone.
    m_snapshot.afGain = cutMiddle(m_snapshot.afGain, 2, 0);
    m_snapshot.rfGainNumber = cutMiddle(m_snapshot.rfGain, 2, 0);
    m_hasSnapshot = true;
}

void SettingsCapture::tellUnreadSettings(Prompter &prompter) const {
    if (m_unread.isEmpty()) return;
    prompter.message(QStringLiteral("These settings of the K3 could not be read: ") +
                         m_unread.join(QStringLiteral(", ")) +
                         QStringLiteral(". The radio's answers did not have the expected form, "
                                        "so they will not be restored after the test."),
                     QStringLiteral("K3 Settings Not Read"), MessageIcon::Exclamation);
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
    // A setting that was not read is shown as such, never decoded from nothing.
    const auto shown = [this](const char *name, const QString &decoded) {
        return m_unread.contains(QString::fromLatin1(name)) ? kNotRead : decoded;
    };

    QStringList lines;
    lines << QStringLiteral("K3 Serial Number:   ") + kTab + m_identity.serialNumber
          << QStringLiteral("K3 MCU Revision:    ") + kTab + m_identity.mcuRevision
          << QStringLiteral("K3 DSP Revision:    ") + kTab + m_identity.dspRevision
          << QStringLiteral("K3 Front Panel Rev: ") + kTab + m_identity.frontPanelRevision
          << QStringLiteral("Initial settings of K3 ") + rule(15)
          << QStringLiteral("AF Gain:\t\t") + shown("AF gain", s.afGain)
          << QStringLiteral("AGC:\t\t") + shown("AGC", decodeAgc(s.agc))
          << QStringLiteral("Attenuator:\t") + shown("attenuator", decodeAttenuator(s.attenuator))
          << QStringLiteral("Preamp:\t\t") + shown("preamp", decodePreamp(s.preamp))
          << QStringLiteral("RF Gain:\t\t") + shown("RF gain", s.rfGainNumber)
          << QStringLiteral("Mode:\t\t") + shown("mode", decodeMode(s.mode))
          << QStringLiteral("Power:\t\t") +
                 shown("power", decodePower(power) + QStringLiteral(" watts"))
          << QStringLiteral("VFO A Frequency:   ") +
                 shown("VFO A frequency", decodeVfoFrequency(vfoA) + QStringLiteral(" kHz"))
          << QStringLiteral("Filter BW:\t") +
                 shown("filter bandwidth", decodeBandwidth(bandwidth) + QStringLiteral(" kHz"))
          << QStringLiteral("Filter Nbr: \t") +
                 shown("filter number", QStringLiteral("FL") + decodeFilterNumber(filterNumber))
          << QStringLiteral("Test settings of K3 ") + rule(15) << QStringLiteral("AF Gain: 005")
          << QStringLiteral("AGC: Off") << QStringLiteral("Attenuator: Off") << tail.preampLine
          << QStringLiteral("Power: \t") +
                 shown("power", decodePower(powerAgain) + QStringLiteral(" watts"))
          << tail.closingLines;
    return lines;
}

RestoreOutcome SettingsCapture::restoreInitialSettings(RadioLink &link,
                                                       const k3settings::TestWindowFlags &flags,
                                                       const QStringList &leaveAlone) const {
    m_lastRestore = RestoreOutcome();
    // Before any snapshot (Reset K3 pressed before a test ran in this window) the restore
    // would be built from empty texts: "k22;;k20;", "AG;" (a query), lone ";"s. The radio
    // would answer the queries and leave stale text in the receive buffer in front of the
    // next exchange, so nothing is sent. TECH MD cannot have been turned on by this window
    // yet either: the test set-up that does so runs after the snapshot.
    if (!m_hasSnapshot) return m_lastRestore;
    const RadioSnapshot &s = m_snapshot;
    QStringList &notRestored = m_lastRestore.notRestored;
    // A step on a lost port sends nothing; the step whose write failed did not arrive.
    const auto step = [&](const QString &name, const std::function<void()> &send) {
        send();
        if (link.portLost()) notRestored << name;
    };
    // A setting that was not read is left as the radio has it.
    const auto sendIfRead = [&](const char *name, const QString &command) {
        if (m_unread.contains(QString::fromLatin1(name)) ||
            leaveAlone.contains(QString::fromLatin1(name)))
            return;
        step(QString::fromLatin1(name), [&] { link.sendCommand(command, kRestoreStepWaitMs); });
    };
    sendIfRead("AGC", QStringLiteral("k22;") + s.agc + QStringLiteral(";k20;"));
    sendIfRead("AF gain", QStringLiteral("AG") + s.afGain + u';');
    sendIfRead("attenuator", s.attenuator + u';');
    sendIfRead("preamp", s.preamp + u';');
    sendIfRead("RF gain", s.rfGain + u';');
    sendIfRead("mode", s.mode + u';');
    sendIfRead("VFO A frequency", s.vfoA + u';');
    sendIfRead("filter number", QStringLiteral("k22;") + s.filterNumber + QStringLiteral(";k20;"));
    sendIfRead("filter bandwidth",
               QStringLiteral("k31;") + s.filterBandwidth + QStringLiteral(";k30;"));
    step(QStringLiteral("VFO B display"),
         [&] { link.sendCommand(QStringLiteral("db00;"), kReadoutResetWaitMs); });
    // The flag stays set: every later restore in this window turns TECH MD off again,
    // which changes nothing when it is already off.
    if (flags.techModeSet) {
        step(QStringLiteral("TECH MD"), [&] {
            // A display that could not be read is not switched: it may show TECH MD on.
            if (k3settings::disableTechMode(link) == k3settings::TechModeReading::Unread &&
                !link.portLost())
                notRestored << QStringLiteral("TECH MD");
        });
    }
    m_lastRestore.error = link.lastError();
    return m_lastRestore;
}

bool SettingsCapture::restoreAndTell(RadioLink &link, const k3settings::TestWindowFlags &flags,
                                     Prompter &prompter) const {
    const RestoreOutcome outcome = restoreInitialSettings(link, flags);
    if (outcome.isComplete()) return true;
    prompter.message(restoreFailedMessage(outcome));
    return false;
}

PromptMessage restoreFailedMessage(const RestoreOutcome &outcome) {
    const QString notRestored =
        QStringLiteral(". Not restored: ") + outcome.notRestored.join(QStringLiteral(", "));
    if (!outcome.error.isError())
        return {QStringLiteral("The K3 could not be put back as it was: TECH MD could not be "
                               "read, so it was not switched off") +
                    notRestored + QStringLiteral(". The results are kept; Reset K3 tries again."),
                QStringLiteral("K3 Not Restored"), MessageIcon::Critical};
    return {QStringLiteral("The K3 could not be put back as it was: the connection was lost (") +
                portErrorDescription(outcome.error) + u')' + notRestored +
                QStringLiteral(". The results are kept; Reset K3 sends these settings again "
                               "once the K3 is connected again."),
            QStringLiteral("K3 Not Restored"), MessageIcon::Critical};
}

}  // namespace corvane
