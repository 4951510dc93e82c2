#pragma once
// What a path names, checked before a saved file is opened or written, so that a named pipe
// (which would block), a device (endless, or replaced by the save) or a folder is refused
// at once with a message naming it, and no saved file is read into memory past a size no
// results file comes near.

#include <QString>
#include <QtGlobal>

namespace corvane {

// Loop: a symbolic link that leads back to itself (or through more links than the system
// follows), so that it names nothing.
enum class PathKind { Missing, File, Folder, Fifo, Device, Loop, Other };

// A count as messages write it, with thousands separated: "67,108,865".
QString groupedNumber(qint64 number);

// The kind of what `path` names, after following symbolic links.
PathKind pathKind(const QString &path);

// The largest file the program reads back: far more than any results file holds.
constexpr qint64 kMaxReadBytes = 64 * 1024 * 1024;
inline const QString kMaxReadText = QStringLiteral("64 MB");

// Why `path` is not a file to read ("it is a named pipe (FIFO)", "it is a device", "it is a
// folder", "it is larger than 64 MB, ..."); empty when it may be opened. A missing or
// unreadable file is left to the open, which says why.
QString readProblem(const QString &path);

// -o - : the file goes to standard output.
bool isStandardOutputTarget(const QString &path);
// /dev/null (or what stands for it): the file is thrown away.
bool isDiscardTarget(const QString &path);

// Why a file cannot be written at `path`, checked before any work that would be lost
// ("no file name was given", "the folder /tmp/x does not exist", "/tmp is a folder",
// "/tmp/p is a named pipe (FIFO), not a file"); empty when it can be. Standard output and
// the discard target pass. Nothing is left behind.
QString writeTargetProblem(const QString &path);

// The same for a folder that receives several files (made when missing): empty when it is a
// folder that files can be made in, or one that can be made.
QString folderTargetProblem(const QString &path);

}  // namespace corvane
