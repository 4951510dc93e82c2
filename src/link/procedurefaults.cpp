#include "link/procedurefaults.h"

namespace corvane {

QString portErrorDescription(const PortError &error) {
    if (!error.description.isEmpty()) return error.description;
    switch (error.kind) {
        case PortErrorKind::NoSuchPort:
            return QStringLiteral("the port no longer exists");
        case PortErrorKind::InUse:
            return QStringLiteral("the port is in use");
        case PortErrorKind::NotOpen:
            return QStringLiteral("the port is not open");
        case PortErrorKind::Other:
        case PortErrorKind::None:
            break;
    }
    return QStringLiteral("port error");
}

PromptMessage lostConnectionMessage(const PortError &error, int step, int total, int linesKept) {
    QString text = QStringLiteral("The connection to the K3 was lost ");
    text += step > 0 ? QStringLiteral("at step %1 of %2").arg(step).arg(total)
                     : QStringLiteral("before the first step");
    text += QStringLiteral(": ") + portErrorDescription(error) + QStringLiteral(". ");
    if (linesKept == 1)
        text += QStringLiteral("The 1 line measured so far is kept: save it with Save File.");
    else if (linesKept > 1)
        text += QStringLiteral("The %1 lines measured so far are kept: save them with Save File.")
                    .arg(linesKept);
    else
        text += QStringLiteral("Nothing had been measured yet.");
    return {text, QStringLiteral("Connection Lost"), MessageIcon::Critical};
}

void NoAnswerCount::note(const QString &answer) {
    ++m_readings;
    if (answer.isEmpty()) {
        ++m_unanswered;
        ++m_inARow;
    } else {
        m_inARow = 0;
    }
}

QString NoAnswerCount::progressNote() const {
    if (m_inARow == 0) return QString();
    if (m_inARow == 1) return QStringLiteral("No answer from the K3 for the last reading");
    return QStringLiteral("No answer from the K3 for the last %1 readings").arg(m_inARow);
}

QString NoAnswerCount::completionNote() const {
    if (m_unanswered == 0) return QString();
    return QStringLiteral(" %1 of %2 readings had no answer from the K3.")
        .arg(m_unanswered)
        .arg(m_readings);
}

LinkHold::LinkHold(RadioLink &link, const QString &procedure, const QString &window)
    : m_link(link), m_previous(link.holder()) {
    m_link.setHolder(procedure + QStringLiteral(" in the ") + window + QStringLiteral(" window"));
}

LinkHold::~LinkHold() {
    // What the user clicked while the procedure ran (the real clock's waits hold input back)
    // arrives now, while the link is still held: the procedure's own buttons are still off
    // and every other window's radio action is refused as busy, so nothing queued up runs
    // afterwards.
    if (m_previous.isEmpty()) m_link.clock().deliverHeldInput();
    m_link.setHolder(m_previous);
}

PromptMessage busyMessage(const QString &holder) {
    return {
        holder + QStringLiteral(" is using the K3. Wait until it has finished, then try again."),
        QStringLiteral("K3 Busy"), MessageIcon::Exclamation};
}

bool refuseWhileBusy(const RadioLink &link, Prompter &prompter) {
    if (link.holder().isEmpty()) return false;
    prompter.message(busyMessage(link.holder()));
    return true;
}

}  // namespace corvane
