// The chart windows and their image windows, offscreen: what is drawn where, what the image
// window copies to the clipboard and writes.

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <memory>

#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/picturebox.h"
#include "charts/ui/resultchartview.h"
#include "common/scriptedfiledialogs.h"

using namespace corvane;
using corvane::test::ScriptedFileDialogs;

namespace {

// The chart's line is dark blue; antialiased edges are lighter but still blue.
bool isLinePixel(QRgb p) {
    return qBlue(p) > 110 && qRed(p) < 90 && qGreen(p) < 90;
}

struct Span {
    int top = INT_MAX, bottom = -1, count = 0;
};

// Where the line's pixels are within the columns x0..x1.
Span lineSpan(const QImage &image, int x0, int x1) {
    Span span;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(0, x0); x <= std::min(x1, image.width() - 1); ++x) {
            if (!isLinePixel(image.pixel(x, y))) continue;
            span.top = std::min(span.top, y);
            span.bottom = std::max(span.bottom, y);
            ++span.count;
        }
    }
    return span;
}

// Dark text pixels above the plot, over its middle half.
int titlePixels(const QImage &image, const QRect &plot) {
    int count = 0;
    for (int y = 0; y < plot.top() - 10; ++y)
        for (int x = plot.left() + plot.width() / 4; x < plot.left() + 3 * plot.width() / 4; ++x)
            count += qGray(image.pixel(x, y)) < 110 && !isLinePixel(image.pixel(x, y));
    return count;
}

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
        // Rows 1..20 low, 21..40 high.
        window->chart().setRowCount(40);
        for (int row = 1; row <= 40; ++row) {
            window->chart().setRowValue(row, row <= 20 ? -50.0 : -10.0);
            window->chart().setRowLabel(row, QString::number(row));
        }
        view().flush();
    }
    ResultChartView &view() { return window->chartView(); }
    QRect plot() { return view().chart()->plotArea().toRect(); }
    int xOfRow(double row) {
        return qRound(view().chart()->mapToPosition(QPointF(row, 0), view().series()).x());
    }
    QWidget *openImageWindow() {
        window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
        return window->imageWindow();
    }
};

QImage rgb(const QImage &image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestChartWindows : public QObject {
    Q_OBJECT

private slots:
    void stepIsDrawnWhereTheDataSays_data();
    void stepIsDrawnWhereTheDataSays();
    void titleIsDrawn();
    void imageWindowCopiesOnSolidBackdrop();
    void saveWritesTheBitmap();
    void cancelAndWriteFailureAreSilent();
};

void TestChartWindows::stepIsDrawnWhereTheDataSays_data() {
    QTest::addColumn<bool>("sweep");
    QTest::addColumn<bool>("screen");
    QTest::newRow("sweep, image") << true << false;
    QTest::newRow("sweep, screen") << true << true;
    QTest::newRow("linear range, image") << false << false;
}

void TestChartWindows::stepIsDrawnWhereTheDataSays() {
    QFETCH(bool, sweep);
    QFETCH(bool, screen);
    Bench b(sweep);
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    b.view().flush();
    const QImage image = screen ? b.view().grab().toImage() : b.view().renderImage(true);
    const QRect plot = b.plot();
    QVERIFY(plot.width() > 300 && plot.height() > 200);
    const int w = plot.width(), middle = plot.center().y();
    const Span low = lineSpan(image, plot.left() + w / 10, plot.left() + 4 * w / 10);
    const Span high = lineSpan(image, plot.left() + 6 * w / 10, plot.left() + 9 * w / 10);
    QVERIFY(low.count > 0 && high.count > 0);
    QVERIFY2(low.top > middle, qPrintable(QString::number(low.top)));
    QVERIFY2(high.bottom < middle, qPrintable(QString::number(high.bottom)));
    // The step itself is a near-vertical line between the two halves.
    const int stepX = (b.xOfRow(20) + b.xOfRow(21)) / 2;
    const Span rise = lineSpan(image, stepX - 2, stepX + 2);
    QVERIFY(rise.top < middle && rise.bottom > middle);
}

void TestChartWindows::titleIsDrawn() {
    Bench b(true);
    QVERIFY(titlePixels(b.view().renderImage(true), b.plot()) > 40);
    b.window->chart().setTitle(QString());
    QCOMPARE(titlePixels(b.view().renderImage(true), b.plot()), 0);
}

void TestChartWindows::imageWindowCopiesOnSolidBackdrop() {
    Bench b(true);
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    QWidget *image = b.openImageWindow();
    QCOMPARE(image->objectName(), QStringLiteral("frmSaveChart"));
    QCOMPARE(image->windowTitle(), QStringLiteral("Save Chart to File"));
    const QImage copy = image->findChild<PictureBox *>(QStringLiteral("Picture1"))->picture();
    QCOMPARE(copy.size(), b.view().size());
    const QRgb white = qRgb(255, 255, 255);
    const QRect plot = b.plot();
    QCOMPARE(copy.pixel(1, 1), white);
    QCOMPARE(copy.pixel(plot.left() + plot.width() / 4, plot.center().y() - 5), white);
    // The copy is the chart as drawn: the step is in it.
    QVERIFY(lineSpan(copy, plot.left() + plot.width() / 10, plot.left() + plot.width() / 3).top >
            plot.center().y());
    QCOMPARE(rgb(QGuiApplication::clipboard()->image()), rgb(copy));
    // The chart window itself goes back to no backdrop fill.
    QCOMPARE(QColor(b.view().grab().toImage().pixel(1, 1)),
             b.view().palette().color(QPalette::Window));
    QVERIFY(b.view().palette().color(QPalette::Window) != QColor(white));
}

void TestChartWindows::saveWritesTheBitmap() {
    Bench b(true);
    QWidget *image = b.openImageWindow();
    const QImage picture = image->findChild<PictureBox *>(QStringLiteral("Picture1"))->picture();
    const QString target = b.dir.filePath(QStringLiteral("FilterSweepChart.bmp"));
    b.dialogs.answer(target);
    image->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QCOMPARE(b.dialogs.requests().size(), size_t(1));
    const FileDialogRequest &request = b.dialogs.requests().front();
    QCOMPARE(request.title, QStringLiteral("Save image as bitmap"));
    QCOMPARE(request.filterLabel, QStringLiteral("Bitmap files (*.bmp)"));
    QCOMPARE(request.proposedName, QStringLiteral("FilterSweepChart"));
    QVERIFY(request.confirmReplace);
    QCOMPARE(image->findChild<QLineEdit *>(QStringLiteral("txtFilePath"))->text(), target);
    QImageReader reader(target);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    QCOMPARE(rgb(reader.read()), rgb(picture));
}

void TestChartWindows::cancelAndWriteFailureAreSilent() {
    Bench b(false);
    QWidget *image = b.openImageWindow();
    auto *path = image->findChild<QLineEdit *>(QStringLiteral("txtFilePath"));
    QPushButton *save = image->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"));
    b.dialogs.cancelNext();
    save->click();
    QCOMPARE(b.dialogs.requests().size(), size_t(1));
    QVERIFY(path->text().isEmpty());
    QVERIFY(QDir(b.dir.path()).isEmpty());
    // A folder that does not exist, and a folder in the file's place: no message, no file.
    QVERIFY(QDir(b.dir.path()).mkdir(QStringLiteral("taken.bmp")));
    for (const char *name : {"no/such/folder/DBVLinRange.bmp", "taken.bmp"}) {
        const QString target = b.dir.filePath(QLatin1String(name));
        b.dialogs.answer(target);
        save->click();
        QCOMPARE(path->text(), target);
        QVERIFY(!QFileInfo(target).isFile());
    }
    QVERIFY(image->isVisible());
    QCOMPARE(b.window->chart().rowCount(), 40);
}

QTEST_MAIN(TestChartWindows)
#include "tst_chartwindows.moc"
