// The dBV results file: bytes against files written by hand.

#include <QTemporaryDir>
#include <QtTest>

#include "core/linefile.h"
#include "measurements/dbvresultsfile.h"

using namespace corvane;

namespace {

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An expected file with its date line filled in for this machine's date format.
QByteArray expectedFile(const QString &name, const QDateTime &when) {
    QByteArray bytes = readBytes(QFINDTESTDATA("data/" + name));
    bytes.replace("@DATE@", generalDateText(when).toLatin1());
    return bytes;
}

const QDateTime kWhen(QDate(2024, 3, 9), QTime(14, 5, 7));

}  // namespace

class TestDbvResultsFile : public QObject {
    Q_OBJECT

private slots:
    void fileBytes_data();
    void fileBytes();
};

void TestDbvResultsFile::fileBytes_data() {
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comment over several lines")
        << QString(
               "FL3 2.7 kHz, 14060 kHz\nsecond line of the comment\r\n\r\nafter an empty line "
               "\u00e9")
        << QStringList{"K3 Serial Number:   \t05321", "RF Gain\tdBV 1\tdBV 2\tDiff",
                       "100\t-23.5\t-33.6\t10.1", "101\t-5.3\t-15.3\t10.0"}
        << "dbvresults-comment.txt";
    QTest::newRow("empty comment, cleared list")
        << QString() << QStringList() << "dbvresults-empty.txt";
}

void TestDbvResultsFile::fileBytes() {
    QFETCH(QString, comment);
    QFETCH(QStringList, list);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    QVERIFY(writeDbvResultsFile(path, list, comment, kWhen));
    QCOMPARE(readBytes(path), expectedFile(expected, kWhen));
}

QTEST_GUILESS_MAIN(TestDbvResultsFile)
#include "tst_dbvresultsfile.moc"
