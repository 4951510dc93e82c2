#include "files/ui/frmreadfile.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "core/filedialogs.h"
#include "core/prompter.h"
#include "core/ui/windowregistry.h"
#include "files/chartfiles.h"
#include "files/ui/lineprinter.h"
#include "ui_readfilewindow.h"

namespace corvane {

namespace {

bool choosePrinterInDialog(QPrinter &printer, QWidget *parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

frmReadFile::frmReadFile(Prompter *prompter, QWidget *parent)
    : FormWindow(parent),
      m_prompter(prompter),
      m_ui(std::make_unique<Ui::ReadFileWindow>()),
      m_choosePrinter(choosePrinterInDialog) {
    m_ui->setupUi(this);
    connect(m_ui->cmdPrint, &QPushButton::clicked, this, &frmReadFile::printList);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmReadFile::closeViewer);
}

frmReadFile::~frmReadFile() = default;

void frmReadFile::appendLines(const QStringList &lines) {
    m_ui->lstReadFile->appendLines(lines);
}

QStringList frmReadFile::lines() const {
    return m_ui->lstReadFile->lines();
}

void frmReadFile::printList() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    if (!m_choosePrinter || !m_choosePrinter(printer, this)) return;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Print to file: written whole beside the target and put in its place only when
        // complete, so a failure leaves any old file as it was.
        QString error;
        if (printLinesToPdf(printer.outputFileName(), lines(), &error, printer.pageLayout()))
            return;
        if (m_prompter)
            m_prompter->message(QStringLiteral("The printout was not saved: ") + error,
                                programTitle(), MessageIcon::Exclamation);
        return;
    }
    if (printLines(printer, lines())) return;
    if (m_prompter)
        m_prompter->message(QStringLiteral("There was a problem printing to your printer."),
                            programTitle(), MessageIcon::None);
}

void frmReadFile::closeViewer() {
    m_ui->lstReadFile->clear();
    hideForm();
}

void openSavedFile(const WindowContext &context) {
    if (!context.app.dialogs) return;
    const FileDialogRequest request = resultsOpenRequest();
    const std::optional<QString> path = context.app.dialogs->openFile(request);
    if (!path || path->isEmpty()) return;

    QString error;
    const std::optional<QStringList> lines = readTextLines(*path, &error);
    if (!lines) {
        // The lines already in the viewer stay; it is not shown by this open.
        if (context.app.prompter)
            context.app.prompter->message(
                QStringLiteral("The file %1 cannot be read: %2").arg(*path, error), programTitle(),
                MessageIcon::Exclamation);
        return;
    }
    auto *viewer = context.windows.instance<frmReadFile>(QStringLiteral("frmReadFile"));
    if (!viewer) return;
    viewer->appendLines(*lines);
    viewer->showForm();
}

}  // namespace corvane
