#include "measurements/sweepresultsfile.h"

namespace corvane {

namespace {
const QString kTitleLine = QStringLiteral("K3 Crystal Filter Sweep Results");
}  // namespace

bool writeSweepResultsFile(const QString &path, const QStringList &listLines,
                           const QString &comment, const QDateTime &when, QString *error) {
    return writeResultsFile(path, kTitleLine, listLines, comment, when, error);
}

std::optional<QString> saveSweepResults(FileDialogs &dialogs, const QString &fileNameText,
                                        const QStringList &listLines, const QString &comment,
                                        const QDateTime &when, Prompter *prompter) {
    const FileDialogRequest request = resultsSaveRequest(
        QStringLiteral("Save Filter Sweep Results"), QStringLiteral("FilterSweep"), fileNameText);
    return saveResultsFile(dialogs, request, kTitleLine, listLines, comment, when, prompter);
}

}  // namespace corvane
