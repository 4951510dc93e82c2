#pragma once
// The filter sweep window's results file (see resultsfile.h for its layout). The
// chart-from-file reader counts on the header staying four lines long (the report's
// frequency lines then stand at 26 to 28 and the data starts at line 31).

#include "measurements/resultsfile.h"

namespace corvane {

bool writeSweepResultsFile(const QString &path, const QStringList &listLines,
                           const QString &comment, const QDateTime &when, QString *error = nullptr);

// Save File of the sweep window; the dialog starts from `fileNameText`, the path shown.
std::optional<QString> saveSweepResults(FileDialogs &dialogs, const QString &fileNameText,
                                        const QStringList &listLines, const QString &comment,
                                        const QDateTime &when, Prompter *prompter = nullptr);

}  // namespace corvane
