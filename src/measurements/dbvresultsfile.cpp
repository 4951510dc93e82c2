#include "measurements/dbvresultsfile.h"

namespace corvane {

namespace {
const QString kTitleLine = QStringLiteral("K3 dBV Linear Range Test Results");
}  // namespace

bool writeDbvResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when, QString *error) {
    return writeResultsFile(path, kTitleLine, listLines, comment, when, error);
}

std::optional<QString> saveDbvResults(FileDialogs &dialogs, const QString &fileNameText,
                                      const QStringList &listLines, const QString &comment,
                                      const QDateTime &when, Prompter *prompter) {
    const FileDialogRequest request =
        resultsSaveRequest(QStringLiteral("Save DBV Linearity Results"),
                           QStringLiteral("dBVResults"), initialFolderFor(fileNameText));
    return saveResultsFile(dialogs, request, kTitleLine, listLines, comment, when, prompter);
}

}  // namespace corvane
