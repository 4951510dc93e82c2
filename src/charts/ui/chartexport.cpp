#include "charts/ui/chartexport.h"

#include <QFileInfo>
#include <QPainter>
#include <QSvgGenerator>

#include "charts/ui/resultchartview.h"

namespace corvane {

namespace {

QString suffixOf(const QString &path) {
    return QFileInfo(path).suffix().toLower();
}

bool saveSvg(ResultChartView &view, const QString &path, const QString &title) {
    // renderImage lays out and draws the chart first, so the drawing below sees it as drawn.
    const QImage picture = view.renderImage(true);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(picture.size());
    svg.setViewBox(QRect(QPoint(0, 0), picture.size()));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Corvane chart"));
    const bool wasFilled = view.isBackdropFilled();
    view.setBackdropFilled(true);
    QPainter painter;
    if (!painter.begin(&svg)) {
        view.setBackdropFilled(wasFilled);
        return false;
    }
    view.render(&painter);
    const bool ok = painter.end();
    view.setBackdropFilled(wasFilled);
    return ok && QFileInfo(path).size() > 0;
}

}  // namespace

bool isChartImagePath(const QString &path) {
    const QString suffix = suffixOf(path);
    return suffix == QLatin1String("png") || suffix == QLatin1String("bmp") ||
           suffix == QLatin1String("svg");
}

bool saveChartImage(ResultChartView &view, const QString &path, QString *error) {
    const QString suffix = suffixOf(path);
    bool ok = false;
    if (suffix == QLatin1String("svg")) {
        ok = saveSvg(view, path, view.chart()->title());
    } else if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp")) {
        ok = view.renderImage(true).save(path, suffix == QLatin1String("png") ? "PNG" : "BMP");
    } else {
        if (error) *error = QStringLiteral("%1: use a .png, .bmp or .svg file name").arg(path);
        return false;
    }
    if (!ok && error) *error = QStringLiteral("cannot write ") + path;
    return ok;
}

}  // namespace corvane
