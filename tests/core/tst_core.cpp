// The core area: numbers and text as the program reads and writes them (a table), line files
// (bytes written, line ends read, failures reported), the leave-box check and the results
// list's tab stops.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "common/golden.h"
#include "core/numtext.h"
#include "core/prompter.h"
#include "core/ui/leavevalidator.h"
#include "core/ui/resultslist.h"
#include "files/linefile.h"

using namespace corvane;
using namespace corvane::test;

namespace {

QString fits(std::optional<qint64> value) {
    return value ? QString::number(*value) : QString("-");
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void numbers_data() { addRows("numbers.tsv", {"function", "argument", "result"}); }
    void numbers();
    void writesLineFiles();
    void readsLineEnds_data() { addRows("lineends.tsv", {"bytes", "lines"}); }
    void readsLineEnds();
    void fileFailuresAreReported();
    void leaveCheck_data() { addRows("leaving.tsv", {"first", "second", "refused"}); }
    void leaveCheck();
    void tabStops();
};

void TestCore::numbers() {
    QFETCH(QString, function);
    QFETCH(QString, argument);
    const QString text = argument.section(u' ', 0, -2), last = argument.section(u' ', -1);
    const double number =
        argument.startsWith(u'f') ? double(argument.mid(1).toFloat()) : argument.toDouble();
    QString got;
    if (function == "value")
        got = QString::number(numericValue(argument), 'g', 15) +
              (isNumber(argument) ? " number" : "");
    else if (function == "round")
        got = QString::number(roundHalfEvenTo(text.toDouble(), last.toInt()), 'g', 15);
    else if (function == "int16")
        got = fits(toInt16(number));
    else if (function == "int32")
        got = fits(toInt32(number));
    else if (function == "shortest")
        got = shortestText(number);
    else if (function == "single")
        got = singleText(number);
    else if (function.startsWith("fixed"))
        got = formatFixed(number, function.right(1).toInt());
    else if (function == "textfixed")
        got = formatTextFixed(argument, 1);
    else if (function == "cut") {
        const QString cut = argument.section(u' ', 0, -3);
        const int front = argument.section(u' ', -2, -2).toInt(), back = last.toInt();
        got = cutMiddle(cut, front, back) + u'|' + leftOf(cut, front) + u'|' + rightOf(cut, back);
    }
    QTEST(got, "result");
    if (function == "round" && last == "0")
        QCOMPARE(roundHalfEven(text.toDouble()), roundHalfEvenTo(text.toDouble(), 0));
}

void TestCore::writesLineFiles() {
    QTemporaryDir dir;
    const QString file = dir.filePath("list.txt");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(1000, 'x')) == 1000);
    old.close();  // replaced, not overwritten in place
    QString high;
    for (int code = 128; code <= 255; ++code) high += QChar(code);
    QVERIFY(writeLineFile(
        file, {"100\t-23.5\t-33.6\t10.1", QString(), "DS" + high, QString::fromUtf8("5 \u20ac")}));
    QByteArray expected = "100\t-23.5\t-33.6\t10.1\r\n\r\nDS" + high.toLatin1() + "\r\n5 ?\r\n";
    QCOMPARE(contents(file), expected);
    LineFileReader reader;
    QVERIFY(reader.open(file));
    QVERIFY(reader.skipLine());
    QVERIFY(reader.skipLine());
    QCOMPARE(reader.readLine(), "DS" + high);  // Latin-1 both ways
    QCOMPARE(reader.readLine(), QString("5 ?"));
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.skipLine());
    QCOMPARE(reader.readLine(), QString());
    // The writer, line by line; an empty list makes an empty file that is at its end.
    LineFileWriter writer;
    QVERIFY(writer.create(file));
    QVERIFY(writer.writeLine("one"));
    QVERIFY(writer.close());
    QCOMPARE(contents(file), QByteArray("one\r\n"));
    QVERIFY(writeLineFile(file, {}));
    QCOMPARE(contents(file), QByteArray());
    QVERIFY(reader.open(file) && reader.atEnd());
}

void TestCore::readsLineEnds() {
    QFETCH(QString, bytes);
    QTemporaryDir dir;
    QFile file(dir.filePath("read.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.toLatin1());
    file.close();
    LineFileReader reader;
    QVERIFY(reader.open(file.fileName()));
    QStringList read;
    while (!reader.atEnd()) read << reader.readLine();
    QTEST(read.join(u'|'), "lines");
}

void TestCore::fileFailuresAreReported() {
    QTemporaryDir dir;
    QString error;
    QVERIFY(!writeLineFile(dir.filePath("no/such/folder/list.txt"), {"a"}, &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!writeLineFile(dir.path(), {"a"}, &error));  // a folder where the file should be
    QVERIFY(!error.isEmpty());
    LineFileWriter writer;
    QVERIFY(!writer.create(dir.filePath("missing/x.txt")));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!writer.writeLine("a") && !writer.close());
    LineFileReader reader;
    QVERIFY(!reader.open(dir.filePath("absent.txt")));
    QVERIFY(!reader.errorString().isEmpty());
    QVERIFY(reader.atEnd() && !reader.skipLine());
}

void TestCore::leaveCheck() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, refused);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    QLineEdit *boxes[] = {new QLineEdit(second), new QLineEdit(second)};
    ScriptedPrompter prompter;
    for (QLineEdit *box : boxes) {
        layout->addWidget(box);
        LeaveValidator::attach(box, prompter, [](const QString &text) {
            bool ok = false;
            text.toInt(&ok);
            return ok ? std::nullopt
                      : std::optional<PromptMessage>(
                            {"must be a number", "Input Error", MessageIcon::Exclamation});
        });
    }
    layout->addWidget(new QPushButton("Begin"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    boxes[0]->clear();
    boxes[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(boxes[0], first);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QTEST(prompter.summary().join(u'/'), "refused");
    QCOMPARE(QApplication::focusWidget(), refused.isEmpty() ? boxes[1] : boxes[0]);
    QCOMPARE(boxes[0]->text(), first);  // left as typed
}

void TestCore::tabStops() {
    // A field starts at the first stop (every eight average characters) after the one before.
    ResultsList list;
    const QFontMetrics metrics(list.font());
    const int stop = 8 * metrics.averageCharWidth();
    for (const QString line : {"K3 Serial Number: 05321", "100\t-23.5\t-33.6\t10.1",
                               "14060.000\t\t-25.3", "Audio Response K3 dBV Function\tx"}) {
        const QVector<int> xs = ResultsList::fieldPositions(line, metrics);
        const QStringList parts = line.split(u'\t');
        QCOMPARE(xs.size(), parts.size());
        QCOMPARE(xs.first(), 0);
        for (int i = 1; i < xs.size(); ++i) {
            const int end = xs.at(i - 1) + metrics.horizontalAdvance(parts.at(i - 1));
            QCOMPARE(xs.at(i) % stop, 0);
            QVERIFY(xs.at(i) > end && xs.at(i) - end <= stop);
        }
    }
}

QTEST_MAIN(TestCore)
#include "tst_core.moc"
