#include "charts/ui/chartimagewindows.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "charts/ui/chartexport.h"
#include "charts/ui/picturebox.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "core/prompter.h"
#include "ui_savechartlrwindow.h"
#include "ui_savechartwindow.h"

namespace corvane {

ChartImageWindow::ChartImageWindow(FileDialogs &dialogs, ResultChartView &source,
                                   const QString &proposedName, QWidget *parent)
    : QWidget(parent), m_dialogs(dialogs), m_source(&source), m_proposedName(proposedName) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

void ChartImageWindow::bind(PictureBox *picture, QLineEdit *filePath, QPushButton *copyButton,
                            QPushButton *clearButton, QPushButton *saveButton,
                            QPushButton *closeButton) {
    m_picture = picture;
    m_filePath = filePath;
    connect(copyButton, &QPushButton::clicked, this, &ChartImageWindow::copyChart);
    connect(clearButton, &QPushButton::clicked, this, &ChartImageWindow::clearPicture);
    connect(saveButton, &QPushButton::clicked, this, &ChartImageWindow::savePicture);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    copyChart();
}

void ChartImageWindow::copyChart() {
    m_picture->setSingleLineBorder();
    if (!m_source) return;
    // Drawn with a solid backdrop for the picture only (the chart window keeps its own), at
    // the size a chart image is saved at.
    const QImage image = chartPicture(*m_source);
    m_picture->setPicture(image);
    if (QClipboard *clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
}

void ChartImageWindow::clearPicture() {
    m_picture->clear();
}

void ChartImageWindow::savePicture() {
    // With the picture cleared there is nothing to save. Writing an empty bitmap would only
    // replace a file the user may still want, so Save then asks for no name and writes
    // nothing.
    if (m_picture->picture().isNull()) return;

    FileDialogRequest request;
    request.title = QStringLiteral("Save image as bitmap");
    request.filterLabel = QStringLiteral("Bitmap files (*.bmp)");
    request.filterPattern = QStringLiteral("*.bmp");
    request.defaultExtension = QStringLiteral("bmp");
    request.proposedName = m_proposedName;
    request.initialFolder = initialFolderFor(m_filePath->text());
    request.confirmReplace = true;
    const std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path || path->isEmpty()) return;

    m_filePath->setText(*path);
    // The image goes to a new file that replaces the old one only once it is whole; a file
    // that cannot be written is told, and the path stays shown.
    const QString error = writeImageFile(m_picture->picture(), *path);
    if (error.isEmpty()) return;
    auto *box = new QMessageBox(QMessageBox::Warning, programTitle(), error, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

SaveChartWindow::SaveChartWindow(FileDialogs &dialogs, ResultChartView &source, QWidget *parent)
    : ChartImageWindow(dialogs, source, QStringLiteral("FilterSweepChart"), parent),
      m_ui(std::make_unique<Ui::SaveChartWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->Picture1, m_ui->txtFilePath, m_ui->cmdLoadPicture, m_ui->cmdClear, m_ui->cmdSaveFile,
         m_ui->cmdclose);
}

SaveChartWindow::~SaveChartWindow() = default;

SaveChartLRWindow::SaveChartLRWindow(FileDialogs &dialogs, ResultChartView &source, QWidget *parent)
    : ChartImageWindow(dialogs, source, QStringLiteral("DBVLinRange"), parent),
      m_ui(std::make_unique<Ui::SaveChartLRWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->Picture1, m_ui->txtFilePath, m_ui->cmdLoadPic, m_ui->cmdClear, m_ui->cmdSaveFile,
         m_ui->cmdClose);
}

SaveChartLRWindow::~SaveChartLRWindow() = default;

}  // namespace corvane
