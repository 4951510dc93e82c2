// corvane-cli menus [--main] [--config] [--changed] [-o FILE]: the menu settings window from
// a shell. First its load step (TECH MD switched on, exactly as opening the window does),
// then the chosen reports, MAIN first (both when neither is named), their lines on stdout.
// --changed prints only the item lines whose value differs from the default; -o writes the
// menu settings file as Save does (the whole lists, whatever --changed shows).

#include <QDateTime>

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

class PrintingSink : public menus::MenuReportSink {
public:
    PrintingSink(CliSession &session, bool changedOnly)
        : m_session(session), m_changedOnly(changedOnly) {}
    void clearLines() override { m_lines.clear(); }
    void appendLine(const QString &line, bool changed) override {
        m_lines << line;
        if (!m_changedOnly || changed) m_session.printLatin1(line);
    }
    const QStringList &lines() const { return m_lines; }

private:
    CliSession &m_session;
    bool m_changedOnly;
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
    if (!session.openPort()) return kExitFailed;

    RadioLink &link = session.link();
    link.clearError();
    k3settings::enableTechMode(link);
    if (link.lastError().isError()) {
        session.reportPortError(link.lastError());
        return kExitFailed;
    }

    PrintingSink mainList(session, changedOnly);
    PrintingSink configList(session, changedOnly);
    menus::ReportOutcome outcome;
    if (wantMain) outcome = menus::mainMenuReport(link, mainList);
    if (wantConfig && outcome.isComplete()) outcome = menus::configMenuReport(link, configList);

    int exitCode = kExitDone;
    if (!outcome.isComplete()) {
        session.reportPortError(outcome.error);
        printError(menus::stoppedReportText(outcome));
        exitCode = kExitFailed;
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
