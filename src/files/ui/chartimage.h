#pragma once
// The one chart image exporter: a chart view drawn into a PNG, BMP or SVG file (chosen by
// the file name's extension) with a solid white backdrop, at a size a person would post,
// and written through the checked, all-or-nothing writer (files/atomicfile.h). Every chart
// window's image saving and corvane-cli chart go through it.

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

#include "files/drawnfiles.h"

class QChartView;

namespace corvane {

// The image size when none is asked for: about twice the chart as shown, at least 1000
// pixels wide, in the view's proportions.
QSize defaultChartImageSize(const QSize &viewSize);

// Whether the path ends in .png, .bmp or .svg, or is "-" (a PNG on standard output) or
// /dev/null.
bool isChartImagePath(const QString &path);

// "WIDTHxHEIGHT" (1 to 10000 pixels each); an invalid size when the text is not one.
QSize parseImageSize(const QString &text);

// Called after the view was laid out at another size and before it is drawn, for a view
// that places its labels by its size (ResultChartView::flush).
using ChartRelayout = std::function<void()>;

// The chart drawn at `size` pixels (an empty size: the default size).
QImage renderChart(QChartView &view, QSize size = QSize(), const ChartRelayout &relayout = {});

// Writes the chart to `path` at `size` pixels (for SVG: that view box; an empty size: the
// default size). Returns the message when it failed ("cannot write PATH: reason"), else
// empty; the old file is then left as it was.
QString exportChart(QChartView &view, const QString &path, QSize size = QSize(),
                    const ChartRelayout &relayout = {});

}  // namespace corvane
