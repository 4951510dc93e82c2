#include "link/radiolog.h"

namespace corvane {

namespace {
// The commands whose answers say which radio this is.
const QStringList kIdentityCommands{QStringLiteral("id;"), QStringLiteral("rvm;"),
                                    QStringLiteral("rvd;"), QStringLiteral("rvf;")};

// A saved line stays one line and says exactly which bytes came: control bytes (a garbled
// answer, a line break) as \xNN, and the backslash doubled, since the K3's display answers
// use it as a glyph.
QString escaped(const QString &line) {
    QString out;
    out.reserve(line.size());
    for (const QChar c : line) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}
}  // namespace

RadioLog::RadioLog(int maxLines) : m_maxLines(qMax(1, maxLines)) {}

QString RadioLog::stampedLine(const TraceEvent &event) {
    return QString::number(event.at).rightJustified(8) + u' ' + LinkTrace::lineOf(event);
}

void RadioLog::add(const TraceEvent &event) {
    if (event.kind == TraceEvent::Kind::Write) {
        m_lastWrite = event.text.trimmed().toLower();
    } else if (event.kind == TraceEvent::Kind::Read) {
        if (!event.text.isEmpty() && kIdentityCommands.contains(m_lastWrite))
            m_answers.insert(m_lastWrite, event.text);
        m_lastWrite.clear();
    }
    m_lines.push_back(stampedLine(event));
    if (int(m_lines.size()) > m_maxLines) {
        m_lines.pop_front();
        ++m_dropped;
    }
}

QStringList RadioLog::lines() const {
    return QStringList(m_lines.begin(), m_lines.end());
}

QString RadioLog::answerTo(const QString &command) const {
    if (!m_answers.contains(command)) return QStringLiteral("not read");
    const QString answer = m_answers.value(command);
    // "RVM04.45;" -> "04.45"; an answer of another form as it came.
    const QString head = command.left(command.size() - 1).toUpper();
    if (answer.startsWith(head) && answer.endsWith(u';'))
        return answer.mid(head.size(), answer.size() - head.size() - 1);
    return answer;
}

QStringList RadioLog::fileLines(const QString &version, const QString &port,
                                const QDateTime &when) const {
    QStringList out;
    out << QStringLiteral("Corvane radio log");
    out << QStringLiteral("Corvane version: ") + version;
    out << QStringLiteral("Saved: ") + when.toString(Qt::ISODate);
    out << QStringLiteral("Port: ") + port;
    const QString id = m_answers.value(QStringLiteral("id;"));
    out << QStringLiteral("Radio: ") +
               (id.isEmpty() ? QStringLiteral("not identified in this session") : escaped(id));
    if (m_answers.contains(QStringLiteral("rvm;")) || m_answers.contains(QStringLiteral("rvd;")) ||
        m_answers.contains(QStringLiteral("rvf;")))
        out << escaped(QStringLiteral("Firmware: MCU %1, DSP %2, front panel %3")
                           .arg(answerTo(QStringLiteral("rvm;")), answerTo(QStringLiteral("rvd;")),
                                answerTo(QStringLiteral("rvf;"))));
    else
        out << QStringLiteral(
            "Firmware: not read in this session (every test reads it as it "
            "starts)");
    QString kept = QStringLiteral("Lines: %1").arg(size());
    if (m_dropped > 0)
        kept += QStringLiteral(" (the last %1; the %2 before them were let go)")
                    .arg(m_maxLines)
                    .arg(m_dropped);
    out << kept;
    out << QStringLiteral(
        "Each line: ms since Corvane started, then W written, S wait in ms, R read, M message "
        "shown, Y the windows' turn; control bytes as \\xNN, a backslash as \\\\.");
    out << QString();
    for (const QString &line : m_lines) out << escaped(line);
    return out;
}

}  // namespace corvane
