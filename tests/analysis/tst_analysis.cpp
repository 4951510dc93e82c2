// Filter figures: the analyser on synthetic curves of known shape, the simulator's filters
// swept end to end, the figures and markers beside the sweep charts, the overlay window of
// several files, and corvane-cli analyze and chart with several files.

#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <random>

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

// Runs a planner over readings of `value(index)`; the indices measured, in order.
template <typename Value>
std::vector<int> planned(AdaptivePlanner &planner, Value value) {
    std::vector<int> order;
    while (const std::optional<int> index = planner.next()) {
        order.push_back(*index);
        planner.addReading(*index, value(*index));
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
    void curvesWithinOneStep();
    void simulatorFilters_data();
    void simulatorFilters();
    void windowsAndCommandLine();
    void linearRange_data();
    void linearRange();
    void adaptiveSweepPlanning();
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

void TestAnalysis::curvesWithinOneStep() {
    // A Gaussian passband (a parabola in dB) 1000 Hz wide at -6 dB: 707.1 Hz at -3 dB and
    // 3162.3 Hz at -60 dB; and the flat top with 0.4 dB of noise. Within one 10 Hz step.
    std::vector<SweepPoint> gauss;
    for (double hz = 0; hz <= 6000; hz += 10)
        gauss.push_back({hz, -2.4e-5 * (hz - 3003) * (hz - 3003)});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-0.2, 0.2);
    std::vector<SweepPoint> noisy = flatTop(1800, 2800, 0.07, -80, 5000, 10);
    for (SweepPoint &p : noisy) p.db += noise(random);
    const struct {
        std::vector<SweepPoint> points;
        double width3, width6, width60;
    } cases[] = {{gauss, 707.1, 1000.0, 3162.3}, {noisy, 1085.7, 1171.4, 2714.3}};
    for (const auto &c : cases) {
        const FilterFigures f = analyseSweep(c.points);
        QVERIFY(std::abs(*f.width3.widthHz() - c.width3) <= 10);
        QVERIFY(std::abs(*f.width6.widthHz() - c.width6) <= 10);
        QVERIFY(std::abs(*f.width60.widthHz() - c.width60) <= 10);
    }
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

void TestAnalysis::adaptiveSweepPlanning() {
    // 121 points: flat 0 dB over 40..80, skirts of 2.5 dB a point down to a -70 dB floor.
    // Going out from the top the first points at or below -3, -6 and -60 dB are 38, 37 and 16
    // (and 82, 83, 104): each crossing ends up between two neighbouring measured points.
    const auto db = [](int i) { return std::max(-70.0, -2.5 * std::max({0, 40 - i, i - 80})); };
    AdaptiveSweepPlanner planner(121);
    const std::vector<int> order = planned(planner, db);
    const std::map<int, double> &measured = planner.readings();
    QCOMPARE(int(measured.size()), int(order.size()));  // nothing measured twice
    QCOMPARE(std::vector<int>(order.begin(), order.begin() + 3), (std::vector<int>{0, 8, 16}));
    for (const int index : {16, 17, 37, 38, 39, 81, 82, 83, 103, 104})
        QVERIFY2(measured.count(index), qPrintable(QString::number(index)));
    QVERIFY(order.size() <= 48);  // at most 40 % of the grid

    // A flat response: the coarse pass (every 8th point and the last) and nothing more.
    AdaptiveSweepPlanner flat(121);
    QCOMPARE(planned(flat, [](int) { return -20.0; }).size(), size_t(16));
    // A short grid is measured whole.
    AdaptiveSweepPlanner shortGrid(9);
    QCOMPARE(planned(shortGrid, [](int) { return 0.0; }).size(), size_t(9));
}

void TestAnalysis::adaptiveGainPlanning() {
    // Gains 50..250: linear (10.2 dB) from 60 to 200, compressed (5 dB) outside.
    const auto diff = [](int i) { return i >= 10 && i <= 150 ? 10.2 : 5.0; };
    AdaptiveGainPlanner planner(201, 50, 1, 0.5);
    planned(planner, diff);
    const std::map<int, double> &measured = planner.readings();
    for (const int index : {9, 10, 150, 151})
        QVERIFY2(measured.count(index), qPrintable(QString::number(index)));
    QVERIFY(measured.size() <= 50);  // at most 25 % of the gains
    std::vector<GainDiff> found;
    for (const auto &[index, d] : measured) found.push_back({50 + index, d});
    QCOMPARE(linearRangeCsvRecord("f", findLinearRange(found)).section(u',', 1, 2), "60,200");
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
