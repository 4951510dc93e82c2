// Filter figures: the analyser on synthetic curves of known shape, the simulator's filters
// swept end to end, the figures and markers beside the sweep charts, the overlay window of
// several files, corvane-cli analyze and chart with several files, the linear range on
// literal data and the adaptive planners' points for given responses.

#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "analysis/adaptiveplan.h"
#include "analysis/filterfigures.h"
#include "analysis/linearrange.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/comparesweepswindow.h"
#include "charts/ui/resultchartview.h"
#include "charts/ui/sweepfigures.h"
#include "common/scriptedfiledialogs.h"
#include "common/simruns.h"
#include "measurements/sweepresultsfile.h"

using namespace corvane;

namespace {

// A flat top from `lowEdge` to `highEdge` Hz with straight skirts of `slope` dB per Hz down
// to a flat floor, sampled every `step` Hz over 0..`span`.
std::vector<SweepPoint> flatTop(double lowEdge, double highEdge, double slope, double floor,
                                double span, double step) {
    std::vector<SweepPoint> points;
    for (double hz = 0; hz <= span; hz += step) {
        const double outside = std::max({0.0, lowEdge - hz, hz - highEdge});
        points.push_back({hz, std::max(floor, -slope * outside)});
    }
    return points;
}

QString csv(const std::vector<SweepPoint> &points) {
    const FilterFigures f = analyseSweep(points);
    return figuresCsvRecord("x", f) + u'|' + f.width3.missing + u'|' + f.width60.missing;
}

// The simulator sweeping one of its filters: every `step` Hz across +-`halfSpan` Hz of the
// passband centre; returns the figures of the chart rows.
FilterFigures simulatedSweep(int slot, int halfSpan, int step, QStringList *lines = nullptr) {
    test::SimSweep bench;
    bench.state().selectedSlot = slot;
    // A strong signal at low RF gain: the peak stays under the audio compression and some
    // 70 dB above the audio floor, and the DSP passband is opened wide.
    bench.state().dspBandwidthHz = 20000;
    bench.simulator->generator().levelDbm = -30.0;
    const int centreKHz = 14060;
    bench.simulator->generator().frequencyHz = centreKHz * 1000.0;
    bench.run({QString::number(centreKHz - halfSpan / 1000.0, 'f', 3),
               QString::number(centreKHz + halfSpan / 1000.0, 'f', 3), QString::number(step),
               "37"});
    std::vector<SweepPoint> points;
    for (const test::RecordedRow &row : bench.record.rows)
        points.push_back({(centreKHz * 1000.0 - halfSpan) + (row.row - 1) * step, row.value});
    if (lines) *lines = bench.record.lines;
    return analyseSweep(points);
}

// Gains from `first` on, one apart, with these differences.
std::vector<GainDiff> gains(int first, const std::vector<double> &diffs) {
    std::vector<GainDiff> out;
    for (const double diff : diffs) out.push_back({first++, diff});
    return out;
}

// Runs a planner over readings of `value(index)` (NaN: the point gave no reading); the
// indices handed out, in order.
template <typename Value>
std::vector<int> planned(AdaptivePlanner &planner, Value value) {
    std::vector<int> order;
    while (const std::optional<int> index = planner.next()) {
        order.push_back(*index);
        const double v = value(*index);
        if (std::isnan(v))
            planner.addUnread(*index);
        else
            planner.addReading(*index, v);
    }
    return order;
}

QString cliPath() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

}  // namespace

class TestAnalysis : public QObject {
    Q_OBJECT

private slots:
    void knownShapes_data();
    void knownShapes();
    void simulatorFilters_data();
    void simulatorFilters();
    void windowsAndCommandLine();
    void linearRange_data();
    void linearRange();
    void adaptiveSweepPlanning_data();
    void adaptiveSweepPlanning();
    void adaptiveGainPlanning_data();
    void adaptiveGainPlanning();

private:
    QTemporaryDir m_dir;
};

void TestAnalysis::knownShapes_data() {
    QTest::addColumn<std::vector<SweepPoint>>("points");
    QTest::addColumn<QString>("expected");
    // Edges 1800 and 2800 Hz, 0.07 dB/Hz: -3 dB 42.86 Hz outside each edge, -6 dB 85.71 Hz,
    // -60 dB 857.14 Hz; the sweep's middle is 2500 Hz, the band's centre 2300 Hz.
    QTest::newRow("flat top")
        << flatTop(1800, 2800, 0.07, -80, 5000, 10)
        << "x,0.0,1.800,1085.7,1171.4,2714.3,2.317,2.3000,-200.0,0.00,-80.0||";
    QTest::newRow("floor at -45")
        << flatTop(1800, 2800, 0.07, -45, 5000, 10)
        << "x,0.0,1.800,1085.7,1171.4,,,2.3000,-200.0,0.00,-45.0||above the noise floor";
    QTest::newRow("sweep stops at -40")
        << flatTop(1800, 2800, 0.07, -80, 3371.43, 10)
        << "x,0.0,1.800,1085.7,1171.4,,,2.3000,615.0,0.00,-80.0||below the swept range";
    QTest::newRow("single point")
        << std::vector<SweepPoint>{{14060000, -12.5}}
        << "x,-12.5,14060.000,,,,,,,,-12.5|above the noise floor|above the noise floor";
    QTest::newRow("empty") << std::vector<SweepPoint>{} << "x,,,,,,,,,,||";
}

void TestAnalysis::knownShapes() {
    QFETCH(std::vector<SweepPoint>, points);
    QFETCH(QString, expected);
    QCOMPARE(csv(points), expected);
}

void TestAnalysis::simulatorFilters_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("halfSpan");
    QTest::addColumn<int>("step");
    QTest::addColumn<double>("width6");
    QTest::addColumn<double>("width60");
    QTest::newRow("FL1") << 0 << 3000 << 10 << 2890.0 << 4631.0;
    QTest::newRow("FL2") << 1 << 5000 << 10 << 2912.0 << 8376.0;
    QTest::newRow("FL3") << 2 << 600 << 2 << 400.0 << 843.0;
    QTest::newRow("FL4") << 3 << 600 << 2 << 370.0 << 783.0;
    QTest::newRow("FL5") << 4 << 700 << 2 << 225.0 << 908.0;
}

void TestAnalysis::simulatorFilters() {
    QFETCH(int, slot);
    QFETCH(int, halfSpan);
    QFETCH(int, step);
    QFETCH(double, width6);
    QFETCH(double, width60);
    const FilterFigures f = simulatedSweep(slot, halfSpan, step);
    QVERIFY2(f.width6.widthHz() && f.width60.widthHz(), qPrintable(f.width60.missing));
    QVERIFY2(std::abs(*f.width6.widthHz() / width6 - 1) < 0.03,
             qPrintable(QString::number(*f.width6.widthHz())));
    QVERIFY2(std::abs(*f.width60.widthHz() / width60 - 1) < 0.03,
             qPrintable(QString::number(*f.width60.widthHz())));
    QVERIFY(std::abs(*f.shapeFactor / (width60 / width6) - 1) < 0.03);
}

void TestAnalysis::windowsAndCommandLine() {
    // Two saved sweeps: FL3 and FL5.
    QStringList files;
    for (const int slot : {2, 4}) {
        QStringList lines;
        simulatedSweep(slot, 600, 10, &lines);
        files << m_dir.filePath(QStringLiteral("FL%1.txt").arg(slot + 1));
        QVERIFY(
            writeSweepResultsFile(files.last(), lines, QString(), QDateTime::currentDateTime()));
    }
    const QString dbv = m_dir.filePath("dbv.txt");
    QFile(dbv).open(QIODevice::WriteOnly);

    QProcess cli;
    cli.start(cliPath(), {"analyze", "--csv", files[0], files[1]});
    QVERIFY(cli.waitForFinished(60000));
    const QStringList csvLines =
        QString::fromLatin1(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(csvLines.size(), 3);
    QCOMPARE(csvLines[0], figuresCsvHeader());
    QVERIFY(csvLines[1].startsWith(files[0] + ',') && csvLines[1].count(',') == 10);
    cli.start(cliPath(), {"analyze", files[0], dbv});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(QString::fromLatin1(cli.readAllStandardOutput()).split('\n')[1].startsWith(files[0]));
    QVERIFY(cli.readAllStandardError().contains(
        "is not a filter sweep results file: the file is empty"));
    cli.start(cliPath(), {"chart", files[0], files[1], "-o", m_dir.filePath("overlay.png")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY(!QImage(m_dir.filePath("overlay.png")).isNull());

    // The overlay window: both files to their peaks, legend of file names, a table each.
    test::ScriptedFileDialogs dialogs;
    ScriptedPrompter prompter;
    CompareSweepsWindow overlay(dialogs, &prompter);
    dialogs.answer(files[0]);
    dialogs.answer(files[1]);
    dialogs.answer(dbv);
    for (int i = 0; i < 3; ++i) overlay.findChild<QPushButton *>("cmdAddFile")->click();
    QCOMPARE(overlay.files(), files);
    QCOMPARE(prompter.messages().size(), size_t(1));
    const auto series = overlay.chartView().chart()->series();
    QCOMPARE(series.size(), 2);
    QCOMPARE(series[1]->name(), QString("FL5.txt"));
    const QString table = overlay.findChild<QLabel *>("lblFigures")->text();
    QVERIFY(table.contains("FL3.txt") && table.contains("FL5.txt"));

    // The live sweep chart: figures and markers follow the rows.
    ChartSweepWindow live(dialogs);
    ResultChart &chart = live.chart();
    chart.setRowCount(5);
    const double values[] = {-70, -20, 0, -20, -70};
    for (int row = 1; row <= 5; ++row) {
        chart.setRowLabel(row, QString::number(14060 + row * 0.1, 'f', 1));
        chart.setRowValue(row, values[row - 1]);
    }
    QTRY_VERIFY(live.findChild<QLabel *>("lblFigures")->text().contains("360.0 Hz"));
    int markerPoints = 0;
    for (QAbstractSeries *s : live.chartView().chart()->series())
        if (s != live.chartView().series())
            markerPoints += int(static_cast<QLineSeries *>(s)->count());
    QCOMPARE(markerPoints, 2 + 2 + 2 + 2);
}

void TestAnalysis::linearRange_data() {
    QTest::addColumn<std::vector<GainDiff>>("measured");
    QTest::addColumn<QString>("expected");
    // Compressed at both ends, the attenuator's 10.2 dB in between (median 10.2).
    QTest::newRow("clean") << gains(50,
                                    {8.0, 8.9, 9.4, 10.2, 10.2, 10.2, 10.2, 10.3, 10.2, 9.1, 7.5})
                           << "f,53,58,10.20,11";
    // Median 9.9: 10.4 at 52 stands exactly at the tolerance and counts.
    QTest::newRow("noisy") << gains(50, {8.0, 9.6, 10.4, 9.9, 10.3, 10.0, 9.7, 10.4, 8.5})
                           << "f,51,57,9.90,9";
    // A dip at 54 splits the range: 55..59 is the longer part.
    QTest::newRow("dip inside") << gains(50, {7.0, 10.2, 10.2, 10.2, 8.0, 10.1, 10.1, 10.1, 10.1,
                                              10.1, 6.0})
                                << "f,55,59,10.10,11";
    // Only the median's own gain is within 0.5 dB of it: one gain is not a range.
    QTest::newRow("no linear run") << gains(50, {1.0, 3.0, 5.0, 7.0, 9.0}) << "f,,,5.00,5";
    QTest::newRow("nothing measured") << std::vector<GainDiff>{} << "f,,,,0";
    // An even count: the median is the mean of the middle two (10.5), so all are within.
    QTest::newRow("even count") << gains(50, {10.0, 10.0, 10.0, 11.0, 11.0, 11.0})
                                << "f,50,55,10.50,6";
    // Equal spans: the run with more gains wins, then the lower run.
    QTest::newRow("tie, more gains")
        << std::vector<GainDiff>{{50, 10}, {52, 10}, {53, 3}, {54, 10}, {55, 10}, {56, 10}}
        << "f,54,56,10.00,6";
    QTest::newRow("tie, lower") << gains(50, {10, 10, 3, 10, 10}) << "f,50,51,10.00,5";
    // Widely spaced gains (an adaptive test) weigh by the gains they span, not their count.
    QTest::newRow("sparse") << std::vector<GainDiff>{{100, 10.1}, {50, 10.2},  {101, 10.2},
                                                     {58, 10.2},  {66, 10.3},  {70, 3.0},
                                                     {102, 10.2}, {103, 10.1}, {90, 4.0}}
                            << "f,50,66,10.20,9";
}

void TestAnalysis::linearRange() {
    QFETCH(std::vector<GainDiff>, measured);
    QFETCH(QString, expected);
    QCOMPARE(linearRangeCsvRecord("f", findLinearRange(measured)), expected);
}

namespace {

// A flat 0 dB top over lo..hi with skirts of `slope` dB a grid point down to `floor`.
std::vector<double> trapezoid(int points, int lo, int hi, double slope, double floor) {
    std::vector<double> db;
    for (int i = 0; i < points; ++i)
        db.push_back(std::max(floor, -slope * std::max({0, lo - i, i - hi})));
    return db;
}

// Every `stride`-th index from 0 to `last`.
std::vector<int> every(int stride, int last) {
    std::vector<int> out;
    for (int i = 0; i <= last; i += stride) out.push_back(i);
    return out;
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

void TestAnalysis::adaptiveSweepPlanning_data() {
    QTest::addColumn<std::vector<double>>("db");
    QTest::addColumn<std::vector<int>>("expected");
    // 121 points: every 8th (16 intervals of 8 leave the 8 the coarse pass needs); 300 points:
    // every 16th at most, and the last, which is off the stride; 9 points: every one.
    QTest::newRow("flat, 121") << std::vector<double>(121, -20.0) << every(8, 120);
    QTest::newRow("flat, 300") << std::vector<double>(300, -20.0)
                               << every(16, 288) + std::vector<int>{299};
    QTest::newRow("short") << std::vector<double>(9, 0.0) << every(1, 8);
    // Top 28..36, 2 dB a point: the top's neighbours halved, then 25 and 39 where the line
    // from -8 to -4 crosses -6.
    QTest::newRow("steep skirts") << trapezoid(65, 28, 36, 2, -50)
                                  << every(8, 64) +
                                         std::vector<int>{28, 36, 26, 38, 25, 27, 37, 39};
    // The same with no reading at 28: not asked again; 27 beside it instead, then the line
    // from -8 to -2 dB gives 26 (-3 dB) and 25 (-6 dB).
    std::vector<double> unread = trapezoid(65, 28, 36, 2, -50);
    unread[28] = std::nan("");
    QTest::newRow("no reading") << unread
                                << every(8, 64) + std::vector<int>{28, 36, 27, 38, 26, 25, 37, 39};
    // Top 60..68, 1 dB a point, floor -40: the 12 dB coarse intervals of the skirts halved
    // (24, 40, 88, 104); -6 dB from -12 and -4 at 54 and 74 (the line), 55 and 73; -3 dB from
    // the top halved to 58 and 70, then by the line to 57 and 71.
    QTest::newRow("skirts and edges")
        << trapezoid(129, 60, 68, 1, -40)
        << every(16, 128) +
               std::vector<int>{24, 40, 56, 72, 88, 104, 54, 60, 68, 74, 55, 58, 70, 73, 57, 71};
    // A 0 dB spike at 64 over -20 dB, -30 below 40 (a 10 dB step: left) or -30.5 (halved
    // once to 40: 8 points apart is close enough for a skirt); the spike's sides halved.
    std::vector<double> step(129, -20.0);
    step[64] = 0.0;
    std::fill(step.begin(), step.begin() + 40, -30.0);
    const std::vector<int> spike{56, 72, 60, 68, 62, 66, 63, 65};
    QTest::newRow("10 dB step") << step << every(16, 128) + spike;
    std::fill(step.begin(), step.begin() + 40, -30.5);
    QTest::newRow("10.5 dB step") << step << every(16, 128) + std::vector<int>{40} + spike;
    // -2 dB at 80 is not on the flat top: -3 and -6 dB by the line towards -10 dB at 96 (82
    // and 88, then 81); -60 dB by the line from -70 dB (below 8) to -10 at 16, round by round.
    std::fill(step.begin(), step.end(), -10.0);
    std::fill(step.begin(), step.begin() + 8, -70.0);
    step[64] = 0.0;
    step[80] = -2.0;
    QTest::newRow("shoulder, deep floor")
        << step << every(16, 128) + std::vector<int>{3, 56, 82, 88, 5, 60, 81, 7, 62, 9, 63, 8};
}

void TestAnalysis::adaptiveSweepPlanning() {
    QFETCH(std::vector<double>, db);
    QFETCH(std::vector<int>, expected);
    AdaptiveSweepPlanner planner(int(db.size()));
    QCOMPARE(planned(planner, [&db](int i) { return db[size_t(i)]; }), expected);
}

void TestAnalysis::adaptiveGainPlanning_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("increment");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<std::vector<double>>("diffs");
    QTest::addColumn<std::vector<int>>("expected");
    // Gains 50..250: linear (10.2 dB) from 60 to 200, compressed (5 dB) outside. Every 8th
    // gain; the range 66..194 widened by halving towards the gain outside at each end: 62
    // and 198, 60 and 200, then 59 and 201 outside it.
    std::vector<double> diffs(201, 5.0);
    std::fill(diffs.begin() + 10, diffs.begin() + 151, 10.2);
    QTest::newRow("50..250 by 1") << 50 << 1 << 0.5 << diffs
                                  << every(8, 200) + std::vector<int>{12, 148, 10, 150, 9, 151};
    // Gains 100..200 by 2, tolerance 1 dB: every 4th (51 gains); 9.5 dB from 182 on is
    // within 1 dB of the median 10.2, so only the low end is sought.
    diffs.assign(51, 5.0);
    std::fill(diffs.begin() + 10, diffs.begin() + 41, 10.2);
    std::fill(diffs.begin() + 41, diffs.end(), 9.5);
    QTest::newRow("100..200 by 2")
        << 100 << 2 << 1.0 << diffs << every(4, 48) + std::vector<int>{50, 10, 9};
}

void TestAnalysis::adaptiveGainPlanning() {
    QFETCH(int, start);
    QFETCH(int, increment);
    QFETCH(double, tolerance);
    QFETCH(std::vector<double>, diffs);
    QFETCH(std::vector<int>, expected);
    AdaptiveGainPlanner planner(int(diffs.size()), start, increment, tolerance);
    QCOMPARE(planned(planner, [&diffs](int i) { return diffs[size_t(i)]; }), expected);
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
