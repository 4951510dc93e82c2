// The chart model and the set-ups the program applies to it: label spacing arithmetic, the
// once-per-run rule and the 16-bit limits.

#include <QTest>

#include "charts/chartsetup.h"
#include "charts/resultchart.h"

using namespace corvane;

class TestChartModel : public QObject {
    Q_OBJECT

private slots:
    void sweepSetup_data();
    void sweepSetup();
    void setupOncePerRun_data();
    void setupOncePerRun();
    void rowCountLimits_data();
    void rowCountLimits();
};

void TestChartModel::sweepSetup_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("perLabel");
    QTest::addColumn<int>("perTick");
    QTest::addColumn<double>("minHz");
    QTest::addColumn<double>("maxHz");
    // Rows per label is the span over the step; per tick half that, both rounded to even.
    QTest::newRow("0.5 per tick to 0") << "14060"
                                       << "14061"
                                       << "100" << false << 1 << 0 << 14060000.0 << 14061000.0;
    QTest::newRow("1.5 per tick to 2") << "14000"
                                       << "14003"
                                       << "100" << false << 3 << 2 << 14000000.0 << 14003000.0;
    QTest::newRow("2.5 to 2, 1.25 to 1") << "7000"
                                         << "7002.5"
                                         << "100" << false << 2 << 1 << 7000000.0 << 7002500.0;
    QTest::newRow("start above stop") << "14061"
                                      << "14060"
                                      << "100" << false << -1 << 0 << 14061000.0 << 14060000.0;
    QTest::newRow("text read from its start")
        << " 14060 kHz"
        << "14061x"
        << "100Hz" << false << 1 << 0 << 14060000.0 << 14061000.0;
    // No spacing that fits 16 bits: the labels stay automatic.
    QTest::newRow("zero step") << "14060"
                               << "14061"
                               << "0" << true << 1 << 1 << 14060000.0 << 14061000.0;
    QTest::newRow("beyond 16 bits") << "0"
                                    << "30000"
                                    << "1" << true << 1 << 1 << 0.0 << 30000000.0;
}

void TestChartModel::sweepSetup() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(bool, automatic);
    QFETCH(int, perLabel);
    QFETCH(int, perTick);
    QFETCH(double, minHz);
    QFETCH(double, maxHz);
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    QVERIFY(applySweepSetup(chart, start, stop, step));
    QCOMPARE(chart.xAxisTitle(), QStringLiteral("K3 Dial Setting (KHz)"));
    const CategoryScale category = chart.xCategoryScale();
    QCOMPARE(category.automatic, automatic);
    QCOMPARE(int(category.divisionsPerLabel), perLabel);
    QCOMPARE(int(category.divisionsPerTick), perTick);
    QVERIFY(!chart.xValueScale().automatic);
    QCOMPARE(chart.xValueScale().minimum, minHz);
    QCOMPARE(chart.xValueScale().maximum, maxHz);
}

void TestChartModel::setupOncePerRun_data() {
    QTest::addColumn<QString>("start");  // the first sweep's boxes; the second's are all filled
    QTest::addColumn<bool>("firstApplies");
    QTest::newRow("first sweep filled") << "14060" << true;
    QTest::newRow("first sweep empty box") << "" << false;
}

void TestChartModel::setupOncePerRun() {
    // Only the run's first sweep sets the chart up; an empty box there leaves the initial
    // texts and scales for the whole run.
    QFETCH(QString, start);
    QFETCH(bool, firstApplies);
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    const CategoryScale initial = chart.xCategoryScale();
    QCOMPARE(applySweepSetup(chart, start, "14061", "100"), firstApplies);
    QVERIFY(chart.isSetUp());
    chart.setRowCount(11);
    chart.setRowValue(1, -20.0);
    QVERIFY(!applySweepSetup(chart, "7000", "7010", "10"));
    chart.setRowCount(1001);  // a new grid for the new sweep
    QCOMPARE(chart.rowValue(1), std::nullopt);
    if (firstApplies) {
        QCOMPARE(int(chart.xCategoryScale().divisionsPerLabel), 1);
        QCOMPARE(chart.xValueScale().minimum, 14060000.0);
    } else {
        QCOMPARE(chart.xAxisTitle(), QStringLiteral("K3 Dial Frequency (KHz)"));
        QCOMPARE(chart.xCategoryScale(), initial);
        QVERIFY(chart.xValueScale().automatic);
    }
    chart.reset();  // a new run sets up again
    QVERIFY(applySweepSetup(chart, "7000", "7001", "100"));
}

void TestChartModel::rowCountLimits_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("rows");
    QTest::newRow("negative") << -5 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("16-bit top") << 32767 << 32767;
    QTest::newRow("past 16 bits") << 32768 << 32767;
}

void TestChartModel::rowCountLimits() {
    QFETCH(int, asked);
    QFETCH(int, rows);
    ResultChart chart;
    chart.setRowCount(asked);
    QCOMPARE(chart.rowCount(), rows);
    // Rows count from 1; the last holds a value, the one past it and row 0 do not exist.
    for (const int row : {0, rows, rows + 1}) chart.setRowValue(row, 1.5);
    QCOMPARE(chart.rowValue(0), std::nullopt);
    QCOMPARE(chart.rowValue(rows), rows > 0 ? std::optional<double>(1.5) : std::nullopt);
    QCOMPARE(chart.rowValue(rows + 1), std::nullopt);
    QCOMPARE(chart.rowCount(), rows);
}

QTEST_GUILESS_MAIN(TestChartModel)
#include "tst_chartmodel.moc"
