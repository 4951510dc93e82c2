// corvane-cli dbv-full, dbv-quick and sweep as a user runs them: list lines on stdout, the
// results file (-o), the box limits on the options, and Ctrl-C as Stop on a real-time radio.

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

QString binary(const char *name) {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/") + name;
}

Run runCli(const QStringList &arguments) {
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

const QStringList kSweep{"sweep",  "--start", "14060",     "--stop", "14061",
                         "--step", "100",     "--rf-gain", "200"};

// kSweep with one option changed (or left out when value is null).
QStringList sweepWith(const char *option, const char *value) {
    QStringList o = kSweep;
    const int at = o.indexOf(QString::fromLatin1(option));
    if (value)
        o[at + 1] = QString::fromLatin1(value);
    else
        o.remove(at, 2);
    return o;
}

}  // namespace

class TestMeasureCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listAndFile_data();
    void listAndFile();
    void optionLimits_data();
    void optionLimits();
    void ctrlCStopsAfterTheStepUnderWay();
};

void TestMeasureCli::initTestCase() {
    QVERIFY(QFile::exists(binary("corvane-cli")));
    QVERIFY(QFile::exists(binary("corvane-k3sim")));
}

void TestMeasureCli::listAndFile_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QStringList>("expected");  // "index:start of line"
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("firstFileLine");
    QTest::newRow("dbv-full") << QStringList{"dbv-full", "--start", "100", "--stop",
                                             "102",      "--inc",   "1"}
                              << "FL3, 14060 kHz" << 26 + 3
                              << QStringList{"21:RF Gain Start: 100",
                                             "25:RF Gain\tdBV 1\tdBV 2\tDiff", "26:100\t",
                                             "28:102\t"}
                              << "Test Status: Test is complete. Check results in Listbox."
                              << QByteArray("K3 dBV Linear Range Test Results");
    QTest::newRow("dbv-quick")
        << QStringList{"dbv-quick"} << "" << 2 + 7
        << QStringList{"0:==============Half-Interval Search Results===================", "2:125\t"}
        << "Quick Test Status: Quick Test is complete. Check results in Listbox."
        << QByteArray("K3 dBV Linear Range Test Results");
    QTest::newRow("sweep") << kSweep << "FL3 on the bench" << 26 + 11
                           << QStringList{"21:Frequency Start: 14060", "25:Frequency\tdBV",
                                          "26:14060.000\t\t", "36:14061.000\t\t"}
                           << "Test Status: Filter sweep is complete. Check results in Listbox."
                           << QByteArray("K3 Crystal Filter Sweep Results");
}

void TestMeasureCli::listAndFile() {
    QFETCH(QStringList, command);
    QFETCH(QString, comment);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("results.txt");
    QStringList args = QStringList{"--port", "sim", "--yes"} + command;
    if (!comment.isEmpty()) args << "--comment" << comment;
    const Run run = runCli(args << "-o" << path);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QTEST(int(lines.size()), "lines");
    for (const QString &e : expected) {
        const int at = e.section(u':', 0, 0).toInt();
        QVERIFY2(lines.at(at).startsWith(e.section(u':', 1).toLatin1()), lines.at(at).constData());
    }
    QFETCH(QString, message);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));

    // The file: four header lines, then the list as printed, CR-LF throughout.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QFETCH(QByteArray, firstFileLine);
    const QByteArray header = firstFileLine +
                              "\r\nBy Quill Ashby, N0CALL\r\nUser Comments: " + comment.toLatin1() +
                              "\r\nDate run: ";
    QCOMPARE(bytes.left(header.size()), header);
    QByteArray listed = run.out;
    listed.replace("\n", "\r\n");
    QCOMPARE(bytes.mid(bytes.indexOf("\r\n", header.size()) + 2), listed);
}

void TestMeasureCli::optionLimits_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    const QString start =
        "RF Gain Outside Bounds: Please insert a number greater than or equal to 0.";
    const QString stop =
        "RF Gain Outside Bounds: Please insert a number less than or equal to 250.";
    const QString inc = "RF Gain Increment Outside Bounds: Please insert a number between 1 and 5.";
    const QString freq =
        "Frequency Outside Bounds: Please insert a frequency in kHz between 1800 and 30000.";
    const QString step =
        "Frequency Increment Outside Bounds: Please insert a frequency in Hz between 1 and 500.";
    const QString gain = "RF Gain Outside Bounds: Please insert a number between 1 and 250.";
    const QStringList dbv{"dbv-full"};
    QTest::newRow("dbv start -1") << dbv + QStringList{"--start", "-1"} << start;
    QTest::newRow("dbv start 12abc") << dbv + QStringList{"--start", "12abc"} << start;
    QTest::newRow("dbv start empty") << dbv + QStringList{"--start", ""} << start;
    QTest::newRow("dbv stop 251") << dbv + QStringList{"--stop", "251"} << stop;
    QTest::newRow("dbv inc 0.5") << dbv + QStringList{"--inc", "0.5"} << inc;
    QTest::newRow("dbv inc 6") << dbv + QStringList{"--inc", "6"} << inc;
    QTest::newRow("no start") << sweepWith("--start", nullptr)
                              << "Start Frequency Null Error: Enter an appropriate start frequency";
    QTest::newRow("no stop") << sweepWith("--stop", nullptr)
                             << "Stop Frequency Null Error: Enter an appropriate stop frequency";
    QTest::newRow("no step")
        << sweepWith("--step", nullptr)
        << "Frequency Step Null Error: Enter an appropriate frequency increment";
    QTest::newRow("no gain") << sweepWith("--rf-gain", nullptr)
                             << "RF Gain Null Error: Enter an appropriate RF Gain setting";
    QTest::newRow("nothing at all")
        << QStringList{"sweep"}
        << "Start Frequency Null Error: Enter an appropriate start frequency";
    QTest::newRow("start low") << sweepWith("--start", "1799.99") << freq;
    QTest::newRow("stop high") << sweepWith("--stop", "30000.01") << freq;
    QTest::newRow("start letters") << sweepWith("--start", "14060abc") << freq;
    QTest::newRow("step half") << sweepWith("--step", "0.5") << step;
    QTest::newRow("step high") << sweepWith("--step", "501") << step;
    QTest::newRow("gain zero") << sweepWith("--rf-gain", "0") << gain;
    QTest::newRow("gain words") << sweepWith("--rf-gain", "full") << gain;
    QTest::newRow("too many points")
        << QStringList{"sweep",  "--start", "1800",      "--stop", "30000",
                       "--step", "1",       "--rf-gain", "200"}
        << "Too Many Sweep Points: This sweep would measure 28200001 points";
}

void TestMeasureCli::optionLimits() {
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    // The sweep's box checks come before any port is opened.
    const bool boxCheck = options.first() == "sweep" && !message.startsWith("Too Many");
    const QString port = boxCheck ? "/dev/corvane-no-such-port" : "sim";
    const Run run = runCli(QStringList{"--port", port, "--yes"} + options);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    if (!message.startsWith("Too Many")) QCOMPARE(run.err, message + "\n");
    QVERIFY(run.out.isEmpty());
}

void TestMeasureCli::ctrlCStopsAfterTheStepUnderWay() {
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
    // Ctrl-C once the second step has begun: its progress line on stderr comes after the
    // check for Stop at the top of the step, and the step lasts seconds.
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

QTEST_GUILESS_MAIN(TestMeasureCli)
#include "tst_measurecli.moc"
