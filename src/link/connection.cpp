#include "link/connection.h"

namespace corvane {

namespace {
const QString kStatusTitle = QStringLiteral("K3 Status");
const QString kConnectedText = QStringLiteral("K3 is connected and communicating at: ");
const QString kUnableText = QStringLiteral("Unable to communicate with K3");
const QString kPresentText = QStringLiteral("K3 is present");
const QString kAutoInfoMode1 = QStringLiteral("AI1;");

// The radio's port error, if the last exchange met one. Each procedure starts clean so
// that it reports only its own errors.
bool failed(const RadioLink &link, PortError *error) {
    if (!link.lastError().isError()) return false;
    if (error) *error = link.lastError();
    return true;
}
}  // namespace

ConnectOutcome identifyRadio(RadioLink &link, Prompter &prompter,
                             const std::function<void()> &afterIdentified) {
    ConnectOutcome outcome;
    link.clearError();
    const QString identity = link.queryRadio(QStringLiteral("id;"), kIdentifyWaitAtConnectMs);
    if (failed(link, &outcome.error)) return outcome;

    if (identity != kK3Identity) {
        prompter.message(kUnableText, kStatusTitle, MessageIcon::Information);
        link.close();
        return outcome;
    }
    outcome.identified = true;
    prompter.message(kConnectedText + link.settings(), kStatusTitle, MessageIcon::Information);
    if (afterIdentified) afterIdentified();

    outcome.autoInfo = link.queryRadio(QStringLiteral("ai;"), kAutoInfoQueryWaitMs);
    if (failed(link, &outcome.error)) return outcome;
    // Reports arriving unasked would sit in front of every answer: switch them off.
    if (outcome.autoInfo == kAutoInfoMode1) {
        link.sendCommand(QStringLiteral("ai0;"), 0);
        failed(link, &outcome.error);
    }
    return outcome;
}

QString testCommunications(RadioLink &link, Prompter &prompter, PortError *error) {
    link.clearError();
    const QString answer = link.queryRadio(QStringLiteral("id;"), kIdentifyWaitMs);
    if (failed(link, error)) return answer;
    prompter.message(answer == kK3Identity ? kPresentText : kUnableText, kStatusTitle,
                     MessageIcon::Information);
    return answer;
}

QString sendConsoleCommand(RadioLink &link, const QString &typed, PortError *error) {
    link.clearError();
    const QString command = (typed.isEmpty() ? QStringLiteral("id") : typed) + u';';
    const QString answer = link.queryRadio(command, kConsoleWaitMs);
    failed(link, error);
    return answer;
}

void restoreAutoInfo(RadioLink &link, Prompter &prompter, const QString &autoInfoAtConnect) {
    if (autoInfoAtConnect != kAutoInfoMode1) return;
    link.sendCommand(QStringLiteral("ai1;"), 0);
    prompter.message(QStringLiteral("AutoInf is Auto 1"), QStringLiteral("AutoInf Status"),
                     MessageIcon::Information);
}

}  // namespace corvane
