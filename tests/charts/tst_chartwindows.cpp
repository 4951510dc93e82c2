// The chart windows and the chart image windows, offscreen: what is drawn where, what the
// image windows copy, show, put on the clipboard and write.

#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "charts/ui/chartimagewindows.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/picturebox.h"
#include "charts/ui/resultchartview.h"
#include "core/numtext.h"
#include "scriptedfiledialogs.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <memory>

using namespace corvane;

namespace {

enum class Which { Sweep, LinearRange };

std::unique_ptr<ResultChartWindow> makeWindow(Which which, FileDialogs &dialogs)
{
    std::unique_ptr<ResultChartWindow> window;
    if (which == Which::Sweep) {
        window = std::make_unique<ChartSweepWindow>(dialogs);
    } else {
        window = std::make_unique<ChartLinearRangeWindow>(dialogs);
    }
    window->resize(900, 600);
    window->show();
    return window;
}

// The chart's line is dark blue; antialiased edges are lighter but still blue.
bool isLinePixel(QRgb p) { return qBlue(p) > 110 && qRed(p) < 90 && qGreen(p) < 90; }
// Text and axis lines are dark grey.
bool isTextPixel(QRgb p) { return qGray(p) < 110 && !isLinePixel(p); }

struct Span {
    int top = INT_MAX;
    int bottom = -1;
    int count = 0;
};

// Where the line's pixels are within the columns x0..x1.
Span lineSpan(const QImage &image, int x0, int x1)
{
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

int textPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) count += isTextPixel(image.pixel(x, y));
    }
    return count;
}

// Rows 1..half low, the rest high.
void fillStep(ResultChart &chart, int rows, double low, double high)
{
    chart.setRowCount(rows);
    for (int row = 1; row <= rows; ++row) {
        chart.setRowValue(row, row <= rows / 2 ? low : high);
        chart.setRowLabel(row, QString::number(row));
    }
}

QStringList visibleLabels(QCategoryAxis *axis)
{
    QStringList labels;
    for (QString label : axis->categoriesLabels()) {
        label.remove(QRegularExpression(QStringLiteral("[\u200B\u200C\u200D\u2060]")));
        labels << label;
    }
    return labels;
}

QRect plotRect(ResultChartView &view) { return view.chart()->plotArea().toRect(); }

int xOfRow(ResultChartView &view, double row)
{
    return qRound(view.chart()->mapToPosition(QPointF(row, 0), view.series()).x());
}

int yOf(ResultChartView &view, double value)
{
    return qRound(view.chart()->mapToPosition(QPointF(1, value), view.series()).y());
}

QImage rgb(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

}  // namespace

Q_DECLARE_METATYPE(Which)

class TestChartWindows : public QObject {
    Q_OBJECT

private slots:
    void chartWindowControls_data();
    void chartWindowControls();
    void stepIsDrawnWhereTheDataSays_data();
    void stepIsDrawnWhereTheDataSays();
    void titleIsDrawn();
    void unsetRowsAreNotDrawn();
    void longChartKeepsItsPeaks();
    void neverShownChartIsCopiedAsDrawn();
    void followsAppendedRows();
    void xLabelsFollowTheScale();
    void closeHidesFrameCloseUnloads();
    void imageWindowControls_data();
    void imageWindowControls();
    void imageHasSolidBackdropChartKeepsNone();
    void loadPictureAndClear();
    void saveWritesTheBitmap();
    void cancelAndWriteFailureAreSilent();
    void closedImageWindowComesBackFresh();
};

void TestChartWindows::chartWindowControls_data()
{
    QTest::addColumn<Which>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("saveText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("xTitle");
    QTest::addColumn<QString>("yTitle");
    QTest::newRow("sweep") << Which::Sweep << "frmChartSweep"
                           << "K3 Filter Sweep Chart"
                           << "Save File"
                           << "K3 Filter Sweep Results"
                           << "K3 Dial Frequency (KHz)"
                           << "Audio Response K3 dBV Function (dB)";
    QTest::newRow("linear range") << Which::LinearRange << "frmChartLinearRange"
                                  << "K3 Linear Range Chart"
                                  << "Save Chart"
                                  << ""
                                  << "K3 RF Gain Setting"
                                  << "K3 dBV Response, dB";
}

void TestChartWindows::chartWindowControls()
{
    QFETCH(Which, which);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, saveText);
    QFETCH(QString, title);
    QFETCH(QString, xTitle);
    QFETCH(QString, yTitle);
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(which, dialogs);

    QCOMPARE(window->objectName(), name);
    QCOMPARE(window->windowTitle(), caption);
    auto *chart = window->findChild<ResultChartView *>(QStringLiteral("MSChart1"));
    QVERIFY(chart);
    QCOMPARE(chart, &window->chartView());
    QVERIFY(!chart->accessibleName().isEmpty());
    auto *close = window->findChild<QPushButton *>(QStringLiteral("cmdClose"));
    auto *save = window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"));
    QVERIFY(close && save);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QCOMPARE(close->toolTip(), QStringLiteral("Click to hide this form"));
    QCOMPARE(save->text(), saveText);
    QCOMPARE(save->toolTip(), QStringLiteral("Click to save chart as bmp file"));

    QCOMPARE(window->chart().title(), title);
    QCOMPARE(window->chart().xAxisTitle(), xTitle);
    QCOMPARE(window->chart().yAxisTitle(), yTitle);
    // What the model says is what the chart shows.
    chart->flush();
    QCOMPARE(chart->chart()->title(), title);
    QCOMPARE(chart->xAxis()->titleText(), xTitle);
    QCOMPARE(chart->yAxis()->titleText(), yTitle);
}

void TestChartWindows::stepIsDrawnWhereTheDataSays_data()
{
    QTest::addColumn<Which>("which");
    QTest::addColumn<bool>("screen");
    QTest::newRow("sweep, image") << Which::Sweep << false;
    QTest::newRow("sweep, screen") << Which::Sweep << true;
    QTest::newRow("linear range, image") << Which::LinearRange << false;
    QTest::newRow("linear range, screen") << Which::LinearRange << true;
}

void TestChartWindows::stepIsDrawnWhereTheDataSays()
{
    QFETCH(Which, which);
    QFETCH(bool, screen);
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(which, dialogs);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ResultChartView &view = window->chartView();
    fillStep(window->chart(), 40, -50.0, -10.0);
    view.flush();
    const QImage image = screen ? view.grab().toImage() : view.renderImage(true);

    const QRect plot = plotRect(view);
    QVERIFY(plot.width() > 300 && plot.height() > 200);
    const int w = plot.width();
    const Span low = lineSpan(image, plot.left() + w / 10, plot.left() + 4 * w / 10);
    const Span high = lineSpan(image, plot.left() + 6 * w / 10, plot.left() + 9 * w / 10);
    QVERIFY(low.count > 0);
    QVERIFY(high.count > 0);
    QVERIFY2(low.top > plot.center().y(), qPrintable(QString::number(low.top)));
    QVERIFY2(high.bottom < plot.center().y(), qPrintable(QString::number(high.bottom)));
    // The step itself is a near-vertical line between the two halves.
    const int stepX = (xOfRow(view, 20) + xOfRow(view, 21)) / 2;
    const Span rise = lineSpan(image, stepX - 2, stepX + 2);
    QVERIFY(rise.top < plot.center().y() && rise.bottom > plot.center().y());
}

void TestChartWindows::titleIsDrawn()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::Sweep, dialogs);
    ResultChartView &view = window->chartView();
    fillStep(window->chart(), 10, 0.0, 1.0);

    const QImage titled = view.renderImage(true);
    QRect plot = plotRect(view);
    const QRect titleBand(plot.left() + plot.width() / 4, 0, plot.width() / 2, plot.top() - 10);
    QVERIFY(textPixels(titled, titleBand) > 40);

    window->chart().setTitle(QString());
    const QImage untitled = view.renderImage(true);
    plot = plotRect(view);
    const QRect emptyBand(plot.left() + plot.width() / 4, 0, plot.width() / 2, plot.top() - 10);
    QCOMPARE(textPixels(untitled, emptyBand), 0);
}

void TestChartWindows::unsetRowsAreNotDrawn()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::LinearRange, dialogs);
    ResultChartView &view = window->chartView();
    ResultChart &chart = window->chart();
    // Start 50, stop 57, increment 2: five rows, four measured.
    chart.setRowCount(5);
    for (int row = 1; row <= 4; ++row) {
        chart.setRowValue(row, row % 2 ? 10.0 : 0.0);
        chart.setRowLabel(row, QString::number(48 + 2 * row));
    }
    const QImage image = view.renderImage(true);
    QCOMPARE(view.series()->count(), 4);
    QVERIFY(lineSpan(image, xOfRow(view, 1), xOfRow(view, 4)).count > 0);
    QCOMPARE(lineSpan(image, xOfRow(view, 4) + 4, plotRect(view).right()).count, 0);
    // Not drawn as zero either: nothing at row 5's place.
    QCOMPARE(lineSpan(image, xOfRow(view, 5) - 2, xOfRow(view, 5) + 2).count, 0);
}

void TestChartWindows::longChartKeepsItsPeaks()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::Sweep, dialogs);
    ResultChartView &view = window->chartView();
    ResultChart &chart = window->chart();
    constexpr int kRows = ResultChart::kMaxRows;
    constexpr int kPeakRow = 20000;
    chart.setRowCount(kRows);
    for (int row = 1; row <= kRows; ++row) {
        chart.setRowValue(row, row == kPeakRow ? 50.0 : -50.0);
        chart.setRowLabel(row, singleText(14000.0 + row * 0.001));
    }
    const QImage image = view.renderImage(true);
    const QRect plot = plotRect(view);
    // Far fewer points than rows, but the one high row still reaches the top.
    QVERIFY(view.series()->count() <= 4 * plot.width());
    const int peakX = xOfRow(view, kPeakRow);
    QVERIFY(std::abs(lineSpan(image, peakX - 2, peakX + 2).top - yOf(view, 50.0)) <= 3);
    const Span flat = lineSpan(image, plot.left() + 5, peakX - 10);
    QVERIFY(std::abs(flat.top - yOf(view, -50.0)) <= 3);
    QVERIFY(flat.bottom - flat.top <= 4);
    // Labels spaced so that they never crowd: at least a label's width apart.
    const int step = view.labelStepInUse();
    QVERIFY(step > 1);
    const QFontMetrics metrics(view.xAxis()->labelsFont());
    QVERIFY(xOfRow(view, 1 + step) - xOfRow(view, 1) >
            metrics.horizontalAdvance(chart.rowLabel(1 + step)));
}

void TestChartWindows::neverShownChartIsCopiedAsDrawn()
{
    ScriptedFileDialogs dialogs;
    ChartLinearRangeWindow window(dialogs);
    fillStep(window.chart(), 40, 0.0, 10.0);
    ResultChartView &view = window.chartView();
    const QImage image = view.renderImage(true);
    QVERIFY(!window.isVisible());
    QVERIFY(image.width() >= 400 && image.height() >= 300);
    const QRect plot = plotRect(view);
    QVERIFY(lineSpan(image, plot.left() + plot.width() / 10, plot.left() + plot.width() / 3).top >
            plot.center().y());
}

void TestChartWindows::followsAppendedRows()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::Sweep, dialogs);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ResultChartView &view = window->chartView();
    ResultChart &chart = window->chart();
    chart.setRowCount(40);
    for (int row = 1; row <= 30; ++row) chart.setRowValue(row, -row);
    // Drawn on a later pass of the event loop, all together.
    QCOMPARE(view.series()->count(), 0);
    QTRY_COMPARE(view.series()->count(), 30);
    chart.setRowValue(31, -31.0);
    QTRY_COMPARE(view.series()->count(), 31);
    QCOMPARE(view.series()->at(30), QPointF(31, -31));
    // The Y range grew to hold the new low point.
    QVERIFY(view.yAxis()->min() <= -31.0);
}

void TestChartWindows::xLabelsFollowTheScale()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::Sweep, dialogs);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ResultChartView &view = window->chartView();
    ResultChart &chart = window->chart();
    QVERIFY(applySweepSetup(chart, "14060", "14061", "100"));
    chart.setRowCount(11);
    QStringList expected;
    for (int row = 1; row <= 11; ++row) {
        chart.setRowValue(row, -20.0);
        chart.setRowLabel(row, singleText(14060.0 + (row - 1) * 0.1));
        expected << chart.rowLabel(row);
    }
    view.flush();
    // One label per row: every label shows.
    QCOMPARE(view.labelStepInUse(), 1);
    QCOMPARE(visibleLabels(view.xAxis()), expected);

    // The linear range presentation spaces labels automatically, on round steps.
    applyLinearRangePresentation(chart);
    chart.setRowCount(201);
    for (int row = 1; row <= 201; ++row) {
        chart.setRowValue(row, 10.0);
        chart.setRowLabel(row, QStringLiteral("%1").arg(49 + row, 3, 10, QChar(u'0')));
    }
    view.flush();
    const int step = view.labelStepInUse();
    QVERIFY(step == 10 || step == 20 || step == 50);
    const QStringList labels = visibleLabels(view.xAxis());
    QCOMPARE(labels.size(), (201 + step - 1) / step);
    QCOMPARE(labels.first(), QStringLiteral("050"));
    QCOMPARE(labels.at(1), chart.rowLabel(1 + step));
}

void TestChartWindows::closeHidesFrameCloseUnloads()
{
    ScriptedFileDialogs dialogs;
    auto owned = makeWindow(Which::Sweep, dialogs);
    QVERIFY(applySweepSetup(owned->chart(), "14060", "14061", "100"));
    fillStep(owned->chart(), 11, -30.0, -20.0);

    owned->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
    QVERIFY(!owned->isVisible());
    QCOMPARE(owned->chart().rowCount(), 11);
    QCOMPARE(owned->chart().xAxisTitle(), QStringLiteral("K3 Dial Setting (KHz)"));

    // Closed by its frame, the window is unloaded with its chart and its image window.
    owned->showForm();
    owned->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    const QPointer<QWidget> image = owned->imageWindow();
    QVERIFY(image);
    const QPointer<ResultChartWindow> window = owned.release();
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(image.isNull());
}

void TestChartWindows::imageWindowControls_data()
{
    QTest::addColumn<Which>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("loadName");
    QTest::addColumn<QString>("saveText");
    QTest::addColumn<QString>("closeName");
    QTest::newRow("sweep") << Which::Sweep << "frmSaveChart"
                           << "Save Chart to File"
                           << "cmdLoadPicture"
                           << "Save File"
                           << "cmdclose";
    QTest::newRow("linear range") << Which::LinearRange << "frmSaveChartLR"
                                  << "Save DBV Linear Range Chart"
                                  << "cmdLoadPic"
                                  << "Save Chart"
                                  << "cmdClose";
}

void TestChartWindows::imageWindowControls()
{
    QFETCH(Which, which);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, loadName);
    QFETCH(QString, saveText);
    QFETCH(QString, closeName);
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(which, dialogs);
    QVERIFY(!window->imageWindow());
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QWidget *image = window->imageWindow();
    QVERIFY(image);
    QCOMPARE(image->objectName(), name);
    QCOMPARE(image->windowTitle(), caption);
    QVERIFY(image->isVisible());
    QVERIFY(image->isWindow());
    QVERIFY(!image->isModal());

    const auto button = [image](const QString &n) { return image->findChild<QPushButton *>(n); };
    QVERIFY(button(loadName) && button(QStringLiteral("cmdClear")) &&
            button(QStringLiteral("cmdSaveFile")) && button(closeName));
    QCOMPARE(button(loadName)->text(), QStringLiteral("Load Picture"));
    QCOMPARE(button(QStringLiteral("cmdClear"))->text(), QStringLiteral("Clear Picture"));
    QCOMPARE(button(QStringLiteral("cmdSaveFile"))->text(), saveText);
    QCOMPARE(button(QStringLiteral("cmdSaveFile"))->toolTip(),
             QStringLiteral("Click to save chart as bmp file"));
    QCOMPARE(button(closeName)->text(), QStringLiteral("Close"));
    QCOMPARE(button(closeName)->toolTip(), QStringLiteral("Click to hide this form"));
    auto *path = image->findChild<QLineEdit *>(QStringLiteral("txtFilePath"));
    QVERIFY(path);
    QCOMPARE(path->toolTip(), QStringLiteral("Shows file path and file name of saved file"));
    QVERIFY(path->text().isEmpty());
    auto *label = image->findChild<QLabel *>(QStringLiteral("lblFilePath"));
    QVERIFY(label && label->buddy() == path);
    auto *picture = image->findChild<PictureBox *>(QStringLiteral("Picture1"));
    QVERIFY(picture);
    QCOMPARE(picture->frameShape(), QFrame::Box);
    QCOMPARE(picture->lineWidth(), 1);
    QVERIFY(!picture->picture().isNull());

    // The save button again brings the same window forward.
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QCOMPARE(window->imageWindow(), image);
}

void TestChartWindows::imageHasSolidBackdropChartKeepsNone()
{
    ScriptedFileDialogs dialogs;
    const auto window = makeWindow(Which::Sweep, dialogs);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    fillStep(window->chart(), 40, -50.0, -10.0);
    ResultChartView &view = window->chartView();
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    auto *picture = window->imageWindow()->findChild<PictureBox *>(QStringLiteral("Picture1"));
    const QImage copy = picture->picture();

    QCOMPARE(copy.size(), view.size());
    const QRgb white = qRgb(255, 255, 255);
    QCOMPARE(copy.pixel(1, 1), white);
    QCOMPARE(copy.pixel(copy.width() - 2, copy.height() - 2), white);
    const QRect plot = plotRect(view);
    QCOMPARE(copy.pixel(plot.left() + plot.width() / 4, plot.center().y() - 5), white);
    // The copy is the chart as drawn: the step is in it.
    QVERIFY(lineSpan(copy, plot.left() + plot.width() / 10, plot.left() + plot.width() / 3).top >
            plot.center().y());
    QCOMPARE(rgb(QGuiApplication::clipboard()->image()), rgb(copy));

    // The chart window itself goes back to no backdrop fill.
    QVERIFY(!view.isBackdropFilled());
    const QImage screen = view.grab().toImage();
    QVERIFY(screen.pixel(1, 1) != white);
    QCOMPARE(QColor(screen.pixel(1, 1)), view.palette().color(QPalette::Window));
}

void TestChartWindows::loadPictureAndClear()
{
    ScriptedFileDialogs dialogs;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto window = makeWindow(Which::LinearRange, dialogs);
    fillStep(window->chart(), 40, 0.0, 10.0);
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QWidget *image = window->imageWindow();
    auto *picture = image->findChild<PictureBox *>(QStringLiteral("Picture1"));
    const QImage first = picture->picture();

    // A later change to the chart reaches the picture only on Load Picture.
    fillStep(window->chart(), 40, 10.0, 0.0);
    window->chartView().flush();
    QCOMPARE(picture->picture(), first);
    image->findChild<QPushButton *>(QStringLiteral("cmdLoadPic"))->click();
    const QImage second = picture->picture();
    QVERIFY(second != first);
    QCOMPARE(second, window->chartView().renderImage(true));

    // After Clear Picture there is nothing to save: no dialog, an existing file untouched.
    const QString existing = dir.filePath(QStringLiteral("DBVLinRange.bmp"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    image->findChild<QPushButton *>(QStringLiteral("cmdClear"))->click();
    QVERIFY(picture->picture().isNull());
    dialogs.answer(existing);
    image->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QVERIFY(dialogs.requests().empty());
    QFile file(existing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestChartWindows::saveWritesTheBitmap()
{
    ScriptedFileDialogs dialogs;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto window = makeWindow(Which::Sweep, dialogs);
    fillStep(window->chart(), 40, -50.0, -10.0);
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QWidget *image = window->imageWindow();
    const QImage picture = image->findChild<PictureBox *>(QStringLiteral("Picture1"))->picture();
    auto *path = image->findChild<QLineEdit *>(QStringLiteral("txtFilePath"));
    QPushButton *save = image->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"));

    const QString target = dir.filePath(QStringLiteral("FilterSweepChart.bmp"));
    dialogs.answer(target);
    save->click();
    QCOMPARE(dialogs.requests().size(), size_t(1));
    const FileDialogRequest &request = dialogs.requests().front();
    QCOMPARE(request.title, QStringLiteral("Save image as bitmap"));
    QCOMPARE(request.filterLabel, QStringLiteral("Bitmap files (*.bmp)"));
    QCOMPARE(request.filterPattern, QStringLiteral("*.bmp"));
    QCOMPARE(request.defaultExtension, QStringLiteral("bmp"));
    QCOMPARE(request.proposedName, QStringLiteral("FilterSweepChart"));
    QVERIFY(request.confirmReplace);
    QVERIFY(!request.mustExist);
    QCOMPARE(request.initialFolder, initialFolderFor(QString()));
    QCOMPARE(path->text(), target);

    QImageReader reader(target);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage written = reader.read();
    QCOMPARE(written.size(), picture.size());
    QCOMPARE(rgb(written), rgb(picture));

    // Saving again starts from the folder of the path shown, and replaces the file.
    dialogs.answer(target);
    save->click();
    QCOMPARE(dialogs.requests().size(), size_t(2));
    QCOMPARE(dialogs.requests().back().initialFolder, dir.path());
    QCOMPARE(rgb(QImage(target)), rgb(picture));
}

void TestChartWindows::cancelAndWriteFailureAreSilent()
{
    ScriptedFileDialogs dialogs;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto window = makeWindow(Which::LinearRange, dialogs);
    fillStep(window->chart(), 20, 1.0, 2.0);
    window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QWidget *image = window->imageWindow();
    auto *picture = image->findChild<PictureBox *>(QStringLiteral("Picture1"));
    const QImage before = picture->picture();
    auto *path = image->findChild<QLineEdit *>(QStringLiteral("txtFilePath"));
    QPushButton *save = image->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"));

    dialogs.cancelNext();
    save->click();
    QCOMPARE(dialogs.requests().size(), size_t(1));
    QVERIFY(path->text().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);

    // A folder that does not exist, and a folder in the file's place.
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/DBVLinRange.bmp"));
    dialogs.answer(missing);
    save->click();
    QCOMPARE(path->text(), missing);
    QVERIFY(!QFile::exists(missing));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.bmp")));
    const QString folder = dir.filePath(QStringLiteral("taken.bmp"));
    dialogs.answer(folder);
    save->click();
    QCOMPARE(path->text(), folder);
    QVERIFY(QFileInfo(folder).isDir());

    QVERIFY(image->isVisible());
    QCOMPARE(picture->picture(), before);
    QCOMPARE(window->chart().rowCount(), 20);
    QCOMPARE(window->chart().rowValue(20), std::optional<double>(2.0));
}

void TestChartWindows::closedImageWindowComesBackFresh()
{
    ScriptedFileDialogs dialogs;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto window = makeWindow(Which::Sweep, dialogs);
    fillStep(window->chart(), 10, 1.0, 2.0);
    QPushButton *chartSave = window->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"));
    chartSave->click();
    QPointer<QWidget> first = window->imageWindow();
    dialogs.answer(dir.filePath(QStringLiteral("one.bmp")));
    first->findChild<QPushButton *>(QStringLiteral("cmdSaveFile"))->click();
    QVERIFY(!first->findChild<QLineEdit *>(QStringLiteral("txtFilePath"))->text().isEmpty());

    first->findChild<QPushButton *>(QStringLiteral("cmdclose"))->click();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!window->imageWindow());

    fillStep(window->chart(), 10, 2.0, 1.0);
    chartSave->click();
    QWidget *second = window->imageWindow();
    QVERIFY(second);
    QVERIFY(second->findChild<QLineEdit *>(QStringLiteral("txtFilePath"))->text().isEmpty());
    QCOMPARE(second->findChild<PictureBox *>(QStringLiteral("Picture1"))->picture(),
             window->chartView().renderImage(true));
}

QTEST_MAIN(TestChartWindows)
#include "tst_chartwindows.moc"
