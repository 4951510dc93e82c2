#pragma once
// The seam for open and save dialogs: the GUI uses QFileDialog, tests answer with a path
// (or cancel) and record what the dialog was asked to show.

#include <QString>
#include <optional>

namespace corvane {

struct FileDialogRequest {
    QString title;
    QString filterLabel;          // "Text files (*.txt)"
    QString filterPattern;        // "*.txt"
    QString defaultExtension;     // "txt", without the dot
    QString proposedName;         // may be empty
    QString initialFolder;        // a folder, or a file path whose folder is meant
    bool mustExist = false;       // open dialogs
    bool confirmReplace = false;  // save dialogs
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or empty on cancel.
    virtual std::optional<QString> openFile(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest &request) = 0;
};

// The folder a dialog starts in: the user's documents folder stands in for the Windows
// program folder; a remembered file path starts in that file's folder.
QString initialFolderFor(const QString &remembered);

// "Open File" for a saved results file (*.txt, which must exist), proposing `proposedName`
// (may be empty), starting where initialFolderFor(`remembered`) says.
FileDialogRequest resultsOpenRequest(const QString &proposedName = QString(),
                                     const QString &remembered = QString());

}  // namespace corvane
