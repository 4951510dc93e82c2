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
