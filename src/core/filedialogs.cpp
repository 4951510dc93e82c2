#include "core/filedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace corvane {

QString initialFolderFor(const QString &remembered) {
    if (!remembered.isEmpty()) {
        const QFileInfo info(remembered);
        if (info.isDir()) return info.absoluteFilePath();
        if (info.absoluteDir().exists()) return info.absolutePath();
    }
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return docs.isEmpty() ? QDir::homePath() : docs;
}

FileDialogRequest resultsOpenRequest(const QString &proposedName, const QString &remembered) {
    FileDialogRequest request;
    request.title = QStringLiteral("Open File");
    request.filterLabel = QStringLiteral("Text files (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    request.proposedName = proposedName;
    request.initialFolder = initialFolderFor(remembered);
    request.mustExist = true;
    return request;
}

RememberingFileDialogs::RememberingFileDialogs(FileDialogs &dialogs, QSettings &settings)
    : m_dialogs(dialogs), m_settings(settings) {}

QString RememberingFileDialogs::keyOf(const FileDialogRequest &request) {
    QString name = request.title + u' ' + request.filterPattern;
    if (request.mustExist && !request.proposedName.isEmpty()) name += u' ' + request.proposedName;
    // A slash would open a group in the settings file.
    name.replace(u'/', u'_').replace(u'\\', u'_');
    return QStringLiteral("fileDialogs/") + name;
}

FileDialogRequest RememberingFileDialogs::withRememberedFolder(
    const FileDialogRequest &request) const {
    FileDialogRequest shown = request;
    const QString folder = m_settings.value(keyOf(request)).toString();
    // The window's own memory (a folder other than the default one) goes first.
    if (!folder.isEmpty() && QFileInfo(folder).isDir() &&
        QDir(request.initialFolder) == QDir(initialFolderFor(QString())))
        shown.initialFolder = folder;
    return shown;
}

std::optional<QString> RememberingFileDialogs::remember(const FileDialogRequest &request,
                                                        const std::optional<QString> &path) {
    if (path && !path->isEmpty())
        m_settings.setValue(keyOf(request), QFileInfo(*path).absolutePath());
    return path;
}

std::optional<QString> RememberingFileDialogs::openFile(const FileDialogRequest &request) {
    return remember(request, m_dialogs.openFile(withRememberedFolder(request)));
}

std::optional<QString> RememberingFileDialogs::saveFile(const FileDialogRequest &request) {
    return remember(request, m_dialogs.saveFile(withRememberedFolder(request)));
}

}  // namespace corvane
