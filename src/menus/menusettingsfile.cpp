#include "menus/menusettingsfile.h"

#include "files/filecheck.h"
#include "files/linefile.h"

namespace corvane::menus {

QStringList menuSettingsFileLines(const QStringList &mainLines, const QStringList &configLines,
                                  const QDateTime &when) {
    QStringList lines{kSettingsFileTitleLine, QStringLiteral("Date run: ") + generalDateText(when)};
    return lines + mainLines + configLines;
}

QString writeMenuSettingsFile(const QString &path, const QStringList &lines) {
    QString reason;
    writeLineFile(path, lines, &reason);
    return reason;
}

QString checkMenuSettingsPath(const QString &path) {
    return writeTargetProblem(path);
}

FileDialogRequest menuSettingsSaveRequest(const QString &fileNameText) {
    FileDialogRequest request;
    request.title = kSaveDialogTitle;
    request.filterLabel = QStringLiteral("Text files (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    request.proposedName = QStringLiteral("K3Configuration");
    request.initialFolder = initialFolderFor(fileNameText);
    request.confirmReplace = true;
    return request;
}

SaveOutcome saveMenuSettings(FileDialogs &dialogs, const QString &fileNameText,
                             const QStringList &mainLines, const QStringList &configLines,
                             const QDateTime &when) {
    SaveOutcome outcome;
    const std::optional<QString> path = dialogs.saveFile(menuSettingsSaveRequest(fileNameText));
    if (!path || path->isEmpty()) return outcome;
    outcome.path = path;
    outcome.error =
        writeMenuSettingsFile(*path, menuSettingsFileLines(mainLines, configLines, when));
    return outcome;
}

QString saveFailureText(const QString &path, const QString &reason) {
    return QStringLiteral("The menu settings were not saved. The file %1 could not be written: %2")
        .arg(path, reason);
}

}  // namespace corvane::menus
