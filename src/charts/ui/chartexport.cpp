#include "charts/ui/chartexport.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSvgGenerator>

#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"

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

void addImageExport(QWidget &window, ResultChartView &view, FileDialogs &dialogs,
                    const QString &proposedName) {
    auto *buttons = window.findChild<QBoxLayout *>(QStringLiteral("buttonRow"));
    if (!buttons) return;
    auto *button = new QPushButton(QObject::tr("Save Image..."), &window);
    button->setObjectName(QStringLiteral("cmdSaveImage"));
    button->setToolTip(QObject::tr("Save the chart as a PNG or SVG image"));
    // After the spacer that pushes the buttons to the right, before the others.
    buttons->insertWidget(buttons->count() > 0 ? 1 : 0, button);
    QPointer<ResultChartView> source(&view);
    QObject::connect(button, &QPushButton::clicked, &window,
                     [&window, &dialogs, source, proposedName] {
                         if (!source) return;
                         FileDialogRequest request;
                         request.title = QObject::tr("Save chart image");
                         request.filterLabel = QObject::tr("PNG or SVG images (*.png *.svg)");
                         request.filterPattern = QStringLiteral("*.png *.svg");
                         request.defaultExtension = QStringLiteral("png");
                         request.proposedName = proposedName;
                         request.initialFolder = initialFolderFor(QString());
                         request.confirmReplace = true;
                         const std::optional<QString> path = dialogs.saveFile(request);
                         if (!path || path->isEmpty()) return;
                         QString error;
                         if (saveChartImage(*source, *path, &error)) return;
                         auto *box = new QMessageBox(QMessageBox::Warning, QObject::tr("Corvane"),
                                                     error, QMessageBox::Ok, &window);
                         box->setAttribute(Qt::WA_DeleteOnClose);
                         box->show();
                     });
}

}  // namespace corvane
