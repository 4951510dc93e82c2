#pragma once
// The dBV window's results file (see resultsfile.h for its layout).

#include "measurements/resultsfile.h"

namespace corvane {

bool writeDbvResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when, QString *error = nullptr);

// Save File of the dBV window; `fileNameText` is the path saved last (may be empty).
std::optional<QString> saveDbvResults(FileDialogs &dialogs, const QString &fileNameText,
                                      const QStringList &listLines, const QString &comment,
                                      const QDateTime &when, Prompter *prompter = nullptr);

}  // namespace corvane
