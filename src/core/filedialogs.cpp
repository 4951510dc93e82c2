#include "core/filedialogs.h"

#include <QDir>
#include <QFileInfo>
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

}  // namespace corvane
