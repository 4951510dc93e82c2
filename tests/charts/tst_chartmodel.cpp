// The chart model, the set-ups the program applies to it and the axis spacing arithmetic.

#include "charts/axisspacing.h"
#include "charts/chartsetup.h"
#include "charts/resultchart.h"

#include <QSignalSpy>
#include <QTest>

using namespace corvane;

class TestChartModel : public QObject {
    Q_OBJECT

private slots:
    void sweepSetup_data();
    void sweepSetup();
    void emptyBoxKeepsInitialTextsForTheRun_data();
    void emptyBoxKeepsInitialTextsForTheRun();
    void secondSweepRefillsButKeepsFirstSpacing();
    void rowCountLimits_data();
    void rowCountLimits();
    void rowsOutsideTheChartAreIgnored();
    void resizingStartsAnEmptyGrid();
    void linearRangePresentation();
    void initialTexts_data();
    void initialTexts();
    void resetGivesANewChart();
    void niceRange_data();
    void niceRange();
    void labelStep_data();
    void labelStep();
    void tickStep_data();
    void tickStep();
};

void TestChartModel::sweepSetup_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("perLabel");
    QTest::addColumn<int>("perTick");
    QTest::addColumn<double>("minHz");
    QTest::addColumn<double>("maxHz");

    // 1000 Hz / 100 Hz: 1 row per label, 0.5 per tick rounds to the even 0.
    QTest::newRow("14060-14061 by 100") << "14060"
                                        << "14061"
                                        << "100" << false << 1 << 0 << 14060000.0 << 14061000.0;
    // 1.5 rounds up to the even 2.
    QTest::newRow("half rounds up to even") << "14000"
                                            << "14003"
                                            << "100" << false << 3 << 2 << 14000000.0 << 14003000.0;
    // 2.5 rounds down to the even 2, 1.25 to 1.
    QTest::newRow("half rounds down to even") << "7000"
                                              << "7002.5"
                                              << "100" << false << 2 << 1 << 7000000.0 << 7002500.0;
    QTest::newRow("fraction in start") << "14060.5"
                                       << "14061"
                                       << "50" << false << 1 << 0 << 14060500.0 << 14061000.0;
    QTest::newRow("start above stop") << "14061"
                                      << "14060"
                                      << "100" << false << -1 << 0 << 14061000.0 << 14060000.0;
    QTest::newRow("text read from its start")
        << " 14060 kHz"
        << "14061x"
        << "100Hz" << false << 1 << 0 << 14060000.0 << 14061000.0;
    // A zero step gives no spacing that fits 16 bits: the labels stay automatic.
    QTest::newRow("zero step") << "14060"
                               << "14061"
                               << "0" << true << 1 << 1 << 14060000.0 << 14061000.0;
    QTest::newRow("spacing beyond 16 bits") << "0"
                                            << "30000"
                                            << "1" << true << 1 << 1 << 0.0 << 30000000.0;
}

void TestChartModel::sweepSetup()
{
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

    QCOMPARE(chart.kind(), ChartKind::Line2D);
    QCOMPARE(chart.title(), QStringLiteral("K3 Filter Sweep Results"));
    QCOMPARE(chart.xAxisTitle(), QStringLiteral("K3 Dial Setting (KHz)"));
    QCOMPARE(chart.yAxisTitle(), QStringLiteral("Audio Response K3 dBV Function (dB)"));
    const CategoryScale category = chart.xCategoryScale();
    QVERIFY(category.labelTick);
    QCOMPARE(category.automatic, automatic);
    QCOMPARE(int(category.divisionsPerLabel), perLabel);
    QCOMPARE(int(category.divisionsPerTick), perTick);
    const ValueScale value = chart.xValueScale();
    QVERIFY(!value.automatic);
    QCOMPARE(value.minimum, minHz);
    QCOMPARE(value.maximum, maxHz);
}

void TestChartModel::emptyBoxKeepsInitialTextsForTheRun_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::newRow("all empty") << ""
                               << ""
                               << "";
    QTest::newRow("start empty") << ""
                                 << "14061"
                                 << "100";
    QTest::newRow("stop empty") << "14060"
                                << ""
                                << "100";
    QTest::newRow("step empty") << "14060"
                                << "14061"
                                << "";
}

void TestChartModel::emptyBoxKeepsInitialTextsForTheRun()
{
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);

    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    const CategoryScale initialScale = chart.xCategoryScale();
    QVERIFY(!applySweepSetup(chart, start, stop, step));
    QVERIFY(chart.isSetUp());
    // A later sweep with every box filled does not get the set-up either.
    QVERIFY(!applySweepSetup(chart, "14060", "14061", "100"));

    QCOMPARE(chart.title(), QStringLiteral("K3 Filter Sweep Results"));
    QCOMPARE(chart.xAxisTitle(), QStringLiteral("K3 Dial Frequency (KHz)"));
    QCOMPARE(chart.yAxisTitle(), QStringLiteral("Audio Response K3 dBV Function (dB)"));
    QCOMPARE(chart.xCategoryScale(), initialScale);
    QVERIFY(chart.xValueScale().automatic);
}

void TestChartModel::secondSweepRefillsButKeepsFirstSpacing()
{
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    QVERIFY(applySweepSetup(chart, "14060", "14061", "100"));
    chart.setRowCount(11);
    for (int row = 1; row <= 11; ++row) chart.setRowValue(row, -20.0 - row);

    QVERIFY(!applySweepSetup(chart, "7000", "7010", "10"));
    chart.setRowCount(1001);
    for (int row = 1; row <= 1001; ++row) {
        chart.setRowValue(row, -50.0);
        chart.setRowLabel(row, QString::number(7000.0 + (row - 1) * 0.01));
    }

    QCOMPARE(chart.rowCount(), 1001);
    QCOMPARE(chart.rowValue(1), std::optional<double>(-50.0));
    QCOMPARE(chart.rowLabel(1001), QStringLiteral("7010"));
    QCOMPARE(int(chart.xCategoryScale().divisionsPerLabel), 1);
    QCOMPARE(int(chart.xCategoryScale().divisionsPerTick), 0);
    QCOMPARE(chart.xValueScale().minimum, 14060000.0);
    QCOMPARE(chart.xValueScale().maximum, 14061000.0);
}

void TestChartModel::rowCountLimits_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("rows");
    QTest::newRow("negative") << -5 << 0;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("16-bit top") << 32767 << 32767;
    QTest::newRow("past 16 bits") << 32768 << 32767;
    QTest::newRow("far past") << 100000 << 32767;
}

void TestChartModel::rowCountLimits()
{
    QFETCH(int, asked);
    QFETCH(int, rows);
    ResultChart chart;
    chart.setRowCount(asked);
    QCOMPARE(chart.rowCount(), rows);
    // The last row holds a value; the one past it does not exist.
    chart.setRowValue(rows, 1.5);
    chart.setRowValue(rows + 1, 2.5);
    QCOMPARE(chart.rowValue(rows), rows > 0 ? std::optional<double>(1.5) : std::nullopt);
    QCOMPARE(chart.rowValue(rows + 1), std::nullopt);
}

void TestChartModel::rowsOutsideTheChartAreIgnored()
{
    ResultChart chart;
    chart.setRowCount(3);
    QSignalSpy values(&chart, &ResultChart::rowValueChanged);
    QSignalSpy labels(&chart, &ResultChart::rowLabelChanged);
    for (const int row : {-1, 0, 4, 40000}) {
        chart.setRowValue(row, 7.0);
        chart.setRowLabel(row, QStringLiteral("x"));
    }
    QCOMPARE(values.count(), 0);
    QCOMPARE(labels.count(), 0);
    QCOMPARE(chart.rowCount(), 3);
    QCOMPARE(chart.rowLabel(4), QString());

    // Unset rows stay unset, not zero.
    chart.setRowValue(2, 0.0);
    chart.setRowLabel(2, QStringLiteral("052"));
    QCOMPARE(chart.rowValue(1), std::nullopt);
    QCOMPARE(chart.rowValue(2), std::optional<double>(0.0));
    QCOMPARE(chart.rowValue(3), std::nullopt);
    QCOMPARE(chart.rowLabel(2), QStringLiteral("052"));
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toInt(), 2);
}

void TestChartModel::resizingStartsAnEmptyGrid()
{
    ResultChart chart;
    chart.setRowCount(5);
    for (int row = 1; row <= 5; ++row) {
        chart.setRowValue(row, row);
        chart.setRowLabel(row, QString::number(row));
    }
    QSignalSpy resized(&chart, &ResultChart::rowCountChanged);
    chart.setRowCount(5);
    QCOMPARE(resized.count(), 1);
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(chart.rowValue(row), std::nullopt);
        QCOMPARE(chart.rowLabel(row), QString());
    }
}

void TestChartModel::linearRangePresentation()
{
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::LinearRange);
    chart.setXCategoryScale(CategoryScale{false, false, 4, 2});
    chart.setXValueScale(ValueScale{false, 1.0, 2.0});
    applyLinearRangePresentation(chart);
    QCOMPARE(chart.kind(), ChartKind::Line2D);
    QCOMPARE(chart.title(), QStringLiteral("K3 DBV Function Linear Range"));
    QCOMPARE(chart.xAxisTitle(), QStringLiteral("RF Gain Setting"));
    QCOMPARE(chart.yAxisTitle(), QStringLiteral("DBV Difference (dB)"));
    QVERIFY(chart.xCategoryScale().labelTick);
    QVERIFY(chart.xCategoryScale().automatic);
    QVERIFY(chart.xValueScale().automatic);

    // The file reader's pieces give the same result.
    ResultChart fromFile;
    applyLinearRangeTexts(fromFile);
    applyAutomaticScales(fromFile);
    QCOMPARE(fromFile.title(), chart.title());
    QCOMPARE(fromFile.xCategoryScale().labelTick, true);

    ResultChart sweepFile;
    applyInitialTexts(sweepFile, ChartWindowKind::SweepFile);
    applySweepFileTexts(sweepFile);
    applySweepScales(sweepFile, sweepSpacing("14060", "14061", "100"));
    QCOMPARE(sweepFile.title(), QStringLiteral("K3 Filter Sweep Chart"));
    QCOMPARE(sweepFile.xAxisTitle(), QStringLiteral("K3 Dial Setting (KHz)"));
    QCOMPARE(int(sweepFile.xCategoryScale().divisionsPerLabel), 1);
    QVERIFY(!sweepFile.isSetUp());
}

void TestChartModel::initialTexts_data()
{
    QTest::addColumn<ChartWindowKind>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("xTitle");
    QTest::addColumn<QString>("yTitle");
    QTest::newRow("sweep") << ChartWindowKind::Sweep << "K3 Filter Sweep Results"
                           << "K3 Dial Frequency (KHz)"
                           << "Audio Response K3 dBV Function (dB)";
    QTest::newRow("linear range") << ChartWindowKind::LinearRange << ""
                                  << "K3 RF Gain Setting"
                                  << "K3 dBV Response, dB";
    QTest::newRow("sweep file") << ChartWindowKind::SweepFile << ""
                                << "K3 Dial Setting, kHz"
                                << "Audio Response K3 dBV Function, dB ";
    QTest::newRow("dBV file") << ChartWindowKind::DbvFile << ""
                              << "K3 RF Gain Setting"
                              << "Audio Response K3 dBV Function, dB";
}

void TestChartModel::initialTexts()
{
    QFETCH(ChartWindowKind, kind);
    QFETCH(QString, title);
    QFETCH(QString, xTitle);
    QFETCH(QString, yTitle);
    ResultChart chart;
    chart.setTitle(QStringLiteral("left over"));
    applyInitialTexts(chart, kind);
    QCOMPARE(chart.title(), title);
    QCOMPARE(chart.xAxisTitle(), xTitle);
    QCOMPARE(chart.yAxisTitle(), yTitle);
}

void TestChartModel::resetGivesANewChart()
{
    ResultChart chart;
    QVERIFY(applySweepSetup(chart, "14060", "14061", "100"));
    chart.setRowCount(11);
    chart.setRowValue(1, -3.0);
    chart.reset();
    QVERIFY(!chart.isSetUp());
    QCOMPARE(chart.rowCount(), 0);
    QCOMPARE(chart.title(), QString());
    QCOMPARE(chart.xCategoryScale(), CategoryScale());
    QCOMPARE(chart.xValueScale(), ValueScale());
    QVERIFY(applySweepSetup(chart, "7000", "7001", "100"));
}

void TestChartModel::niceRange_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("maxSteps");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("decimals");
    QTest::newRow("sweep readings") << -61.2 << -9.1 << 8 << -70.0 << 0.0 << 10.0 << 0;
    QTest::newRow("fewer steps") << -61.2 << -9.1 << 6 << -80.0 << 0.0 << 20.0 << 0;
    QTest::newRow("two steps") << -61.2 << -9.1 << 2 << -100.0 << 0.0 << 50.0 << 0;
    QTest::newRow("differences") << -18.0 << 10.05 << 8 << -20.0 << 15.0 << 5.0 << 0;
    QTest::newRow("small span") << 10.0 << 10.2 << 6 << 10.0 << 10.2 << 0.05 << 2;
    QTest::newRow("quarter steps") << 0.0 << 1.4 << 6 << 0.0 << 1.5 << 0.25 << 2;
    QTest::newRow("one value") << 10.0 << 10.0 << 6 << 9.0 << 11.0 << 0.5 << 1;
    QTest::newRow("reversed") << 5.0 << -5.0 << 5 << -5.0 << 5.0 << 2.5 << 1;
}

void TestChartModel::niceRange()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, maxSteps);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, step);
    QFETCH(int, decimals);
    const NiceRange r = corvane::niceRange(minimum, maximum, maxSteps);
    QCOMPARE(r.low, low);
    QCOMPARE(r.high, high);
    QCOMPARE(r.step, step);
    QCOMPARE(r.decimals, decimals);
    QVERIFY((r.high - r.low) / r.step <= maxSteps + 1e-9);
}

void TestChartModel::labelStep_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("perLabel");
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("plotWidth");
    QTest::addColumn<double>("labelWidth");
    QTest::addColumn<int>("step");
    QTest::newRow("every row fits") << false << 1 << 11 << 700.0 << 50.0 << 1;
    QTest::newRow("narrow plot widens to 3") << false << 1 << 11 << 300.0 << 50.0 << 3;
    QTest::newRow("30 rows fit") << false << 30 << 301 << 710.0 << 50.0 << 30;
    QTest::newRow("multiple of 30") << false << 30 << 301 << 400.0 << 50.0 << 90;
    QTest::newRow("automatic 1-2-5") << true << 1 << 201 << 800.0 << 30.0 << 20;
    QTest::newRow("zero spacing is automatic") << false << 0 << 201 << 800.0 << 30.0 << 20;
    QTest::newRow("negative spacing is automatic") << false << -1 << 11 << 700.0 << 50.0 << 1;
    QTest::newRow("no rows") << false << 5 << 0 << 700.0 << 50.0 << 1;
    QTest::newRow("not laid out") << true << 1 << 100 << 0.0 << 50.0 << 1;
    QTest::newRow("labels wider than the plot") << false << 2 << 5 << 100.0 << 200.0 << 6;
    QTest::newRow("32767 rows") << true << 1 << 32767 << 900.0 << 50.0 << 5000;
}

void TestChartModel::labelStep()
{
    QFETCH(bool, automatic);
    QFETCH(int, perLabel);
    QFETCH(int, rows);
    QFETCH(double, plotWidth);
    QFETCH(double, labelWidth);
    QFETCH(int, step);
    const CategoryScale scale{automatic, true, static_cast<int16_t>(perLabel), 1};
    QCOMPARE(corvane::labelStep(scale, rows, plotWidth, labelWidth), step);
}

void TestChartModel::tickStep_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("perTick");
    QTest::addColumn<int>("labelStep");
    QTest::addColumn<double>("pxPerRow");
    QTest::addColumn<int>("step");
    QTest::newRow("automatic fifths") << true << 1 << 20 << 4.0 << 4;
    QTest::newRow("automatic halves when crowded") << true << 1 << 20 << 0.5 << 10;
    QTest::newRow("automatic, no divisor") << true << 1 << 3 << 40.0 << 3;
    QTest::newRow("zero: at labels only") << false << 0 << 30 << 2.0 << 30;
    QTest::newRow("label on every row") << false << 0 << 1 << 60.0 << 1;
    QTest::newRow("half the labels") << false << 15 << 30 << 2.36 << 15;
    QTest::newRow("divides a widened step") << false << 15 << 90 << 1.33 << 15;
    QTest::newRow("next divisor") << false << 7 << 30 << 10.0 << 10;
    QTest::newRow("too close: at labels") << false << 1 << 10 << 0.5 << 10;
    QTest::newRow("wider than labels") << false << 50 << 30 << 2.0 << 30;
}

void TestChartModel::tickStep()
{
    QFETCH(bool, automatic);
    QFETCH(int, perTick);
    QFETCH(int, labelStep);
    QFETCH(double, pxPerRow);
    QFETCH(int, step);
    const CategoryScale scale{automatic, true, 1, static_cast<int16_t>(perTick)};
    constexpr double kMinGapPx = 5.0;
    QCOMPARE(corvane::tickStep(scale, labelStep, pxPerRow, kMinGapPx), step);
}

QTEST_GUILESS_MAIN(TestChartModel)
#include "tst_chartmodel.moc"
