// corvane-cli as a user runs it: its output, messages and exit codes, on the built-in
// simulator and on a pseudo-terminal with a radio played by the test.

#include <signal.h>

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include "common/k3simprocess.h"
#include "link/ptyradio.h"

using corvane::test::K3SimProcess;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QString cliPath() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

// Runs corvane-cli while this process's event loop keeps turning, so that a radio played
// here answers.
Run runCli(const QStringList &arguments, const QByteArray &input = QByteArray()) {
    QProcess process;
    process.start(cliPath(), arguments);
    Run run;
    if (!process.waitForStarted()) return run;
    process.write(input);
    process.closeWriteChannel();
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath())); }
    void identifyOnSimulator();
    void sendOnSimulator();
    void identifyOnK3Sim();
    void sendOnK3Sim();
    void identifyOnPty();
    void identifyOnPtyWaitsForEnter();
    void unidentifiedRadio();
    void sendOnPty();
    void traceOnStderr();
    void interruptClosesThePrompt();
    void portErrors_data();
    void portErrors();
    void badUsage_data();
    void badUsage();
    void help();
};

void CliTest::identifyOnSimulator() {
    const Run run = runCli({"--port", "sim", "--baud", "9600", "identify"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("ID017;\n"));
    QVERIFY2(run.err.contains("K3 Status: K3 is connected and communicating at: 9600,N,8,1\n"),
             qPrintable(run.err));
}

void CliTest::sendOnSimulator() {
    Run run = runCli({"send", "--port", "sim"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("ID017;\n"));
    run = runCli({"--port", "sim", "send", "fa"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("FA00014060000;\n"));
}

void CliTest::identifyOnK3Sim() {
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--ai", "1"}));
    const Run run = runCli({"--port", simulator.pty(), "--yes", "identify"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("ID017;\n"));
    QCOMPARE(run.err, QStringLiteral("K3 Status: K3 is connected and communicating at: "
                                     "38400,N,8,1\nAutoInf Status: AutoInf is Auto 1\n"));
}

void CliTest::sendOnK3Sim() {
    K3SimProcess simulator;
    QVERIFY(simulator.start({}));
    const Run run = runCli({"--port", simulator.pty(), "send", "fa"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("FA00014060000;\n"));
    // A silent radio answers nothing: still a finished exchange.
    K3SimProcess silent;
    QVERIFY(silent.start({"--silent"}));
    const Run quiet = runCli({"--port", silent.pty(), "send", "fa"});
    QCOMPARE(quiet.exitCode, 0);
    QCOMPARE(quiet.out, QByteArray("\n"));
}

void CliTest::identifyOnPty() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ai;", "AI1;");
    const Run run = runCli({"--port", radio.slavePath(), "--yes", "identify"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("ID017;\n"));
    // Connect switches auto-info off; the end of the run puts it back as File, Exit does.
    QCOMPARE(radio.received(), QByteArray("id;ai;ai0;ai1;"));
    QCOMPARE(run.err, QStringLiteral("K3 Status: K3 is connected and communicating at: "
                                     "38400,N,8,1\nAutoInf Status: AutoInf is Auto 1\n"));
}

void CliTest::identifyOnPtyWaitsForEnter() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ai;", "AI0;");
    // Enter closes the message; the run goes on to the end.
    const Run run = runCli({"--port", radio.slavePath(), "identify"}, "\n");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(radio.received(), QByteArray("id;ai;"));
}

void CliTest::unidentifiedRadio() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    radio.setAnswer("id;", "ID019;");
    const Run run = runCli({"--port", radio.slavePath(), "--yes", "identify"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray("ID019;\n"));
    QCOMPARE(run.err, QStringLiteral("K3 Status: Unable to communicate with K3\n"));
    QCOMPARE(radio.received(), QByteArray("id;"));
}

void CliTest::sendOnPty() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    QByteArray display("DS");
    for (int code = 128; code <= 255; ++code) display.append(char(code));
    display.append(';');
    radio.setAnswer("fa;", "FA00014060000;");
    radio.setAnswer("ds;", display);
    Run run = runCli({"--port", radio.slavePath(), "send", "fa"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("FA00014060000;\n"));
    QVERIFY(run.err.isEmpty());
    // Answers go out byte for byte.
    run = runCli({"--port", radio.slavePath(), "send", "ds"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, display + '\n');
    QCOMPARE(radio.received(), QByteArray("fa;ds;"));
}

void CliTest::traceOnStderr() {
    const Run run = runCli({"--port", "sim", "--trace", "send", "id"});
    QCOMPARE(run.exitCode, 0);
    QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines) line = line.simplified();
    QCOMPARE(lines, QStringList({"0 W id;", "0 S 400", "400 R ID017;"}));
}

void CliTest::interruptClosesThePrompt() {
    QProcess process;
    process.start(cliPath(), {"--port", "sim", "identify"});
    QVERIFY(process.waitForStarted());
    process.setReadChannel(QProcess::StandardError);
    // The message waits for Enter; input stays open.
    QByteArray err;
    while (!err.contains("K3 Status: K3 is connected") && process.waitForReadyRead(20000))
        err += process.readAllStandardError();
    QVERIFY2(err.contains("K3 Status: K3 is connected"), err.constData());
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("ID017;\n"));
    QVERIFY(!process.readAllStandardError().contains("AutoInf"));
}

void CliTest::portErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing device")
        << QStringList{"--port", "/dev/corvane-no-such-device", "identify"}
        << "Serial Port Error: Invalid COM port number. Select another COM port\n";
    QTest::newRow("nothing listening")
        << QStringList{"--port", "tcp://127.0.0.1:1", "send", "fa"}
        << "Serial Port Error: Invalid COM port number. Select another COM port\n";
}

void CliTest::portErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runCli(arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, message);
    QVERIFY(run.out.isEmpty());
}

void CliTest::badUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{"--port", "sim"};
    QTest::newRow("unknown command") << QStringList{"--port", "sim", "explode"};
    QTest::newRow("unknown option") << QStringList{"--port", "sim", "--fast", "identify"};
    QTest::newRow("baud not offered") << QStringList{"--port", "sim", "--baud", "1200", "identify"};
    QTest::newRow("baud not a number") << QStringList{"--port", "sim", "--baud", "fast", "send"};
    QTest::newRow("port without value") << QStringList{"identify", "--port"};
    QTest::newRow("identify with argument") << QStringList{"--port", "sim", "identify", "now"};
    QTest::newRow("send with two commands") << QStringList{"--port", "sim", "send", "fa", "fb"};
}

void CliTest::badUsage() {
    QFETCH(QStringList, arguments);
    const Run run = runCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

void CliTest::help() {
    Run run = runCli({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const char *word : {"identify", "send", "--port", "--baud", "--yes", "--trace"})
        QVERIFY2(run.out.contains(word), word);
    run = runCli({"send", "--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("corvane-cli [options] send [CMD]"));
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
