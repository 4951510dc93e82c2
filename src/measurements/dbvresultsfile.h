#pragma once
// The dBV results file: four header lines (title, author, the user's comment, the date run)
// and then every line of the window's results list, CR LF, Latin-1. The saved-file viewer
// and the chart-from-file reader count on these line positions.

#include "core/filedialogs.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The file's lines. A comment holding line breaks spreads over several lines.
QStringList dbvResultsFileLines(const QStringList &listLines, const QString &comment,
                                const QDateTime &when);

// Creates or replaces the file and writes the lines; false on any failure (a file already
// created may then hold part of the lines).
bool writeDbvResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when);

// The save dialog of the dBV window; `fileNameText` is the path saved last (may be empty).
FileDialogRequest dbvSaveRequest(const QString &fileNameText);

// Save File: asks for the path and writes the file. Returns the chosen path, also when
// writing it failed (a failure is silent); nothing on cancel.
std::optional<QString> saveDbvResults(FileDialogs &dialogs, const QString &fileNameText,
                                      const QStringList &listLines, const QString &comment,
                                      const QDateTime &when);

}  // namespace corvane
