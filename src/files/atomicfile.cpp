#include "files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>

#include "files/filecheck.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#else
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#endif

namespace corvane {

namespace {

// The standard output the program was started with, once takeStandardOutput() set it
// aside; -1 before. Standard output is one per process, and so is this.
int g_fileOutput = -1;

bool fail(QString *error, const QString &reason) {
    if (error) *error = reason;
    return false;
}

// The file's error in the system's words. Where Qt has none of its own to give ("Unknown
// error"), the system's last error says it.
QString reasonOf(const QFileDevice &file) {
    const int systemError = errno;
    const QString reason = file.errorString();
    if (file.error() == QFileDevice::NoError || reason.isEmpty() ||
        reason == QLatin1String("Unknown error"))
        return systemError ? qt_error_string(systemError) : QStringLiteral("the write failed");
    return reason;
}

bool writeToStandardOutput(const QByteArray &bytes, QString *error) {
    QFile out;
    const int fd = g_fileOutput >= 0 ? g_fileOutput : fileno(stdout);
    if (g_fileOutput < 0) std::fflush(stdout);
    if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return fail(error, out.errorString());
    if (out.write(bytes) != bytes.size()) return fail(error, out.errorString());
    return true;
}

}  // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error) {
    if (isStandardOutputTarget(path)) return writeToStandardOutput(bytes, error);
    if (isDiscardTarget(path)) return true;
    // A pipe, a device or a folder is never replaced by a file.
    const QString problem = writeTargetProblem(path);
    if (!problem.isEmpty() && pathKind(path) != PathKind::File &&
        pathKind(path) != PathKind::Missing)
        return fail(error, problem);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, reasonOf(file));
    // Written straight to the file, piece by piece, every step checked: a disk with room for
    // part of the file takes that part without a word, and only the next write says why it
    // takes no more. The first failure drops the new file.
    QString reason;
    for (qint64 done = 0; done < bytes.size() && reason.isEmpty();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            reason = reasonOf(file);
        else
            done += written;
    }
    if (reason.isEmpty() && file.error() != QFileDevice::NoError) reason = reasonOf(file);
    if (!reason.isEmpty()) {
        file.cancelWriting();
        file.commit();  // removes the new file; the old one stays
        return fail(error, reason);
    }
    if (!file.commit()) return fail(error, reasonOf(file));
    return true;
}

bool takeStandardOutput(QString *error) {
    if (g_fileOutput >= 0) return true;
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    if (saved < 0) return fail(error, QStringLiteral("standard output cannot be set aside"));
    if (dup2(fileno(stderr), fileno(stdout)) < 0) {
        ::close(saved);
        return fail(error, QStringLiteral("standard output cannot be set aside"));
    }
    g_fileOutput = saved;
    return true;
}

}  // namespace corvane
