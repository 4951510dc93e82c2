#pragma once
// A measurement window's results file: four header lines (the window's title line, author,
// the user's comment, the date run) and then every line of its results list, CR LF, Latin-1.
// The saved-file viewer and the chart-from-file readers count on these line positions.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/filedialogs.h"
#include "core/prompter.h"

namespace corvane {

// The file's lines. A comment holding line breaks spreads over several lines.
QStringList resultsFileLines(const QString &titleLine, const QStringList &listLines,
                             const QString &comment, const QDateTime &when);

// Creates or replaces the file and writes the lines, all or nothing (QSaveFile); false on any
// failure, with the reason in `error`; an old file of that name is then left as it was.
bool writeResultsFile(const QString &path, const QString &titleLine, const QStringList &listLines,
                      const QString &comment, const QDateTime &when, QString *error = nullptr);

// Save File's dialog: a text file, replacing one only when the user confirms.
FileDialogRequest resultsSaveRequest(const QString &dialogTitle, const QString &proposedName,
                                     const QString &initialFolder);

// Save File: asks for the path and writes the file. Returns the chosen path, also when
// writing it failed (the prompter then says why; the list is not touched); nothing on cancel.
std::optional<QString> saveResultsFile(FileDialogs &dialogs, const FileDialogRequest &request,
                                       const QString &titleLine, const QStringList &listLines,
                                       const QString &comment, const QDateTime &when,
                                       Prompter *prompter = nullptr);

// "The results were not saved. The file PATH could not be written: REASON"
QString resultsNotSavedText(const QString &path, const QString &reason);

}  // namespace corvane
