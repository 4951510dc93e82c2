#pragma once
// The filter sweep results file: four header lines, then the results list as it stands.
// Whole lines ended by CR LF, one byte per character. The chart-from-file reader counts on
// the header staying four lines long (the report's frequency lines then stand at 26 to 28
// and the data starts at line 31).

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace corvane {

// The lines of the file: title, author, "User Comments: " + comment (a comment holding line
// breaks goes on as further lines), "Date run: " + the date, then the list lines.
QStringList sweepResultsFileLines(const QStringList &listLines, const QString &comment,
                                  const QDateTime &when);

// Creates or replaces the file; false when it cannot be created or written.
bool writeSweepResultsFile(const QString &path, const QStringList &listLines,
                           const QString &comment, const QDateTime &when);

}  // namespace corvane
