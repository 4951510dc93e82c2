// corvane-cli sweep as a user runs it: the box checks on the options, list lines on stdout,
// the results file, and Ctrl-C as Stop Sweep on a real-time radio.

#include <QProcess>
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

const QString kFrequency =
    "Frequency Outside Bounds: Please insert a frequency in kHz between 1800 and 30000.";
const QString kStep =
    "Frequency Increment Outside Bounds: Please insert a frequency in Hz between 1 and 500.";
const QString kGain = "RF Gain Outside Bounds: Please insert a number between 1 and 250.";

}  // namespace

class TestSweepCli : public QObject {
    Q_OBJECT

private slots:
    void optionsCheckedAsBoxes_data();
    void optionsCheckedAsBoxes();
    void sweepToStdoutAndFile();
    void tooManyPoints();
    void ctrlCStopsAfterTheStepUnderWay();
};

void TestSweepCli::optionsCheckedAsBoxes_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    const QStringList ok{"--start", "14060", "--stop",    "14061",
                         "--step",  "100",   "--rf-gain", "200"};
    auto with = [&ok](const char *option, const char *value) {
        QStringList o = ok;
        const int at = o.indexOf(QString::fromLatin1(option));
        if (value)
            o[at + 1] = QString::fromLatin1(value);
        else
            o.remove(at, 2);
        return o;
    };
    QTest::newRow("no start") << with("--start", nullptr)
                              << "Start Frequency Null Error: Enter an appropriate start frequency";
    QTest::newRow("no stop") << with("--stop", nullptr)
                             << "Stop Frequency Null Error: Enter an appropriate stop frequency";
    QTest::newRow("no step")
        << with("--step", nullptr)
        << "Frequency Step Null Error: Enter an appropriate frequency increment";
    QTest::newRow("no gain") << with("--rf-gain", nullptr)
                             << "RF Gain Null Error: Enter an appropriate RF Gain setting";
    QTest::newRow("nothing at all")
        << QStringList() << "Start Frequency Null Error: Enter an appropriate start frequency";
    QTest::newRow("start low") << with("--start", "1799.99") << kFrequency;
    QTest::newRow("stop high") << with("--stop", "30000.01") << kFrequency;
    QTest::newRow("start letters") << with("--start", "14060abc") << kFrequency;
    QTest::newRow("step half") << with("--step", "0.5") << kStep;
    QTest::newRow("step high") << with("--step", "501") << kStep;
    QTest::newRow("gain zero") << with("--rf-gain", "0") << kGain;
    QTest::newRow("gain words") << with("--rf-gain", "full") << kGain;
}

void TestSweepCli::optionsCheckedAsBoxes() {
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    // A port that does not exist: the options are refused before any port is opened.
    const Run run =
        runCli(QStringList{"--port", "/dev/corvane-no-such-port", "--yes", "sweep"} + options);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.trimmed(), message);
    QVERIFY(run.out.isEmpty());
}

void TestSweepCli::sweepToStdoutAndFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("sweep.txt");
    const Run run =
        runCli({"--port", "sim", "--yes", "sweep", "--start", "14060", "--stop", "14061", "--step",
                "100", "--rf-gain", "200", "--comment", "FL3 on the bench", "-o", path});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 26 + 11);
    QCOMPARE(lines.at(21), QByteArray("Frequency Start: 14060"));
    QCOMPARE(lines.at(25), QByteArray("Frequency\tdBV"));
    QVERIFY(lines.at(26).startsWith("14060.000\t\t"));
    QVERIFY(lines.at(36).startsWith("14061.000\t\t"));
    QVERIFY(run.err.contains("Test Status: Filter sweep is complete. Check results in Listbox."));
    QVERIFY(run.err.contains("Step 11 of 11: 14061.000 kHz"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("\r\n"), 41);
    QVERIFY(
        bytes.startsWith("K3 Crystal Filter Sweep Results\r\nBy Quill Ashby, N0CALL\r\n"
                         "User Comments: FL3 on the bench\r\nDate run: "));
    QByteArray listed = run.out;
    listed.replace("\n", "\r\n");
    QVERIFY(bytes.endsWith(listed));
}

void TestSweepCli::tooManyPoints() {
    const Run run = runCli({"--port", "sim", "--yes", "sweep", "--start", "1800", "--stop", "30000",
                            "--step", "1", "--rf-gain", "200"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("Too Many Sweep Points: This sweep would measure 28200001 points"),
             qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void TestSweepCli::ctrlCStopsAfterTheStepUnderWay() {
    // The simulator on a pseudo-terminal: real serial I/O on the real clock, so the sweep is
    // still running when Ctrl-C comes.
    QProcess simulator;
    simulator.start(binary("corvane-k3sim"), {"--no-link"});
    QVERIFY(simulator.waitForReadyRead(10000));
    const QByteArray where = simulator.readLine().trimmed();
    QVERIFY2(where.startsWith("PTY "), where.constData());

    QProcess cli;
    cli.start(binary("corvane-cli"),
              {"--port", QString::fromLatin1(where.mid(4)), "--yes", "sweep", "--start", "14060",
               "--stop", "14061", "--step", "100", "--rf-gain", "200"});
    QVERIFY(cli.waitForStarted());
    QByteArray out;
    QByteArray err;
    // Ctrl-C while the second step is measured: its progress line comes after the check
    // for Stop at the top of the step (a Ctrl-C between two steps stops before the next).
    QElapsedTimer waited;
    waited.start();
    while (!err.contains("Step 2 of 11") && waited.elapsed() < 60000) {
        cli.waitForReadyRead(50);  // either channel may bring it
        out += cli.readAllStandardOutput();
        err += cli.readAllStandardError();
    }
    QVERIFY2(err.contains("Step 2 of 11"), err.constData());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(60000));
    out += cli.readAllStandardOutput();
    err += cli.readAllStandardError();
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY2(err.contains("Test Status: Sweep was terminated prematurely."), err.constData());
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 26 + 2);
    QVERIFY(lines.last().startsWith("14060.100\t\t"));

    simulator.terminate();
    simulator.waitForFinished();
}

QTEST_GUILESS_MAIN(TestSweepCli)
#include "tst_sweepcli.moc"
