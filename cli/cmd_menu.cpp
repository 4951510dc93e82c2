// corvane-cli menu NNN: reads one menu entry's value the way the CONFIG menu report does
// ("mnNNN;", then the decoded VFO A display) and leaves the menu again with "mn255;".
// NNN is read in decimal whatever its leading zeros: "72", "072" and "0072" are entry 072.
// A display that could not be read is told, not printed (exit 1).

#include <optional>

#include "clicommand.h"
#include "clisession.h"
#include "radio/k3settings.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

constexpr int kLastMenuEntry = 255;

std::optional<int> menuEntry(const QString &text) {
    if (text.isEmpty()) return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return std::nullopt;
    bool ok = false;
    const int entry = text.toInt(&ok, 10);
    if (!ok || entry > kLastMenuEntry) return std::nullopt;
    return entry;
}

int runMenu(CliSession &session, const QStringList &arguments) {
    const std::optional<int> entry =
        arguments.size() == 1 ? menuEntry(arguments.front()) : std::nullopt;
    if (!entry)
        return session.usageError(QStringLiteral("menu takes one menu entry number, 000 to 255"));
    if (!session.connectRadio()) return kExitFailed;
    RadioLink &link = session.link();
    const std::optional<QString> value =
        k3settings::readMenuValue(link, QStringLiteral("mn%1").arg(*entry, 3, 10, QChar(u'0')));
    link.sendCommand(k3settings::kLeaveMenuCommand, k3settings::kMenuLeaveWaitMs);
    if (link.lastError().isError()) {
        session.reportPortError(link.lastError());
        return kExitFailed;
    }
    if (!session.radioAnswered()) return session.noAnswer();
    if (!value) {
        printError(QStringLiteral("corvane-cli: menu entry %1 could not be read (the K3 was busy, "
                                  "or its display came cut short or garbled)")
                       .arg(*entry, 3, 10, QChar(u'0')));
        return kExitFailed;
    }
    session.printLatin1(*value);
    return kExitDone;
}

}  // namespace

CliCommand command_menu() {
    return {QStringLiteral("menu"),
            QStringLiteral("NNN"),
            QStringLiteral("Read menu entry NNN (000 to 255), print its decoded value, leave the "
                           "menu."),
            {},
            runMenu};
}

}  // namespace corvane::cli
