#include "files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
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
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    // QSaveFile keeps what the buffered writes could not write to itself, and a failed flush
    // at commit would still put the short file in place: every step is checked here, and the
    // first failure drops the new file.
    QString reason;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        reason = file.errorString();
    if (!reason.isEmpty()) {
        file.cancelWriting();
        file.commit();  // removes the new file; the old one stays
        return fail(error, reason);
    }
    if (!file.commit()) return fail(error, file.errorString());
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
