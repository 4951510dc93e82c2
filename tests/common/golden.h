#pragma once
// Expected values kept as data in the area's tests/<area>/data (CORVANE_TEST_DATA):
//   dataBytes(name), dataLines(name)  a golden file's bytes / lines (LF between lines, Latin-1)
//   CORVANE_COMPARE_GOLDEN(actual, name) QCOMPARE against a golden file; on a difference the
//                                     actual lines are also written to <name>.actual in the
//                                     working folder, for a diff
//   addRows(name, columns)            one QTest row per line of a table file: tab-separated
//                                     fields, the first names the row, the rest fill the
//                                     QString columns; "#" lines are comments; escapes \t \r
//                                     \n \\ \xHH (a byte, so \x20 keeps a blank at the end)
//   bytesOf(text)                     a table field as the bytes it stands for
//   FixedLocale                       the system locale en_GB and the time zone UTC, set
//                                     before Qt reads them: a "Date run:" line is a literal

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

namespace corvane::test {

inline QString dataPath(const QString &name) {
    return QStringLiteral(CORVANE_TEST_DATA "/") + name;
}

inline QByteArray dataBytes(const QString &name) {
    QFile file(dataPath(name));
    if (!file.open(QIODevice::ReadOnly)) qWarning("no data file %s", qPrintable(name));
    return file.readAll();
}

inline QStringList dataLines(const QString &name) {
    QString text = QString::fromLatin1(dataBytes(name));
    if (text.endsWith(u'\n')) text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

// The text of a table field, escapes decoded.
inline QString unescape(const QString &field) {
    QString out;
    for (int i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != u'\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        const QChar e = field.at(++i);
        if (e == u't')
            out += u'\t';
        else if (e == u'r')
            out += u'\r';
        else if (e == u'n')
            out += u'\n';
        else if (e == u'x' && i + 2 < field.size()) {
            out += QChar(field.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            out += e;
    }
    return out;
}

inline QByteArray bytesOf(const QString &text) {
    return text.toLatin1();
}

// The column names must outlive the test function: pass literals.
inline void addRows(const QString &name, std::initializer_list<const char *> columns) {
    for (const char *column : columns) QTest::addColumn<QString>(column);
    for (const QString &line : dataLines(name)) {
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList fields = line.split(u'\t');
        QTestData &row = QTest::newRow(qPrintable(fields.first()));
        for (int i = 1; i <= int(columns.size()); ++i) row << unescape(fields.value(i));
    }
}

#define CORVANE_COMPARE_GOLDEN(actual, name)                                         \
    do {                                                                             \
        const QStringList goldenActual_ = (actual);                                  \
        if (goldenActual_ != corvane::test::dataLines(name)) {                       \
            QFile out_(QString(name).section(u'/', -1) + QStringLiteral(".actual")); \
            if (out_.open(QIODevice::WriteOnly))                                     \
                out_.write(goldenActual_.join(u'\n').toLatin1() + '\n');             \
        }                                                                            \
        QCOMPARE(goldenActual_, corvane::test::dataLines(name));                     \
    } while (false)

struct FixedLocale {
    FixedLocale() {
        qputenv("LC_ALL", "en_GB.UTF-8");
        qputenv("TZ", "UTC");
        tzset();
    }
};

}  // namespace corvane::test
