// Charts: the sweep chart's set-up from the sweep's boxes (a table), once per run, the row
// limits; the chart windows drawing the data where it belongs, their image window copying
// it to the clipboard and writing the bitmap.

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <memory>

#include "charts/chartfromfile.h"
#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/picturebox.h"
#include "charts/ui/resultchartview.h"
#include "common/golden.h"
#include "common/scriptedfiledialogs.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The top and bottom rows of the chart's dark blue line within columns x0..x1; -1 if none.
std::pair<int, int> lineSpan(const QImage &image, int x0, int x1) {
    int top = INT_MAX, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(0, x0); x <= std::min(x1, image.width() - 1); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qBlue(p) > 110 && qRed(p) < 90 && qGreen(p) < 90)
                top = std::min(top, y), bottom = y;
        }
    return {bottom < 0 ? -1 : top, bottom};
}

// A chart window with rows 1..20 low and 21..40 high.
struct Bench {
    ScriptedFileDialogs dialogs;
    std::unique_ptr<ResultChartWindow> window;
    QTemporaryDir dir;
    explicit Bench(bool sweep) {
        if (sweep)
            window = std::make_unique<ChartSweepWindow>(dialogs);
        else
            window = std::make_unique<ChartLinearRangeWindow>(dialogs);
        window->resize(900, 600);
        window->show();
        window->chart().setRowCount(40);
        for (int row = 1; row <= 40; ++row) {
            window->chart().setRowValue(row, row <= 20 ? -50.0 : -10.0);
            window->chart().setRowLabel(row, QString::number(row));
        }
        window->chartView().flush();
    }
    QRect plot() { return window->chartView().chart()->plotArea().toRect(); }
    QWidget *openImageWindow() {
        window->findChild<QPushButton *>("cmdSaveFile")->click();
        return window->imageWindow();
    }
};

QImage rgb(const QImage &image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void sweepSetup_data() {
        addRows("sweepsetup.tsv", {"start", "stop", "step", "spacing", "range"});
    }
    void sweepSetup();
    void setupOncePerRunAndRowLimits();
    void dataDrawnWhereItBelongs_data();
    void dataDrawnWhereItBelongs();
    void imageWindowCopiesAndSaves();
    void cancelIsSilentAndWriteFailureIsTold();
    void fileAxis_data() {
        addRows("fileaxis.tsv",
                {"kind", "parameters", "data", "rows", "first", "last", "range", "valued"});
    }
    void fileAxis();
};

void TestCharts::sweepSetup() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    QVERIFY(applySweepSetup(chart, start, stop, step));
    QCOMPARE(chart.xAxisTitle(), QString("K3 Dial Setting (KHz)"));
    const CategoryScale category = chart.xCategoryScale();
    QTEST(category.automatic ? QString("auto")
                             : QStringLiteral("%1 %2")
                                   .arg(category.divisionsPerLabel)
                                   .arg(category.divisionsPerTick),
          "spacing");
    QVERIFY(!chart.xValueScale().automatic);
    QTEST(QStringLiteral("%1 %2")
              .arg(chart.xValueScale().minimum, 0, 'f', 0)
              .arg(chart.xValueScale().maximum, 0, 'f', 0),
          "range");
}

void TestCharts::setupOncePerRunAndRowLimits() {
    // Only a run's first sweep sets the chart up; an empty box there leaves the initial
    // texts and scales for the whole run.
    ResultChart chart;
    applyInitialTexts(chart, ChartWindowKind::Sweep);
    const CategoryScale initial = chart.xCategoryScale();
    QVERIFY(!applySweepSetup(chart, "", "14061", "100"));
    QVERIFY(chart.isSetUp());
    QVERIFY(!applySweepSetup(chart, "7000", "7010", "10"));
    QCOMPARE(chart.xAxisTitle(), QString("K3 Dial Frequency (KHz)"));
    QCOMPARE(chart.xCategoryScale(), initial);
    QVERIFY(chart.xValueScale().automatic);
    chart.reset();  // a new run sets up again
    QVERIFY(applySweepSetup(chart, "7000", "7001", "100"));
    QVERIFY(!applySweepSetup(chart, "14000", "14001", "100"));
    QCOMPARE(chart.xValueScale().minimum, 7000000.0);
    // Rows count from 1 to at most 32767; a new grid forgets the old values.
    chart.setRowValue(1, -20.0);
    for (const auto &[asked, rows] : {std::pair{-5, 0}, {1, 1}, {32767, 32767}, {32768, 32767}}) {
        chart.setRowCount(asked);
        QCOMPARE(chart.rowCount(), rows);
        for (const int row : {0, rows, rows + 1}) chart.setRowValue(row, 1.5);
        QCOMPARE(chart.rowValue(0), std::nullopt);
        QCOMPARE(chart.rowValue(rows), rows > 0 ? std::optional<double>(1.5) : std::nullopt);
        QCOMPARE(chart.rowValue(rows + 1), std::nullopt);
        if (rows > 1) QCOMPARE(chart.rowValue(1), std::nullopt);
    }
}

void TestCharts::dataDrawnWhereItBelongs_data() {
    QTest::addColumn<bool>("sweep");
    QTest::addColumn<bool>("screen");
    QTest::newRow("sweep, image") << true << false;
    QTest::newRow("sweep, screen") << true << true;
    QTest::newRow("linear range, image") << false << false;
}

void TestCharts::dataDrawnWhereItBelongs() {
    QFETCH(bool, sweep);
    QFETCH(bool, screen);
    Bench b(sweep);
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    ResultChartView &view = b.window->chartView();
    view.flush();
    const QImage image = screen ? view.grab().toImage() : view.renderImage(true);
    const QRect plot = b.plot();
    QVERIFY(plot.width() > 300 && plot.height() > 200);
    const int w = plot.width(), middle = plot.center().y();
    QVERIFY(lineSpan(image, plot.left() + w / 10, plot.left() + 4 * w / 10).first >
            middle);  // low half
    const auto high = lineSpan(image, plot.left() + 6 * w / 10, plot.left() + 9 * w / 10);
    QVERIFY(high.first >= 0 && high.second < middle);
    // The step is a near-vertical line between the two halves.
    const auto x = [&](double row) {
        return qRound(view.chart()->mapToPosition(QPointF(row, 0), view.series()).x());
    };
    const auto rise = lineSpan(image, (x(20) + x(21)) / 2 - 2, (x(20) + x(21)) / 2 + 2);
    QVERIFY(rise.first < middle && rise.second > middle);
    if (screen || !sweep) return;
    // The sweep chart's title is drawn above the plot, and only while there is one.
    const auto titlePixels = [&](const QImage &img) {
        int count = 0;
        for (int y = 0; y < plot.top() - 10; ++y)
            for (int px = plot.left() + w / 4; px < plot.left() + 3 * w / 4; ++px)
                count += qGray(img.pixel(px, y)) < 110 && qBlue(img.pixel(px, y)) <= 110;
        return count;
    };
    QVERIFY(titlePixels(image) > 40);
    b.window->chart().setTitle(QString());
    QCOMPARE(titlePixels(view.renderImage(true)), 0);
}

void TestCharts::imageWindowCopiesAndSaves() {
    Bench b(true);
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    QWidget *image = b.openImageWindow();
    QCOMPARE(image->objectName(), QString("frmSaveChart"));
    QCOMPARE(image->windowTitle(), QString("Save Chart to File"));
    const QImage copy = image->findChild<PictureBox *>("Picture1")->picture();
    ResultChartView &view = b.window->chartView();
    // Twice the chart on screen (the size it is saved at), on a solid white backdrop, with
    // the data in it; the same on the clipboard.
    QCOMPARE(copy.size(), view.size() * 2);
    const QRect plot(b.plot().topLeft() * 2, b.plot().size() * 2);
    QCOMPARE(copy.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(copy.pixel(plot.left() + plot.width() / 4, plot.center().y() - 5),
             qRgb(255, 255, 255));
    QVERIFY(lineSpan(copy, plot.left() + plot.width() / 10, plot.left() + plot.width() / 3).first >
            plot.center().y());
    QCOMPARE(rgb(QGuiApplication::clipboard()->image()), rgb(copy));
    // The chart window itself goes back to no backdrop fill.
    QCOMPARE(QColor(view.grab().toImage().pixel(1, 1)), view.palette().color(QPalette::Window));

    const QString target = b.dir.filePath("FilterSweepChart.bmp");
    b.dialogs.answer(target);
    image->findChild<QPushButton *>("cmdSaveFile")->click();
    const FileDialogRequest &request = b.dialogs.requests().front();
    QCOMPARE(QStringList({request.title, request.filterLabel, request.proposedName}),
             QStringList({"Save image as bitmap", "Bitmap files (*.bmp)", "FilterSweepChart"}));
    QVERIFY(request.confirmReplace);
    QCOMPARE(image->findChild<QLineEdit *>("txtFilePath")->text(), target);
    QImageReader reader(target);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    QCOMPARE(rgb(reader.read()), rgb(copy));
}

void TestCharts::cancelIsSilentAndWriteFailureIsTold() {
    Bench b(false);
    QWidget *image = b.openImageWindow();
    auto *path = image->findChild<QLineEdit *>("txtFilePath");
    auto *save = image->findChild<QPushButton *>("cmdSaveFile");
    b.dialogs.cancelNext();
    save->click();
    QVERIFY(path->text().isEmpty());
    QVERIFY(QDir(b.dir.path()).isEmpty());
    // A folder that does not exist, and a folder in the file's place: a message, no file.
    QVERIFY(QDir(b.dir.path()).mkdir("taken.bmp"));
    for (const char *name : {"no/such/folder/DBVLinRange.bmp", "taken.bmp"}) {
        const QString target = b.dir.filePath(name);
        b.dialogs.answer(target);
        save->click();
        QCOMPARE(path->text(), target);
        QVERIFY(!QFileInfo(target).isFile());
    }
    const QList<QMessageBox *> boxes = image->findChildren<QMessageBox *>();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.first()->text(), "cannot write " +
                                        b.dir.filePath("no/such/folder/DBVLinRange.bmp") +
                                        ": No such file or directory");
    QVERIFY(image->isVisible());
    QCOMPARE(b.window->chart().rowCount(), 40);
}

void TestCharts::fileAxis() {
    QFETCH(QString, kind);
    QFETCH(QString, parameters);
    QFETCH(QString, data);
    const bool sweep = kind.endsWith("sweep");
    QStringList lines{sweep ? "K3 Crystal Filter Sweep Results"
                            : "K3 dBV Linear Range Test Results"};
    for (int line = 2; line <= 25; ++line) lines << "Report " + QString::number(line);
    if (kind.startsWith("adaptive")) lines[20] = "Test settings of K3 (adaptive run) ====";
    lines << parameters.split('|') << "===="
          << "heading" << data.split('|');
    const ChartFileResult file = sweep ? parseSweepChartLines(lines) : parseDbvChartLines(lines);
    QVERIFY2(file.data, qPrintable(file.error));
    ResultChart chart;
    applyChartFile(chart, *file.data);
    QTEST(QString::number(chart.rowCount()), "rows");
    QTEST(chart.rowLabel(1), "first");
    QTEST(chart.rowLabel(chart.rowCount()), "last");
    const ValueScale x = chart.xValueScale();
    QTEST(x.automatic
              ? QString("auto")
              : QString::number(x.minimum, 'f', 0) + ' ' + QString::number(x.maximum, 'f', 0),
          "range");
    QStringList valued;
    for (int row = 1; row <= chart.rowCount(); ++row)
        if (chart.rowValue(row)) valued << QString::number(row);
    QTEST(valued.join(' '), "valued");
}

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
