#include "filters/crystalfilters.h"

#include <QRegularExpression>

#include "core/progresstext.h"
#include "link/portnames.h"
#include "link/procedurefaults.h"
#include "radio/k3settings.h"

namespace corvane {

namespace {

const QString kOpenSlotEntry = QStringLiteral("k30;mn038;");
const QString kOpenOffsetEntry = QStringLiteral("k30;mn039;");
const QString kOpenLossCompEntry = QStringLiteral("k30;mn040;");
const QString kOpenReceiveEntry = QStringLiteral("k30;mn041;");
const QString kLeaveMenu = QStringLiteral("k30;mn255;");
const QString kNextSlot = QStringLiteral("k31;swt29;k30;");
// The receive readout taps XFIL without going back to K30: the next entry opened does.
const QString kNextSlotReceive = QStringLiteral("k31;swt29;");
const QString kSubReceiver = QStringLiteral("k31;swt48;k30;");
const QString kSubReadoutSwitch = QStringLiteral("k31;swt11;k30;");
const QString kStepValue = QStringLiteral("dn;");
const QString kSlotQuery = QStringLiteral("db;");
const QString kDisplayQuery = QStringLiteral("ds;");
const QString kModeQuery = QStringLiteral("md;");
const QString kSubModeQuery = QStringLiteral("md$;");

const QString kStatusTitle = QStringLiteral("Filter Receive Status");
const QString kFilterErrorTitle = QStringLiteral("Filter Error");
constexpr int kDisplayAnswerLength = 13;  // "DS", 8 display characters, 2 status, ";"

// One pass of a readout: its readers' waits and the tap.
qint64 bandwidthPassMs(Receiver r) {
    const qint64 sub = r == Receiver::Sub ? kFilterTapWaitMs : 0;
    return kReaderSlotEntryWaitMs + sub + kReaderSlotQueryWaitMs + kReaderDisplayWaitMs +
           2 * (kReaderEntryWaitMs + sub + kReaderDisplayWaitMs) + kFilterTapWaitMs;
}
qint64 receivePassMs(Receiver r) {
    const qint64 sub = r == Receiver::Sub ? kFilterTapWaitMs : 0;
    return kReaderSlotEntryWaitMs + sub + kReaderSlotQueryWaitMs + kReaderEntryWaitMs + sub +
           kReaderDisplayWaitMs + kFilterTapWaitMs;
}

// An answer as the user can read it: characters outside plain ASCII as \xNN.
QString shownAnswer(const QString &answer) {
    if (answer.isEmpty()) return QStringLiteral("nothing");
    QString out;
    for (const QChar c : answer) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            out += c;
        else
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
    }
    return u'"' + out + u'"';
}

QString slotAnswer(RadioLink &link, int waitMs) {
    return answerIn(link.queryRadio(kSlotQuery, waitMs), QLatin1String("DB"));
}

QString displayAnswer(RadioLink &link, int waitMs) {
    return answerIn(link.queryRadio(kDisplayQuery, waitMs), QLatin1String("DS"),
                    kDisplayAnswerLength);
}

}  // namespace

QString filterWindowTitle(Receiver receiver) {
    return receiver == Receiver::Main
               ? QStringLiteral("Main Receiver Crystal Filters Configuration")
               : QStringLiteral("Sub-Receiver Crystal Filters Configuration");
}

qint64 bandwidthReadoutMs(Receiver receiver) {
    const qint64 before =
        receiver == Receiver::Sub ? kReaderSlotEntryWaitMs + kSubReadoutSwitchWaitMs : 0;
    return before + kFilterSlots * bandwidthPassMs(receiver);
}

qint64 receiveReadoutMs(Receiver receiver) {
    return kFilterModes * (kFilterModeWaitMs + kFilterSlots * receivePassMs(receiver));
}

void TableSink::showSettings(int slot, const QString &bandwidth, const QString &offset,
                             const QString &lossComp) {
    FilterColumn &c = table.column(slot);
    c.bandwidth = bandwidth;
    c.offset = offset;
    c.lossComp = lossComp;
    ++cellsShown;
}

void TableSink::showReceive(int slot, int modeNumber, bool enabled) {
    table.column(slot).receive[size_t(modeNumber)] = enabled;
    ++cellsShown;
}

CrystalFilters::CrystalFilters(RadioLink &link, Prompter &prompter, Receiver receiver,
                               FilterWindowFields &fields, FilterTableSink &sink)
    : m_link(link), m_prompter(prompter), m_receiver(receiver), m_fields(fields), m_sink(sink) {}

FilterOperationEnd CrystalFilters::enableReceive(std::optional<int> modeNumber,
                                                 std::optional<int> slot) {
    if (!m_withinHeldLink && refuseWhileBusy(m_link, m_prompter)) return FilterOperationEnd::Busy;
    std::optional<LinkHold> hold;
    if (!m_withinHeldLink)
        hold.emplace(m_link, QStringLiteral("Enable Receive"), filterWindowTitle(m_receiver));
    return changeReceive(true, modeNumber, slot);
}

FilterOperationEnd CrystalFilters::disableReceive(std::optional<int> modeNumber,
                                                  std::optional<int> slot) {
    if (!m_withinHeldLink && refuseWhileBusy(m_link, m_prompter)) return FilterOperationEnd::Busy;
    std::optional<LinkHold> hold;
    if (!m_withinHeldLink)
        hold.emplace(m_link, QStringLiteral("Disable Receive"), filterWindowTitle(m_receiver));
    return changeReceive(false, modeNumber, slot);
}

void CrystalFilters::pointAtSubReceiver() {
    if (m_receiver == Receiver::Sub) m_link.sendCommand(kSubReceiver, kFilterTapWaitMs);
}

void CrystalFilters::reportPortError(const QString &step) {
    QString text = QStringLiteral("The port failed while %1: %2")
                       .arg(step, portErrorText(m_link.lastError(), QString()));
    // The modes read before the first mode change could not be sent back: the user is told
    // which to set by hand.
    QStringList found;
    if (m_modesSwitched)
        for (const FoundMode &m : m_foundModes)
            if (!m.answer.isEmpty())
                found << (m.query == kModeQuery ? QStringLiteral("the main receiver in %1")
                                                : QStringLiteral("the sub-receiver in %1"))
                             .arg(k3settings::decodeMode(QStringLiteral("MD") + m.answer.right(1)));
    if (!found.isEmpty())
        text += QStringLiteral(
                    "\n\nThe K3's mode was not put back: it was found with %1. Set it "
                    "by hand once the radio is connected again.")
                    .arg(found.join(QStringLiteral(" and ")));
    m_prompter.message(text, kPortErrorTitle, MessageIcon::Critical);
}

FilterOperationEnd CrystalFilters::changeReceive(bool enable, std::optional<int> modeNumber,
                                                 std::optional<int> slot) {
    const bool haveMode = modeNumber && *modeNumber >= 1 && *modeNumber <= kFilterModes;
    const bool haveSlot = slot && *slot >= 1 && *slot <= kFilterSlots;
    if (!haveMode || !haveSlot) {
        const QString missing = !haveMode && !haveSlot ? QStringLiteral("a mode and a filter")
                                : !haveMode            ? QStringLiteral("a mode")
                                                       : QStringLiteral("a filter");
        m_prompter.message(
            QStringLiteral("Select %1 first: nothing was sent to the K3.").arg(missing),
            kStatusTitle, MessageIcon::Exclamation);
        return FilterOperationEnd::Refused;
    }
    const QString mode = modeText(*modeNumber);
    const QString slotText = QString::number(*slot);
    m_link.clearError();
    const QString what =
        enable ? QStringLiteral("Enable Receive") : QStringLiteral("Disable Receive");
    readModes();
    if (portFailed()) {
        reportPortError(
            QStringLiteral("setting Filter %1 for %2 receive").arg(slotText, getModeName(mode)));
        return FilterOperationEnd::PortFailed;
    }

    m_modesSwitched = true;
    m_link.sendCommand(mode + u';', kFilterModeWaitMs);
    m_link.sendCommand(kOpenSlotEntry, kFilterEntryWaitMs);
    pointAtSubReceiver();
    QString answer = slotAnswer(m_link, kFilterSlotQueryWaitMs);
    m_fields.filterSlot = answer.mid(4, 1);
    int taps = 0;
    while (m_fields.filterSlot != slotText && !portFailed()) {
        if (taps == kMaxSlotTaps) {
            m_prompter.message(
                QStringLiteral("The K3 did not show Filter %1 after %2 taps of XFIL (it last "
                               "answered %3). Nothing was changed.")
                    .arg(slotText)
                    .arg(kMaxSlotTaps)
                    .arg(shownAnswer(answer)),
                kStatusTitle, MessageIcon::Exclamation);
            m_link.sendCommand(kLeaveMenu, 0);
            putModesBack(what);
            return FilterOperationEnd::SlotNotFound;
        }
        Clock &clock = m_link.clock();
        if (LinkTrace *trace = m_link.trace()) trace->addYield(clock.now());
        clock.yield();
        m_link.sendCommand(kNextSlot, kFilterTapWaitMs);
        answer = slotAnswer(m_link, kFilterSlotQueryWaitMs);
        m_fields.filterSlot = answer.mid(4, 1);
        ++taps;
    }
    if (!portFailed()) {
        m_link.sendCommand(kOpenReceiveEntry, kFilterEntryWaitMs);
        pointAtSubReceiver();
        answer = displayAnswer(m_link, kFilterFlagQueryWaitMs);
        m_fields.receiveFlag = answer.chopped(qMin(3, int(answer.size()))).mid(7);
    }
    if (portFailed()) {
        reportPortError(
            QStringLiteral("setting Filter %1 for %2 receive").arg(slotText, getModeName(mode)));
        return FilterOperationEnd::PortFailed;
    }
    // The flag decides whether "dn;" is sent: an answer without the radio's form decides
    // nothing.
    if (answer.size() != kDisplayAnswerLength || !answer.startsWith(QLatin1String("DS")) ||
        !answer.endsWith(u';')) {
        m_prompter.message(
            QStringLiteral("The K3's display could not be read (it answered %1): Filter %2 was "
                           "left as it was for %3 receive.")
                .arg(shownAnswer(answer), slotText, getModeName(mode)),
            kStatusTitle, MessageIcon::Exclamation);
        m_link.sendCommand(kLeaveMenu, 0);
        putModesBack(what);
        return FilterOperationEnd::Unreadable;
    }

    const bool enabled = m_fields.receiveFlag == QLatin1String("YES");
    QString middle;
    if (enable) {
        middle = enabled ? QStringLiteral(" is already enabled for ")
                         : QStringLiteral(" is now enabled for ");
    } else {
        middle = enabled ? QStringLiteral(" is now disabled for ")
                         : QStringLiteral(" is already disabled for ");
    }
    if (enabled != enable) m_link.sendCommand(kStepValue, 0);
    // The step that changes the flag did not reach the radio: nothing was changed.
    if (portFailed()) {
        reportPortError(
            QStringLiteral("setting Filter %1 for %2 receive").arg(slotText, getModeName(mode)));
        return FilterOperationEnd::PortFailed;
    }
    m_prompter.message(QStringLiteral("Filter ") + slotText + middle + getModeName(mode) +
                           QStringLiteral(" receive"),
                       kStatusTitle, MessageIcon::Exclamation);
    m_link.sendCommand(kLeaveMenu, 0);
    putModesBack(what);
    return FilterOperationEnd::Done;
}

// ---- Readers ---------------------------------------------------------------------------

void CrystalFilters::readFilterSlot() {
    m_link.sendCommand(kOpenSlotEntry, kReaderSlotEntryWaitMs);
    pointAtSubReceiver();
    m_fields.filterSlot = slotAnswer(m_link, kReaderSlotQueryWaitMs).left(5);
}

std::optional<QString> CrystalFilters::readDisplayAnswer(const QString &what) {
    const QString answer = displayAnswer(m_link, kReaderDisplayWaitMs);
    if (answer.size() == kDisplayAnswerLength && answer.startsWith(QLatin1String("DS")) &&
        answer.endsWith(u';'))
        return answer;
    m_unreadable << what + QStringLiteral(": the K3 answered ") + shownAnswer(answer);
    m_lastDisplayRead = false;
    return std::nullopt;
}

void CrystalFilters::readFilterBandwidth() {
    const std::optional<QString> answer = readDisplayAnswer(QStringLiteral("bandwidth"));
    const QString field = answer ? answer->mid(6, 4) : QString();
    m_fields.filterBW = insertDecimalPoint(decodeSignChar(field));
    if (answer && !hasDecimalPointField(field)) {
        m_unreadable << QStringLiteral("bandwidth: no decimal point in ") + shownAnswer(*answer);
        m_lastDisplayRead = false;
    }
}

void CrystalFilters::readFilterOffset() {
    m_link.sendCommand(kOpenOffsetEntry, kReaderEntryWaitMs);
    pointAtSubReceiver();
    const std::optional<QString> answer = readDisplayAnswer(QStringLiteral("offset"));
    const QString field = answer ? answer->mid(6, 4) : QString();
    m_fields.filterFO = insertDecimalPoint(decodeSignChar(field));
    if (answer && !hasDecimalPointField(field)) {
        m_unreadable << QStringLiteral("offset: no decimal point in ") + shownAnswer(*answer);
        m_lastDisplayRead = false;
    }
}

void CrystalFilters::readFilterLossComp() {
    m_link.sendCommand(kOpenLossCompEntry, kReaderEntryWaitMs);
    pointAtSubReceiver();
    const std::optional<QString> answer = readDisplayAnswer(QStringLiteral("loss compensation"));
    m_fields.filterLC = answer ? answer->mid(6, 1) : QString();
}

void CrystalFilters::readReceiveFlag() {
    m_link.sendCommand(kOpenReceiveEntry, kReaderEntryWaitMs);
    pointAtSubReceiver();
    const std::optional<QString> answer = readDisplayAnswer(QStringLiteral("receive flag"));
    m_fields.receiveFlag = answer ? answer->mid(7, 3) : QString();
}

std::optional<int> CrystalFilters::shownSlot() const {
    for (int slot = 1; slot <= kFilterSlots; ++slot)
        if (m_fields.filterSlot == QStringLiteral("DBFL") + QString::number(slot)) return slot;
    return std::nullopt;
}

void CrystalFilters::showFilterReceive(int slot, int modeNumber, const QString &flag) {
    if (modeNumber < 1 || modeNumber > kFilterModes) {
        m_prompter.message(QStringLiteral("Unknown Mode"), QStringLiteral("Mode Error"),
                           MessageIcon::Critical);
        return;
    }
    m_sink.showReceive(slot, modeNumber, flag == QLatin1String("YES"));
}

// ---- Readouts --------------------------------------------------------------------------

void CrystalFilters::stepProgress(const QString &text) {
    // The time left in the program's one format (core/progresstext.h).
    m_sink.progress(text + QStringLiteral(", about %1 left").arg(timeLeftText(m_msLeft)), m_msLeft);
}

void CrystalFilters::listFilterSettings() {
    const bool sub = m_receiver == Receiver::Sub;
    m_msLeft = bandwidthReadoutMs(m_receiver);
    m_passesDone = 0;
    m_passCount = kFilterSlots;
    if (sub) {
        stepProgress(QStringLiteral("Opening the sub-receiver's filter menu"));
        m_link.sendCommand(kOpenSlotEntry, kReaderSlotEntryWaitMs);
        m_link.sendCommand(kSubReadoutSwitch, kSubReadoutSwitchWaitMs);
        m_msLeft -= kReaderSlotEntryWaitMs + kSubReadoutSwitchWaitMs;
    }
    for (int pass = 1; pass <= kFilterSlots && !portFailed() && !stopAsked(); ++pass) {
        stepProgress(
            QStringLiteral("Reading filter settings, pass %1 of %2").arg(pass).arg(kFilterSlots));
        const int problemsBefore = int(m_unreadable.size());
        m_lastDisplayRead = true;
        readFilterSlot();
        readFilterBandwidth();
        readFilterOffset();
        readFilterLossComp();
        if (portFailed()) break;
        if (const std::optional<int> slot = shownSlot()) {
            if (m_lastDisplayRead) {
                m_sink.showSettings(*slot, m_fields.filterBW, m_fields.filterFO, m_fields.filterLC);
            } else {
                for (int i = problemsBefore; i < m_unreadable.size(); ++i)
                    m_unreadable[i] = QStringLiteral("Filter %1 ").arg(*slot) + m_unreadable[i];
            }
        } else {
            // An unnamed slot costs its message; what was read in this pass is not kept.
            while (m_unreadable.size() > problemsBefore) m_unreadable.removeLast();
            m_prompter.message(
                sub ? QStringLiteral("Unknown filter: ")
                    : QStringLiteral("Unknown filter in Filter Bandwidth Settings: "),
                kFilterErrorTitle, MessageIcon::Exclamation);
        }
        m_link.sendCommand(kNextSlot, kFilterTapWaitMs);
        m_msLeft -= bandwidthPassMs(m_receiver);
        if (!portFailed()) ++m_passesDone;
    }
}

void CrystalFilters::listFilterReceive() {
    const bool sub = m_receiver == Receiver::Sub;
    m_msLeft = receiveReadoutMs(m_receiver);
    m_passesDone = 0;
    m_passCount = kFilterModes * kFilterSlots;
    for (const FilterMode &mode : filterModeTable()) {
        if (portFailed() || stopAsked()) break;
        m_modesSwitched = true;
        m_link.sendCommand(modeText(mode.number) + u';', kFilterModeWaitMs);
        m_msLeft -= kFilterModeWaitMs;
        for (int pass = 1; pass <= kFilterSlots && !portFailed() && !stopAsked(); ++pass) {
            stepProgress(QStringLiteral("Reading %1 receive settings, pass %2 of %3")
                             .arg(QLatin1String(mode.name))
                             .arg(pass)
                             .arg(kFilterSlots));
            const int problemsBefore = int(m_unreadable.size());
            m_lastDisplayRead = true;
            readFilterSlot();
            readReceiveFlag();
            if (portFailed()) break;
            if (const std::optional<int> slot = shownSlot()) {
                if (m_lastDisplayRead)
                    showFilterReceive(*slot, mode.number, m_fields.receiveFlag);
                else
                    m_unreadable.last() =
                        QStringLiteral("Filter %1 %2 ").arg(*slot).arg(QLatin1String(mode.name)) +
                        m_unreadable.last();
            } else {
                while (m_unreadable.size() > problemsBefore) m_unreadable.removeLast();
                m_prompter.message(
                    sub ? QStringLiteral("Unknown filter: ")
                        : QStringLiteral("Unknown Filter in Filter Receive Settings"),
                    kFilterErrorTitle, MessageIcon::Exclamation);
            }
            m_link.sendCommand(kNextSlotReceive, kFilterTapWaitMs);
            m_msLeft -= receivePassMs(m_receiver);
            if (!portFailed()) ++m_passesDone;
        }
    }
}

bool CrystalFilters::bandwidthReadout() {
    if (!m_withinHeldLink && refuseWhileBusy(m_link, m_prompter)) return false;
    std::optional<LinkHold> hold;
    if (!m_withinHeldLink)
        hold.emplace(m_link, QStringLiteral("Filter Bandwidth Settings"),
                     filterWindowTitle(m_receiver));
    m_unreadable.clear();
    m_link.clearError();
    listFilterSettings();
    if (!portFailed()) m_link.sendCommand(kLeaveMenu, 0);
    finishReadout();
    return !portFailed();
}

bool CrystalFilters::receiveReadout() {
    if (!m_withinHeldLink && refuseWhileBusy(m_link, m_prompter)) return false;
    std::optional<LinkHold> hold;
    if (!m_withinHeldLink)
        hold.emplace(m_link, QStringLiteral("Filter Receive Settings"),
                     filterWindowTitle(m_receiver));
    m_unreadable.clear();
    m_link.clearError();
    readModes();
    if (!portFailed()) listFilterReceive();
    if (!portFailed()) m_link.sendCommand(kLeaveMenu, 0);
    putModesBack(QStringLiteral("Filter Receive Settings"));
    finishReadout();
    return !portFailed();
}

void CrystalFilters::finishReadout() {
    m_sink.progress(QString(), 0);
    if (portFailed()) {
        reportPortError(QStringLiteral("reading the filter settings"));
        return;
    }
    if (m_unreadable.isEmpty()) return;
    m_unreadable.removeDuplicates();
    m_prompter.message(QStringLiteral("These settings could not be read and were left as they "
                                      "were:\n") +
                           m_unreadable.join(u'\n'),
                       kFilterErrorTitle, MessageIcon::Exclamation);
}

// ---- The modes found -------------------------------------------------------------------

void CrystalFilters::readModes() {
    m_foundModes.clear();
    m_modesSwitched = false;
    if (m_withinHeldLink) return;
    QStringList queries{kModeQuery};
    // The sub-receiver's operations switch the main receiver's mode ("md<n>;"); in diversity
    // mode that sets the sub-receiver's too (the K3 command reference, MD entry), so both are
    // read and put back.
    if (m_receiver == Receiver::Sub) queries << kSubModeQuery;
    for (const QString &query : queries) {
        if (portFailed()) return;
        const QString answer = m_link.queryRadio(query, kFilterModeWaitMs);
        // The last answer of the mode's form: a stale one may stand before it.
        const QRegularExpression form(query == kModeQuery ? QStringLiteral("MD[1-79];")
                                                          : QStringLiteral("MD\\$[1-79];"));
        QString found;
        QRegularExpressionMatchIterator it = form.globalMatch(answer);
        while (it.hasNext()) found = it.next().captured(0).chopped(1);
        m_foundModes.push_back({query, found, answer});
    }
}

void CrystalFilters::putModesBack(const QString &what) {
    if (portFailed()) return;
    QStringList unread;
    for (const FoundMode &m : m_foundModes) {
        if (m.answer.isEmpty()) {
            unread << (m.query == kModeQuery ? QStringLiteral("mode (it answered %1)")
                                             : QStringLiteral("sub-receiver mode (it answered %1)"))
                          .arg(shownAnswer(m.raw));
            continue;
        }
        m_link.sendCommand(m.answer + u';', kFilterModeWaitMs);
        if (portFailed()) return;
    }
    m_foundModes.clear();
    m_modesSwitched = false;
    if (unread.isEmpty()) return;
    m_prompter.message(QStringLiteral("These settings of the K3 could not be read before %1: %2. "
                                      "The radio's answers did not have the expected form, so "
                                      "they were not put back.")
                           .arg(what, unread.join(QStringLiteral(", "))),
                       QStringLiteral("K3 Settings Not Read"), MessageIcon::Exclamation);
}

}  // namespace corvane
