#pragma once
// frmReadFile, the saved-file viewer, and OpenSavedFile, the File menu's Open File: any
// text file's lines, unchanged, appended to the viewer's list; Print sends the list to the
// printer chosen in the printer dialog (which also offers PDF output). Close empties the
// list and hides the window.

#include <QStringList>
#include <functional>
#include <memory>

#include "core/ui/formwindow.h"

class QPrinter;
namespace Ui {
class ReadFileWindow;
}

namespace corvane {

class Prompter;
struct WindowContext;

class frmReadFile : public FormWindow {
    Q_OBJECT
public:
    // Lets the user pick the printer and its settings; false on cancel.
    using PrinterChoice = std::function<bool(QPrinter &printer, QWidget *parent)>;

    explicit frmReadFile(Prompter *prompter, QWidget *parent = nullptr);
    ~frmReadFile() override;

    void appendLines(const QStringList &lines);
    QStringList lines() const;

    // Print: the printer dialog, then every line. Cancelling the dialog prints nothing.
    void printList();
    // Close: empties the list and hides the window.
    void closeViewer();

    // The printer dialog by default; tests choose a PDF file instead.
    void setPrinterChoice(PrinterChoice choice) { m_choosePrinter = std::move(choice); }

private:
    Prompter *m_prompter;
    std::unique_ptr<Ui::ReadFileWindow> m_ui;
    PrinterChoice m_choosePrinter;
};

// OpenSavedFile: the open dialog, then the file's lines added to the viewer, which is shown.
void openSavedFile(const WindowContext &context);

}  // namespace corvane
