#include "measurements/resultsfile.h"

#include <QRegularExpression>

#include "files/linefile.h"

namespace corvane {

QStringList resultsFileLines(const QString &titleLine, const QStringList &listLines,
                             const QString &comment, const QDateTime &when) {
    // Each line break of the comment ends a file line, so the file keeps CR LF throughout.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    lines << titleLine << QStringLiteral("By Quill Ashby, N0CALL");
    lines << (QStringLiteral("User Comments: ") + comment).split(lineBreak);
    lines << QStringLiteral("Date run: ") + generalDateText(when);
    lines << listLines;
    return lines;
}

bool writeResultsFile(const QString &path, const QString &titleLine, const QStringList &listLines,
                      const QString &comment, const QDateTime &when, QString *error) {
    return writeLineFile(path, resultsFileLines(titleLine, listLines, comment, when), error);
}

FileDialogRequest resultsSaveRequest(const QString &dialogTitle, const QString &proposedName,
                                     const QString &initialFolder) {
    FileDialogRequest request;
    request.title = dialogTitle;
    request.filterLabel = QStringLiteral("Text files (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    request.proposedName = proposedName;
    request.initialFolder = initialFolder;
    request.confirmReplace = true;
    return request;
}

std::optional<QString> saveResultsFile(FileDialogs &dialogs, const FileDialogRequest &request,
                                       const QString &titleLine, const QStringList &listLines,
                                       const QString &comment, const QDateTime &when,
                                       Prompter *prompter) {
    const std::optional<QString> path = dialogs.saveFile(request);
    if (!path || path->isEmpty()) return std::nullopt;
    QString reason;
    if (!writeResultsFile(*path, titleLine, listLines, comment, when, &reason) && prompter)
        prompter->message(resultsNotSavedText(*path, reason), programTitle(),
                          MessageIcon::Exclamation);
    return path;
}

QString resultsNotSavedText(const QString &path, const QString &reason) {
    return QStringLiteral("The results were not saved. The file %1 could not be written: %2")
        .arg(path, reason);
}

}  // namespace corvane
