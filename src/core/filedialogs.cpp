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

}  // namespace corvane
