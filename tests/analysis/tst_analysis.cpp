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

#include "analysis/filterfigures.h"
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
        "This is not a filter sweep results file: the file is empty"));
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

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
