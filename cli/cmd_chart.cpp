// corvane-cli chart: a saved dBV or filter sweep results file charted as its chart-from-file
// window draws it, into a .png, .bmp or .svg image (-o), or its rows listed (--rows). The kind
// of file is told by its first line. A file the window would refuse gets the same message.

#include <QCoreApplication>
#include <memory>

#include "charts/resultchart.h"
#include "charts/ui/chartexport.h"
#include "charts/ui/chartfilewindows.h"
#include "charts/ui/comparesweepswindow.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "files/chartfiles.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kRowsOption = QStringLiteral("rows");
const QString kSizeOption = QStringLiteral("size");

// The window is drawn, never shown: it asks no questions.
class NoDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest &) override { return std::nullopt; }
};

// Several sweep files drawn together, as File > Compare Sweeps shows them.
int drawOverlay(const QStringList &files, const QString &imagePath, const QSize &size) {
    NoDialogs dialogs;
    CompareSweepsWindow window(dialogs, nullptr);
    for (const QString &file : files) {
        QString error;
        if (!window.addFile(file, &error)) {
            printError(error);  // it names the file
            return kExitFailed;
        }
    }
    window.show();
    QCoreApplication::processEvents();
    QString error;
    if (!saveChartViewImage(window.chartView(), imagePath, &error, size)) {
        printError(QStringLiteral("corvane-cli: ") + error);
        return kExitFailed;
    }
    return kExitDone;
}

int runChart(CliSession &session, const QStringList &arguments) {
    const QCommandLineParser &parser = session.parser();
    if (arguments.isEmpty()) return session.usageError(QStringLiteral("chart takes FILE..."));
    const bool rows = parser.isSet(kRowsOption);
    const QString imagePath = parser.value(kOutputOption);
    // An unusable -o (no name, a pipe, a device, a folder, a terminal for the image) is
    // refused before any reading.
    if (const int code = checkOutputPath(parser, OutputKind::Binary)) return code;
    QSize size;
    if (parser.isSet(kSizeOption)) {
        size = parseImageSize(parser.value(kSizeOption));
        if (!size.isValid())
            return session.usageError(
                QStringLiteral("--size takes WIDTHxHEIGHT in pixels, 1 to 10000 each"));
    }
    if (arguments.size() > 1) {
        if (rows || imagePath.isEmpty())
            return session.usageError(QStringLiteral("several files are drawn together: -o IMAGE"));
        if (!isChartImagePath(imagePath))
            return session.usageError(
                QStringLiteral("-o takes a .png, .bmp or .svg file name, or -"));
        return drawOverlay(arguments, imagePath, size);
    }
    if (!rows && imagePath.isEmpty())
        return session.usageError(QStringLiteral("chart needs -o IMAGE or --rows"));
    if (!imagePath.isEmpty() && !isChartImagePath(imagePath))
        return session.usageError(QStringLiteral("-o takes a .png, .bmp or .svg file name, or -"));

    const ChartFileResult result = readAnyChartFile(arguments.first());
    if (!result.data) {
        printError(result.error);
        return kExitFailed;
    }
    if (!result.data->warning.isEmpty())
        printError(QStringLiteral("corvane-cli: warning: ") + result.data->warning);
    NoDialogs dialogs;
    const std::unique_ptr<ResultChartWindow> window(
        createChartFileWindow(result.data->kind, dialogs));
    window->load();
    chartFileInto(*window, *result.data);

    // One line per data line, its label and the charted field as the file writes them (their
    // control characters escaped on a terminal).
    if (rows)
        for (const ChartFileRow &row : result.data->rows)
            session.printLatin1(forStream(stdout, row.label + u'\t' + row.valueText));
    if (!imagePath.isEmpty()) {
        // Shown on the offscreen screen, so that it is laid out and drawn as on a desktop.
        window->show();
        QCoreApplication::processEvents();
        QString error;
        if (!saveChartImage(window->chartView(), imagePath, &error, size)) {
            printError(QStringLiteral("corvane-cli: ") + error);
            return kExitFailed;
        }
    }
    return kExitDone;
}

}  // namespace

CliCommand command_chart() {
    CliCommand command{
        QStringLiteral("chart"),
        QStringLiteral("FILE..."),
        QStringLiteral("Chart a saved dBV or filter sweep results file as its chart window "
                       "draws it; several sweep files are drawn together, each to its peak."),
        {QCommandLineOption(kOutputOption,
                            QStringLiteral("The image to write: .png, .bmp or .svg; - writes a PNG "
                                           "to standard output."),
                            QStringLiteral("IMAGE")),
         QCommandLineOption(kSizeOption,
                            QStringLiteral("The image size in pixels (for SVG: its view box); "
                                           "about twice the chart on screen, at least 1000 "
                                           "pixels wide, by default."),
                            QStringLiteral("WIDTHxHEIGHT")),
         QCommandLineOption(kRowsOption,
                            QStringLiteral("Print the chart's rows (label, tab, value) instead "
                                           "of drawing it."))},
        runChart};
    command.drawing = true;
    command.radio = false;
    return command;
}

}  // namespace corvane::cli
