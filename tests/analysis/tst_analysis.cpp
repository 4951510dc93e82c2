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
#include "common/golden.h"
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

// "50:8.0 8.9 53:10": a gain and its difference, the gains after it one apart.
std::vector<GainDiff> gains(const QString &text) {
    std::vector<GainDiff> out;
    int gain = 0;
    for (const QString &t : text.split(u' ', Qt::SkipEmptyParts)) {
        gain = t.contains(u':') ? t.section(u':', 0, 0).toInt() : gain + 1;
        out.push_back({gain, t.section(u':', -1).toDouble()});
    }
    return out;
}

// Readings at grid points: "N*v" N points of v, or "N/lo-hi/slope/floor" a flat 0 dB top over
// lo..hi with skirts of `slope` dB a point down to `floor`; then "i=v" or "a-b=v" set points
// (v nan: the point gives no reading).
std::vector<double> grid(const QString &text) {
    const QStringList t = text.split(u' ');
    const QStringList f = t[0].split(QRegularExpression("[*/]"));
    std::vector<double> db(size_t(f[0].toInt()), f[1].toDouble());
    if (f.size() == 4) {
        const int lo = f[1].section(u'-', 0, 0).toInt(), hi = f[1].section(u'-', 1).toInt();
        for (int i = 0; i < int(db.size()); ++i)
            db[size_t(i)] =
                std::max(f[3].toDouble(), -f[2].toDouble() * std::max({0, lo - i, i - hi}));
    }
    for (const QString &set : t.mid(1)) {
        const QString range = set.section(u'=', 0, 0);
        for (int i = range.section(u'-', 0, 0).toInt(); i <= range.section(u'-', -1).toInt(); ++i)
            db[size_t(i)] = set.section(u'=', 1).toDouble();
    }
    return db;
}

// Runs a planner over readings of `value(index)` (NaN: the point gave no reading); the
// indices handed out, in order, a blank between.
template <typename Value>
QString planned(AdaptivePlanner &planner, Value value) {
    QStringList order;
    while (const std::optional<int> index = planner.next()) {
        order << QString::number(*index);
        const double v = value(*index);
        if (std::isnan(v))
            planner.addUnread(*index);
        else
            planner.addReading(*index, v);
    }
    return order.join(u' ');
}

QString cliPath() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

}  // namespace

class TestAnalysis : public QObject {
    Q_OBJECT

private slots:
    void knownShapes_data() { test::addRows("shapes.tsv", {"shape", "expected"}); }
    void knownShapes();
    void simulatorFilters_data() {
        test::addRows("simfilters.tsv", {"slot", "halfSpan", "step", "width6Text", "width60Text"});
    }
    void simulatorFilters();
    void windowsAndCommandLine();
    void linearRange_data() { test::addRows("linearrange.tsv", {"measured", "expected"}); }
    void linearRange();
    void adaptiveSweepPlanning_data() { test::addRows("sweepplans.tsv", {"db", "expected"}); }
    void adaptiveSweepPlanning();
    void adaptiveGainPlanning_data() {
        test::addRows("gainplans.tsv", {"start", "increment", "tolerance", "diffs", "expected"});
    }
    void adaptiveGainPlanning();

private:
    QTemporaryDir m_dir;
};

void TestAnalysis::knownShapes() {
    QFETCH(QString, shape);
    const QStringList f = shape.split(u' ', Qt::SkipEmptyParts);
    std::vector<SweepPoint> points;
    if (f.size() == 6)
        points = flatTop(f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[3].toDouble(),
                         f[4].toDouble(), f[5].toDouble());
    else
        for (const QString &p : f)
            points.push_back({p.section(u':', 0, 0).toDouble(), p.section(u':', 1).toDouble()});
    QTEST(csv(points), "expected");
}

void TestAnalysis::simulatorFilters() {
    QFETCH(QString, slot);
    QFETCH(QString, halfSpan);
    QFETCH(QString, step);
    QFETCH(QString, width6Text);
    QFETCH(QString, width60Text);
    const double width6 = width6Text.toDouble(), width60 = width60Text.toDouble();
    const FilterFigures f = simulatedSweep(slot.toInt() - 1, halfSpan.toInt(), step.toInt());
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

void TestAnalysis::linearRange() {
    QFETCH(QString, measured);
    QTEST(linearRangeCsvRecord("f", findLinearRange(gains(measured))), "expected");
}

void TestAnalysis::adaptiveSweepPlanning() {
    QFETCH(QString, db);
    const std::vector<double> values = grid(db);
    AdaptiveSweepPlanner planner(int(values.size()));
    QTEST(planned(planner, [&values](int i) { return values[size_t(i)]; }), "expected");
}

void TestAnalysis::adaptiveGainPlanning() {
    QFETCH(QString, start);
    QFETCH(QString, increment);
    QFETCH(QString, tolerance);
    QFETCH(QString, diffs);
    const std::vector<double> values = grid(diffs);
    AdaptiveGainPlanner planner(int(values.size()), start.toInt(), increment.toInt(),
                                tolerance.toDouble());
    QTEST(planned(planner, [&values](int i) { return values[size_t(i)]; }), "expected");
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
