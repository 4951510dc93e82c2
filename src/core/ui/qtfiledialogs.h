#pragma once
// Open and save dialogs on QFileDialog: the request's title, its one file type filter, the
// default extension, the proposed name in the starting folder; an open dialog accepts only
// an existing file, a save dialog asks before replacing one.

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

#include "core/filedialogs.h"

namespace corvane {

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget *fallbackParent = nullptr);
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<QString> saveFile(const FileDialogRequest &request) override;

    // "Text files (*.txt)" from the label and pattern (the label may already name it).
    static QString nameFilter(const FileDialogRequest &request);
    // The folder the dialog starts in: initialFolderFor(), or the home folder when that
    // folder does not exist.
    static QString startFolder(const FileDialogRequest &request);
    // Sets up `dialog` for the request (used by both kinds; tests inspect it).
    static void configure(QFileDialog &dialog, const FileDialogRequest &request, bool save);

private:
    std::optional<QString> run(const FileDialogRequest &request, bool save);
    QPointer<QWidget> m_fallbackParent;
};

}  // namespace corvane
