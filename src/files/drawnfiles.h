#pragma once
// Pictures the program draws, written as files through the checked, all-or-nothing writer
// (files/atomicfile.h): a PNG or BMP image, or an SVG drawing. The chart image exporter and
// the filter survey's overlay both write through here.

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

namespace corvane {

// "png", "bmp", "svg" ... : the format the path asks for by its extension, in lower case;
// standard output ("-") takes a PNG, and so does /dev/null, which throws it away.
QString imageSuffix(const QString &path);

// An image as a PNG file, or a BMP one when the path does not end in .png. Returns the
// message when it failed ("cannot write PATH: reason"), else empty; the old file is then
// left as it was.
QString writeImageFile(const QImage &image, const QString &path);

// An SVG drawing of `size` (also its view box) made by `draw`, with its title and
// description. Returns the message when it failed, else empty.
QString writeSvgFile(const QString &path, QSize size, const QString &title,
                     const QString &description, const std::function<void(QPainter &)> &draw);

}  // namespace corvane
