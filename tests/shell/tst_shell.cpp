// The program's shell: the connection dialog over the simulator (what Connect, Test and Send
// exchange and show, the port errors caused for real), the main window's menu tree and help
// topics, the guarded items and their single windows, the two ways of ending the program,
// About, the help pages and the user's guide in the help viewer.

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include "common/bench.h"
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/scriptedfiledialogs.h"
#include "core/ui/resultslist.h"
#include "link/portnames.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmconnect.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"
#include "shell/menuhelp.h"
#include "shell/remembered.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The connection controller over the built-in simulator on a virtual clock; COM 1, the
// default port, is the simulator too, so "no selection" connects.
struct ShellBench {
    VirtualClock clock;
    ScriptedPrompter prompter;
    LinkTrace trace;
    ConnectionController connection{clock, prompter};
    QList<DetectedPort> detected;
    ScriptedFileDialogs dialogs;
    QStringList help;  // "file topic" of every help request
    AppContext app{&connection.link(), &prompter, &dialogs, [this](const QString &file, int topic) {
                       help << file + u' ' + QString::number(topic);
                   }};

    ShellBench() {
        connection.link().setTrace(&trace);
        prompter.setObserver([this](const PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
        connection.setPortLister([this] { return detected; });
        connection.setTransportMaker([this](const QString &spec) -> std::unique_ptr<Transport> {
            if (spec == "COM 1")
                return std::make_unique<SimTransport>(connection.simulator(), clock);
            return makeTransport(spec, clock, connection.simulator());
        });
        dialog().refreshDetectedPorts();
    }
    sim::K3Simulator &radio() { return *connection.simulator(); }
    frmConnect &dialog() { return connection.dialog(); }
    bool connected() { return connection.link().isConnected(); }
    template <class T = QWidget>
    T *control(const char *name) {
        return dialog().findChild<T *>(QLatin1String(name));
    }
    QString label(const char *name) { return control<QLabel>(name)->text(); }
    bool enabled(const char *name) { return control(name)->isEnabled(); }
    void click(const QString &name) { dialog().findChild<QAbstractButton *>(name)->click(); }
    void pick(const char *combo, const QString &item) {
        auto *box = control<QComboBox>(combo);
        box->setCurrentIndex(box->findText(item));
    }
    // Connects with nothing picked and forgets what that exchanged.
    bool connectQuietly() {
        click("cmdConnect");
        trace.clear();
        prompter.clear();
        return connected();
    }
};

struct MainBench : ShellBench {
    frmMain main{app, connection};
    int ends = 0;
    MainBench() {
        main.setEndProgram([this] { ++ends; });
    }
    void choose(const QString &name) { main.findChild<QAction *>(name)->trigger(); }
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
        out << QStringLiteral("%1/%2|%3|%4")
                   .arg(menu->objectName(), sub ? sub->objectName() : a->objectName(), a->text())
                   .arg(MenuHelpFilter::topicOf(a));
        if (sub) walk(sub, out);
    }
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void connect_data() {
        addRows("connect.tsv", {"port", "baud", "silent", "trace", "labels", "buttonsOn"});
    }
    void connect();
    void autoInfoAndIdentity();
    void exchanges_data() {
        addRows("exchanges.tsv", {"button", "typed", "silent", "trace", "shown"});
    }
    void exchanges();
    void portErrors_data() { addRows("porterrors.tsv", {"port", "button", "message"}); }
    void portErrors();
    void menuTreeAndF1();
    void guardedItems_data() { addRows("guarded.tsv", {"item", "window", "caption"}); }
    void guardedItems();
    void guardedWindowIsOneInstance();
    void endingTheProgram_data() { addRows("ending.tsv", {"mode", "closeBox", "trace"}); }
    void endingTheProgram();
    void aboutBox();
    void helpPages();
    void userGuide();
    void rememberedBetweenRuns();
    void fileDialogFolders_data() { addRows("folders.tsv", {"earlier", "later", "starts"}); }
    void fileDialogFolders();
    void resetSettings();
    void radioLogFile();
    void radioLogLines_data() { addRows("radiolog.tsv", {"limit", "events", "expected"}); }
    void radioLogLines();
};

void TestShell::connect() {
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(QString, silent);
    QFETCH(QString, trace);
    ShellBench b;
    QCOMPARE(b.dialog().windowTitle(), QString("Connection Interface"));
    QVERIFY(b.control<QPushButton>("cmdSend")->isDefault());  // Enter sends the command
    b.radio().faults().silent = !silent.isEmpty();
    QStringList duringMessage;
    b.prompter.setHook([&](const PromptMessage &) {
        duringMessage << b.label("lblPortOpen") << QString::number(b.enabled("cmdTestComm"));
    });
    if (port != "-") {
        b.pick("cboComPort", port);
        b.pick("cboBaudRate", baud);
        b.click("cmdConnect");
    }
    QCOMPARE(b.trace.lines().join(" | "), trace);
    // The port is open at the message; the buttons come on after it.
    if (!trace.isEmpty()) QCOMPARE(duringMessage, QStringList({"Port Open? True", "0"}));
    QTEST(
        QStringList({b.label("lblPortNumber"), b.label("lblPortSettings"), b.label("lblPortOpen")})
            .join(" | "),
        "labels");
    QTEST(QStringLiteral("%1%2%3")
              .arg(b.connected())
              .arg(b.enabled("cmdTestComm"))
              .arg(b.enabled("cmdSend")),
          "buttonsOn");
    QVERIFY(b.enabled("cmdConnect"));
}

void TestShell::autoInfoAndIdentity() {
    // AI1 is switched off at connect and kept for Exit; other modes are left alone.
    for (const int mode : {0, 1, 2, 3}) {
        ShellBench b;
        b.radio().state().autoInfo = mode;
        b.click("cmdConnect");
        QCOMPARE(b.connection.autoInfo(), QStringLiteral("AI%1;").arg(mode));
        QCOMPARE(b.radio().state().autoInfo, mode == 1 ? 0 : mode);
    }
    // Not exactly "ID017;": refused, the port closed again.
    ShellBench b;
    b.radio().faults().unsolicitedIfEveryMs = 50;
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(), QStringList{"K3 Status|Unable to communicate with K3"});
    QVERIFY(!b.connected() && !b.enabled("cmdSend"));
    // A second Connect once connected sends nothing and keeps the port.
    b.radio().faults().unsolicitedIfEveryMs = 0;
    QVERIFY(b.connectQuietly());
    b.pick("cboComPort", "COM 7");
    b.click("cmdConnect");
    QVERIFY(b.trace.isEmpty() && b.prompter.messages().empty());
    QCOMPARE(b.label("lblPortNumber"), QString("Port: COM 1"));
}

void TestShell::exchanges() {
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QString, silent);
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.radio().faults().silent = !silent.isEmpty();
    b.control<QLineEdit>("txtCommand")->setText(typed);
    b.click(button);
    QTEST(b.trace.lines().join(" | "), "trace");
    QTEST(b.label(button == "cmdSend" ? "lblResponse" : "lblInput"), "shown");
    if (button == "cmdSend") QCOMPARE(b.control<QLineEdit>("txtCommand")->text(), QString());
    QVERIFY(b.connected());  // neither closes the port
}

void TestShell::portErrors() {
    QFETCH(QString, port);
    QFETCH(QString, button);
    QFETCH(QString, message);
    if (port == "COM 20" && QFileInfo::exists(comPortDevice(20)))
        QSKIP("this machine has a COM 20");
    Pty pty;
    QSerialPort holder(pty.slavePath());  // another program holding the port
    ShellBench b;
    message.replace("<pty>", pty.slavePath());
    if (port == "pty")
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
    if (port == "pty" || port.startsWith(u'/')) {
        const QString device = port == "pty" ? pty.slavePath() : port;
        b.detected = {{device, device}};
        b.dialog().refreshDetectedPorts();
        b.pick("cboComPort", device);
    } else if (port.startsWith("COM")) {
        b.pick("cboComPort", port);
    } else {
        QVERIFY(b.connectQuietly());
        if (port == "vanish")
            b.radio().faults().vanished = true;
        else
            b.connection.link().transport()->close();
    }
    const QString labelBefore = b.label("lblPortOpen");
    b.click(button);
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    const PromptMessage shown = b.prompter.messages().front();
    QCOMPARE(shown.title, QString("Serial Port Error"));
    QCOMPARE(shown.icon, MessageIcon::Critical);
    if (message.endsWith(u' '))
        QVERIFY2(shown.text.startsWith(message) && shown.text.size() > message.size(),
                 qPrintable(shown.text));
    else
        QCOMPARE(shown.text, message);
    // The action stopped before it; a port that went away shows as closed at once.
    QCOMPARE(b.label("lblPortOpen"),
             port == "vanish" || port == "closed" ? "Port Open? False" : labelBefore);
    if (button == "cmdConnect") QVERIFY(!b.connected() && !b.enabled("cmdSend"));
}

void TestShell::menuTreeAndF1() {
    MainBench b;
    QCOMPARE(b.main.windowTitle(), QString("Corvane"));
    QStringList tree;
    walk(b.main.menuBar(), tree);
    CORVANE_COMPARE_GOLDEN(tree, "menutree.txt");
    // F1 on a highlighted item asks for its topic; an item without one asks for nothing.
    b.main.show();
    auto *menu = b.main.findChild<QMenu *>("mnuFile");
    for (const char *item : {"mnuOpenFile", "mnuExit"}) {
        menu->popup(b.main.mapToGlobal(QPoint(10, 10)));
        menu->setActiveAction(b.main.findChild<QAction *>(item));
        QTest::keyClick(menu, Qt::Key_F1);
    }
    QCOMPARE(b.help, QStringList{"corvane.hlp 11"});
    menu->hide();
}

void TestShell::guardedItems() {
    QFETCH(QString, item);
    QFETCH(QString, window);
    MainBench b;
    b.choose(item);
    QCOMPARE(b.prompter.summary(),
             QStringList{"Serial Port Status|Please connect to the K3 before loading this form."});
    QVERIFY(!b.main.windows().existing(window));
    QVERIFY(b.trace.writes().isEmpty());
    QVERIFY(b.connectQuietly());
    b.choose(item);
    QVERIFY(b.prompter.messages().empty());
    QWidget *shown = b.main.windows().existing(window);
    QVERIFY(shown && shown->isVisible());
    QTEST(shown->windowTitle(), "caption");
    shown->hide();
}

void TestShell::guardedWindowIsOneInstance() {
    MainBench b;
    b.main.windows().add("frmDBVLinearity",
                         [](const WindowContext &c) { return new ListWindow(c.owner); });
    QVERIFY(b.connectQuietly());
    b.choose("mnuDiffMethod");
    auto *first = b.main.windows().instance<ListWindow>("frmDBVLinearity");
    first->list->appendLines({"RF Gain\tdBV 1", "100\t-23.5"});
    first->hideForm();  // its Close button: shown again as it was
    b.choose("mnuDiffMethod");
    QCOMPARE(b.main.windows().existing("frmDBVLinearity"), first);
    QCOMPARE(first->list->lines().size(), 2);
    QPointer<ListWindow> old = first;
    QVERIFY(first->close());  // the frame's close box unloads it: a new one comes
    b.choose("mnuDiffMethod");
    auto *second = b.main.windows().instance<ListWindow>("frmDBVLinearity");
    QVERIFY(second && second != old.data() && second->list->lines().isEmpty());
    QTRY_VERIFY(old.isNull());
    second->hide();
}

void TestShell::endingTheProgram() {
    QFETCH(QString, mode);
    QFETCH(QString, closeBox);
    QFETCH(QString, trace);
    MainBench b;
    if (mode.toInt() >= 0) {
        b.radio().state().autoInfo = mode.toInt();
        QVERIFY(b.connectQuietly());
    }
    bool openAtMessage = false;
    b.prompter.setHook([&](const PromptMessage &) { openAtMessage = b.connected(); });
    if (!closeBox.isEmpty()) {
        b.main.show();
        QVERIFY(b.main.close());
    } else {
        b.choose("mnuExit");
    }
    QCOMPARE(b.trace.lines().join(" | "), trace);
    QCOMPARE(openAtMessage, !trace.isEmpty());  // the port closes after the message
    QVERIFY(!b.connected());
    QCOMPARE(b.ends, 1);
}

void TestShell::aboutBox() {
    MainBench b;
    b.choose("mnuAbout");
    QPointer<QWidget> about = b.main.windows().existing("frmAbout");
    QStringList texts{about->windowTitle()};
    for (const char *name :
         {"lblTitle", "lblVersion", "lblDescription", "lblLicense", "lblDisclaimer"})
        texts << about->findChild<QLabel *>(name)->text();
    about->findChild<QPushButton *>("cmdSysInfo")->click();
    CORVANE_COMPARE_GOLDEN(texts + b.prompter.summary(), "about.txt");
    QTest::keyClick(about, Qt::Key_Return);  // Enter presses OK, which unloads it
    QTRY_VERIFY(about.isNull());
}

void TestShell::helpPages() {
    // Every help item and every F1 topic has a page of its own.
    MainBench b;
    for (const char *item : {"mnuTutorial", "mnuOverview", "mnuWhat", "mnuComponents", "mnuSetup",
                             "mnuDBVHelp", "mnuFSHelp"})
        b.choose(item);
    QCOMPARE(b.help,
             QStringList({"corvanetutorial.hlp 1", "corvane.hlp 13", "corvane.hlp 14",
                          "corvane.hlp 15", "corvane.hlp 17", "corvane.hlp 2", "corvane.hlp 5"}));
    for (QAction *a : b.main.findChildren<QAction *>())
        if (const int topic = MenuHelpFilter::topicOf(a))
            b.help << "corvane.hlp " + QString::number(topic);
    HelpViewer viewer;
    for (const QString &request : std::as_const(b.help)) {
        viewer.showTopic(request.section(u' ', 0, 0), request.section(u' ', 1).toInt());
        QVERIFY2(viewer.browser()->documentTitle() != "Topic not found", qPrintable(request));
        QVERIFY2(viewer.browser()->toPlainText().size() > 800, qPrintable(request));
    }
    // An unknown topic says so; the viewer still works afterwards.
    HelpSystem help;
    for (const auto &[file, topic] :
         {std::pair{kMainHelpFile, 99}, {kMainHelpFile, 6}, {QString("other.hlp"), 1}}) {
        help.showHelpTopic(file, topic);
        QCOMPARE(help.viewer()->browser()->documentTitle(), QString("Topic not found"));
    }
    help.showHelpTopic(kMainHelpFile, 1);
    QCOMPARE(help.viewer()->browser()->documentTitle(), QString("Connecting to the K3"));
}

void TestShell::userGuide() {
    MainBench b;
    b.choose("mnuUserGuide");
    QCOMPARE(b.help, QStringList{"guide.md 0"});
    QCOMPARE(HelpViewer::userGuidePaths("/usr/bin"),
             QStringList({"/usr/docs/guide.md", "/usr/share/doc/corvane/guide.md"}));
    // The build folder's copy of the guide (beside bin/), as Markdown with its pictures.
    HelpSystem help;
    help.showHelpTopic(kUserGuideFile, 0);
    QTextBrowser *page = help.viewer()->browser();
    QCOMPARE(page->source().toLocalFile(),
             QDir(qEnvironmentVariable("CORVANE_BUILD_DIR")).filePath("docs/guide.md"));
    QCOMPARE(help.viewer()->windowTitle(), QString("Corvane Help - Corvane user's guide"));
    QVERIFY(QTest::qWaitForWindowExposed(help.viewer()));
    int pictures = 0;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat picture = it.fragment().charFormat().toImageFormat();
            if (!picture.isValid()) continue;
            ++pictures;
            QImage image;
            QVERIFY2(image.loadFromData(
                         page->loadResource(QTextDocument::ImageResource, QUrl(picture.name()))
                             .toByteArray()),
                     qPrintable(picture.name()));
            QVERIFY(picture.width() > 100 && picture.width() <= page->viewport()->width());
        }
    QVERIFY(pictures >= 10);
}

void TestShell::rememberedBetweenRuns() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Corvane.conf"), QSettings::IniFormat);
    WindowPlaces places(settings);
    places.watchApplication();
    {
        MainBench run;
        run.app.settings = &settings;
        run.connection.setShareAddress(QHostAddress::LocalHost, 0);
        run.dialog().rememberChoicesIn(&settings);
        run.click("chkShare");
        QVERIFY(run.connection.shareServer());
        run.pick("cboComPort", frmConnect::kSimulatorItem);
        run.pick("cboBaudRate", "9600");
        run.click("cmdConnect");
        QVERIFY(run.connected());
        run.connection.showDialog();
        run.dialog().setGeometry(40, 50, 610, 470);
        run.dialog().hide();
        QWidget *survey = run.main.windows().show("frmFilterSurvey");
        survey->findChild<QLineEdit *>("txtSlots")->setText("2-3");
        survey->findChild<QCheckBox *>("chkAdaptive")->setChecked(true);
        survey->findChild<QComboBox *>("cboReceiver")->setCurrentIndex(1);
        survey->hide();
    }
    QCOMPARE(settings.value("connect/port").toString(), QString("sim"));
    QCOMPARE(settings.value("connect/baud").toInt(), 9600);
    QCOMPARE(settings.value("survey/txtSlots").toString(), QString("2-3"));
    QCOMPARE(settings.value("survey/cboReceiver").toString(), QString("Sub-receiver"));
    // The next run shows them all and sends nothing until Connect.
    MainBench next;
    next.app.settings = &settings;
    next.connection.setShareAddress(QHostAddress::LocalHost, 0);
    next.dialog().rememberChoicesIn(&settings);
    // Sharing comes back on with its box.
    QVERIFY(next.control<QCheckBox>("chkShare")->isChecked() && next.connection.shareServer());
    QCOMPARE(next.control<QComboBox>("cboComPort")->currentText(), frmConnect::kSimulatorItem);
    QCOMPARE(next.control<QComboBox>("cboBaudRate")->currentText(), QString("9600"));
    QVERIFY(next.control("cmdSimulator")->isVisibleTo(&next.dialog()));
    next.connection.showDialog();
    QCOMPARE(next.dialog().geometry(), QRect(40, 50, 610, 470));
    next.dialog().hide();
    QVERIFY(!next.connected() && next.trace.isEmpty());
    QWidget *survey = next.main.windows().show("frmFilterSurvey");
    QCOMPARE(survey->findChild<QLineEdit *>("txtSlots")->text(), QString("2-3"));
    QVERIFY(survey->findChild<QCheckBox *>("chkAdaptive")->isChecked());
    QCOMPARE(survey->findChild<QComboBox *>("cboReceiver")->currentText(), QString("Sub-receiver"));
    survey->hide();
}

void TestShell::fileDialogFolders() {
    QFETCH(QString, earlier);
    QFETCH(QString, later);
    QFETCH(QString, starts);
    QTemporaryDir dir;
    for (const char *folder : {"saved", "own"}) QDir(dir.path()).mkpath(folder);
    QSettings settings(dir.filePath("Corvane.conf"), QSettings::IniFormat);
    ScriptedFileDialogs answers;
    RememberingFileDialogs dialogs(answers, settings);
    answers.answer(dir.filePath("saved/first.txt"));
    for (const QString &row : {earlier, later}) {
        const QStringList f = row.split(u'|');
        FileDialogRequest r;
        r.title = f[0];
        r.filterPattern = f[1];
        r.proposedName = f[2].section(u'+', 0, 0);
        r.mustExist = r.title == "Open";
        r.initialFolder = initialFolderFor(f[2].endsWith("+own") ? dir.filePath("own") : "");
        dialogs.saveFile(r);
    }
    const QString shown = answers.requests().back().initialFolder;
    QCOMPARE(shown, starts == "default" ? initialFolderFor("") : dir.filePath(starts));
}

void TestShell::resetSettings() {
    QTemporaryDir home;
    const QString file = home.filePath("Corvane/Corvane.conf");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("connect/port", "/dev/ttyUSB0");
        settings.setValue("windows/frmMain", QByteArray("place"));
    }
    QProcess corvane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.path());
    corvane.setProcessEnvironment(env);
    corvane.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane", {"--reset-settings"});
    QVERIFY(corvane.waitForFinished(30000));
    QCOMPARE(corvane.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(corvane.readAllStandardOutput()),
             "corvane: remembered settings forgotten (" + file + ")\n");
    QCOMPARE(QSettings(file, QSettings::IniFormat).allKeys(), QStringList());
}

void TestShell::radioLogFile() {
    // The program's own log: no trace of the test's on the link.
    VirtualClock clock;
    ScriptedPrompter prompter;
    ConnectionController connection(clock, prompter);
    ScriptedFileDialogs dialogs;
    AppContext app{&connection.link(), &connection.prompter(), &dialogs, {}};
    frmMain main(app, connection);
    main.setClockForFiles([] { return QDateTime(QDate(2026, 12, 9), QTime(6, 5), Qt::UTC); });
    frmConnect &dialog = connection.dialog();
    auto *ports = dialog.findChild<QComboBox *>("cboComPort");
    ports->setCurrentIndex(ports->findText(frmConnect::kSimulatorItem));
    dialog.findChild<QPushButton *>("cmdConnect")->click();
    clock.advance(1000);
    dialog.findChild<QLineEdit *>("txtCommand")->setText("rvm");
    dialog.findChild<QPushButton *>("cmdSend")->click();
    QTemporaryDir dir;
    dialogs.answer(dir.filePath("log.txt"));
    main.findChild<QAction *>("mnuSaveRadioLog")->trigger();
    QCOMPARE(dialogs.requests().back().proposedName,
             QString("corvane-radio-log-20261209-0605.txt"));
    QFile saved(dir.filePath("log.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    CORVANE_COMPARE_GOLDEN(QString::fromLatin1(saved.readAll()).split("\r\n"), "radiolog.txt");
    // A file that cannot be written is told, and the log stays.
    dialogs.answer(dir.filePath("missing/log.txt"));
    main.saveRadioLog();
    QCOMPARE(prompter.messages().back().title, QString("Corvane"));
    QVERIFY(prompter.messages().back().text.startsWith("The radio log was not saved. The file "));
}

void TestShell::radioLogLines() {
    QFETCH(QString, limit);
    QFETCH(QString, events);
    QFETCH(QString, expected);
    RadioLog log(limit.toInt());
    qint64 at = 0;
    for (const QString &e : events.split(u'|')) {
        const QString text = e.mid(2);
        const QChar kind = e[0];
        log.add({kind == u'W'   ? TraceEvent::Kind::Write
                 : kind == u'S' ? TraceEvent::Kind::Wait
                                : TraceEvent::Kind::Read,
                 at, text, kind == u'S' ? text.toInt() : 0});
        at += 10;
    }
    const QStringList file = log.fileLines("1.0.4", "sim", QDateTime());
    QCOMPARE(QStringList(file.mid(6, 1) + file.mid(9)).join(u'|'), expected);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
