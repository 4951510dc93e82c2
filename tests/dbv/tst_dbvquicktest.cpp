// The quick dBV test on a scripted K3 and a virtual clock: its set-up, the seven-step
// half-interval search with the gains it chooses, the unformatted list lines, and that it
// neither yields nor touches the chart.

#include <QMap>
#include <QtTest>

#include "dbvbench.h"
#include "measurements/dbvquick.h"

using namespace corvane;
using namespace corvane::test;

using DiffByGain = QMap<int, double>;

namespace {

// Readings that give the chosen difference at each gain (10 dB attenuator when linear).
std::function<QString(int, bool)> differences(DiffByGain diffByGain, double otherwise = 10) {
    return [diffByGain, otherwise](int gain, bool att) {
        const double diff = diffByGain.value(gain, otherwise);
        return QString::number(att ? -20.0 - diff : -20.0, 'f', 1);
    };
}

// The gains set during the search (the "rgNNN;" writes after the dBV readout is selected).
QList<int> searchedGains(const LinkTrace &trace) {
    QList<int> gains;
    bool searching = false;
    for (const QString &w : trace.writes()) {
        if (w == "db11;") searching = true;
        if (searching && w.size() == 6 && w.startsWith("rg")) gains << w.mid(2, 3).toInt();
    }
    return gains;
}

}  // namespace

class TestDbvQuickTest : public QObject {
    Q_OBJECT

private slots:
    void setUpListAndEnd();
    void search_data();
    void search();
};

void TestDbvQuickTest::setUpListAndEnd() {
    DbvBench bench;
    DbvScriptedRadio &radio = bench.useScriptedRadio();
    radio.reading = differences({});
    RecordingSink sink;
    sink.lines << "report of an earlier full test";
    sink.prepareChart(3);
    sink.setChartRow(1, 10.1, "100");
    DbvQuickTest test(bench.link, bench.prompter, bench.state, sink);
    test.run();

    // Snapshot only (no "id;", no identity), the configuration, then the AFV reference with
    // no gain set before it.
    const QStringList writes = bench.trace.writes();
    QCOMPARE(writes.mid(0, 10), (QStringList{"ag;", "k22;gt;k20;", "ra;", "pa;", "rg;", "md;",
                                             "k22;pc;k20;", "fa;", "k31;fw;k30;", "k22;fw;k20;"}));
    QVERIFY(!writes.contains("id;"));
    QVERIFY(!writes.contains("mn026;"));
    const int preampOff = writes.indexOf("pa0;");
    QCOMPARE(writes.mid(preampOff, 5),
             (QStringList{"pa0;", "k31;swt08;k30;", "db10;", "k22;gt;k20;", "db11;"}));
    QCOMPARE(writes.at(preampOff + 5), QString("rg125;"));

    QCOMPARE(
        sink.lines,
        (QStringList{"==============Half-Interval Search Results===================",
                     "RF Gain\tdBV 1\tdBV 2\tDiff", "125\t-20.0\t-30.0\t10",
                     "187\t-20.0\t-30.0\t10", "218\t-20.0\t-30.0\t10", "234\t-20.0\t-30.0\t10",
                     "242\t-20.0\t-30.0\t10", "246\t-20.0\t-30.0\t10", "248\t-20.0\t-30.0\t10"}));
    QCOMPARE(sink.selectLastCalls, 7);
    // The chart of the earlier full test is left alone.
    QCOMPARE(sink.chartRows, 3);
    QCOMPARE(sink.chartLabels.first(), QString("100"));
    QVERIFY(!sink.chartFinished);

    // Nothing yields: the quick test cannot be interrupted.
    QCOMPARE(bench.clock.yieldCount(), 0);
    QVERIFY(!bench.trace.lines().contains("Y"));

    // The message comes before the buttons return, the restore after both.
    QCOMPARE(sink.runStates, (std::vector<DbvRunKind>{DbvRunKind::QuickTest, DbvRunKind::Idle}));
    const QStringList trace = bench.trace.lines();
    const int message =
        trace.indexOf("M Quick Test Status|Quick Test is complete. Check results in Listbox.");
    QVERIFY(message > 0);
    QCOMPARE(trace.mid(message - 2, 2), (QStringList{"W ra00;", "S 100"}));
    QCOMPARE(trace.at(message + 1), QString("W k22;GT0041;k20;"));
    QCOMPARE(bench.prompter.messages().back().icon, MessageIcon::Information);

    QCOMPARE(sink.progressReports.size(), size_t(8));
    QCOMPARE(sink.progressReports[0].total, 7);
    QCOMPARE(sink.progressReports[0].msLeft, qint64(7) * 10500);
    QCOMPARE(sink.progressReports[6].step, 7);
    QCOMPARE(sink.progressReports[7].step, 0);

    QCOMPARE(radio.rfGain, 250);
    QVERIFY(radio.preamp);
    QVERIFY(!radio.techMode);
    QCOMPARE(radio.vfoBReadout, 0);
}

void TestDbvQuickTest::search_data() {
    QTest::addColumn<DiffByGain>("diffs");
    QTest::addColumn<QList<int>>("gains");
    QTest::newRow("every difference 10 or more")
        << DiffByGain{} << QList<int>{125, 187, 218, 234, 242, 246, 248};
    QTest::newRow("below 10 and falling")
        << DiffByGain{{125, 9}, {63, 8}, {94, 7}, {78, 6}, {86, 5}, {82, 4}, {84, 3}}
        << QList<int>{125, 63, 94, 78, 86, 82, 84};
    QTest::newRow("fell while rising, then linear")
        << DiffByGain{{125, 10.1}, {187, 9.2}, {156, 10.0}}
        << QList<int>{125, 187, 156, 172, 180, 184, 186};
    // An unchanged difference below 10 keeps the gain for as long as it stays below 10.
    QTest::newRow("equal difference keeps the gain")
        << DiffByGain{{125, 9}, {63, 8}, {94, 8}} << QList<int>{125, 63, 94, 94, 94, 94, 94};
    QTest::newRow("rose while falling turns down") << DiffByGain{{125, 12}, {187, 8}, {156, 9}}
                                                   << QList<int>{125, 187, 156, 140, 148, 152, 154};
    QTest::newRow("rose while rising goes on up")
        << DiffByGain{{125, 9}, {63, 8}, {94, 8.5}, {110, 8.7}, {118, 9.5}, {122, 9.8}}
        << QList<int>{125, 63, 94, 110, 118, 122, 124};
}

void TestDbvQuickTest::search() {
    QFETCH(DiffByGain, diffs);
    DbvBench bench;
    bench.useScriptedRadio().reading = differences(diffs);
    RecordingSink sink;
    DbvQuickTest test(bench.link, bench.prompter, bench.state, sink);
    test.run();
    QTEST(searchedGains(bench.trace), "gains");
    QCOMPARE(sink.lines.size(), 9);
}

QTEST_GUILESS_MAIN(TestDbvQuickTest)
#include "tst_dbvquicktest.moc"
