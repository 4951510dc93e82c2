#include "files/linefile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>

namespace corvane {

bool LineFileWriter::create(const QString &path) {
    m_failed = false;
    m_error.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly)) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

bool LineFileWriter::writeLine(const QString &line) {
    if (!m_file.isOpen()) {
        m_failed = true;
        return false;
    }
    QByteArray bytes = line.toLatin1();
    bytes.append("\r\n", 2);
    if (m_file.write(bytes) != bytes.size()) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

bool LineFileWriter::close() {
    if (!m_file.isOpen()) return !m_failed;
    if (m_failed) {
        m_file.cancelWriting();
        m_file.commit();  // discards the new file; the old one stays
        return false;
    }
    if (!m_file.commit()) {
        m_failed = true;
        m_error = m_file.errorString();
    }
    return !m_failed;
}

bool writeLineFile(const QString &path, const QStringList &lines, QString *error) {
    LineFileWriter writer;
    bool ok = writer.create(path);
    for (int i = 0; ok && i < lines.size(); ++i) ok = writer.writeLine(lines.at(i));
    ok = writer.close() && ok;
    if (!ok && error) *error = writer.errorString();
    return ok;
}

QString fileWriteProblem(const QString &path) {
    if (path.isEmpty()) return QStringLiteral("no file name was given");
    const QFileInfo target(path);
    if (target.isDir()) return path + QStringLiteral(" is a folder");
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder ") + QDir::toNativeSeparators(folder.filePath()) +
               QStringLiteral(" does not exist");
    if (!folder.isDir())
        return QDir::toNativeSeparators(folder.filePath()) + QStringLiteral(" is not a folder");
    if (target.exists() && !target.isWritable()) return path + QStringLiteral(" is read-only");
    // The real test: a file made in that folder, as the save will make one.
    QTemporaryFile probe(folder.filePath() + QStringLiteral("/.corvane-XXXXXX"));
    if (!probe.open()) return probe.errorString();
    return QString();
}

bool LineFileReader::open(const QString &path) {
    QFile file(path);
    m_pos = 0;
    m_data.clear();
    m_open = false;
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    m_data = file.readAll();
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
