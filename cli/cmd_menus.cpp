// corvane-cli menus [--main] [--config] [--changed] [-o FILE]: the menu settings window from
// a shell. It connects first, as every subcommand but send does, then runs the window's load
// step (TECH MD switched on, exactly as opening the window does), then the chosen reports,
// MAIN first (both when neither is named), their lines on stdout and a progress line per item
// on stderr. --changed prints only the item lines whose value differs from the default; -o
// writes the menu settings file as Save does (the whole lists, whatever --changed shows).
// A setting whose display could not be read (no answer, the radio busy, an answer cut short
// or garbled) has no value to list: the run names them, exits 1 and writes no file. So does
// a TECH MD that could not be read, before any report.

#include <QDateTime>

#include "core/progresstext.h"
#include "link/portnames.h"
#include "menus/menureports.h"
#include "menus/menusettingsfile.h"
#include "radio/k3settings.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kMainOption = QStringLiteral("main");
const QString kConfigOption = QStringLiteral("config");
const QString kChangedOption = QStringLiteral("changed");

// Fixed waits of one item: its entry selected, then "ds;" read.
constexpr qint64 kItemWaitMs = k3settings::kMenuEntryWaitMs + k3settings::kDisplayQueryWaitMs;

class PrintingSink : public menus::MenuReportSink {
public:
    PrintingSink(CliSession &session, bool changedOnly, const QString &menuName)
        : m_session(session), m_changedOnly(changedOnly), m_menuName(menuName) {}
    void clearLines() override { m_lines.clear(); }
    void readingItem(int number, int count, const QString &) override {
        // The form of the filter readouts' progress line.
        printError(QStringLiteral("Reading %1 menu settings, pass %2 of %3, about %4 left...")
                       .arg(m_menuName)
                       .arg(number)
                       .arg(count)
                       .arg(timeLeftText((count - number + 1) * kItemWaitMs)));
    }
    void appendLine(const QString &line, bool changed) override {
        m_lines << line;
        if (!m_changedOnly || changed) m_session.printLatin1(line);
    }
    // A line marked though the user did not change it: why, on stderr, beside --changed's
    // lines (the line itself stays as the file has it).
    void appendItem(const menus::MenuItem &item, const QString &value, const QString &line,
                    bool changed, const QString &note) override {
        menus::MenuReportSink::appendItem(item, value, line, changed, note);
        if (m_changedOnly && changed && !note.isEmpty())
            printError(
                QStringLiteral("%1: %2").arg(QString::fromLatin1(item.label).trimmed(), note));
    }
    const QStringList &lines() const { return m_lines; }

private:
    CliSession &m_session;
    bool m_changedOnly;
    QString m_menuName;
    QStringList m_lines;
};

int runMenus(CliSession &session, const QStringList &arguments) {
    if (!arguments.isEmpty()) return session.usageError(QStringLiteral("menus takes options only"));
    const QCommandLineParser &parser = session.parser();
    const bool neither = !parser.isSet(kMainOption) && !parser.isSet(kConfigOption);
    const bool wantMain = neither || parser.isSet(kMainOption);
    const bool wantConfig = neither || parser.isSet(kConfigOption);
    const bool changedOnly = parser.isSet(kChangedOption);
    const QString outputPath = parser.value(kOutputOption);
    if (const int code = checkOutputPath(parser)) return code;
    if (!session.connectRadio()) return kExitFailed;

    RadioLink &link = session.link();
    link.clearError();
    const k3settings::TechModeReading techMode = k3settings::enableTechMode(link);
    if (link.lastError().isError()) {
        session.reportPortError(link.lastError());
        return kExitFailed;
    }
    if (techMode == k3settings::TechModeReading::Unread) {
        session.prompter().message(k3settings::kTechModeUnreadText,
                                   k3settings::kTechModeUnreadTitle, MessageIcon::Exclamation);
        return kExitFailed;
    }

    PrintingSink mainList(session, changedOnly, QStringLiteral("MAIN"));
    PrintingSink configList(session, changedOnly, QStringLiteral("CONFIG"));
    menus::ReportOutcome outcome;
    QStringList unread;
    if (wantMain) {
        outcome = menus::mainMenuReport(link, mainList);
        unread = outcome.unread;
    }
    // A radio that showed none of the MAIN settings is not asked 98 more times.
    const bool mainUnread = wantMain && unread.size() == outcome.itemCount;
    if (wantConfig && outcome.isComplete() && !mainUnread) {
        outcome = menus::configMenuReport(link, configList);
        unread << outcome.unread;
    }

    int exitCode = kExitDone;
    if (!outcome.isComplete()) {
        session.reportPortError(outcome.error);
        printError(menus::stoppedReportText(outcome));
        exitCode = kExitFailed;
    }
    if (!unread.isEmpty()) {
        printError(QStringLiteral("corvane-cli: %1 of the settings could not be read (%2); their "
                                  "lines hold no reading%3")
                       .arg(unread.size())
                       .arg(unread.join(QLatin1String(", ")))
                       .arg(wantConfig && mainUnread
                                ? QStringLiteral(", and the CONFIG menu was not read")
                                : QString()) +
                   (parser.isSet(kOutputOption) ? QStringLiteral(", so no file was written.")
                                                : QStringLiteral(".")));
        return kExitFailed;
    }
    if (parser.isSet(kOutputOption)) {
        const QString reason = menus::writeMenuSettingsFile(
            outputPath, menus::menuSettingsFileLines(mainList.lines(), configList.lines(),
                                                     QDateTime::currentDateTime()));
        if (!reason.isEmpty()) {
            printError(menus::saveFailureText(outputPath, reason));
            exitCode = kExitFailed;
        }
    }
    return exitCode;
}

}  // namespace

CliCommand command_menus() {
    return {QStringLiteral("menus"),
            QString(),
            QStringLiteral("Switch TECH MD on and list the MAIN and CONFIG menu settings beside "
                           "their defaults."),
            {QCommandLineOption(kMainOption, QStringLiteral("The MAIN menu report.")),
             QCommandLineOption(kConfigOption,
                                QStringLiteral("The CONFIG menu report (98 entries, about 20 s).")),
             QCommandLineOption(kChangedOption,
                                QStringLiteral("Print only the settings that differ from their "
                                               "defaults.")),
             QCommandLineOption(kOutputOption,
                                QStringLiteral("Write the menu settings file, as Save does."),
                                QStringLiteral("FILE"))},
            runMenus};
}

}  // namespace corvane::cli
