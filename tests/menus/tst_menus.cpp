// The menu settings report: the two item tables against the listed data; the window on the
// simulator (load step, both reports with their exact exchanges, progress, changed marking,
// Save and its files, an unwritable path, a port lost mid-report); corvane-cli menus.

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "common/bench.h"
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/scriptedfiledialogs.h"
#include "core/ui/resultslist.h"
#include "menus/menureports.h"
#include "menus/menutables.h"
#include "menus/ui/frmconfigsettings.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// A saved menu settings file's bytes with its "Date run:" line (the time of the save) masked.
QByteArray savedBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression date("\r\nDate run: [^\r]+\r\n");
    return QString::fromLatin1(file.readAll()).replace(date, "\r\nDate run: @DATE@\r\n").toLatin1();
}

// The window on a simulator bench, its controls by object name.
struct WindowBench : SimBench {
    ScriptedFileDialogs dialogs;
    AppContext app;
    std::unique_ptr<frmConfigSettings> window;

    WindowBench() {
        app.link = &link;
        app.prompter = &prompter;
        app.dialogs = &dialogs;
        window = std::make_unique<frmConfigSettings>(app);
        window->load();
    }
    template <class T>
    T *find(const char *name) const {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *name) { find<QPushButton>(name)->click(); }
    QStringList lines(const char *list) const { return find<ResultsList>(list)->lines(); }
    // Saves to `path` through the button and the dialog; the file written.
    QByteArray save(const QString &path) {
        dialogs.answer(path);
        click("cmdSaveMain");
        return savedBytes(path);
    }
};

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &arguments) {
    QProcess process;
    process.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli", arguments);
    CliRun run;
    if (!process.waitForFinished(120000)) return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void tablesHoldTheListedItems();
    void sameSetting_data() { addRows("equivalences.tsv", {"value", "defaultText", "same"}); }
    void sameSetting();
    void reportsAndSettingsFile_data() { addRows("reports.tsv", {"clicks", "expected"}); }
    void reportsAndSettingsFile();
    void loadWithTechModeOnSendsNoUp();
    void unwritableFileIsToldAndLosesNothing();
    void portLostMidReportKeepsTheLinesRead();
    void unreadDisplaysAreNamedNotListed();
    void cliChangedOnly();
    void cliAgainstK3simOnAPty();
};

void TestMenus::tablesHoldTheListedItems() {
    static const QRegularExpression row("^(MAIN|CONFIG) \"(.*)\" (\\d{3}) (\\d) (\\d) \"(.*)\"$");
    QStringList expected = dataLines("menu-tables.txt");
    QStringList actual;
    std::set<int> entries{38, 39, 40, 41};
    for (const auto &[name, table] : {std::pair("MAIN", &menus::mainMenuTable()),
                                      std::pair("CONFIG", &menus::configMenuTable())}) {
        for (const menus::MenuItem &item : *table) {
            actual << QString("%1 \"%2\" %3 %4 %5 \"%6\"")
                          .arg(name, item.label, menus::entryCommand(item).mid(2))
                          .arg(item.tabsBeforeValue)
                          .arg(item.tabsBeforeDefault)
                          .arg(item.defaultText);
            QVERIFY(actual.last().contains(row));
            QVERIFY2(entries.insert(item.entry).second, item.label);
            QCOMPARE(item.reader != nullptr, name == QLatin1String("MAIN"));
        }
    }
    QCOMPARE(actual, expected);
    // With the filter entries the two reports cover 000 to 115, all but 042.
    QCOMPARE(int(entries.size()), 115);
    QCOMPARE(*entries.rbegin(), 115);
    QVERIFY(!entries.count(42));
}

void TestMenus::sameSetting() {
    QFETCH(QString, value);
    QFETCH(QString, defaultText);
    QTEST(QString(menus::sameSetting(value, defaultText) ? "yes" : "no"), "same");
}

void TestMenus::reportsAndSettingsFile() {
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    const QStringList buttons = clicks.split(u' ', Qt::SkipEmptyParts);
    WindowBench b;
    QCOMPARE(b.window->windowTitle(), QString("K3 Configuration Settings"));
    QVERIFY(b.state().techMode);
    // The progress line names the item being read; it changes no list line.
    QStringList progress;
    b.trace.setObserver([&](const TraceEvent &e) {
        if (e.text == "mn054;" || e.text == "mn053;")
            progress << b.find<QLabel>("lblProgress")->text();
    });
    for (const QString &button : buttons) b.click(qPrintable(button));
    b.trace.setObserver({});
    QCOMPARE(b.find<QLabel>("lblProgress")->text(), QString());
    if (buttons.contains("cmdConfigMenu")) QVERIFY(progress.contains("Reading 47 of 98: NB SAVE"));
    if (buttons.contains("cmdMainMenu")) QVERIFY(progress.contains("Reading 7 of 13: MIC SEL"));

    // Every exchange, wait and answer of the load step and the reports.
    QCOMPARE(b.trace.lines(), dataLines(expected + ".trace"));
    QTemporaryDir dir;
    QCOMPARE(b.save(dir.filePath("menus.txt")), dataBytes(expected + ".txt"));
    QCOMPARE(b.find<QLineEdit>("txtFileName")->text(), dir.filePath("menus.txt"));
    const FileDialogRequest &request = b.dialogs.requests().back();
    QCOMPARE(request.title + '|' + request.filterLabel + '|' + request.filterPattern + '|' +
                 request.defaultExtension + '|' + request.proposedName,
             QString("Save Menu Settings|Text files (*.txt)|*.txt|txt|K3Configuration"));
    QVERIFY(request.confirmReplace);

    // Values away from their defaults are marked, with a description for screen readers
    // (and TECH MD with its note); the three columns line up whatever the tabs.
    QStringList marked;
    for (auto *list : {b.find<ResultsList>("lstMain"), b.find<ResultsList>("lstConfig")}) {
        if (list->count() == 0) continue;
        const QFontMetrics metrics(list->font());
        const QVector<int> columns = list->drawnPositions(list->item(1)->text(), metrics);
        for (int i = 1; i < list->count(); ++i) {
            QCOMPARE(list->drawnPositions(list->item(i)->text(), metrics), columns);
            if (!list->item(i)->font().bold()) continue;
            const QString description =
                list->item(i)->data(Qt::AccessibleDescriptionRole).toString();
            QVERIFY(description.startsWith(frmConfigSettings::changedDescription()));
            marked << list->item(i)->text().section('\t', 0, 0).trimmed() +
                          description.mid(frmConfigSettings::changedDescription().size());
        }
    }
    QCOMPARE(marked, dataLines(expected + ".changed"));
}

void TestMenus::loadWithTechModeOnSendsNoUp() {
    WindowBench b;
    b.trace.clear();
    b.window = std::make_unique<frmConfigSettings>(b.app);
    b.window->load();
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
    QCOMPARE(b.waits(), QList<int>({100, 100, 100}));
}

void TestMenus::unwritableFileIsToldAndLosesNothing() {
    WindowBench b;
    b.click("cmdMainMenu");
    const QString path = "/nonexistent-corvane-folder/menus.txt";
    QVERIFY(b.save(path).isEmpty());
    QCOMPARE(b.find<QLineEdit>("txtFileName")->text(), path);
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    const PromptMessage &m = b.prompter.messages().front();
    QCOMPARE(m.title, QString("Save Menu Settings"));
    QVERIFY2(m.text.contains(path) && m.text.contains("No such file or directory"),
             qPrintable(m.text));
    QCOMPARE(b.lines("lstMain").size(), 16);
}

void TestMenus::portLostMidReportKeepsTheLinesRead() {
    WindowBench b;
    b.click("cmdMainMenu");
    b.trace.setObserver([&](const TraceEvent &e) {
        if (e.text == "mn054;") b.simulator->faults().vanished = true;
    });
    b.click("cmdConfigMenu");
    b.trace.setObserver({});
    QCOMPARE(b.lines("lstConfig").size(), 3 + 46);
    QCOMPARE(b.lines("lstMain").size(), 16);
    // Nothing is sent once the port is gone: no "mn255;" after the failed read.
    QVERIFY(b.trace.writes().lastIndexOf("mn054;") >= b.trace.writes().size() - 2);
    QCOMPARE(b.prompter.summary(),
             QStringList("Serial Port Error|Serial port error The device was removed\nThe report "
                         "stopped at item 47 of 98 (NB SAVE); the lines read before it are kept."));
    QVERIFY(b.find<QPushButton>("cmdConfigMenu")->isEnabled());
}

void TestMenus::unreadDisplaysAreNamedNotListed() {
    // MIC SEL's entry and display answered "?;" (busy), RX EQ's display cut short.
    WindowBench b;
    b.trace.setObserver([&](const TraceEvent &e) {
        sim::Faults &faults = b.simulator->faults();
        if (e.kind == TraceEvent::Kind::Read) faults.busy = faults.truncated = false;
        if (e.text == "mn053;") faults.busy = true;
        if (e.text == "mn008;") faults.truncated = true;
    });
    b.click("cmdMainMenu");
    b.trace.setObserver({});
    const QStringList lines = b.lines("lstMain");
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines.mid(9, 1) + lines.mid(13, 2),
             QStringList({"MIC SEL  \tnot read\tFP.L, bias off", "RX EQ    \tnot read\t+0 dB/band",
                          "TX EQ    \t+0+0+0+0+0+0+0+0\t+0 dB/band"}));
    QCOMPARE(b.prompter.summary(),
             QStringList("Menu Settings Not Read|These menu settings could not be read (the K3 "
                         "was busy, or its display came cut short or garbled): MIC SEL, RX EQ. "
                         "Their lines say \"not read\"; read them again."));
}

void TestMenus::cliChangedOnly() {
    const CliRun run =
        runCli({"--port", "sim", "--yes", "menus", "--config", "--main", "--changed"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, dataBytes("changed.out"));
    // TECH MD is marked because the report switched it on: stderr says so.
    QVERIFY(run.err.contains("\nTECH MD: switched on by the report itself\n"));
}

void TestMenus::cliAgainstK3simOnAPty() {
    K3SimProcess sim;
    QVERIFY(sim.start({}));
    QTemporaryDir dir;
    const QString path = dir.filePath("K3Configuration.txt");
    const CliRun run = runCli({"--port", sim.pty(), "--yes", "menus", "-o", path});
    QCOMPARE(run.exitCode, 0);
    const QByteArray saved = savedBytes(path);
    QCOMPARE(saved, dataBytes("settings-both.txt"));
    QCOMPARE(saved.count("\r\n"), 119);
    // stdout is the file's list lines.
    QByteArray listed = saved.mid(saved.indexOf("@DATE@\r\n") + 8);
    QCOMPARE(run.out, listed.replace("\r\n", "\n"));
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
