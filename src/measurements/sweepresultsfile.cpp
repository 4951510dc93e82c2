#include "measurements/sweepresultsfile.h"

#include <QRegularExpression>

#include "core/linefile.h"

namespace corvane {

QStringList sweepResultsFileLines(const QStringList &listLines, const QString &comment,
                                  const QDateTime &when) {
    QStringList lines;
    lines << QStringLiteral("K3 Crystal Filter Sweep Results")
          << QStringLiteral("By Quill Ashby, N0CALL");
    // Each line break of the comment ends a file line, so the file keeps CR LF throughout.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    lines << (QStringLiteral("User Comments: ") + comment).split(lineBreak);
    lines << QStringLiteral("Date run: ") + generalDateText(when);
    lines << listLines;
    return lines;
}

bool writeSweepResultsFile(const QString &path, const QStringList &listLines,
                           const QString &comment, const QDateTime &when) {
    return writeLineFile(path, sweepResultsFileLines(listLines, comment, when));
}

}  // namespace corvane
