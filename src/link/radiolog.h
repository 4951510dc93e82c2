#pragma once
// The GUI's radio log, for bug reports: the session's exchange with the radio as
// corvane-cli --trace prints it (every write, wait, read and yield, stamped with the clock's
// milliseconds), and the messages the user was shown. Only the last lines are kept, and only
// in memory: nothing is written unless the user saves it (Help > Save Radio Log...).

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <deque>

#include "link/linktrace.h"

namespace corvane {

class RadioLog {
public:
    static constexpr int kMaxLines = 50000;
    explicit RadioLog(int maxLines = kMaxLines);

    // Adds the event's line; the oldest line goes once the log is full.
    void add(const TraceEvent &event);
    QStringList lines() const;
    int size() const { return int(m_lines.size()); }
    // Lines of this session no longer kept.
    qint64 droppedLines() const { return m_dropped; }

    // The saved file: a heading with the program's version, the date, the port and what the
    // session read of the radio's identity ("id;" and the firmware revisions "rvm;", "rvd;",
    // "rvf;", read by every test as it starts), then the lines.
    QStringList fileLines(const QString &version, const QString &port, const QDateTime &when) const;

    // "     120 W id;": the time right-aligned in 8 columns, then LinkTrace's line.
    static QString stampedLine(const TraceEvent &event);

private:
    QString answerTo(const QString &command) const;

    int m_maxLines;
    std::deque<QString> m_lines;
    qint64 m_dropped = 0;
    QString m_lastWrite;
    QHash<QString, QString> m_answers;  // "id;" -> "ID017;", the last answer of each
};

}  // namespace corvane
