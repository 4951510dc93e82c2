// corvane-cli display and menu against the built-in simulator: what they print, what they
// send (--trace), and how they refuse a bad menu entry number.

#include <QProcess>
#include <QtTest>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList &arguments) {
    QProcess process;
    process.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli"),
                  arguments);
    CliRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLatin1(process.readAllStandardOutput());
    run.err = QString::fromLatin1(process.readAllStandardError());
    return run;
}

// The written commands in a --trace listing, in order.
QStringList writesIn(const QString &trace) {
    QStringList writes;
    for (const QString &line : trace.split(u'\n')) {
        const int at = line.indexOf(QLatin1String(" W "));
        if (at >= 0) writes << line.mid(at + 3);
    }
    return writes;
}

}  // namespace

class CliTests : public QObject {
    Q_OBJECT

private slots:
    void displayPrintsTheDecodedVfoA();
    void menuReadsAndLeaves_data();
    void menuReadsAndLeaves();
    void menuRefusesBadEntries_data();
    void menuRefusesBadEntries();
};

void CliTests::displayPrintsTheDecodedVfoA() {
    const CliRun run = runCli({"--port", "sim", "--yes", "--trace", "display"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString(" 14060.00\n"));
    QCOMPARE(writesIn(run.err), QStringList({"id;", "ai;", "ds;"}));
    QCOMPARE(runCli({"--port", "sim", "display", "extra"}).exitCode, 2);
}

// clang-format off
void CliTests::menuReadsAndLeaves_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("value");
    QTest::newRow("072") << "072" << "mn072;" << "     OFF";
    QTest::newRow("0072 is decimal") << "0072" << "mn072;" << "     OFF";
    QTest::newRow("008 eq bars, raw") << "8" << "mn008;" << QString();
}
// clang-format on

void CliTests::menuReadsAndLeaves() {
    QFETCH(QString, entry);
    QFETCH(QString, command);
    QFETCH(QString, value);
    const CliRun run = runCli({"--port", "sim", "--yes", "--trace", "menu", entry});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(writesIn(run.err), QStringList({"id;", "ai;", command, "ds;", "mn255;"}));
    QVERIFY(run.out.endsWith(u'\n'));
    if (!value.isEmpty()) QCOMPARE(run.out, value + u'\n');
}

// clang-format off
void CliTests::menuRefusesBadEntries_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("256") << QStringList{"256"};
    QTest::newRow("negative") << QStringList{"-1"};
    QTest::newRow("hex") << QStringList{"0x10"};
    QTest::newRow("two entries") << QStringList{"072", "014"};
    QTest::newRow("huge") << QStringList{"99999999999999999999"};
}
// clang-format on

void CliTests::menuRefusesBadEntries() {
    QFETCH(QStringList, arguments);
    const CliRun run = runCli(QStringList({"--port", "sim", "--trace", "menu", "--"}) + arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    // Refused before the port is opened: nothing is sent.
    QVERIFY(writesIn(run.err).isEmpty());
    QVERIFY(run.err.contains(QLatin1String("Usage: corvane-cli")));
}

QTEST_GUILESS_MAIN(CliTests)
#include "tst_radio_cli.moc"
