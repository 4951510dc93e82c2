// What a user trips over first: corvane-cli connecting as the Connect button does, a port
// typed into the Connect dialog, Alt+F, Stop Sweep when idle, the progress line as the
// screen reader's description, the charts' margins, the date and time-left texts.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QValueAxis>
#include <QtTest>

#include "charts/resultchart.h"
#include "charts/ui/resultchartview.h"
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "core/linefile.h"
#include "core/progresstext.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmconnect.h"
#include "measurements/ui/frmfiltersweep.h"
#include "shell/frmmain.h"

using namespace corvane;
using namespace corvane::test;

class UxTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data() { addRows("texts.tsv", {"what", "input", "expected"}); }
    void texts() {
        QFETCH(QString, what);
        QFETCH(QString, input);
        const QStringList in = input.split(u'|');
        const QDateTime when = QDateTime::fromString(in.value(1), Qt::ISODate);
        QTEST(what == "date"   ? generalDateText(when, QLocale(in[0]))
              : what == "left" ? timeLeftText(in[0].toLongLong())
                               : progressText(in[0].toInt(), in[1].toInt(), in[2].toLongLong()),
              "expected");
    }
    void cliSweepConnectsFirst();
    void typedPortConnects();
    void altFAndStopSweep();
    void chartMargins();
};

void UxTest::cliSweepConnectsFirst() {
    K3SimProcess radio;
    QVERIFY(radio.start({"--ai", "1", "--no-noise"}));
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", radio.pty(), "--yes", "--trace", "sweep", "--start", "14060", "--stop",
               "14060.05", "--step", "50", "--rf-gain", "150"});
    cli.closeWriteChannel();
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 0);
    const QString err = QString::fromLatin1(cli.readAllStandardError());
    QStringList writes;  // the commands written, in order
    for (const QString &line : err.split(u'\n'))
        if (line.contains(" W ")) writes << line.section(" W ", 1);
    // Connect (identity, auto-info question, reports off) before the sweep's own "id;";
    // auto-info mode 1 back at the very end.
    QCOMPARE(writes.mid(0, 4), QStringList({"id;", "ai;", "ai0;", "id;"}));
    QCOMPARE(writes.count("ai1;"), 1);
    QVERIFY(err.endsWith(" W ai1;\nAutoInf Status: AutoInf is Auto 1\n"));
    // Both steps read clean numbers: no report of the radio's own in front of an answer.
    const QRegularExpression clean(R"(\n14060\.000\t\t-?\d+\.\d\n14060\.050\t\t-?\d+\.\d\n$)");
    QVERIFY(QString::fromLatin1(cli.readAllStandardOutput()).contains(clean));
}

void UxTest::typedPortConnects() {
    K3SimProcess radio;
    QVERIFY(radio.start({}));
    ScriptedPrompter prompter;
    ConnectionController connection(prompter);
    connection.dialog().findChild<QComboBox *>("cboComPort")->setEditText(radio.pty());
    connection.dialog().findChild<QPushButton *>("cmdConnect")->click();
    QVERIFY(connection.link().isConnected());
    QCOMPARE(prompter.summary(),
             QStringList{"K3 Status|K3 is connected and communicating at: 38400,N,8,1"});
    QCOMPARE(connection.dialog().findChild<QLabel *>("lblPortNumber")->text(),
             "Port: " + radio.pty());
}

void UxTest::altFAndStopSweep() {
    ScriptedPrompter prompter;
    VirtualClock clock;
    ConnectionController connection(clock, prompter);
    const AppContext app{&connection.link(), &prompter, nullptr, {}};
    frmMain main(app, connection);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(main.findChild<QMenu *>("mnuFile")->isVisible());
    main.findChild<QMenu *>("mnuFile")->hide();

    connection.dialog().findChild<QComboBox *>("cboComPort")->setEditText("sim");
    connection.dialog().findChild<QPushButton *>("cmdConnect")->click();
    auto *sweep = main.windows().instance<frmFilterSweep>("frmFilterSweep");
    auto *stop = sweep->findChild<QPushButton *>("cmdStopSweep");
    // Idle: enabled; a click sets the Stop flag, which the next sweep clears as it starts.
    QVERIFY(stop->isEnabled());
    stop->click();
    QVERIFY(sweep->state().stopSweepRequested);
    const char *boxes[] = {"txtKHzStart", "txtKHzStop", "txtFreqStep", "txtRFGain"};
    const char *values[] = {"14060", "14060.2", "100", "150"};
    for (int i = 0; i < 4; ++i) sweep->findChild<QLineEdit *>(boxes[i])->setText(values[i]);
    auto *line = sweep->findChild<QLabel *>("lblProgress");
    auto *bar = sweep->findChild<QProgressBar *>("prgSweep");
    QStringList described;
    clock.setYieldHook([&] {
        QVERIFY(stop->isEnabled());
        QCOMPARE(bar->accessibleDescription(), line->text());
        described << line->accessibleDescription();
    });
    sweep->findChild<QPushButton *>("cmdBeginSweep")->click();
    // What the line said as each step began.
    QCOMPARE(described,
             QStringList({"3 steps to measure, about 20 s", "Step 1 of 3, about 20 s left",
                          "Step 2 of 3, about 14 s left"}));
    QCOMPARE(bar->accessibleDescription(), QStringLiteral("3 steps measured."));
}

void UxTest::chartMargins() {
    // A flat 0 dB line, a passband topped at 0 dB, a flat 10.00 dB line: none on the border.
    for (const QList<double> &values :
         {QList<double>{0, 0}, {-56, -6, 0, 0, -6}, {10, 10, 10}, {0.5, 1.0}}) {
        ResultChart chart;
        chart.setRowCount(int(values.size()));
        for (int row = 1; row <= values.size(); ++row) chart.setRowValue(row, values[row - 1]);
        ResultChartView view;
        view.setModel(&chart);
        view.flush();
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        QVERIFY(view.yAxis()->min() < *low && view.yAxis()->max() > *high);
    }
}

QTEST_MAIN(UxTest)
#include "tst_ux.moc"
