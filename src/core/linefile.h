#pragma once
// Text files as the program saves and reads them: whole lines ended by CR LF, one byte per
// character (Latin-1; characters outside it are written as "?"). Every failure comes back
// to the caller as a value; nothing is thrown.

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>

namespace corvane {

class LineFileWriter {
public:
    // Creates the file, replacing any file of that name.
    bool create(const QString &path);
    bool writeLine(const QString &line);
    // Flushes and closes; false when anything failed since create().
    bool close();
    QString errorString() const { return m_error; }

private:
    QFile m_file;
    QString m_error;
    bool m_failed = false;
};

// Writes all lines in one operation. A failure part way may leave part of the lines.
bool writeLineFile(const QString &path, const QStringList &lines, QString *error = nullptr);

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
