// Every procedure on the simulator under each fault: what the user is told, what is kept,
// what reaches the radio, and whether the radio is left as it was found.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "charts/ui/chartwindows.h"
#include "common/bench.h"
#include "common/k3simprocess.h"
#include "common/scriptedfiledialogs.h"
#include "core/appcontext.h"
#include "core/linefile.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "link/connection.h"
#include "link/ui/connectioncontroller.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvquick.h"
#include "measurements/filtersweep.h"
#include "measurements/ui/frmdbvlinearity.h"

using namespace corvane;

namespace {

// The lines, the no-answer notes and the stop requests of any of the tests.
class Recorder : public DbvResultSink, public SweepSink {
public:
    QStringList lines;
    QString lastNote;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
    void progress(const DbvProgress &p) override { note(p.noAnswerNote); }
    void progress(const SweepProgress &p) override { note(p.noAnswerNote); }

private:
    void note(const QString &text) {
        if (!text.isEmpty()) lastNote = text;
    }
};

// What the restore must bring back.
QString settingsOf(sim::K3Simulator &sim) {
    const sim::K3State &s = sim.state();
    return QStringLiteral("AG%1 RG%2 RA%3 PA%4 AGC%5/%6 MD%7 FA%8 BW%9 FL%10 TECH%11 AI%12")
        .arg(s.afGain)
        .arg(s.rfGain)
        .arg(s.attenuator)
        .arg(s.preamp)
        .arg(s.agcOn)
        .arg(s.agcTimeConstant)
        .arg(s.mode)
        .arg(s.vfoAHz)
        .arg(s.dspBandwidthHz)
        .arg(s.selectedSlot)
        .arg(s.techMode)
        .arg(s.autoInfo);
}

QString cli() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void faultTable_data();
    void faultTable();
    void oneProcedureAtATime();
    void windowsWhenThePortIsLost();
    void outputFiles();
    void cliOnAPty_data();
    void cliOnAPty();
};

void TestFaults::faultTable_data() {
    QTest::addColumn<QString>("procedure");
    // The write that sets the fault off, and its occurrence (1 = first).
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("lastMessage");
    QTest::addColumn<int>("linesKept");
    QTest::addColumn<QString>("note");

    const QString gone = QStringLiteral("The device was removed");
    const QString lost = QStringLiteral("Connection Lost|The connection to the K3 was lost at ");
    const QString kept1 =
        QStringLiteral(". The 1 line measured so far is kept: save it with Save File.");
    const QString fullDone =
        QStringLiteral("Test Status|Test is complete. Check results in Listbox.");
    const QString quickDone =
        QStringLiteral("Quick Test Status|Quick Test is complete. Check results in Listbox.");
    const QString sweepDone =
        QStringLiteral("Test Status|Filter sweep is complete. Check results in Listbox.");
    const QString connected =
        QStringLiteral("K3 Status|K3 is connected and communicating at: 38400,N,8,1");
    // Step 2: the "ai;" of connect, the third "rg;" of the dBV tests (the capture asks once,
    // step 1 once), the second frequency of the sweep.
    const QString stepTwo[][3] = {{"connect", "ai;", "1"},
                                  {"dbv-full", "rg;", "3"},
                                  {"dbv-quick", "rg;", "3"},
                                  {"sweep", "FA00014060100;", "1"}};
    const QString lostText[] = {QString(), lost + "step 2 of 3: " + gone + kept1,
                                lost + "step 2 of 7: " + gone + kept1,
                                lost + "step 2 of 6: " + gone + kept1};
    const QString silentText[] = {connected,
                                  fullDone + " 4 of 6 readings had no answer from the K3.",
                                  quickDone + " 12 of 14 readings had no answer from the K3.",
                                  sweepDone + " 5 of 6 readings had no answer from the K3."};
    const int lines[] = {0, 3, 7, 6};
    const QString silentNote[] = {QString(), "No answer from the K3 for the last 2 readings",
                                  "No answer from the K3 for the last 10 readings",
                                  "No answer from the K3 for the last 4 readings"};
    const QString doneText[] = {connected, fullDone, quickDone, sweepDone};
    for (int p = 0; p < 4; ++p) {
        const QString &name = stepTwo[p][0];
        const QByteArray row = name.toLatin1();
        QTest::newRow(row + " port lost at step 2")
            << name << stepTwo[p][1] << stepTwo[p][2].toInt() << "vanish"
            << (p == 0 ? connected : lostText[p]) << (p == 0 ? 0 : 1) << QString();
        QTest::newRow(row + " silent from step 2")
            << name << stepTwo[p][1] << stepTwo[p][2].toInt() << "silent" << silentText[p]
            << lines[p] << silentNote[p];
        // During the capture: the "rg;" of the settings snapshot, the "ai;" of connect.
        const QString capture = p == 0 ? QStringLiteral("ai;") : QStringLiteral("rg;");
        for (const char *fault : {"late", "garbled", "AI1"})
            QTest::newRow(row + ' ' + fault + " during capture")
                << name << capture << 1 << fault << doneText[p] << lines[p] << QString();
    }
}

void TestFaults::faultTable() {
    QFETCH(QString, procedure);
    QFETCH(QString, trigger);
    QFETCH(int, occurrence);
    QFETCH(QString, fault);
    QFETCH(QString, lastMessage);
    QFETCH(int, linesKept);
    QFETCH(QString, note);

    test::SimBench bench;
    sim::K3Simulator &sim = *bench.simulator;
    const QString before = settingsOf(sim);
    int seen = 0;
    int faultWrite = -1;
    bench.trace.setObserver([&](const TraceEvent &event) {
        if (event.kind != TraceEvent::Kind::Write) return;
        // A capture fault hits one answer only.
        if (faultWrite >= 0 && fault != u"vanish" && fault != u"silent") {
            sim.faults().lateMs = 0;
            sim.faults().garbled = false;
        }
        if (event.text != trigger || ++seen != occurrence) return;
        faultWrite = int(bench.trace.events().size()) - 1;
        if (fault == u"vanish") sim.faults().vanished = true;
        if (fault == u"silent") sim.faults().silent = true;
        if (fault == u"late") sim.faults().lateMs = 150;
        if (fault == u"garbled") sim.faults().garbled = true;
        if (fault == u"AI1") sim.sendUnasked("AI1;", event.at + 6);
    });

    Recorder sink;
    int heading = 0;  // lines before the measurements
    if (procedure == u"connect") {
        const ConnectOutcome outcome = identifyRadio(bench.link, bench.prompter);
        QCOMPARE(outcome.identified, true);
        QCOMPARE(outcome.error.isError(), fault == u"vanish");
        QCOMPARE(outcome.autoInfo, fault == u"vanish" || fault == u"silent" || fault == u"late"
                                       ? QString()
                                       : outcome.autoInfo);
    } else if (procedure == u"dbv-full") {
        DbvWindowState state;
        QVERIFY(DbvFullTest(bench.link, bench.prompter, state, sink).run({"100", "102", "1"}));
        heading = 26;
    } else if (procedure == u"dbv-quick") {
        DbvWindowState state;
        QVERIFY(DbvQuickTest(bench.link, bench.prompter, state, sink).run());
        heading = 2;
    } else {
        FilterSweepState state;
        FilterSweep(bench.link, bench.prompter, state, sink)
            .beginSweep({"14060", "14060.5", "100", "150"});
        heading = 26;
    }

    QVERIFY(faultWrite >= 0);
    QCOMPARE(bench.prompter.summary().last(), lastMessage);
    QCOMPARE(sink.lines.size() - heading, linesKept);
    QCOMPARE(sink.lastNote, note);
    // Nothing the radio did not say in its own form ever goes back to it.
    static const QRegularExpression clean(QStringLiteral("^[a-zA-Z0-9;$]+$"));
    for (const QString &written : bench.trace.writes())
        QVERIFY2(clean.match(written).hasMatch(), qPrintable(written));
    if (fault == u"vanish") {
        // Nothing after the exchange that failed; the port is closed.
        for (size_t i = size_t(faultWrite) + 1; i < bench.trace.events().size(); ++i)
            QVERIFY(bench.trace.events()[i].kind != TraceEvent::Kind::Write);
        QVERIFY(!bench.link.isConnected());
        QVERIFY(bench.link.portLost());
    } else {
        QCOMPARE(settingsOf(sim), before);
        QVERIFY(bench.link.isConnected());
    }
}

void TestFaults::oneProcedureAtATime() {
    test::SimBench bench;
    FilterSweepState sweepState;
    FilterSweepState otherSweep;
    DbvWindowState dbvState;
    Recorder sink;
    qsizetype writesBefore = -1;
    qsizetype writesAfter = -1;
    // While the sweep waits at its first step, the other windows' radio actions are tried.
    bench.clock.setYieldHook([&] {
        if (writesBefore >= 0) return;
        writesBefore = bench.trace.writes().size();
        QVERIFY(!DbvFullTest(bench.link, bench.prompter, dbvState, sink).run({"100", "102", "1"}));
        QVERIFY(!DbvQuickTest(bench.link, bench.prompter, dbvState, sink).run());
        FilterSweep(bench.link, bench.prompter, otherSweep, sink).resetK3();
        writesAfter = bench.trace.writes().size();
    });
    const SweepOutcome outcome = FilterSweep(bench.link, bench.prompter, sweepState, sink)
                                     .beginSweep({"14060", "14060.1", "100", "150"});
    QCOMPARE(outcome.end, SweepEnd::Completed);
    QCOMPARE(writesAfter, writesBefore);
    const QString busy = QStringLiteral(
        "K3 Busy|Filter Sweep in the K3 Crystal Filter Sweep window is using the K3. Wait until "
        "it has finished, then try again.");
    QCOMPARE(bench.prompter.summary().mid(1, 3), QStringList({busy, busy, busy}));
    QVERIFY(bench.link.holder().isEmpty());
}

void TestFaults::windowsWhenThePortIsLost() {
    VirtualClock clock;
    ScriptedPrompter prompter;
    ConnectionController connection{clock, prompter};
    connection.setTransportMaker([&](const QString &) -> std::unique_ptr<Transport> {
        return std::make_unique<SimTransport>(connection.simulator(), clock);
    });
    frmConnect &dialog = connection.dialog();
    const auto button = [&dialog](const char *name) {
        return dialog.findChild<QPushButton *>(QLatin1String(name));
    };
    button("cmdConnect")->click();
    QVERIFY(connection.link().isConnected());
    test::ScriptedFileDialogs dialogs;
    AppContext app{&connection.link(), &prompter, &dialogs, [](const QString &, int) {}};
    WindowRegistry windows{app, nullptr};
    windows.add("frmDBVLinearity", [](const WindowContext &c) {
        return new frmDBVLinearity(c.app, c.windows, c.owner);
    });
    windows.add("frmChartLinearRange", [](const WindowContext &c) {
        return new ChartLinearRangeWindow(*c.app.dialogs, c.owner);
    });
    auto *window = windows.instance<frmDBVLinearity>("frmDBVLinearity");
    window->findChild<QLineEdit *>("txtRFGainStart")->setText("100");
    window->findChild<QLineEdit *>("txtRFGainStop")->setText("102");
    prompter.clear();

    // Step 1: the connection dialog's actions are refused; step 2: the port goes.
    int yields = 0;
    clock.setYieldHook([&] {
        if (++yields == 1)
            for (const char *name : {"cmdTestComm", "cmdSend", "cmdConnect"}) button(name)->click();
        if (yields == 2) connection.simulator()->faults().vanished = true;
    });
    window->findChild<QPushButton *>("cmdBegin")->click();
    const QString busy = QStringLiteral(
        "K3 Busy|Full Test in the Determine dBV Linear Range window is using the K3. Wait until it "
        "has finished, then try again.");
    QCOMPARE(prompter.summary().mid(prompter.summary().size() - 4),
             QStringList({busy, busy, busy,
                          "Connection Lost|The connection to the K3 was lost at step 2 of 3: The "
                          "device was removed. The 1 line measured so far is kept: save it "
                          "with Save File."}));
    QCOMPARE(dialog.findChild<QLabel *>("lblPortOpen")->text(), QStringLiteral("Port Open? False"));
    QVERIFY(!button("cmdTestComm")->isEnabled());

    // What was measured is on screen and can be saved.
    const QStringList lines = window->findChild<ResultsList *>("lstResults")->lines();
    QCOMPARE(lines.size(), 27);
    QTemporaryDir dir;
    dialogs.answer(dir.filePath("kept.txt"));
    auto *save = window->findChild<QPushButton *>("cmdSaveFileDialog");
    QVERIFY(save->isEnabled());
    save->click();
    QFile file(dir.filePath("kept.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().split('\n').at(30), lines.last().toLatin1() + '\r');
    windows.destroyAll();
}

void TestFaults::outputFiles() {
    QTemporaryDir dir;
    const QString missing = dir.filePath("none/out.txt");
    QCOMPARE(fileWriteProblem(missing),
             QStringLiteral("the folder ") + dir.filePath("none") + " does not exist");
    QCOMPARE(fileWriteProblem(dir.path()), dir.path() + " is a folder");
    QCOMPARE(fileWriteProblem(dir.filePath("out.txt")), QString());
    QVERIFY(!QFile::exists(dir.filePath("out.txt")));
    // A write that does not get to its end leaves the old file whole.
    const QString old = dir.filePath("old.txt");
    QVERIFY(writeLineFile(old, {"kept"}));
    {
        LineFileWriter writer;
        QVERIFY(writer.create(old));
        QVERIFY(writer.writeLine("half"));
    }
    QString error;
    QVERIFY(!writeLineFile(dir.path(), {"x"}, &error));
    QVERIFY(!error.isEmpty());
    QFile file(old);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"});
}

void TestFaults::cliOnAPty_data() {
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("signalAt");  // progress text on stderr that sends the signal
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");
    QTest::addColumn<int>("dataLines");  // -1: as many as measured, at least 1

    QTest::newRow("dbv-full, port vanishes")
        << QStringList{"--vanish-after", "25000"}
        << QStringList{"dbv-full", "--start", "100", "--stop", "110"} << QString() << 0 << 1
        << "Connection Lost: The connection to the K3 was lost at step" << -1;
    QTest::newRow("sweep, SIGTERM at step 2")
        << QStringList() << QStringList{"sweep",  "--start", "14060",     "--stop", "14061",
                                        "--step", "100",     "--rf-gain", "150"}
        << "Step 2 of 11" << SIGTERM << 128 + SIGTERM
        << "Test Status: Sweep was terminated prematurely." << 2;
    QTest::newRow("dbv-quick, SIGHUP at step 2")
        << QStringList() << QStringList{"dbv-quick"} << "Step 2 of 7" << SIGHUP << 128 + SIGHUP
        << "Quick Test Status: Quick Test was terminated prematurely." << 2;
    QTest::newRow("send, silent radio")
        << QStringList{"--silent"} << QStringList{"send", "fa"} << QString() << 0 << 1
        << "corvane-cli: No answer from the K3" << 0;
}

void TestFaults::cliOnAPty() {
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, arguments);
    QFETCH(QString, signalAt);
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(int, dataLines);

    test::K3SimProcess k3sim;
    QVERIFY(k3sim.start(simulator));
    const auto ask = [&k3sim](const QString &command) {
        QProcess process;
        process.start(cli(), {"--port", k3sim.pty(), "send", command});
        process.waitForFinished(20000);
        return process.readAllStandardOutput();
    };
    const bool measures = arguments.first() != u"send";
    const QStringList settings{"ag", "rg", "ra", "pa", "fa", "md", "k22;gt;k20"};
    QList<QByteArray> before;
    if (signal)
        for (const QString &setting : settings) before << ask(setting);

    QTemporaryDir dir;
    const QString output = dir.filePath("results.txt");
    QProcess run;
    QStringList all{"--port", k3sim.pty(), "--yes"};
    all << arguments;
    if (measures) all << "-o" << output;
    run.start(cli(), all);
    QVERIFY(run.waitForStarted());
    QByteArray err;
    if (signal) {
        run.setReadChannel(QProcess::StandardError);
        while (!err.contains(signalAt.toLatin1()) && run.waitForReadyRead(60000))
            err += run.readAllStandardError();
        QVERIFY2(err.contains(signalAt.toLatin1()), err.constData());
        ::kill(pid_t(run.processId()), signal);
    }
    QVERIFY(run.waitForFinished(120000));
    err += run.readAllStandardError();
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), exitCode);
    QVERIFY2(err.contains(told.toLatin1()), err.constData());
    if (!measures) return;

    // The -o file holds the header and every line listed, whatever ended the run.
    const QList<QByteArray> listed = run.readAllStandardOutput().split('\n');
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), listed.size() + 4);
    const int heading = arguments.first() == u"dbv-quick" ? 2 : 26;
    if (dataLines >= 0)
        QCOMPARE(listed.size() - 1 - heading, dataLines);
    else
        QVERIFY(listed.size() - 1 - heading >= 1);
    for (qsizetype i = 0; i + 1 < listed.size(); ++i)
        QCOMPARE(lines.at(i + 4), listed.at(i) + '\r');
    if (signal) {
        for (qsizetype i = 0; i < settings.size(); ++i) QCOMPARE(ask(settings.at(i)), before.at(i));
    }
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
