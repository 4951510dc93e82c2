// The dBV results file and Save File: bytes against files written by hand, the dialog the
// user is shown, cancel and write failures.

#include "core/linefile.h"
#include "measurements/dbvresultsfile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace corvane;

namespace {

// Answers save dialogs with a fixed path (or cancel) and keeps what it was asked.
class AnsweringDialogs : public FileDialogs {
public:
    std::optional<QString> answer;
    std::vector<FileDialogRequest> requests;
    std::optional<QString> openFile(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest &request) override
    {
        requests.push_back(request);
        return answer;
    }
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An expected file with its date line filled in for this machine's date format.
QByteArray expectedFile(const QString &name, const QDateTime &when)
{
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
    void headerLinesAndDate();
    void saveAsksWithTheDialogAndWrites();
    void secondSaveStartsInTheLastFolder();
    void cancelWritesNothing();
    void writeFailureIsSilent();
};

void TestDbvResultsFile::fileBytes_data()
{
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

void TestDbvResultsFile::fileBytes()
{
    QFETCH(QString, comment);
    QFETCH(QStringList, list);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    QVERIFY(writeDbvResultsFile(path, list, comment, kWhen));
    QCOMPARE(readBytes(path), expectedFile(expected, kWhen));
}

void TestDbvResultsFile::headerLinesAndDate()
{
    const QStringList lines =
        dbvResultsFileLines({"a", "b"}, "c", QDateTime(QDate(2024, 1, 2), QTime(0, 0)));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[2], QString("User Comments: c"));
    // Midnight shows the date alone.
    QCOMPARE(lines[3], "Date run: " + generalDateText(QDateTime(QDate(2024, 1, 2), QTime(0, 0))));
    QVERIFY(!lines[3].mid(9).contains(u':'));
    QCOMPARE(lines.mid(4), (QStringList{"a", "b"}));
}

void TestDbvResultsFile::saveAsksWithTheDialogAndWrites()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dBVResults.txt");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer file that must be replaced entirely\r\n");
    old.close();

    AnsweringDialogs dialogs;
    dialogs.answer = path;
    const auto chosen = saveDbvResults(dialogs, QString(), {"x\ty"}, QString(), kWhen);
    QCOMPARE(chosen, std::optional<QString>(path));
    QCOMPARE(dialogs.requests.size(), size_t(1));
    const FileDialogRequest &r = dialogs.requests.front();
    QCOMPARE(r.title, QString("Save DBV Linearity Results"));
    QCOMPARE(r.filterLabel, QString("Text files (*.txt)"));
    QCOMPARE(r.filterPattern, QString("*.txt"));
    QCOMPARE(r.defaultExtension, QString("txt"));
    QCOMPARE(r.proposedName, QString("dBVResults"));
    QVERIFY(r.confirmReplace);
    QVERIFY(!r.mustExist);
    QCOMPARE(r.initialFolder, initialFolderFor(QString()));
    QCOMPARE(readBytes(path),
             "K3 dBV Linear Range Test Results\r\nBy Quill Ashby, N0CALL\r\n"
             "User Comments: \r\nDate run: " +
                 generalDateText(kWhen).toLatin1() + "\r\nx\ty\r\n");
}

void TestDbvResultsFile::secondSaveStartsInTheLastFolder()
{
    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    dialogs.answer = dir.filePath("first.txt");
    const auto first = saveDbvResults(dialogs, QString(), {}, QString(), kWhen);
    QVERIFY(first);
    dialogs.answer = std::nullopt;
    QVERIFY(!saveDbvResults(dialogs, *first, {}, QString(), kWhen));
    QCOMPARE(dialogs.requests.back().proposedName, QString("dBVResults"));
    QCOMPARE(dialogs.requests.back().initialFolder, QDir(dir.path()).absolutePath());
}

void TestDbvResultsFile::cancelWritesNothing()
{
    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    QVERIFY(!saveDbvResults(dialogs, QString(), {"line"}, QString(), kWhen));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestDbvResultsFile::writeFailureIsSilent()
{
    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    dialogs.answer = dir.filePath("no such folder/out.txt");
    // The chosen path still comes back for the path box; nothing is thrown or shown.
    QCOMPARE(saveDbvResults(dialogs, QString(), {"line"}, QString(), kWhen), dialogs.answer);
    QVERIFY(!QFile::exists(*dialogs.answer));
    QVERIFY(!writeDbvResultsFile(*dialogs.answer, {}, QString(), kWhen));
}

QTEST_GUILESS_MAIN(TestDbvResultsFile)
#include "tst_dbvresultsfile.moc"
