// corvane-cli dbv-full and dbv-quick as a user runs them: list lines on stdout, the results
// file, the box limits on the options, and Ctrl-C as Stop Test on a real-time radio.

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QString binary(const char *name)
{
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/") + name;
}

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(binary("corvane-cli"), arguments);
    Run run;
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The results file Save File writes for these list lines: four header lines, then the list.
void compareResultsFile(const QByteArray &file, const QByteArray &stdoutLines,
                        const QByteArray &comment)
{
    const QList<QByteArray> fileLines = file.split('\n');
    QVERIFY(file.endsWith("\r\n"));
    QCOMPARE(fileLines.size() - 1, stdoutLines.count('\n') + 4);
    QCOMPARE(fileLines[0], QByteArray("K3 dBV Linear Range Test Results\r"));
    QCOMPARE(fileLines[1], QByteArray("By Quill Ashby, N0CALL\r"));
    QCOMPARE(fileLines[2], "User Comments: " + comment + "\r");
    QVERIFY(fileLines[3].startsWith("Date run: "));
    const int afterHeader = file.indexOf('\n', file.indexOf("Date run: ")) + 1;
    QByteArray expected = stdoutLines;
    expected.replace("\n", "\r\n");
    QCOMPARE(file.mid(afterHeader), expected);
}

}  // namespace

class TestDbvCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fullTestOnSimulator();
    void quickTestOnSimulator();
    void optionLimits_data();
    void optionLimits();
    void ctrlCStopsAtTheNextStep();
};

void TestDbvCli::initTestCase()
{
    QVERIFY(QFile::exists(binary("corvane-cli")));
    QVERIFY(QFile::exists(binary("corvane-k3sim")));
}

void TestDbvCli::fullTestOnSimulator()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.txt");
    const Run run = runCli({"--port", "sim", "--yes", "dbv-full", "--start", "100", "--stop", "102",
                            "--inc", "1", "--comment", "FL3, 14060 kHz", "-o", path});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.size(), 26 + 3 + 1);
    QCOMPARE(lines[21], QByteArray("RF Gain Start: 100"));
    QCOMPARE(lines[25], QByteArray("RF Gain\tdBV 1\tdBV 2\tDiff"));
    QVERIFY(lines[26].startsWith("100\t"));
    QVERIFY(lines[28].startsWith("102\t"));
    QVERIFY(run.err.contains("Set AFV Reference: Setting AFV reference voltage."));
    QVERIFY(run.err.contains("Test Status: Test is complete. Check results in Listbox."));
    compareResultsFile(readBytes(path), run.out, "FL3, 14060 kHz");
}

void TestDbvCli::quickTestOnSimulator()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quick.txt");
    const Run run = runCli({"--port", "sim", "--yes", "dbv-quick", "-o", path});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.size(), 2 + 7 + 1);
    QCOMPARE(lines[0], QByteArray("==============Half-Interval Search Results==================="));
    QVERIFY(lines[2].startsWith("125\t"));
    QVERIFY(
        run.err.contains("Quick Test Status: Quick Test is complete. Check results in Listbox."));
    compareResultsFile(readBytes(path), run.out, "");
}

void TestDbvCli::optionLimits_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    const QString start =
        "RF Gain Outside Bounds: Please insert a number greater than or equal to 0.";
    const QString stop =
        "RF Gain Outside Bounds: Please insert a number less than or equal to 250.";
    const QString inc = "RF Gain Increment Outside Bounds: Please insert a number between 1 and 5.";
    QTest::newRow("start -1") << QStringList{"--start", "-1"} << start;
    QTest::newRow("start 12abc") << QStringList{"--start", "12abc"} << start;
    QTest::newRow("start empty") << QStringList{"--start", ""} << start;
    QTest::newRow("stop 251") << QStringList{"--stop", "251"} << stop;
    QTest::newRow("inc 0.5") << QStringList{"--inc", "0.5"} << inc;
    QTest::newRow("inc 6") << QStringList{"--inc", "6"} << inc;
}

void TestDbvCli::optionLimits()
{
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    const Run run = runCli(QStringList{"--port", "sim", "--yes", "dbv-full"} + options);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err, message + "\n");
    QVERIFY(run.out.isEmpty());
}

void TestDbvCli::ctrlCStopsAtTheNextStep()
{
    // A simulator on a pseudo-terminal: real serial I/O on the real clock, so the test is
    // still running when Ctrl-C comes.
    QProcess simulator;
    simulator.start(binary("corvane-k3sim"), {"--no-link"});
    QVERIFY(simulator.waitForReadyRead(10000));
    const QByteArray where = simulator.readLine().trimmed();
    QVERIFY2(where.startsWith("PTY "), where.constData());
    const auto stopSimulator = qScopeGuard([&simulator] {
        simulator.terminate();
        simulator.waitForFinished();
    });

    QProcess cli;
    cli.start(binary("corvane-cli"), {"--port", QString::fromLatin1(where.mid(4)), "--yes",
                                      "dbv-full", "--start", "100", "--stop", "110"});
    QVERIFY(cli.waitForStarted());
    cli.setReadChannel(QProcess::StandardError);
    // Ctrl-C once the second step has begun (its progress line is on stderr).
    QByteArray progress;
    while (!progress.contains("Step 2 of 11") && cli.waitForReadyRead(60000))
        progress += cli.readAllStandardError();
    QVERIFY2(progress.contains("Step 2 of 11"), progress.constData());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(60000));
    const QByteArray out = cli.readAllStandardOutput();
    const QString err = QString::fromLocal8Bit(progress + cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY2(err.contains("Test Status: Test was terminated prematurely."), qPrintable(err));
    // The step under way when Ctrl-C came is finished and listed; no further step runs.
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 26 + 2);
    QVERIFY(lines.last().startsWith("101\t"));
}

QTEST_GUILESS_MAIN(TestDbvCli)
#include "tst_dbvcli.moc"
