#pragma once
// The menu settings file: "K3 MAIN & CONFIG Menu Settings", "Date run: " and the date and
// time, then every line of the MAIN list and every line of the CONFIG list, as they are on
// screen (MAIN first, whichever report ran first; a list never filled adds nothing). Lines
// end in CR LF, one byte per character. So 2, 18, 103 or 119 lines.
//
// The file is written whole through the checked writer (files/atomicfile.h): either the new file is
// there complete, or the old one is untouched and the caller learns why.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/filedialogs.h"

namespace corvane::menus {

inline const QString kSettingsFileTitleLine = QStringLiteral("K3 MAIN & CONFIG Menu Settings");
inline const QString kSaveDialogTitle = QStringLiteral("Save Menu Settings");

QStringList menuSettingsFileLines(const QStringList &mainLines, const QStringList &configLines,
                                  const QDateTime &when);

// Creates or replaces the file with the lines. Empty on success, else the reason.
QString writeMenuSettingsFile(const QString &path, const QStringList &lines);
// Whether a file could be written at `path`, tried without leaving anything behind. Empty
// when it can, else the reason (corvane-cli checks -o before it touches the radio).
QString checkMenuSettingsPath(const QString &path);

// Save's dialog: a text file named "K3Configuration" by default, starting in the folder of
// the file saved last (`fileNameText`, may be empty), asking before replacing a file.
FileDialogRequest menuSettingsSaveRequest(const QString &fileNameText);

struct SaveOutcome {
    std::optional<QString> path;  // the chosen path; none when the dialog was cancelled
    QString error;                // why the file could not be written; empty when it was
};

// Save (cmdSaveMain): asks for the path, then writes the file.
SaveOutcome saveMenuSettings(FileDialogs &dialogs, const QString &fileNameText,
                             const QStringList &mainLines, const QStringList &configLines,
                             const QDateTime &when);

// The message for a file that could not be written: its path and the reason.
QString saveFailureText(const QString &path, const QString &reason);

}  // namespace corvane::menus
