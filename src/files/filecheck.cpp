#include "files/filecheck.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#include <cerrno>
#endif

namespace corvane {

namespace {

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// "a named pipe (FIFO)", "a device"... for the messages.
QString kindText(PathKind kind) {
    switch (kind) {
        case PathKind::Folder:
            return QStringLiteral("a folder");
        case PathKind::Fifo:
            return QStringLiteral("a named pipe (FIFO)");
        case PathKind::Device:
            return QStringLiteral("a device");
        case PathKind::Loop:
            return QStringLiteral("a loop of symbolic links");
        case PathKind::Other:
            return QStringLiteral("not a regular file");
        case PathKind::Missing:
        case PathKind::File:
            break;
    }
    return QString();
}

// Whether a file can be made in `folder`: a real one, removed again.
QString probeFolder(const QString &folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.corvane-XXXXXX"));
    if (!probe.open()) return probe.errorString();
    return QString();
}

}  // namespace

QString groupedNumber(qint64 number) {
    QLocale english(QLocale::English);
    english.setNumberOptions(QLocale::DefaultNumberOptions);
    return english.toString(number);
}

PathKind pathKind(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ELOOP ? PathKind::Loop : PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    if (S_ISFIFO(info.st_mode)) return PathKind::Fifo;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return PathKind::Device;
    return PathKind::Other;
#else
    const QFileInfo info(path);
    if (!info.exists()) return PathKind::Missing;
    if (info.isDir()) return PathKind::Folder;
    if (info.isFile()) return PathKind::File;
    return PathKind::Other;
#endif
}

QString readProblem(const QString &path) {
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Missing) return QString();
    if (kind != PathKind::File) {
        const QString what = kindText(kind);
        return kind == PathKind::Other
                   ? QStringLiteral("it is ") + what
                   : QStringLiteral("it is ") + what + QStringLiteral(", not a file");
    }
    const qint64 size = QFileInfo(path).size();
    if (size > kMaxReadBytes)
        return QStringLiteral("it is larger than %1 (%2 bytes); no saved file is that large")
            .arg(kMaxReadText, groupedNumber(size));
    return QString();
}

bool isStandardOutputTarget(const QString &path) {
    return path == QLatin1String("-");
}

bool isDiscardTarget(const QString &path) {
    return QFileInfo(path).canonicalFilePath() == QLatin1String("/dev/null");
}

QString writeTargetProblem(const QString &path) {
    if (path.isEmpty()) return QStringLiteral("no file name was given");
    if (isStandardOutputTarget(path) || isDiscardTarget(path)) return QString();
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Folder) return native(path) + QStringLiteral(" is a folder");
    if (kind != PathKind::File && kind != PathKind::Missing)
        return native(path) + QStringLiteral(" is ") + kindText(kind) +
               (kind == PathKind::Other ? QString() : QStringLiteral(", not a file"));
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder ") + native(folder.filePath()) +
               QStringLiteral(" does not exist");
    if (!folder.isDir()) return native(folder.filePath()) + QStringLiteral(" is not a folder");
    if (kind == PathKind::File && !target.isWritable())
        return native(path) + QStringLiteral(" is read-only");
    return probeFolder(folder.filePath());
}

QString folderTargetProblem(const QString &path) {
    if (path.isEmpty()) return QStringLiteral("no folder name was given");
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Folder) return probeFolder(path);
    if (kind != PathKind::Missing) {
        const QString what = kind == PathKind::File ? QStringLiteral("a file") : kindText(kind);
        return native(path) + QStringLiteral(" is ") + what + QStringLiteral(", not a folder");
    }
    // Made when missing, with any missing folders above it: the nearest existing one must
    // be a folder that takes them.
    QString ancestor = QFileInfo(path).absolutePath();
    while (pathKind(ancestor) == PathKind::Missing && !QDir(ancestor).isRoot())
        ancestor = QFileInfo(ancestor).absolutePath();
    if (pathKind(ancestor) != PathKind::Folder)
        return native(ancestor) + QStringLiteral(" is not a folder");
    return probeFolder(ancestor);
}

}  // namespace corvane
