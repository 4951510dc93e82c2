#pragma once
// A chart as an image file, chosen by the file's extension: .png and .bmp as the picture the
// image windows take (the chart as drawn, with a solid backdrop), .svg as a scalable drawing
// of the same chart.

#include <QString>

namespace corvane {

class ResultChartView;

// Whether the path ends in an extension saveChartImage writes.
bool isChartImagePath(const QString &path);
// Writes the chart; false after putting the reason into `error`.
bool saveChartImage(ResultChartView &view, const QString &path, QString *error = nullptr);

}  // namespace corvane

class QWidget;

namespace corvane {

class FileDialogs;

// Adds a "Save Image..." button (cmdSaveImage) before the window's other buttons (its
// "buttonRow"), which saves the chart as a PNG or SVG file.
void addImageExport(QWidget &window, ResultChartView &view, FileDialogs &dialogs,
                    const QString &proposedName);

}  // namespace corvane
