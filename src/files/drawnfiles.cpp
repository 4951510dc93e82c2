#include "files/drawnfiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QSvgGenerator>

#include "files/atomicfile.h"
#include "files/filecheck.h"

namespace corvane {

namespace {

QString cannotWrite(const QString &path, const QString &reason) {
    return QStringLiteral("cannot write %1: %2").arg(path, reason);
}

QString written(const QString &path, const QByteArray &bytes) {
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason)) return cannotWrite(path, reason);
    return QString();
}

}  // namespace

QString imageSuffix(const QString &path) {
    if (isStandardOutputTarget(path) || isDiscardTarget(path)) return QStringLiteral("png");
    return QFileInfo(path).suffix().toLower();
}

QString writeImageFile(const QImage &image, const QString &path) {
    if (image.isNull()) return cannotWrite(path, QStringLiteral("there is no picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const char *format = imageSuffix(path) == QLatin1String("png") ? "PNG" : "BMP";
    if (!image.save(&buffer, format))
        return cannotWrite(path, QStringLiteral("the image could not be encoded"));
    return written(path, bytes);
}

QString writeSvgFile(const QString &path, QSize size, const QString &title,
                     const QString &description, const std::function<void(QPainter &)> &draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(description);
    QPainter painter;
    if (!painter.begin(&svg))
        return cannotWrite(path, QStringLiteral("the drawing could not be started"));
    draw(painter);
    if (!painter.end())
        return cannotWrite(path, QStringLiteral("the drawing could not be finished"));
    return written(path, bytes);
}

}  // namespace corvane
