#pragma once
// The seam for open and save dialogs: the GUI uses QFileDialog, tests answer with a path
// (or cancel) and record what the dialog was asked to show.

#include <QString>
#include <optional>

class QSettings;

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

// Remembers, in the settings file, the folder each dialog chose last and starts the dialog
// there the next time, in this run or a later one, unless the window proposes a folder of
// its own (the path it saved last). A dialog is known by its title and file type, and an
// open dialog also by the name it proposes, so the viewer and each chart-from-file keep
// their own folders.
class RememberingFileDialogs : public FileDialogs {
public:
    RememberingFileDialogs(FileDialogs &dialogs, QSettings &settings);
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<QString> saveFile(const FileDialogRequest &request) override;

    // The settings key of a dialog ("fileDialogs/...").
    static QString keyOf(const FileDialogRequest &request);

private:
    FileDialogRequest withRememberedFolder(const FileDialogRequest &request) const;
    std::optional<QString> remember(const FileDialogRequest &request,
                                    const std::optional<QString> &path);

    FileDialogs &m_dialogs;
    QSettings &m_settings;
};

// The folder a dialog starts in: the user's documents folder stands in for the Windows
// program folder; a remembered file path starts in that file's folder.
QString initialFolderFor(const QString &remembered);

// "Open File" for a saved results file (*.txt, which must exist), proposing `proposedName`
// (may be empty), starting where initialFolderFor(`remembered`) says.
FileDialogRequest resultsOpenRequest(const QString &proposedName = QString(),
                                     const QString &remembered = QString());

}  // namespace corvane
