#pragma once
// Text files as the program saves and reads them: whole lines ended by CR LF, one byte per
// character (Latin-1; characters outside it are written as "?"). Every failure comes back
// to the caller as a value; nothing is thrown.

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace corvane {

// Writes through QSaveFile: the lines go to a new file beside the target, which replaces the
// target only when everything was written. A failure (disk full, no permission, read-only
// disk) leaves the old file, or none, never part of one; errorString() says why.
class LineFileWriter {
public:
    // Starts the file; any file of that name is replaced at close().
    bool create(const QString &path);
    bool writeLine(const QString &line);
    // Writes the file in place of the old one; false when anything failed since create().
    bool close();
    QString errorString() const { return m_error; }

private:
    QSaveFile m_file;
    QString m_error;
    bool m_failed = false;
};

// Writes all lines in one operation, all or nothing; `error` gets the reason of a failure.
bool writeLineFile(const QString &path, const QStringList &lines, QString *error = nullptr);

// Why a file could not be written at path, checked before any work that would be lost
// ("the folder /tmp/x does not exist", "/tmp is a folder", "Permission denied"); empty when
// a file can be created there. Nothing is left behind.
QString fileWriteProblem(const QString &path);

class LineFileReader {
public:
    bool open(const QString &path);
    bool atEnd() const;
    // The next line without its line end (CR LF, LF or CR); empty text past the end.
    QString readLine();
    // Skips one line; false at the end of the file.
    bool skipLine();
    void close();
    QString errorString() const { return m_error; }

private:
    QByteArray m_data;
    int m_pos = 0;
    bool m_open = false;
    QString m_error;
};

// "Date run:" text: the short date, a blank and the long time in the system's format
// ("06/12/2026 10:28:20"); midnight shows the date alone. The time is the local time the
// user reads on the clock, so it carries no time zone name even where the locale's long
// time format has one (Qt's formats add "UTC" or "Central European Standard Time").
QString generalDateText(const QDateTime &when);
QString generalDateText(const QDateTime &when, const QLocale &locale);
// A QLocale time format less its time zone fields ("t".."tttt") and the blanks before them.
QString timeFormatWithoutZone(const QString &format);

}  // namespace corvane
