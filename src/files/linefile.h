#pragma once
// Text files as the program saves and reads them: whole lines ended by CR LF, one byte per
// character (Latin-1; characters outside it are written as "?"). Every failure comes back
// to the caller as a value; nothing is thrown.

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace corvane {

// The lines are gathered and written whole at close() through the checked, all-or-nothing
// writer (files/atomicfile.h): a failure (disk full, no permission, read-only disk) leaves
// the old file, or none, never part of one; errorString() says why.
class LineFileWriter {
public:
    // Starts the file; any file of that name is replaced at close(). False when no file can
    // be written there.
    bool create(const QString &path);
    bool writeLine(const QString &line);
    // Writes the file in place of the old one; false when anything failed since create().
    bool close();
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QByteArray m_bytes;
    QString m_error;
    bool m_open = false;
};

// The lines as the file holds them: each ended by CR LF, Latin-1.
QByteArray lineFileBytes(const QStringList &lines);

// Writes all lines in one operation, all or nothing; `error` gets the reason of a failure.
// "-" is standard output and /dev/null discards (files/atomicfile.h).
bool writeLineFile(const QString &path, const QStringList &lines, QString *error = nullptr);

// The lines of a text file (CR LF, LF or CR line ends, one byte per character); nothing,
// with the reason in `error`, when it cannot be read or is not a file (files/filecheck.h).
// `lastLineEnded` (when given) tells whether the last line had its line end: the program
// ends every line it writes, so a last line without one was cut off.
std::optional<QStringList> readTextLines(const QString &path, QString *error,
                                         bool *lastLineEnded = nullptr);

// Reads a whole file at open(); a named pipe, a device, a folder or a file larger than the
// program reads back is refused before it is opened.
class LineFileReader {
public:
    bool open(const QString &path);
    bool atEnd() const;
    // The next line without its line end (CR LF, LF or CR); empty text past the end.
    QString readLine();
    // Skips one line; false at the end of the file.
    bool skipLine();
    // Whether the line read last had a line end (true before any line is read).
    bool lastLineEnded() const { return m_lastLineEnded; }
    void close();
    QString errorString() const { return m_error; }

private:
    QByteArray m_data;
    int m_pos = 0;
    bool m_open = false;
    bool m_lastLineEnded = true;
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
