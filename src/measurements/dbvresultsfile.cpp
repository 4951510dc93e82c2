#include "measurements/dbvresultsfile.h"

#include "core/linefile.h"

#include <QRegularExpression>

namespace corvane {

QStringList dbvResultsFileLines(const QStringList &listLines, const QString &comment,
                                const QDateTime &when)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    lines << QStringLiteral("K3 dBV Linear Range Test Results")
          << QStringLiteral("By Quill Ashby, N0CALL");
    lines << (QStringLiteral("User Comments: ") + comment).split(lineBreak);
    lines << QStringLiteral("Date run: ") + generalDateText(when);
    lines << listLines;
    return lines;
}

bool writeDbvResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when)
{
    return writeLineFile(path, dbvResultsFileLines(listLines, comment, when));
}

FileDialogRequest dbvSaveRequest(const QString &fileNameText)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save DBV Linearity Results");
    request.filterLabel = QStringLiteral("Text files (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    request.proposedName = QStringLiteral("dBVResults");
    request.initialFolder = initialFolderFor(fileNameText);
    request.confirmReplace = true;
    return request;
}

std::optional<QString> saveDbvResults(FileDialogs &dialogs, const QString &fileNameText,
                                      const QStringList &listLines, const QString &comment,
                                      const QDateTime &when)
{
    const std::optional<QString> path = dialogs.saveFile(dbvSaveRequest(fileNameText));
    if (!path || path->isEmpty()) return std::nullopt;
    // A write failure ends Save File without a message; the path is still shown.
    writeDbvResultsFile(*path, listLines, comment, when);
    return path;
}

}  // namespace corvane
