// The MDS test: reply cuts, result formats and the readings that leave no MDS on a scripted
// radio; one exact run per preamp setting on the simulator; the window; corvane-cli mds.

#include <QtTest>
#include <QtWidgets>

#include "common/bench.h"
#include "common/golden.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/resultslist.h"
#include "measurements/benchprompts.h"
#include "measurements/ui/frmmds.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The window on a bench's link and prompter, as the main window builds it.
struct MdsWindow {
    explicit MdsWindow(BenchBase &bench, bool preamp)
        : form(AppContext{&bench.link, &bench.prompter, nullptr, {}}) {
        form.showForm();
        child<QCheckBox>("chkPreamp")->setChecked(preamp);
    }
    template <class T>
    T *child(const char *name) {
        return form.findChild<T *>(name);
    }
    QStringList run() {
        child<QPushButton>("cmdBegin")->click();
        return child<ResultsList>("lstData")->lines();
    }
    frmMDS form;
};

QList<int> settingsOf(const sim::K3State &s) {
    return {int(s.vfoAHz),     s.mode,         s.rfGain,         s.afGain,
            s.agcTimeConstant, s.selectedSlot, s.dspBandwidthHz, s.attenuator,
            s.preamp,          s.agcOn,        s.techMode,       int(s.vfoBReadout)};
}

}  // namespace

class TestMds : public QObject {
    Q_OBJECT

private slots:
    void readingsAndResults_data() {
        addRows("readings.tsv", {"preamp", "replies", "texts", "results"});
    }
    void readingsAndResults();
    void exactRunOnSimulator_data();
    void exactRunOnSimulator();
    void windowOnTheSimulatorFollowingPrompts();
    void messagesAreModalToTheirWindow();
    void signalNotHeard();
    void cli_data();
    void cli();
};

void TestMds::readingsAndResults() {
    QFETCH(QString, preamp);
    QFETCH(QString, replies);
    QFETCH(QString, texts);
    QFETCH(QString, results);
    const QStringList reply = replies.split(u'|'), text = texts.split(u'|');
    const QStringList result = results.split(u'|');
    ScriptedBench bench;
    bench.radio->setAnswer("k22;gt;k20;", "GT0041;");
    bench.radio->setAnswer("ds;", "DS      ON\x80\x80;");  // TECH MD already on
    bench.radio->setAnswer("db;", reply.first().toLatin1());
    bench.prompter.setHook([&](const PromptMessage &m) {
        if (m.title == kMdsGeneratorOffTitle)
            bench.radio->setAnswer("db;", reply.last().toLatin1());
    });
    const QStringList lines = MdsWindow(bench, preamp == "on").run();

    const QStringList writes = bench.trace.writes();
    QCOMPARE(lines.at(24), "S+N1\t" + text.first());
    QCOMPARE(lines.at(43), "N10\t" + text.last());
    QCOMPARE(lines.mid(44), result);
    const QString problem = result.last().mid(17);  // after "No MDS computed: "
    QCOMPARE(bench.prompter.summary().last(),
             result.last().startsWith("No MDS") ? "MDS Not Computed|No MDS could be computed: " +
                                                      problem + " Review results in listbox."
             : result.last().startsWith("The signal was not heard")
                 ? "Signal Not Heard|The S+N:Noise ratio is below 2.00: the signal was not "
                   "heard: check the generator and its level. The MDS figure in the list is not "
                   "a measurement. Review results in listbox."
                 : "Corvane|MDS test is complete. Review reults in listbox");
    // The radio is put back after the last reading, whatever the readings were.
    QCOMPARE(writes.at(writes.lastIndexOf("db;") + 1), "k22;GT0041;k20;");
    QCOMPARE(writes.last(), "db00;");
}

void TestMds::exactRunOnSimulator_data() {
    QTest::addColumn<bool>("preamp");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("published");
    QTest::addColumn<int>("mode");  // the mode the radio is found in
    QTest::newRow("preamp on") << true << "mds-preamp" << -136.0 << 3;
    // A KAT3 in line: its message comes once in the window's life.
    QTest::newRow("preamp off, KAT3") << false << "mds-no-preamp" << -130.0 << 3;
    // Found in USB: CW's own AGC is read after "md3;" and put back before USB is.
    QTest::newRow("preamp on, found in USB") << true << "mds-usb" << -136.0 << 2;
}

void TestMds::exactRunOnSimulator() {
    QFETCH(bool, preamp);
    QFETCH(QString, name);
    QFETCH(double, published);
    QFETCH(int, mode);
    SimBench bench;
    bench.simulator->setMode(mode);
    bench.state().kat3Installed = !preamp;
    bench.state().kat3Bypassed = preamp;
    const QList<int> before = settingsOf(bench.state());
    MdsWindow w(bench, preamp);
    QVERIFY(w.child<QLabel>("lblElecraft")->text().startsWith("Elecraft's sensitivity (MDS)"));
    QStringList seen;  // at each message: the progress line, and whether Begin is off
    bench.prompter.setHook([&](const PromptMessage &m) {
        // The user at the bench: the generator on at 1 uV for the set-up, off when asked.
        sim::SignalGenerator &generator = bench.simulator->generator();
        if (m.title == kMdsSetupTitle) generator = {true, -107.0, double(bench.state().vfoAHz)};
        if (m.title == kMdsGeneratorOffTitle) generator.on = false;
        seen << w.child<QLabel>("lblProgress")->text() +
                    (w.child<QPushButton>("cmdBegin")->isEnabled() ? "" : " (busy)");
    });
    CORVANE_COMPARE_GOLDEN(w.run(), name + ".lines");
    CORVANE_COMPARE_GOLDEN(bench.trace.lines(), name + ".trace");
    QVERIFY(qAbs(w.form.state().mds - published) < 3.0);
    QCOMPARE(settingsOf(bench.state()), before);
    QCOMPARE(seen.mid(seen.size() - 2), QStringList({"Signal + noise reading 10 of 10 (busy)",
                                                     "Noise reading 10 of 10 (busy)"}));
    QVERIFY(w.child<QLabel>("lblProgress")->text().startsWith("Done: MDS -13"));

    w.child<QPushButton>("cmdClear")->click();
    QCOMPARE(w.child<ResultsList>("lstData")->count(), 0);
    w.child<QPushButton>("cmdReset")->click();
    QCOMPARE(bench.trace.writes().count("db00;"), 2);
    w.run();
    QCOMPARE(bench.prompter.summary().filter("KAT3 Present|").size(), preamp ? 0 : 1);
}

void TestMds::windowOnTheSimulatorFollowingPrompts() {
    SimBench bench;
    bench.simulator->setNoiseEnabled(true);
    sim::K3Simulator *simulator = bench.simulator.get();
    PromptFollower following(bench.prompter, [simulator] { return simulator; });
    frmMDS form(AppContext{&bench.link, &following, nullptr, {}});
    form.showForm();
    form.findChild<QPushButton *>("cmdBegin")->click();
    auto *progress = form.findChild<QLabel *>("lblProgress");
    QCOMPARE(progress->text(), QStringLiteral("Done: MDS -136.22 dBm."));
    QCOMPARE(progress->accessibleDescription(), progress->text());
    QVERIFY(!simulator->generator().on);
}

void TestMds::messagesAreModalToTheirWindow() {
    MessageBoxPrompter boxes;
    QWidget testWindow;
    QWidget simulatorWindow;  // another top-level window, as the K3 Simulator's is
    auto *follow = new QCheckBox(QStringLiteral("Follow"), &simulatorWindow);
    for (QWidget *w : {&testWindow, &simulatorWindow}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    const PromptOwner owner(boxes, &testWindow);
    Qt::WindowModality modality = Qt::NonModal;
    QWidget *parent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        modality = box->windowModality();
        parent = box->parentWidget();
        QTest::mouseClick(simulatorWindow.windowHandle(), Qt::LeftButton, {},
                          follow->mapTo(&simulatorWindow, follow->rect().center()));
        box->close();
    });
    boxes.message(kMdsGeneratorOffText, kMdsGeneratorOffTitle, MessageIcon::Information);
    QCOMPARE(modality, Qt::WindowModal);
    QCOMPARE(parent, &testWindow);
    QVERIFY(follow->isChecked());  // the other window took the click
}

void TestMds::signalNotHeard() {
    SimBench bench;
    MdsWindow w(bench, true);
    bench.prompter.setHook([&](const PromptMessage &m) {  // a generator far too weak
        if (m.title == kMdsSetupTitle)
            bench.simulator->generator() = {true, -160.0, double(bench.state().vfoAHz)};
    });
    const QStringList lines = w.run();
    // The computed figure stays, near the generator's -107 dBm, and the list says it is none.
    QVERIFY2(lines.at(lines.size() - 2).startsWith("K3 MDS, dB: -10"),
             qPrintable(lines.at(lines.size() - 2)));
    QCOMPARE(lines.last(), "The signal was not heard: check the generator and its level.");
    QVERIFY(bench.prompter.summary().last().startsWith(
        "Signal Not Heard|The S+N:Noise ratio is below 2.00: the signal was not heard"));
    QCOMPARE(w.child<QLabel>("lblProgress")->text(),
             "No MDS: the signal was not heard: check the generator and its level.");
    const QStringList writes = bench.trace.writes();  // the radio is put back all the same
    QVERIFY(writes.mid(writes.lastIndexOf("db;")).contains("db00;"));
}

void TestMds::cli_data() {
    exactRunOnSimulator_data();
}

void TestMds::cli() {
    // The same through corvane-cli on the built-in simulator (with its receiver noise).
    QFETCH(bool, preamp);
    QFETCH(double, published);
    QFETCH(int, mode);
    if (mode != 3) QSKIP("the built-in simulator starts in CW");
    QTemporaryDir dir;
    const QString path = dir.filePath("mds.txt");
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "--yes", "mds", "-o", path, preamp ? "--yes" : "--no-preamp"});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray out = cli.readAllStandardOutput();
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    for (const char *said :
         {"MDS Test Setup: Beginning", "Signal + noise reading 4 of 10",
          "RF Signal Generator: Turn off RF signal source", "Corvane: MDS test is complete."})
        QVERIFY2(err.contains(QLatin1String(said)), qPrintable(err));
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 48);
    QVERIFY2(qAbs(lines.last().mid(12).toDouble() - published) < 3.0, lines.last().constData());
    QFile file(path);
    const QByteArray saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QVERIFY(
        saved.startsWith("K3 MDS Test Results\r\nBy Quill Ashby, N0CALL\r\nUser Comments: \r\n"));
    QVERIFY(saved.endsWith("\r\n" + lines.last() + "\r\n"));
}

QTEST_MAIN(TestMds)
#include "tst_mds.moc"
