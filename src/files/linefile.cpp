#include "files/linefile.h"

#include <QFile>
#include <QLocale>

#include "files/atomicfile.h"
#include "files/filecheck.h"

namespace corvane {

bool LineFileWriter::create(const QString &path) {
    m_path = path;
    m_bytes.clear();
    m_error = writeTargetProblem(path);
    m_open = m_error.isEmpty();
    return m_open;
}

bool LineFileWriter::writeLine(const QString &line) {
    if (!m_open) return false;
    m_bytes += line.toLatin1();
    m_bytes.append("\r\n", 2);
    return true;
}

bool LineFileWriter::close() {
    if (!m_open) return false;
    m_open = false;
    const bool written = writeFileAtomically(m_path, m_bytes, &m_error);
    m_bytes.clear();
    return written;
}

QByteArray lineFileBytes(const QStringList &lines) {
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toLatin1();
        bytes.append("\r\n", 2);
    }
    return bytes;
}

bool writeLineFile(const QString &path, const QStringList &lines, QString *error) {
    QString reason;
    if (writeFileAtomically(path, lineFileBytes(lines), &reason)) return true;
    if (error) *error = reason;
    return false;
}

std::optional<QStringList> readTextLines(const QString &path, QString *error, bool *lastLineEnded) {
    LineFileReader reader;
    if (!reader.open(path)) {
        if (error) *error = reader.errorString();
        return std::nullopt;
    }
    QStringList lines;
    while (!reader.atEnd()) lines << reader.readLine();
    if (lastLineEnded) *lastLineEnded = reader.lastLineEnded();
    reader.close();
    return lines;
}

bool LineFileReader::open(const QString &path) {
    QFile file(path);
    m_pos = 0;
    m_data.clear();
    m_open = false;
    m_lastLineEnded = true;
    m_error = readProblem(path);
    if (!m_error.isEmpty()) return false;
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    // Only regular files get here, and their size was checked; one that grew past the cap
    // while it was read is refused too.
    m_data = file.readAll();
    if (m_data.size() > kMaxReadBytes) {
        m_error =
            QStringLiteral("it is larger than %1; no saved file is that large").arg(kMaxReadText);
        m_data.clear();
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        m_data.clear();
        return false;
    }
    m_open = true;
    return true;
}

bool LineFileReader::atEnd() const {
    return !m_open || m_pos >= m_data.size();
}

QString LineFileReader::readLine() {
    if (atEnd()) return QString();
    int end = m_pos;
    while (end < m_data.size() && m_data.at(end) != '\r' && m_data.at(end) != '\n') ++end;
    const QString line = QString::fromLatin1(m_data.constData() + m_pos, end - m_pos);
    m_lastLineEnded = end < m_data.size();
    if (end < m_data.size() && m_data.at(end) == '\r') ++end;
    if (end < m_data.size() && m_data.at(end) == '\n') ++end;
    m_pos = end;
    return line;
}

bool LineFileReader::skipLine() {
    if (atEnd()) return false;
    readLine();
    return true;
}

void LineFileReader::close() {
    m_open = false;
    m_data.clear();
    m_pos = 0;
}

QString timeFormatWithoutZone(const QString &format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == u't') ++i;
        // The separator that stood before the zone goes with it.
        while (!out.isEmpty() && out.back().isSpace()) out.chop(1);
    }
    return out.trimmed();
}

QString generalDateText(const QDateTime &when, const QLocale &locale) {
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() == QTime(0, 0, 0)) return date;
    return date + u' ' +
           locale.toString(when.time(),
                           timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString generalDateText(const QDateTime &when) {
    return generalDateText(when, QLocale::system());
}

}  // namespace corvane
