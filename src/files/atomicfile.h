#pragma once
// The one way the program writes a file: the whole content at once, to a new file beside the
// target that replaces it only when every byte was written and flushed. On any failure (a
// full disk, no permission, a read-only disk) the old file is left as it was, where there
// was none none is left (not even an empty one), and the caller gets the system's reason.
//
// Two targets are not files: "-" is standard output (see takeStandardOutput) and /dev/null
// throws the content away.

#include <QByteArray>
#include <QString>

namespace corvane {

// Writes `bytes` as the new content of `path`; false after putting the reason into `error`.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// For a command that writes its file to standard output ("-"): from now on what the program
// prints on standard output goes to standard error, and "-" writes to the standard output
// the program was started with, so that it holds the file and nothing else. Call it once,
// before anything is printed; false (with the reason) when the output cannot be set aside.
bool takeStandardOutput(QString *error = nullptr);

}  // namespace corvane
