#pragma once
// A result chart as an image file through the one chart image exporter
// (files/ui/chartimage.h): .png and .bmp as the chart as drawn with a solid backdrop, .svg
// as a scalable drawing of the same chart; by default about twice the size on screen.

#include <QSize>
#include <QString>

#include "files/ui/chartimage.h"

namespace corvane {

class ResultChartView;

// Writes the chart at `size` pixels (empty: the default size); false after putting the
// message into `error`.
bool saveChartImage(ResultChartView &view, const QString &path, QString *error = nullptr,
                    QSize size = QSize());
// The chart drawn at the exporter's default size, with the labels placed for it.
QImage chartPicture(ResultChartView &view);

}  // namespace corvane

class QWidget;

namespace corvane {

class FileDialogs;

// Adds a "Save Image..." button (cmdSaveImage) before the window's other buttons (its
// "buttonRow"), which saves the chart as a PNG or SVG file.
void addImageExport(QWidget &window, ResultChartView &view, FileDialogs &dialogs,
                    const QString &proposedName);

}  // namespace corvane
