#include "charts/ui/chartexport.h"

#include <QBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"

namespace corvane {

bool saveChartImage(ResultChartView &view, const QString &path, QString *error, QSize size) {
    view.prepareToDraw();
    const QString message = exportChart(view, path, size, [&view] { view.flush(); });
    if (message.isEmpty()) return true;
    if (error) *error = message;
    return false;
}

QImage chartPicture(ResultChartView &view) {
    view.prepareToDraw();
    return renderChart(view, QSize(), [&view] { view.flush(); });
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
