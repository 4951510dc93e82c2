// The MDS test: reply cuts, result formats and the readings that leave no MDS on a scripted
// radio; one exact run per preamp setting on the simulator; the window; corvane-cli mds.

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "common/bench.h"
#include "core/ui/resultslist.h"
#include "measurements/ui/frmmds.h"

using namespace corvane;
using namespace corvane::test;

namespace {

class RecordingSink : public MdsSink {
public:
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    bool preampChecked() const override { return preamp; }
    QStringList lines;
    bool preamp = true;
};

// The user at the bench: generator on at 1 uV for the set-up prompt, off when asked.
void followPrompts(ScriptedPrompter &prompter, sim::K3Simulator &simulator) {
    prompter.setHook([&simulator](const PromptMessage &m) {
        if (m.title == kMdsSetupTitle) {
            simulator.generator() = {true, -107.0, double(simulator.state().vfoAHz)};
        } else if (m.title == kMdsGeneratorOffTitle) {
            simulator.generator().on = false;
        }
    });
}

QStringList dataLines(const QString &name) {
    QFile file(QFINDTESTDATA("data/" + name));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

QList<int> settingsOf(const sim::K3State &s) {
    return {int(s.vfoAHz),     s.mode,         s.rfGain,         s.afGain,
            s.agcTimeConstant, s.selectedSlot, s.dspBandwidthHz, s.attenuator,
            s.preamp,          s.agcOn,        s.techMode,       int(s.vfoBReadout)};
}

}  // namespace

class TestMds : public QObject {
    Q_OBJECT

private slots:
    void readingsAndResults_data();
    void readingsAndResults();
    void exactRunOnSimulator_data();
    void exactRunOnSimulator();
    void window();
    void cli_data();
    void cli();
};

void TestMds::readingsAndResults_data() {
    QTest::addColumn<bool>("preamp");
    QTest::addColumn<QByteArray>("signalReply");
    QTest::addColumn<QByteArray>("noiseReply");
    QTest::addColumn<QString>("signalText");
    QTest::addColumn<QString>("noiseText");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("message");
    const QString done = "Corvane|MDS test is complete. Review reults in listbox";
    const QString none = "MDS Not Computed|No MDS could be computed: ";
    QTest::newRow("box clear: ratio 10")
        << false << QByteArray("DBAF 10.00;") << QByteArray("DBAF 01.00;") << "10.00"
        << "01.00"
        << QStringList{"Signal + Noise, mVrms: 10", "Noise, mVrms: 1", "S+N:Noise Ratio: 10.00",
                       "K3 MDS, dB: -127.00"}
        << done;
    QTest::newRow("box ticked: equal")
        << true << QByteArray("DBAF 2.812;") << QByteArray("DBAF 2.812;") << "2.81"
        << "2.81"
        << QStringList{"Signal + Noise, mVrms: 2.81", "Noise, mVrms: 2.81", "S+N:Noise Ratio: 1.00",
                       "K3 MDS, dB: -107.00"}
        << done;
    const QString shortReply = "the K3's reply to signal + noise reading 1 was too short to read";
    QTest::newRow("short reply") << true << QByteArray("DBAF1;") << QByteArray("DBAF 1.000;")
                                 << "DBAF1;"
                                 << "1.00"
                                 << QStringList{"Noise, mVrms: 1",
                                                "No MDS computed: " + shortReply + "."}
                                 << none + shortReply + ". Review results in listbox.";
    QTest::newRow("no radio") << false << QByteArray() << QByteArray() << ""
                              << "" << QStringList{"No MDS computed: " + shortReply + "."}
                              << none + shortReply + ". Review results in listbox.";
    QTest::newRow("not a number")
        << false << QByteArray("DBAF 10.00;") << QByteArray("DBAF --.--;") << "10.00"
        << "--.--"
        << QStringList{"Signal + Noise, mVrms: 10",
                       "No MDS computed: noise reading 1 is not a number."}
        << none + "noise reading 1 is not a number. Review results in listbox.";
    QTest::newRow("noise 0") << false << QByteArray("DBAF 10.00;") << QByteArray("DBAF 0.000;")
                             << "10.00"
                             << "0.000"
                             << QStringList{"Signal + Noise, mVrms: 10", "Noise, mVrms: 0",
                                            "No MDS computed: the noise average is 0."}
                             << none + "the noise average is 0. Review results in listbox.";
    QTest::newRow("ratio below 0")
        << false << QByteArray("DBAF -1.00;") << QByteArray("DBAF 1.000;") << "-1.00"
        << "1.000"
        << QStringList{"Signal + Noise, mVrms: -1", "Noise, mVrms: 1", "S+N:Noise Ratio: -1.00",
                       "No MDS computed: the S+N:Noise ratio is not above 0."}
        << none + "the S+N:Noise ratio is not above 0. Review results in listbox.";
}

void TestMds::readingsAndResults() {
    QFETCH(bool, preamp);
    QFETCH(QByteArray, noiseReply);
    QFETCH(QString, signalText);
    QFETCH(QString, noiseText);
    ScriptedBench bench;
    const QList<QByteArray> answers{
        "ag;",         "AG030;",         "k22;gt;k20;", "GT0041;",
        "ra;",         "RA00;",          "pa;",         "PA1;",
        "rg;",         "RG250;",         "md;",         "MD2;",
        "fa;",         "FA00014060000;", "k31;fw;k30;", "FW0240;",
        "k22;fw;k20;", "FW024030;",      "ds;",         dsAnswer("@@@@BYP@")};
    for (int i = 0; i < answers.size(); i += 2) bench.radio->setAnswer(answers[i], answers[i + 1]);
    QFETCH(QByteArray, signalReply);
    bench.radio->setAnswer("db;", signalReply);
    bench.prompter.setHook([&](const PromptMessage &m) {
        if (m.title == kMdsGeneratorOffTitle) bench.radio->setAnswer("db;", noiseReply);
    });
    MdsWindowState state;
    RecordingSink sink;
    sink.preamp = preamp;
    MdsTest(bench.link, bench.prompter, state, sink).beginMdsTest();

    const QStringList writes = bench.trace.writes();
    QVERIFY(writes.contains(preamp ? "pa1;" : "pa0;"));
    QCOMPARE(writes.count("db;"), 20);
    QCOMPARE(sink.lines.size() > 44, true);
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(sink.lines.at(23 + n), QStringLiteral("S+N%1\t").arg(n) + signalText);
        QCOMPARE(sink.lines.at(33 + n), QStringLiteral("N%1\t").arg(n) + noiseText);
    }
    QTEST(sink.lines.mid(44), "results");
    QTEST(bench.prompter.summary().last(), "message");
    // The radio is put back after the last message, whatever the readings were.
    QCOMPARE(writes.mid(writes.size() - 10),
             QStringList({"k22;GT0041;k20;", "AG030;", "RA00;", "PA1;", "RG250;", "MD2;",
                          "FA00014060000;", "k22;FW024030;k20;", "k31;FW0240;k30;", "db00;"}));
}

void TestMds::exactRunOnSimulator_data() {
    QTest::addColumn<bool>("preamp");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("published");
    QTest::newRow("preamp on") << true << "mds-preamp" << -136.0;
    // A KAT3 in line: its message comes once in the window's life.
    QTest::newRow("preamp off, KAT3") << false << "mds-no-preamp" << -130.0;
}

void TestMds::exactRunOnSimulator() {
    QFETCH(bool, preamp);
    QFETCH(QString, name);
    SimBench bench;
    bench.state().kat3Installed = !preamp;
    bench.state().kat3Bypassed = preamp;
    followPrompts(bench.prompter, *bench.simulator);
    const QList<int> before = settingsOf(bench.state());
    MdsWindowState state;
    RecordingSink sink;
    sink.preamp = preamp;
    MdsTest test(bench.link, bench.prompter, state, sink);
    QCOMPARE(test.beginMdsTest().end, MdsEnd::Completed);
    QCOMPARE(bench.trace.lines(), dataLines(name + ".trace"));
    QCOMPARE(sink.lines, dataLines(name + ".lines"));
    QFETCH(double, published);
    QVERIFY2(qAbs(state.mds - published) < 3.0, qPrintable(QString::number(state.mds)));
    QCOMPARE(settingsOf(bench.state()), before);

    test.beginMdsTest();
    QCOMPARE(bench.prompter.summary().filter("KAT3 Present|").size(), preamp ? 0 : 1);
}

void TestMds::window() {
    SimBench bench;
    followPrompts(bench.prompter, *bench.simulator);
    frmMDS form(AppContext{&bench.link, &bench.prompter, nullptr, {}});
    form.showForm();
    QVERIFY(form.findChild<QLabel *>("lblElecraft")->text().startsWith("Elecraft's sensitivity"));
    auto *progress = form.findChild<QLabel *>("lblProgress");
    auto *begin = form.findChild<QPushButton *>("cmdBegin");
    QStringList seen;
    bench.prompter.setObserver([&](const PromptMessage &) {
        seen << progress->text() + (begin->isEnabled() ? "" : " (busy)");
    });
    form.findChild<QCheckBox *>("chkPreamp")->setChecked(false);
    begin->click();
    QCOMPARE(seen, QStringList({"Reading the K3's settings and setting it up for the test. (busy)",
                                "Signal + noise reading 10 of 10 (busy)",
                                "Noise reading 10 of 10 (busy)"}));
    auto *list = form.findChild<ResultsList *>("lstData");
    QCOMPARE(list->lines().size(), 48);
    QCOMPARE(list->lines().at(19), QStringLiteral("Preamp: Off"));
    QVERIFY(progress->text().startsWith("Done: MDS -13"));
    form.findChild<QPushButton *>("cmdClear")->click();
    QCOMPARE(list->count(), 0);
    form.findChild<QPushButton *>("cmdReset")->click();
    QCOMPARE(bench.trace.writes().count("db00;"), 2);
}

void TestMds::cli_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<double>("published");
    QTest::newRow("preamp on") << QStringList{} << -136.0;
    QTest::newRow("preamp off") << QStringList{"--no-preamp"} << -130.0;
}

void TestMds::cli() {
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    const QString path = dir.filePath("mds.txt");
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              QStringList{"--port", "sim", "--yes", "mds", "-o", path} + options);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray out = cli.readAllStandardOutput();
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    for (const char *said :
         {"MDS Test Setup: Beginning MDS test.", "Signal + noise reading 4 of 10",
          "RF Signal Generator: Turn off RF signal source",
          "Corvane: MDS test is complete. Review reults in listbox"})
        QVERIFY2(err.contains(QLatin1String(said)), qPrintable(err));
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 48);
    QVERIFY(lines.last().startsWith("K3 MDS, dB: -1"));
    QFETCH(double, published);
    QVERIFY2(qAbs(lines.last().mid(12).toDouble() - published) < 3.0, lines.last().constData());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> saved = file.readAll().split('\n');
    QCOMPARE(saved.first(), QByteArray("K3 MDS Test Results\r"));
    QCOMPARE(saved.at(2), QByteArray("User Comments: \r"));
    QCOMPARE(saved.at(4 + 47), lines.last() + '\r');
}

QTEST_MAIN(TestMds)
#include "tst_mds.moc"
