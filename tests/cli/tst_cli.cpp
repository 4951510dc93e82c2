// corvane-cli as a user runs it: a table of runs on the built-in simulator (outputs, option
// and box limits, leading zeros, port errors); the measurement commands' lists and -o files;
// a radio played on a pty; the exit code of every subcommand as --help gives them (a silent
// radio, one that stops answering); the connect step around filters and menus with the radio
// in auto-info mode 1; Ctrl-C at a prompt and during a test on a real-time radio; a --yes
// sweep's settled reference on a real-time radio.

#include <signal.h>

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/ptyradio.h"

using namespace corvane::test;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
    QByteArray errBytes;
};

QString cliPath() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

// Runs corvane-cli while this process's event loop turns, so that a radio played here answers.
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
    run.errBytes = process.readAllStandardError();
    run.err = QString::fromLocal8Bit(run.errBytes);
    return run;
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath())); }
    void runs_data() { addRows("runs.tsv", {"arguments", "exit", "out", "err"}); }
    void runs();
    void listAndFile_data() {
        addRows("measure.tsv", {"command", "lines", "expected", "message", "title"});
    }
    void listAndFile();
    void radioOnAPty();
    void exitCodes_data() { addRows("exitcodes.tsv", {"arguments", "exit", "err"}); }
    void exitCodes();
    void connectStepWithAutoInfoOn_data() { addRows("autoinfo.tsv", {"command"}); }
    void connectStepWithAutoInfoOn();
    void ctrlCAtAPrompt();
    void promptOnATerminal();
    void ctrlCStopsAfterTheStepUnderWay();
    void yesSweepReadsTheSettledReference();
    void help();
    void completion_data() { addRows("completion.tsv", {"words", "offered"}); }
    void completion();
    void adaptiveAgainstDense();
};

void TestCli::runs() {
    QFETCH(QString, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Run run = runCli(arguments.split(u'|'));
    QTEST(QString::number(run.exitCode), "exit");
    if (out != "*") QCOMPARE(QString::fromLatin1(run.out), out);
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    if (run.exitCode == 2) QVERIFY(run.out.isEmpty());
}

void TestCli::listAndFile() {
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QTemporaryDir dir;
    const QString path = dir.filePath("results.txt");
    const Run run = runCli(QStringList{"--port", "sim", "--yes"} + command.split(u'|') +
                           QStringList{"--comment", "FL3, 14060 kHz", "-o", path});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QTEST(QString::number(lines.size()), "lines");
    for (const QString &e : expected.split(u'~')) {
        const int at = e.section(u':', 0, 0).toInt();
        QVERIFY2(lines.value(at).startsWith(e.section(u':', 1).toLatin1()),
                 lines.value(at).constData());
    }
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    // The file: the header, then the list as printed, CR LF throughout.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray header =
        title.toLatin1() +
        "\r\nBy Quill Ashby, N0CALL\r\nUser Comments: FL3, 14060 kHz\r\nDate run: ";
    QCOMPARE(bytes.left(header.size()), header);
    QByteArray listed = run.out;
    listed.replace("\n", "\r\n");
    QCOMPARE(bytes.mid(bytes.indexOf("\r\n", header.size()) + 2), listed);
}

void TestCli::radioOnAPty() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    QByteArray display("DS");
    for (int code = 128; code <= 255; ++code) display.append(char(code));
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ai;", "AI1;");
    radio.setAnswer("ds;", display + ';');
    // Connect switches auto-info off; the end of the run puts it back, as File, Exit does.
    Run run = runCli({"--port", radio.slavePath(), "--yes", "identify"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("ID017;\n"));
    QCOMPARE(radio.received(), QByteArray("id;ai;ai0;ai1;"));
    QVERIFY2(run.err.endsWith("AutoInf Status: AutoInf is Auto 1\n"), qPrintable(run.err));
    // Without --yes, Enter closes the message and the run goes on.
    run = runCli({"--port", radio.slavePath(), "identify"}, "\n");
    QCOMPARE(run.exitCode, 0);
    // Answers go out byte for byte.
    run = runCli({"--port", radio.slavePath(), "send", "ds"});
    QCOMPARE(run.out, display + ";\n");
    // Another radio: not identified, exit 1, nothing more sent.
    radio.setAnswer("id;", "ID019;");
    const QByteArray before = radio.received();
    run = runCli({"--port", radio.slavePath(), "--yes", "identify"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("K3 Status: Unable to communicate with K3\n"));
    QCOMPARE(radio.received().mid(before.size()), QByteArray("id;"));
}

void TestCli::exitCodes() {
    QFETCH(QString, arguments);
    QFETCH(QString, err);
    // Nothing answers on `silent`; `mute` is a K3 that identifies itself, then shows slot 1 in
    // the filter menu and answers no display read.
    PtyRadio silent, mute, busy;
    mute.setAnswer("id;", "ID017;");
    mute.setAnswer("ai;", "AI0;");
    mute.setAnswer("db;", "DBFL1 2.70;");
    busy.setAnswer("id;", "ID017;");
    busy.setAnswer("ai;", "AI0;");
    busy.setAnswer("ds;", "?;");
    QTemporaryDir dir;
    arguments.replace("<silent>", silent.slavePath()).replace("<mute>", mute.slavePath());
    arguments.replace("<busy>", busy.slavePath());
    const Run run = runCli(arguments.replace("<dir>", dir.path()).split(u'|'));
    QTEST(QString::number(run.exitCode), "exit");
    QVERIFY2(run.err.endsWith(err), qPrintable(run.err));
    if (run.exitCode != 0) QVERIFY2(QDir(dir.path()).isEmpty(), "a failed run left a file");
}

void TestCli::connectStepWithAutoInfoOn() {
    // corvane-k3sim in auto-info mode 1 reports every mode change unasked: without "ai0;"
    // first, each report would sit in front of a slot answer.
    QFETCH(QString, command);
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--ai", "1", "--no-noise", "--latency", "0"}));
    const Run run =
        runCli(QStringList{"--port", simulator.pty(), "--yes", "--trace"} + command.split(u'|'));
    QCOMPARE(run.exitCode, 0);
    static const QRegularExpression traced(QStringLiteral("^ *\\d+ (.*)$"));
    QStringList exchanges;  // the trace without its times
    for (const QString &line : QString::fromLatin1(run.errBytes).split(u'\n'))
        if (const auto match = traced.match(line); match.hasMatch()) exchanges << match.captured(1);
    const QString golden = QTest::currentDataTag();
    CORVANE_COMPARE_GOLDEN(exchanges, golden + ".trace");
    CORVANE_COMPARE_GOLDEN(QString::fromLatin1(run.out).split(u'\n'), golden + ".out");
}

void TestCli::ctrlCAtAPrompt() {
    QProcess process;
    process.start(cliPath(), {"--port", "sim", "identify"});
    QVERIFY(process.waitForStarted());
    process.setReadChannel(QProcess::StandardError);
    QByteArray err;  // the message waits for Enter; input stays open
    while (!err.contains("K3 Status: K3 is connected") && process.waitForReadyRead(20000))
        err += process.readAllStandardError();
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 128 + SIGINT);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("ID017;\n"));
}

void TestCli::promptOnATerminal() {
    // Input from a terminal: how to go on is said, and an Enter typed ahead is dropped.
    Pty terminal;
    QVERIFY(terminal.isValid());
    QCOMPARE(::write(terminal.masterFd(), "\n", 1), ssize_t(1));
    QProcess process;
    process.setStandardInputFile(terminal.slavePath());
    process.start(cliPath(), {"--port", "sim", "identify"});
    QVERIFY(!process.waitForFinished(2000));  // the Enter typed ahead was dropped
    QCOMPARE(process.readAllStandardError(),
             QByteArray("K3 Status: K3 is connected and communicating at: 38400,N,8,1 (Enter to "
                        "go on; --yes skips)\n"));
    QCOMPARE(::write(terminal.masterFd(), "\n", 1), ssize_t(1));
    QVERIFY(process.waitForFinished(20000) && process.exitCode() == 0);
}

void TestCli::ctrlCStopsAfterTheStepUnderWay() {
    // corvane-k3sim on a pty: real serial I/O on the real clock, so the test still runs when
    // Ctrl-C comes, once the second step's progress line is out.
    K3SimProcess simulator;
    QVERIFY(simulator.start({}));
    QProcess cli;
    cli.start(cliPath(),
              {"--port", simulator.pty(), "--yes", "dbv-full", "--start", "100", "--stop", "110"});
    QVERIFY(cli.waitForStarted());
    cli.setReadChannel(QProcess::StandardError);
    QByteArray progress;
    while (!progress.contains("Step 2 of 11") && cli.waitForReadyRead(60000))
        progress += cli.readAllStandardError();
    QVERIFY2(progress.contains("Step 2 of 11"), progress.constData());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 128 + SIGINT);
    QVERIFY(cli.readAllStandardError().contains("Test Status: Test was terminated prematurely."));
    // The step under way is finished and listed; no further step runs.
    const QList<QByteArray> lines = cli.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(lines.size(), 26 + 2);
    QVERIFY(lines.last().startsWith("101\t"));
}

void TestCli::yesSweepReadsTheSettledReference() {
    // Real time: the AFV reference confirmed at once is taken once the readout has settled.
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--no-noise"}));
    const Run run = runCli({"--port", simulator.pty(), "--yes", "sweep", "--start", "14060",
                            "--stop", "14060", "--step", "10", "--rf-gain", "150"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("\nLetting the readout settle...\n"), qPrintable(run.err));
    const QByteArray line = run.out.trimmed().split('\n').last();
    QVERIFY2(line.startsWith("14060.000\t") && qAbs(line.split('\t').last().toDouble()) <= 0.5,
             line.constData());
}

void TestCli::help() {
    Run run = runCli({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const char *word : {"identify", "send", "display", "menu", "dbv-full", "dbv-quick",
                             "sweep", "--port", "--baud", "--yes", "--trace"})
        QVERIFY2(run.out.contains(word), word);
    run = runCli({"send", "--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("corvane-cli [options] send [CMD]"));
    // Commands that only read files list none of the radio's options (and still take them).
    for (const char *command : {"chart", "analyze", "print", "identify"}) {
        run = runCli({command, "--help"});
        const bool radio = command == QByteArray("identify");
        for (const char *option : {"--port", "--baud", "--yes", "--trace"})
            QVERIFY2(run.out.contains(option) == radio, command);
        QVERIFY(run.out.contains("--help"));
    }
    QCOMPARE(runCli({"--port", "COM 3", "--yes", "analyze", "--help"}).exitCode, 0);
}

void TestCli::completion() {
    const QString bashCompletion = "/usr/share/bash-completion/bash_completion";
    if (!QFile::exists(bashCompletion)) QSKIP("bash-completion is not installed");
    QFETCH(QString, words);
    QTemporaryDir folder, links;
    QFile(folder.filePath("a.txt")).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir("d");
    // The words as bash splits the line; COMP_LINE is the line as typed.
    const QString script =
        "source " + bashCompletion +
        "; source \"$1\"; shift; COMP_WORDS=(corvane-cli \"$@\"); "
        "COMP_CWORD=$#; COMP_LINE=\"${COMP_WORDS[*]}\"; COMP_POINT=${#COMP_LINE}; "
        "_corvane_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    QProcess bash;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", QFileInfo(cliPath()).path() + ':' + environment.value("PATH"));
    environment.insert("TMPDIR", links.path());
    environment.insert("LC_ALL", "C");
    bash.setProcessEnvironment(environment);
    bash.setWorkingDirectory(folder.path());
    bash.start("bash",
               QStringList{"-c", script, "bash",
                           QStringLiteral(CORVANE_SOURCE_DIR "/resources/completion/corvane-cli")} +
                   words.split(u'|'));
    QVERIFY(bash.waitForFinished(30000));
    QCOMPARE(bash.readAllStandardError(), QByteArray());
    QStringList offered = QString::fromLatin1(bash.readAllStandardOutput()).split(u'\n');
    offered.removeAll(QString());
    QTEST(offered.join(u'|'), "offered");
}

void TestCli::adaptiveAgainstDense() {
    // The default simulator's 400 Hz filter and its linear range, dense and adaptive; then
    // analyze --csv of each pair.
    QTemporaryDir dir;
    const auto path = [&dir](const char *name) { return dir.filePath(name); };
    const QStringList sweep = {"--port", "sim",     "--yes",  "sweep", "--start",   "14059.4",
                               "--stop", "14060.6", "--step", "10",    "--rf-gain", "150"};
    const QStringList dbv = {"--port",  "sim", "--yes",  "dbv-full",
                             "--start", "50",  "--stop", "250"};
    QCOMPARE(runCli(sweep + QStringList{"-o", path("s.txt")}).exitCode, 0);
    QCOMPARE(runCli(sweep + QStringList{"--adaptive", "-o", path("sa.txt")}).exitCode, 0);
    QCOMPARE(runCli(dbv + QStringList{"-o", path("d.txt")}).exitCode, 0);
    QCOMPARE(runCli(dbv + QStringList{"--adaptive", "-o", path("da.txt")}).exitCode, 0);
    const auto csv = [](const QStringList &files) {
        const Run run = runCli(QStringList{"analyze", "--csv"} + files);
        QList<QStringList> records;
        for (const QByteArray &line : run.out.trimmed().split('\n'))
            records << QString::fromLatin1(line).split(u',');
        return records;
    };
    const QList<QStringList> s = csv({path("s.txt"), path("sa.txt")});
    QCOMPARE(s.size(), 3);
    QCOMPARE(s.at(0).mid(3, 2), QStringList({"bw3_hz", "bw6_hz"}));
    QCOMPARE(s.at(0).at(7), QString("centre_khz"));
    for (const int field : {3, 4})
        QVERIFY(std::abs(s.at(1).at(field).toDouble() - s.at(2).at(field).toDouble()) <= 10);
    QVERIFY(std::abs(s.at(1).at(7).toDouble() - s.at(2).at(7).toDouble()) <= 0.010);
    // At most 40 % of the dense run's 121 points: the data lines after line 30.
    const auto dataLines = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) - 30 : -1;
    };
    QCOMPARE(dataLines(path("s.txt")), 121);
    QVERIFY(dataLines(path("sa.txt")) <= 48);
    const QList<QStringList> d = csv({path("d.txt"), path("da.txt")});
    QCOMPARE(d.size(), 3);
    QCOMPARE(d.at(0).join(u','), QString("file,low_gain,high_gain,reference_diff_db,points"));
    QCOMPARE(d.at(1).at(4), QString("201"));
    QVERIFY(d.at(2).at(4).toInt() <= 50);  // at most 25 %
    for (const int field : {1, 2})
        QVERIFY(std::abs(d.at(1).at(field).toInt() - d.at(2).at(field).toInt()) <= 1);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
