// The full dBV linear range test on a scripted K3 and a virtual clock: the exact exchange
// with its waits, the list and chart it fills, Stop Test, a radio that does not answer, odd
// answers, the KAT3 message once per window, and Reset K3 putting the radio back.

#include <QtTest>

#include "dbvbench.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvplan.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvsteps.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kCompleteMessage("Test Status|Test is complete. Check results in Listbox.");
const QString kStoppedMessage("Test Status|Test was terminated prematurely.");

// The lines of a data file (a trace, or list lines with their tabs).
QStringList readTrace(const QString &name) {
    QFile file(QFINDTESTDATA("data/" + name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

class TestDbvFullTest : public QObject {
    Q_OBJECT

private slots:
    void exactExchangeListAndChart();
    void stopPressedDuringAStep();
    void radioNotPresent();
    void oddAnswers_data();
    void oddAnswers();
    void kat3MessageOncePerWindow();
    void resetSendsTheSnapshotAgain();
    void plan_data();
    void plan();
};

void TestDbvFullTest::exactExchangeListAndChart() {
    DbvBench bench;
    DbvScriptedRadio &radio = bench.useScriptedRadio();
    radio.reading = [](int gain, bool att) -> QString {
        switch (gain) {
            case 100:
                return att ? "-33.6" : "-23.5";
            case 101:
                return att ? "-15.3" : "-5.3";
            default:
                return att ? "-19.9" : "-10.0";
        }
    };
    RecordingSink sink;
    sink.lines << "an earlier line";  // cleared by the run
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(test.run({"100", "102", "1"}));

    QCOMPARE(bench.trace.lines(), readTrace("fulltest-100-102.trace"));
    // The report of the scripted radio's settings, then one line per gain.
    QCOMPARE(sink.lines, readTrace("fulltest-100-102.lines"));
    QCOMPARE(sink.chartRows, 3);
    QCOMPARE(sink.chartValues, (QList<double>{10.1, 10, 9.9}));
    QCOMPARE(sink.chartLabels, (QStringList{"100", "101", "102"}));
    QVERIFY(sink.chartFinished);
    QCOMPARE(sink.selectLastCalls, 3);
    QCOMPARE(sink.runStates, (std::vector<DbvRunKind>{DbvRunKind::FullTest, DbvRunKind::Idle}));
    QCOMPARE(bench.state.diffText, QString("9.9"));
    QVERIFY(bench.state.flags.kat3Checked);
    QVERIFY(bench.state.flags.techModeSet);

    // Progress: each step with the fixed waiting still ahead, then "no test running".
    QCOMPARE(sink.progressReports.size(), size_t(4));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(sink.progressReports[i].step, i + 1);
        QCOMPARE(sink.progressReports[i].total, 3);
        QCOMPARE(sink.progressReports[i].msLeft, qint64(3 - i) * 10500);
    }
    QCOMPARE(sink.progressReports[3].step, 0);

    // The radio is left as it was found.
    QCOMPARE(radio.rfGain, 250);
    QCOMPARE(radio.afGain, 30);
    QVERIFY(!radio.attenuator);
    QVERIFY(radio.preamp);
    QVERIFY(radio.agcOn);
    QVERIFY(!radio.techMode);
    QCOMPARE(radio.vfoBReadout, 0);
    QCOMPARE(radio.menu, -1);
}

void TestDbvFullTest::stopPressedDuringAStep() {
    DbvBench bench;
    bench.useScriptedRadio();
    RecordingSink sink;
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    // Stop pressed while step 2 waits is seen at the yield before step 3.
    bench.clock.setYieldHook([&bench] {
        if (bench.clock.yieldCount() == 3) bench.state.stopTestRequested = true;
    });
    QVERIFY(test.run({"100", "110", "1"}));

    QCOMPARE(bench.trace.writes().count("rg100;") + bench.trace.writes().count("rg101;"), 2);
    QVERIFY(!bench.trace.writes().contains("rg102;"));
    QCOMPARE(sink.lines.size(), 28);
    QCOMPARE(sink.lines.last(), QString("101\t-23.5\t-33.6\t10.1"));
    QCOMPARE(sink.chartRows, 11);
    QCOMPARE(sink.chartLabels.mid(0, 3), (QStringList{"100", "101", ""}));
    QVERIFY(sink.chartFinished);
    QCOMPARE(bench.prompter.messages().back().icon, MessageIcon::Exclamation);

    // After the third yield: straight to the message, then the restore.
    const QStringList trace = bench.trace.lines();
    const int lastYield = trace.lastIndexOf("Y");
    QCOMPARE(trace.mid(lastYield, 3),
             (QStringList{"Y", "M " + kStoppedMessage, "W k22;GT0041;k20;"}));
    QVERIFY(trace.contains("W db00;"));
    QCOMPARE(bench.radio->rfGain, 250);

    // The next run clears the flag and runs to its end.
    bench.clock.setYieldHook({});
    QVERIFY(test.run({"100", "101", "1"}));
    QCOMPARE(bench.prompter.summary().last(), kCompleteMessage);
}

void TestDbvFullTest::radioNotPresent() {
    DbvBench bench;
    bench.useScriptedRadio().silent = true;
    RecordingSink sink;
    sink.lines << "kept 1"
               << "kept 2";
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(!test.run({"50", "250", "1"}));

    QCOMPARE(bench.trace.lines(),
             (QStringList{"W id;", "S 100", "R ",
                          "M K3 Not Present|Connect to K3 before beginning this test."}));
    QCOMPARE(bench.prompter.messages().front().icon, MessageIcon::Exclamation);
    QCOMPARE(sink.lines, (QStringList{"kept 1", "kept 2"}));
    QVERIFY(sink.runStates.empty());
    QCOMPARE(sink.chartRows, -1);
    QVERIFY(!bench.state.capture.hasSnapshot());
}

void TestDbvFullTest::oddAnswers_data() {
    QTest::addColumn<QString>("off");
    QTest::addColumn<QString>("on");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("chartValue");
    QTest::addColumn<QString>("label");
    QTest::newRow("not a number is listed unchanged")
        << "ERR  "
        << "-33.6" << false << "100\tERR  \t-33.6\t33.6" << 33.6 << "100";
    QTest::newRow("leading blanks") << "  0.0"
                                    << " -9.5" << false << "100\t0.0\t-9.5\t9.5" << 9.5 << "100";
    // No answer to "rg;" or "db;": nothing to cut, nothing listed, a difference of 0.
    QTest::newRow("no answers to cut") << ""
                                       << "" << true << "\t\t\t0.0" << 0.0 << "";
}

void TestDbvFullTest::oddAnswers() {
    QFETCH(QString, off);
    QFETCH(QString, on);
    QFETCH(bool, mute);
    DbvBench bench;
    DbvScriptedRadio &radio = bench.useScriptedRadio();
    radio.reading = [off, on](int, bool att) { return att ? on : off; };
    radio.muteReadings = mute;
    RecordingSink sink;
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(test.run({"100", "100", "1"}));
    QTEST(sink.lines.last(), "line");
    QTEST(sink.chartValues.first(), "chartValue");
    QTEST(sink.chartLabels.first(), "label");
    // The step ran to its end: the attenuator is off again.
    QVERIFY(bench.trace.writes().contains("ra00;"));
    QVERIFY(!radio.attenuator);
}

void TestDbvFullTest::kat3MessageOncePerWindow() {
    const QString kat3 =
        "KAT3 Present|KAT3 ATU is present. Recommend it be bypassed for test. "
        "Press and hold ATU Tune on K3.";
    DbvBench bench;
    bench.useScriptedRadio().kat3Active = true;
    RecordingSink sink;
    DbvFullTest full(bench.link, bench.prompter, bench.state, sink);
    DbvQuickTest quick(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(full.run({"100", "100", "1"}));
    quick.run();
    QVERIFY(full.run({"100", "100", "1"}));
    QCOMPARE(bench.prompter.summary().count(kat3), 1);
    QCOMPARE(bench.trace.writes().count("mn023;"), 1);

    // A window loaded again starts with the flag clear.
    bench.state.flags.kat3Checked = false;
    QVERIFY(full.run({"100", "100", "1"}));
    QCOMPARE(bench.prompter.summary().count(kat3), 2);
}

void TestDbvFullTest::resetSendsTheSnapshotAgain() {
    DbvBench bench;
    DbvScriptedRadio &radio = bench.useScriptedRadio();
    RecordingSink sink;
    resetDbvRadio(bench.link, bench.state);  // nothing captured yet: nothing to send
    QVERIFY(bench.trace.writes().isEmpty());
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(test.run({"100", "100", "1"}));
    radio.rfGain = 10;
    radio.preamp = false;
    bench.trace.clear();
    resetDbvRadio(bench.link, bench.state);
    QCOMPARE(bench.trace.writes().mid(0, 10),
             (QStringList{"k22;GT0041;k20;", "AG030;", "RA00;", "PA1;", "RG250;", "MD3;",
                          "FA00014060000;", "k22;FW005030;k20;", "k31;FW0050;k30;", "db00;"}));
    QCOMPARE(radio.rfGain, 250);
    QVERIFY(radio.preamp);
}

void TestDbvFullTest::plan_data() {
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("refGain");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("measured");
    QTest::newRow("defaults") << QStringList{"50", "250", "1"} << 100 << 200 << 201 << 201;
    QTest::newRow("from 0") << QStringList{"0", "250", "1"} << 125 << 250 << 251 << 251;
    QTest::newRow("99.5 to even") << QStringList{"51", "250", "1"} << 100 << 199 << 200 << 200;
    QTest::newRow("98.5 to even") << QStringList{"53", "250", "1"} << 98 << 197 << 198 << 198;
    QTest::newRow("3.5 steps to 4") << QStringList{"50", "57", "2"} << 4 << 4 << 5 << 4;
    QTest::newRow("start equals stop") << QStringList{"120", "120", "3"} << 0 << 0 << 1 << 1;
    QTest::newRow("2.5 increment is 2") << QStringList{"100", "110", "2.5"} << 5 << 5 << 6 << 6;
    QTest::newRow("boxes with blanks") << QStringList{" 100", "10 2", " 1"} << 1 << 2 << 3 << 3;
    QTest::newRow("start above stop") << QStringList{"200", "100", "1"} << -50 << 100 << 101 << 0;
    QTest::newRow("300 measures nothing") << QStringList{"300", "250", "1"} << -25 << 50 << 51 << 0;
}

void TestDbvFullTest::plan() {
    QFETCH(QStringList, boxes);
    const DbvFullTestPlan p = planFullTest(boxes[0], boxes[1], boxes[2]);
    QTEST(p.refGain, "refGain");
    QTEST(p.steps, "steps");
    QTEST(p.chartRows(), "rows");
    QTEST(p.measuredCount(), "measured");
    QCOMPARE(p.sendsReferenceGain(), p.refGain >= 0);
}

QTEST_GUILESS_MAIN(TestDbvFullTest)
#include "tst_dbvfulltest.moc"
