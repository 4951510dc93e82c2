// The main window: the menu tree and its help topics, the guarded items and their single
// windows, the two ways of ending the program, the About box and the help pages.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

#include "core/filedialogs.h"
#include "core/ui/resultslist.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"
#include "shell/menuhelp.h"
#include "shellbench.h"

using namespace corvane;

namespace {

class CancelDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest &) override { return {}; }
    std::optional<QString> saveFile(const FileDialogRequest &) override { return {}; }
};

struct MainBench : ShellBench {
    CancelDialogs dialogs;
    QStringList help;  // "file topic" of every help request
    AppContext app{&connection.link(), &prompter, &dialogs, [this](const QString &file, int topic) {
                       help << file + u' ' + QString::number(topic);
                   }};
    frmMain main{app, connection};
    int ends = 0;

    MainBench() {
        main.setEndProgram([this] { ++ends; });
    }
    void choose(const char *name) { main.findChild<QAction *>(QLatin1String(name))->trigger(); }
    QWidget *window(const char *name) { return main.windows().existing(QLatin1String(name)); }
};

// A results window as the test windows are: a form with a list that survives hiding.
class ListWindow : public FormWindow {
    Q_OBJECT
public:
    explicit ListWindow(QWidget *parent) : FormWindow(parent), list(new ResultsList(this)) {}
    ResultsList *list;
};

// "parent/name|caption|topic" for every item under `menu`, in menu order.
void walk(const QWidget *menu, QStringList &out) {
    for (QAction *a : menu->actions()) {
        if (a->isSeparator()) continue;
        QMenu *sub = a->menu();
        const QString name = sub ? sub->objectName() : a->objectName();
        out << QStringLiteral("%1/%2|%3|%4")
                   .arg(menu->objectName(), name, a->text())
                   .arg(MenuHelpFilter::topicOf(a));
        if (sub) walk(sub, out);
    }
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void menuTree();
    void f1OnMenuItems();
    void guardedItems_data();
    void guardedItems();
    void guardedWindowIsOneInstance();
    void endingTheProgram_data();
    void endingTheProgram();
    void aboutBox();
    void everyHelpTopicHasAPage();
    void unknownTopicShowsNotFound();
};

void TestShell::menuTree() {
    MainBench b;
    QCOMPARE(b.main.windowTitle(), QStringLiteral("Corvane"));
    QStringList tree;
    walk(b.main.menuBar(), tree);
    QCOMPARE(tree, (QStringList{
                       "menuBar/mnuFile|File|0",
                       "mnuFile/mnuOpenFile|Open File|11",
                       "mnuFile/mnuCreateChart|Create Chart...|12",
                       "mnuCreateChart/mnuChartDBVLinearity|dBV Linearity|12",
                       "mnuCreateChart/mnuChartFilterSweep|Filter Sweep|12",
                       "mnuFile/mnuConfigSettings|K3 Configuration|0",
                       "mnuFile/mnuExit|Exit|0",
                       "menuBar/mnuConnect|Connect|1",
                       "menuBar/mnuDBVLinearity|dBV Linear Range|2",
                       "mnuDBVLinearity/mnuDiffMethod|Difference Method|3",
                       "mnuDBVLinearity/mnuAppliedRF|Applied RF Method|4",
                       "menuBar/mnuFilterSweep|Filter Sweep|5",
                       "mnuFilterSweep/mnuFilterConfig|Filter Configuration|7",
                       "mnuFilterSweep/mnuSweepFilter|Sweep Filter|5",
                       "menuBar/mnuReceiver|Receiver|0",
                       "mnuReceiver/mnuMDS|Sensitivity (MDS)|0",
                       "menuBar/mnuHelp|Help|0",
                       "mnuHelp/mnuTutorial|Tutorial|0",
                       "mnuHelp/mnuOverview|Overview|13",
                       "mnuHelp/mnuWhat|What Is?|14",
                       "mnuHelp/mnuComponents|Components|15",
                       "mnuHelp/mnuSetup|Setup|17",
                       "mnuHelp/mnuDBVHelp|dBV Linearity|2",
                       "mnuHelp/mnuFSHelp|Filter Sweep|5",
                       "mnuHelp/mnuAbout|About...|0",
                   }));
}

void TestShell::f1OnMenuItems() {
    // F1 on a highlighted item asks for its topic; an item without one asks for nothing.
    MainBench b;
    b.main.show();
    auto *menu = b.main.findChild<QMenu *>(QStringLiteral("mnuFile"));
    for (const char *item : {"mnuOpenFile", "mnuExit"}) {
        menu->popup(b.main.mapToGlobal(QPoint(10, 10)));
        menu->setActiveAction(b.main.findChild<QAction *>(QLatin1String(item)));
        QTest::keyClick(menu, Qt::Key_F1);
    }
    QCOMPARE(b.help, QStringList{"corvane.hlp 11"});
    menu->hide();
}

void TestShell::guardedItems_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("K3 Configuration") << "mnuConfigSettings"
                                      << "frmConfigSettings"
                                      << "K3 Configuration Settings";
    QTest::newRow("Difference Method") << "mnuDiffMethod"
                                       << "frmDBVLinearity"
                                       << "Determine dBV Linear Range";
    QTest::newRow("Filter Configuration") << "mnuFilterConfig"
                                          << "frmCrystals"
                                          << "Main Receiver Crystal Filters Configuration";
    QTest::newRow("Sweep Filter") << "mnuSweepFilter"
                                  << "frmFilterSweep"
                                  << "K3 Crystal Filter Sweep";
    QTest::newRow("MDS") << "mnuMDS"
                         << "frmMDS"
                         << "Minimum Discernable Signal Test";
}

void TestShell::guardedItems() {
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    MainBench b;
    b.choose(qPrintable(item));
    QCOMPARE(b.prompter.summary(),
             QStringList{"Serial Port Status|Please connect to the K3 before loading this form."});
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
    QVERIFY(!b.main.windows().existing(window));
    QVERIFY(b.trace.writes().isEmpty());

    QVERIFY(b.connectQuietly());
    b.choose(qPrintable(item));
    QVERIFY(b.prompter.messages().empty());
    QWidget *shown = b.main.windows().existing(window);
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(shown->windowTitle(), caption);
    shown->hide();
}

void TestShell::guardedWindowIsOneInstance() {
    MainBench b;
    b.main.windows().add(QStringLiteral("frmDBVLinearity"),
                         [](const WindowContext &c) { return new ListWindow(c.owner); });
    QVERIFY(b.connectQuietly());
    b.choose("mnuDiffMethod");
    auto *first = b.main.windows().instance<ListWindow>(QStringLiteral("frmDBVLinearity"));
    first->list->appendLines({QStringLiteral("RF Gain\tdBV 1"), QStringLiteral("100\t-23.5")});
    first->hideForm();  // its Close button
    b.choose("mnuDiffMethod");
    QCOMPARE(b.window("frmDBVLinearity"), first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->list->lines().size(), 2);

    QPointer<ListWindow> old = first;
    QVERIFY(first->close());  // the frame's close box unloads it
    b.choose("mnuDiffMethod");
    auto *second = b.main.windows().instance<ListWindow>(QStringLiteral("frmDBVLinearity"));
    QVERIFY(second && second != old.data());
    QVERIFY(second->list->lines().isEmpty());
    QTRY_VERIFY(old.isNull());
    second->hide();
}

void TestShell::endingTheProgram_data() {
    QTest::addColumn<int>("mode");  // AutoInfo at connect; -1: never connected
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<QStringList>("trace");
    QTest::newRow("Exit, not connected") << -1 << false << QStringList();
    QTest::newRow("Exit, AI1") << 1 << false
                               << QStringList{"W ai1;", "M AutoInf Status|AutoInf is Auto 1"};
    QTest::newRow("Exit, AI2") << 2 << false << QStringList();
    QTest::newRow("close box, AI1") << 1 << true << QStringList();
}

void TestShell::endingTheProgram() {
    QFETCH(int, mode);
    QFETCH(bool, closeBox);
    QFETCH(QStringList, trace);
    MainBench b;
    if (mode >= 0) {
        b.radio().state().autoInfo = mode;
        QVERIFY(b.connectQuietly());
    }
    bool openAtMessage = false;
    b.prompter.setHook([&](const PromptMessage &) { openAtMessage = b.connected(); });
    if (closeBox) {
        b.main.show();
        QVERIFY(b.main.close());
    } else {
        b.choose("mnuExit");
    }
    QCOMPARE(b.trace.lines(), trace);
    QCOMPARE(openAtMessage, !trace.isEmpty());  // the port closes after the message
    QVERIFY(!b.connected());
    QCOMPARE(b.ends, 1);
}

void TestShell::aboutBox() {
    MainBench b;
    b.choose("mnuAbout");
    QPointer<QWidget> about = b.window("frmAbout");
    QCOMPARE(about->windowTitle(), QStringLiteral("About Corvane"));
    QStringList texts;
    for (const char *name : {"lblTitle", "lblVersion", "lblDescription", "lblDisclaimer"})
        texts << about->findChild<QLabel *>(QLatin1String(name))->text();
    QCOMPARE(texts,
             (QStringList{
                 "Corvane", "Version 1.0.4",
                 "Application Description: Corvane allows the user to check the passband and "
                 "signal rejection characteristics of crystal filters installed in the user's K3. "
                 "The application allows the user to save the data generated by each filter sweep "
                 "and to generate simple charts of the data.",
                 "Disclaimer: This software is provided as is without warranty or promises that "
                 "it will function as intended in the user's environment. Please report problems "
                 "to corvane-dev@lists.corvane.org."}));
    about->findChild<QPushButton *>("cmdSysInfo")->click();
    QCOMPARE(b.prompter.summary(),
             QStringList{"Corvane|System Information Is Unavailable At This Time"});
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::None);
    QTest::keyClick(about, Qt::Key_Return);  // Enter presses OK, which unloads it
    QTRY_VERIFY(about.isNull());
}

void TestShell::everyHelpTopicHasAPage() {
    MainBench b;
    for (const char *item : {"mnuTutorial", "mnuOverview", "mnuWhat", "mnuComponents", "mnuSetup",
                             "mnuDBVHelp", "mnuFSHelp"})
        b.choose(item);
    QCOMPARE(b.help,
             (QStringList{"corvanetutorial.hlp 1", "corvane.hlp 13", "corvane.hlp 14",
                          "corvane.hlp 15", "corvane.hlp 17", "corvane.hlp 2", "corvane.hlp 5"}));
    // Plus every F1 topic of the menus.
    for (QAction *a : b.main.findChildren<QAction *>())
        if (const int topic = MenuHelpFilter::topicOf(a))
            b.help << "corvane.hlp " + QString::number(topic);
    HelpViewer viewer;
    for (const QString &request : std::as_const(b.help)) {
        viewer.showTopic(request.section(u' ', 0, 0), request.section(u' ', 1).toInt());
        QVERIFY2(viewer.browser()->documentTitle() != QLatin1String("Topic not found"),
                 qPrintable(request));
        QVERIFY2(viewer.browser()->toPlainText().size() > 800, qPrintable(request));
    }
}

void TestShell::unknownTopicShowsNotFound() {
    HelpSystem help;
    const std::pair<QString, int> unknown[] = {
        {kMainHelpFile, 99}, {kMainHelpFile, 6}, {QStringLiteral("other.hlp"), 1}};
    for (const auto &[file, topic] : unknown) {
        help.showHelpTopic(file, topic);
        QCOMPARE(help.viewer()->browser()->documentTitle(), QStringLiteral("Topic not found"));
        QVERIFY(help.viewer()->isVisible());
    }
    help.showHelpTopic(kMainHelpFile, 1);  // the viewer still works afterwards
    QCOMPARE(help.viewer()->browser()->documentTitle(), QStringLiteral("Connecting to the K3"));
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
