// The filter survey's put-back, and what it tells when the port is lost on the way.

#include "link/procedurefaults.h"
#include "survey/filtersurvey.h"
#include "survey/surveyrun.h"

namespace corvane {

QString FilterSurvey::flagName(int slot) const {
    return QStringLiteral("FL%1's %2 receive flag%3")
        .arg(slot)
        .arg(surveyModeName(m_options.modeNumber),
             m_options.receiver == Receiver::Sub ? QStringLiteral(" (sub-receiver)") : QString());
}

QStringList FilterSurvey::putBack(QStringList &notes) {
    QStringList notRestored;
    // The receive flags first: the mode and filter the capture puts back must be allowed.
    // On a lost port nothing is sent; each is named.
    NotingPrompter quiet;
    FilterWindowFields fields;
    TableSink table;
    CrystalFilters filters(m_link, quiet, m_options.receiver, fields, table);
    filters.setWithinHeldLink(true);
    const QList<int> flags = m_enabledSlots;
    for (auto it = flags.crbegin(); it != flags.crend(); ++it) {
        const int slot = *it;
        const FilterOperationEnd end = m_link.portLost()
                                           ? FilterOperationEnd::PortFailed
                                           : filters.disableReceive(m_options.modeNumber, slot);
        if (m_link.portLost()) {
            notRestored << flagName(slot);
            continue;
        }
        m_enabledSlots.removeOne(slot);
        if (end != FilterOperationEnd::Done)
            notes << QStringLiteral("FL%1 could not be disabled again for %2 receive.")
                         .arg(slot)
                         .arg(surveyModeName(m_options.modeNumber));
    }
    // The survey mode's own memories while in that mode (it is selected again first: after
    // a lost port the K3 may be found in another), then the mode it was found in, then the
    // capture (which sends that mode once more among its settings).
    const QString mode = QString::number(m_options.modeNumber);
    const auto memories = [&](const CapturedSettings &settings, const QString &modeCommand) {
        if (settings.isEmpty()) return;
        m_link.sendCommand(modeCommand, kSurveySetupWaitMs);
        notRestored << settings.restore(m_link);
    };
    memories(m_modeMemories, QStringLiteral("md") + mode + u';');
    memories(m_subModeMemories, QStringLiteral("md$") + mode + u';');
    const SettingsCapture &capture = m_sweepState.capture;
    const QString &found = capture.snapshot().mode;
    if (!found.isEmpty() && !capture.unreadSettings().contains(QStringLiteral("mode")) &&
        found != QStringLiteral("MD") + mode)
        m_link.sendCommand(found + u';', kSurveySetupWaitMs);
    notRestored << capture.restoreInitialSettings(m_link, m_sweepState.flags).notRestored;
    if (m_options.receiver == Receiver::Sub) notRestored << m_subCapture.restore(m_link);
    if (m_autoInfo.value(QStringLiteral("auto-info")) != u"AI0")
        notRestored << m_autoInfo.restore(m_link);
    return notRestored;
}

void FilterSurvey::tellNotRestored(const QString &where, const QStringList &notRestored) {
    if (notRestored.isEmpty()) {
        m_prompter.message(lostConnectionMessage(m_link.lastError(), 0, 0, 0));
        return;
    }
    m_prompter.message(QStringLiteral("The connection to the K3 was lost %1 (%2), so the K3 "
                                      "could not be put back as it was. Not restored: %3. The "
                                      "slots measured so far are kept; Reset K3 sends these "
                                      "settings again once the K3 is connected again.")
                           .arg(where, portErrorDescription(m_link.lastError()),
                                notRestored.join(QStringLiteral(", "))),
                       QStringLiteral("K3 Not Restored"), MessageIcon::Critical);
}

void FilterSurvey::resetK3() {
    if (refuseWhileBusy(m_link, m_prompter) || !hasCapture()) return;
    const LinkHold hold(m_link, QStringLiteral("Reset K3"), kSurveyWindowName);
    m_link.clearError();
    // A survey cut short by a lost port may have left the K3 in a filter menu.
    m_link.sendCommand(QStringLiteral("k30;mn255;"), kSurveySetupWaitMs);
    QStringList notes;
    const QStringList notRestored = putBack(notes);
    if (m_link.portLost())
        tellNotRestored(QStringLiteral("while Reset K3 put the settings back"), notRestored);
    else if (!notes.isEmpty())
        m_prompter.message(notes.join(u'\n'), kSurveyWindowName, MessageIcon::Exclamation);
}

}  // namespace corvane
