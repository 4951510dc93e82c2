// CLI connect step, typed port, Alt+F, idle Stop Sweep, progress description, texts.tsv.

#include <QtTest>
#include <QtWidgets>

#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/ptyradio.h"
#include "common/scriptedfiledialogs.h"
#include "core/progresstext.h"
#include "files/linefile.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmconnect.h"
#include "link/ui/frmk3simulator.h"
#include "shell/frmmain.h"

using namespace corvane;
using namespace corvane::test;

// Types `port` into the Connect dialog's port box and clicks Connect.
void connectTo(ConnectionController &connection, const QString &port) {
    connection.dialog().findChild<QComboBox *>("cboComPort")->setEditText(port);
    connection.dialog().findChild<QPushButton *>("cmdConnect")->click();
}

// The program's main window on the virtual clock, with scripted messages and file dialogs.
struct Desk {
    ScriptedPrompter prompter;
    VirtualClock clock;
    ConnectionController connection{clock, prompter};
    test::ScriptedFileDialogs dialogs;
    AppContext app{&connection.link(), &prompter, &dialogs, {}};
    frmMain main{app, connection};
};

class UxTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data() { addRows("texts.tsv", {"what", "input", "expected"}); }
    void texts() {
        QFETCH(QString, what);
        QFETCH(QString, input);
        const QStringList in = input.split(u'|');
        QTEST(what == "date"
                  ? generalDateText(QDateTime::fromString(in[1], Qt::ISODate), QLocale(in[0]))
              : what == "left" ? timeLeftText(in[0].toLongLong())
                               : progressText(in[0].toInt(), in[1].toInt(), in[2].toLongLong()),
              "expected");
    }
    void cliSweepConnectsFirst();
    void typedPortConnects();
    void altFAndStopSweep();
    void surveyWindowRun();
    void accessibleNamesCarryNoMnemonic();
    void simulatorWindowBesideDialog();
    void portOpenFollowsThePort();
    void cliPortFromEnvironment_data() {
        addRows("environment.tsv", {"environment", "arguments", "exitCode", "outputHas"});
    }
    void cliPortFromEnvironment();
};

void UxTest::cliSweepConnectsFirst() {
    K3SimProcess radio;
    QVERIFY(radio.start({"--ai", "1", "--no-noise"}));
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", radio.pty(), "--yes", "--trace", "sweep", "--start", "14060", "--stop",
               "14060.05", "--step", "50", "--rf-gain", "150"});
    cli.closeWriteChannel();
    QVERIFY(cli.waitForFinished(120000) && cli.exitCode() == 0);
    // Connect (id, ai, ai0) before the sweep's own "id;"; "ai1;" once, at the very end.
    const QString err = QString::fromLatin1(cli.readAllStandardError());
    const QStringList writes =
        err.split(u'\n').filter(" W ").replaceInStrings(QRegularExpression("^.* W "), "");
    QCOMPARE(writes.mid(0, 4), QStringList({"id;", "ai;", "ai0;", "id;"}));
    QCOMPARE(writes.indexOf("ai1;"), writes.size() - 1);
    QVERIFY(err.endsWith("AutoInf Status: AutoInf is Auto 1\n"));
    // Both steps read clean numbers: no report of the radio's own in front of an answer.
    const QRegularExpression clean(R"(\n14060\.000\t\t-?\d+\.\d\n14060\.050\t\t-?\d+\.\d\n$)");
    QVERIFY(QString::fromLatin1(cli.readAllStandardOutput()).contains(clean));
}

void UxTest::typedPortConnects() {
    K3SimProcess radio;
    QVERIFY(radio.start({}));
    ScriptedPrompter prompter;
    ConnectionController connection(prompter);
    connectTo(connection, radio.pty());
    QVERIFY(connection.link().isConnected());
    QCOMPARE(prompter.summary(),
             QStringList{"K3 Status|K3 is connected and communicating at: 38400,N,8,1"});
}

void UxTest::altFAndStopSweep() {
    Desk desk;
    auto &[prompter, clock, connection, dialogs, app, main] = desk;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(main.findChild<QMenu *>("mnuFile")->isVisible());
    main.findChild<QMenu *>("mnuFile")->hide();

    connectTo(connection, "sim");
    QWidget *sweep = main.windows().instance("frmFilterSweep");
    // Idle: enabled. A click sets the Stop flag, which the next sweep clears as it starts.
    auto *stop = sweep->findChild<QPushButton *>("cmdStopSweep");
    QVERIFY(stop->isEnabled());
    stop->click();
    for (const QString box :
         {"txtKHzStart=14060", "txtKHzStop=14060.2", "txtFreqStep=100", "txtRFGain=150"})
        sweep->findChild<QLineEdit *>(box.section(u'=', 0, 0))->setText(box.section(u'=', 1));
    auto *line = sweep->findChild<QLabel *>("lblProgress");
    auto *bar = sweep->findChild<QProgressBar *>("prgSweep");
    QStringList described;  // what the line said as each step began
    clock.setYieldHook([&] {
        QVERIFY(stop->isEnabled() && bar->accessibleDescription() == line->text());
        described << line->accessibleDescription();
    });
    sweep->findChild<QPushButton *>("cmdBeginSweep")->click();
    QCOMPARE(described,
             QStringList({"3 steps to measure, about 20 s", "Step 1 of 3, about 20 s left",
                          "Step 2 of 3, about 14 s left"}));
    QCOMPARE(bar->accessibleDescription(), QStringLiteral("3 steps measured."));
}

void UxTest::surveyWindowRun() {
    Desk desk;
    auto &[prompter, clock, connection, dialogs, app, main] = desk;
    connectTo(connection, "sim");
    QWidget *survey = main.windows().show("frmFilterSurvey");
    QTemporaryDir dir;
    survey->findChild<QLineEdit *>("txtSlots")->setText("4");
    survey->findChild<QLineEdit *>("txtFolder")->setText(dir.path());
    auto *plan = survey->findChild<QLabel *>("lblPlan");
    QVERIFY(plan->text().contains("At least 121 points"));
    survey->findChild<QPushButton *>("cmdBegin")->click();
    // The plan from the width read (FL4, 0.25 kHz: 6 Hz steps over 1.25 kHz), advice once.
    QCOMPARE(plan->text().count("Signal:"), 1);
    QVERIFY(plan->text().contains("\n209 points in all, about "));
    auto *table = survey->findChild<QTableWidget *>("tblResults");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("FL4"));
    QCOMPARE(table->item(0, 9)->text(), QStringLiteral("-150.0"));
    auto *overall = survey->findChild<QProgressBar *>("prgOverall");
    QCOMPARE(overall->value(), overall->maximum());
    QCOMPARE(survey->findChild<QLabel *>("lblOverallProgress")->text(),
             QStringLiteral("Survey: complete, 1 of 1 slots measured."));
    QVERIFY(QFile::exists(dir.filePath("survey.pdf")) && QFile::exists(dir.filePath("survey.csv")));
}

void UxTest::accessibleNamesCarryNoMnemonic() {
    Desk desk;
    auto &[prompter, clock, connection, dialogs, app, main] = desk;
    QList<QWidget *> windows{&main, &connection.dialog()};
    windows << connection.showSimulatorWindow();
    for (const QString &name : main.windows().names()) windows << main.windows().instance(name);
    QStringList withMnemonic;
    for (QWidget *window : windows) {
        QList<QWidget *> widgets = window->findChildren<QWidget *>();
        widgets << window;
        for (QWidget *widget : widgets) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
            const QString name = a ? a->text(QAccessible::Name) : widget->accessibleName();
            if (name.contains(u'&') || widget->accessibleName().contains(u'&'))
                withMnemonic << window->objectName() + u'/' + widget->objectName() + u' ' + name;
        }
    }
    QVERIFY(windows.size() > 15);
    QCOMPARE(withMnemonic, QStringList());
    main.windows().destroyAll();
}

void UxTest::simulatorWindowBesideDialog() {
    Desk desk;
    frmConnect &dialog = desk.connection.dialog();
    desk.connection.showDialog();
    dialog.move(20, 30);
    auto *ports = dialog.findChild<QComboBox *>("cboComPort");
    ports->setCurrentIndex(ports->findText(frmConnect::kSimulatorItem));
    auto *showButton = dialog.findChild<QPushButton *>("cmdSimulator");
    QVERIFY(showButton->isVisible());
    showButton->click();
    frmK3Simulator *window = desk.connection.simulatorWindow();
    QVERIFY(window && window->isVisible());
    // The offscreen screen is 800 px wide: no room on either side, so the window keeps to
    // the screen's right edge and leaves the dialog's buttons free.
    auto *connectButton = dialog.findChild<QPushButton *>("cmdConnect");
    const QRect button(connectButton->mapToGlobal(QPoint(0, 0)), connectButton->size());
    QVERIFY(!window->frameGeometry().intersects(button));
    QCOMPARE(window->frameGeometry().right(), dialog.screen()->availableGeometry().right());
    // Enter in the Level box applies the level and leaves the window open.
    auto *level = window->findChild<QDoubleSpinBox *>("spnLevel");
    level->setFocus();
    level->selectAll();
    QTest::keyClicks(level, "-93.5");
    QCOMPARE(desk.connection.simulator()->generator().levelDbm, -73.0);  // not digit by digit
    QTest::keyClick(level, Qt::Key_Return);
    QCOMPARE(desk.connection.simulator()->generator().levelDbm, -93.5);
    QVERIFY(window->isVisible());
    // Closed by its frame, it comes back from the dialog's button, beside the dialog again.
    window->close();
    QTRY_VERIFY(!desk.connection.simulatorWindow());
    dialog.move(20, 30);
    showButton->click();
    QVERIFY(desk.connection.simulatorWindow()->isVisible());
    QVERIFY(!desk.connection.simulatorWindow()->frameGeometry().intersects(button));
    // A real port hides the button.
    ports->setCurrentIndex(0);
    QVERIFY(!showButton->isVisible());
}

void UxTest::portOpenFollowsThePort() {
    PtyRadio radio;
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ai;", "AI0;");
    ScriptedPrompter prompter;
    ConnectionController connection(prompter);
    connectTo(connection, radio.slavePath());
    auto *open = connection.dialog().findChild<QLabel *>("lblPortOpen");
    QCOMPARE(open->text(), QString("Port Open? True"));
    radio.vanish();  // the adapter pulled out while nothing is exchanged
    QTRY_COMPARE(open->text(), QString("Port Open? False"));
    QVERIFY(!connection.link().isConnected());
    QVERIFY(!connection.dialog().findChild<QPushButton *>("cmdSend")->isEnabled());
}

void UxTest::cliPortFromEnvironment() {
    QFETCH(QString, environment);
    QFETCH(QString, arguments);
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &pair : environment.split(u' ', Qt::SkipEmptyParts))
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    cli.setProcessEnvironment(env);
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              QStringList{"--yes"} + arguments.split(u' '));
    QVERIFY(cli.waitForFinished(60000));
    QTEST(QString::number(cli.exitCode()), "exitCode");
    const QString err =
        QString::fromLocal8Bit(cli.readAllStandardError() + cli.readAllStandardOutput());
    QFETCH(QString, outputHas);
    QVERIFY2(err.contains(outputHas), qPrintable(err));
}

QTEST_MAIN(UxTest)
#include "tst_ux.moc"
