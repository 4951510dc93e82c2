#include <QFile>
#include <QtTest>

#include "core/linefile.h"
#include "tst_core.h"

using namespace corvane;

namespace {
QByteArray contents(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return file.readAll();
}

void putBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString allLatin1High() {
    QString text;
    for (int code = 128; code <= 255; ++code) text.append(QChar(code));
    return text;
}
}  // namespace

void LineFileTest::init() {
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QString LineFileTest::path(const QString &name) const {
    return m_dir->filePath(name);
}

void LineFileTest::writesCrLfLines() {
    const QString file = path(QStringLiteral("list.txt"));
    QVERIFY(writeLineFile(
        file, {QStringLiteral("100\t-23.5\t-33.6\t10.1"), QString(), QStringLiteral("last")}));
    QCOMPARE(contents(file), QByteArray("100\t-23.5\t-33.6\t10.1\r\n\r\nlast\r\n"));

    LineFileWriter writer;
    QVERIFY(writer.create(file));
    QVERIFY(writer.writeLine(QStringLiteral("one")));
    QVERIFY(writer.close());
    QCOMPARE(contents(file), QByteArray("one\r\n"));
}

void LineFileTest::latin1BytesRoundTrip() {
    const QString file = path(QStringLiteral("latin1.txt"));
    const QString line = QStringLiteral("DS") + allLatin1High();
    QVERIFY(writeLineFile(file, {line}));

    QByteArray expected("DS");
    for (int code = 128; code <= 255; ++code) expected.append(char(code));
    expected.append("\r\n");
    QCOMPARE(contents(file), expected);

    LineFileReader reader;
    QVERIFY(reader.open(file));
    QCOMPARE(reader.readLine(), line);
    QVERIFY(reader.atEnd());
}

void LineFileTest::charactersOutsideLatin1BecomeQuestionMarks() {
    const QString file = path(QStringLiteral("euro.txt"));
    QVERIFY(writeLineFile(file, {QString::fromUtf8("5 \u20ac")}));
    QCOMPARE(contents(file), QByteArray("5 ?\r\n"));
}

void LineFileTest::replacesExistingFile() {
    const QString file = path(QStringLiteral("replace.txt"));
    putBytes(file, QByteArray(1000, 'x'));
    QVERIFY(writeLineFile(file, {QStringLiteral("short")}));
    QCOMPARE(contents(file), QByteArray("short\r\n"));
}

void LineFileTest::unwritablePathReportsFailure() {
    const QString file = path(QStringLiteral("no/such/folder/list.txt"));
    QString error;
    QVERIFY(!writeLineFile(file, {QStringLiteral("a")}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(file));

    // A folder where the file should be.
    QString folderError;
    QVERIFY(!writeLineFile(m_dir->path(), {QStringLiteral("a")}, &folderError));
    QVERIFY(!folderError.isEmpty());
}

void LineFileTest::writeAfterFailedCreateFails() {
    LineFileWriter writer;
    QVERIFY(!writer.create(path(QStringLiteral("missing/x.txt"))));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!writer.writeLine(QStringLiteral("a")));
    QVERIFY(!writer.close());
}

void LineFileTest::readsLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept")
        << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{"a", "", "", "b"};
    QTest::newRow("mixed") << QByteArray("1\n2\r\n3") << QStringList{"1", "2", "3"};
    QTest::newRow("tabs kept") << QByteArray("x\t\ty\r\n") << QStringList{"x\t\ty"};
}

void LineFileTest::readsLineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString file = path(QStringLiteral("read.txt"));
    putBytes(file, bytes);
    LineFileReader reader;
    QVERIFY(reader.open(file));
    QStringList read;
    while (!reader.atEnd()) read << reader.readLine();
    QCOMPARE(read, lines);
    QCOMPARE(reader.readLine(), QString());
}

void LineFileTest::skipAndEnd() {
    const QString file = path(QStringLiteral("skip.txt"));
    putBytes(file, "header\r\nsecond\nthird");
    LineFileReader reader;
    QVERIFY(reader.open(file));
    QVERIFY(!reader.atEnd());
    QVERIFY(reader.skipLine());
    QCOMPARE(reader.readLine(), QStringLiteral("second"));
    QVERIFY(!reader.atEnd());
    QVERIFY(reader.skipLine());
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.skipLine());
    QCOMPARE(reader.readLine(), QString());
    reader.close();
    QVERIFY(reader.atEnd());
}

void LineFileTest::missingFileReportsFailure() {
    LineFileReader reader;
    QVERIFY(!reader.open(path(QStringLiteral("absent.txt"))));
    QVERIFY(!reader.errorString().isEmpty());
    QVERIFY(reader.atEnd());
    QCOMPARE(reader.readLine(), QString());
    QVERIFY(!reader.skipLine());
}

void LineFileTest::emptyFileIsAtEnd() {
    const QString file = path(QStringLiteral("empty.txt"));
    QVERIFY(writeLineFile(file, {}));
    QCOMPARE(contents(file), QByteArray());
    LineFileReader reader;
    QVERIFY(reader.open(file));
    QVERIFY(reader.atEnd());
}
