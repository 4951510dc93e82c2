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
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/scriptedfiledialogs.h"
#include "core/appcontext.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "link/connection.h"
#include "link/ui/connectioncontroller.h"
#include "measurements/benchprompts.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvquick.h"
#include "measurements/filtersweep.h"
#include "measurements/mdstest.h"
#include "measurements/ui/frmdbvlinearity.h"

using namespace corvane;

namespace {

// The lines and the no-answer notes of any of the tests.
class Recorder : public DbvResultSink, public SweepSink, public MdsSink {
public:
    QStringList lines;
    QStringList notes;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
    void progress(const DbvProgress &p) override { notes << p.noAnswerNote; }
    void progress(const SweepProgress &p) override { notes << p.noAnswerNote; }
    bool preampChecked() const override { return true; }
};

QString settingsOf(sim::K3Simulator &sim) {
    const sim::K3State &s = sim.state();
    QString text;
    for (const qint64 value :
         {qint64(s.afGain), qint64(s.rfGain), qint64(s.attenuator), qint64(s.preamp),
          qint64(s.agcOn), qint64(s.agcTimeConstant), qint64(s.mode), s.vfoAHz,
          qint64(s.dspBandwidthHz), qint64(s.selectedSlot), qint64(s.techMode), qint64(s.autoInfo)})
        text += QString::number(value) + u' ';
    return text;
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
    void windowsWhenThePortIsLost();
    void cliOnAPty_data();
    void cliOnAPty();
};

void TestFaults::faultTable_data() {
    test::addRows("faults.tsv", {"procedure", "trigger", "occurrence", "fault", "lastMessage",
                                 "linesKept", "note"});
}

void TestFaults::faultTable() {
    QFETCH(QString, procedure);
    QFETCH(QString, trigger);
    QFETCH(QString, occurrence);
    QFETCH(QString, fault);
    QFETCH(QString, lastMessage);
    QFETCH(QString, linesKept);
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
        if (event.text != trigger || ++seen != occurrence.toInt()) return;
        faultWrite = int(bench.trace.events().size()) - 1;
        if (fault == u"vanish") sim.faults().vanished = true;
        if (fault == u"silent") sim.faults().silent = true;
        if (fault == u"late") sim.faults().lateMs = 150;
        if (fault == u"garbled") sim.faults().garbled = true;
        if (fault == u"AI1") sim.sendUnasked("AI1;", event.at + 6);
    });

    Recorder sink;
    DbvWindowState dbv;
    FilterSweepState sweep;
    int heading = 26;  // lines before the measurements
    if (procedure == u"connect") {
        const ConnectOutcome outcome = identifyRadio(bench.link, bench.prompter);
        QVERIFY(outcome.identified);
        QCOMPARE(outcome.error.isError(), fault == u"vanish");
        heading = 0;
    } else if (procedure == u"dbv-full") {
        QVERIFY(DbvFullTest(bench.link, bench.prompter, dbv, sink).run({"100", "102", "1"}));
    } else if (procedure == u"dbv-quick") {
        QVERIFY(DbvQuickTest(bench.link, bench.prompter, dbv, sink).run());
        heading = 2;
    } else if (procedure == u"mds") {
        MdsWindowState mds;
        PromptFollower following(bench.prompter, [&sim] { return &sim; });
        MdsTest(bench.link, following, mds, sink).beginMdsTest();
        heading = 24;
    } else {
        FilterSweep(bench.link, bench.prompter, sweep, sink)
            .beginSweep({"14060", "14060.5", "100", "150"});
    }

    QVERIFY(faultWrite >= 0);
    QCOMPARE(bench.prompter.summary().last(), lastMessage);
    QCOMPARE(sink.lines.size() - heading, linesKept.toInt());
    sink.notes.removeAll(QString());
    QCOMPARE(sink.notes.value(sink.notes.size() - 1), note);
    // Nothing the radio did not say in its own form ever goes back to it.
    static const QRegularExpression clean(QStringLiteral("^[a-zA-Z0-9;$]+$"));
    for (const QString &written : bench.trace.writes())
        QVERIFY2(clean.match(written).hasMatch(), qPrintable(written));
    if (fault == u"vanish") {
        // Nothing after the exchange that failed; the port is closed.
        for (size_t i = size_t(faultWrite) + 1; i < bench.trace.events().size(); ++i)
            QVERIFY(bench.trace.events()[i].kind != TraceEvent::Kind::Write);
        QVERIFY(!bench.link.isConnected() && bench.link.portLost());
    } else {
        // A radio gone silent cannot show TECH MD: left on (the last message says so).
        if (fault == u"silent" && procedure != u"connect")
            QVERIFY(std::exchange(sim.state().techMode, false));
        QCOMPARE(settingsOf(sim), before);
        QVERIFY(bench.link.isConnected());
    }
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
    QCOMPARE(window->findChild<QLabel *>("lblProgress")->text(),
             QStringLiteral("Connection lost after 1 of 3 steps"));
    QVERIFY(!button("cmdTestComm")->isEnabled());

    // What was measured is on screen and can be saved.
    const QStringList lines = window->findChild<ResultsList *>("lstResults")->lines();
    QCOMPARE(lines.size(), 27);
    QTemporaryDir dir;
    dialogs.answer(dir.filePath("kept.txt"));
    window->findChild<QPushButton *>("cmdSaveFileDialog")->click();
    QFile file(dir.filePath("kept.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().split('\n').at(30), lines.last().toLatin1() + '\r');
    windows.destroyAll();
}

void TestFaults::cliOnAPty_data() {
    test::addRows("cli.tsv", {"simulator", "arguments", "signalAt", "signal", "exitCode", "told",
                              "dataLines"});
}

void TestFaults::cliOnAPty() {
    QFETCH(QString, simulator);
    QFETCH(QString, arguments);
    QFETCH(QString, signalAt);
    QFETCH(QString, signal);
    QFETCH(QString, exitCode);
    QFETCH(QString, told);
    QFETCH(QString, dataLines);
    const QStringList words = arguments.split(u' ');
    const int sent = signal.toInt();  // after signalAt shows on stderr

    test::K3SimProcess k3sim;
    QVERIFY(k3sim.start(simulator.split(u' ', Qt::SkipEmptyParts)));
    const auto ask = [&k3sim](const QString &command) {
        QProcess process;
        process.start(cli(), {"--port", k3sim.pty(), "send", command});
        process.waitForFinished(20000);
        return process.readAllStandardOutput();
    };
    const bool measures = words.first() != u"send";
    const QStringList settings{"ag", "rg", "ra", "pa", "fa", "md", "k22;gt;k20"};
    QList<QByteArray> before;
    if (sent)
        for (const QString &setting : settings) before << ask(setting);

    QTemporaryDir dir;
    const QString output = dir.filePath("results.txt");
    QProcess run;
    QStringList all = QStringList{"--port", k3sim.pty(), "--yes"} + words;
    if (measures) all << "-o" << output;
    run.start(cli(), all);
    QVERIFY(run.waitForStarted());
    QByteArray err;
    if (sent) {
        run.setReadChannel(QProcess::StandardError);
        while (!err.contains(signalAt.toLatin1()) && run.waitForReadyRead(60000))
            err += run.readAllStandardError();
        ::kill(pid_t(run.processId()), sent);
    }
    QVERIFY(run.waitForFinished(120000));
    err += run.readAllStandardError();
    QCOMPARE(run.exitCode(), exitCode.toInt());
    QVERIFY2(err.contains(told.toLatin1()), err.constData());
    if (!measures) return;

    // The -o file holds the header and every line listed, whatever ended the run.
    const QList<QByteArray> listed = run.readAllStandardOutput().split('\n');
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), listed.size() + 4);
    const int heading = words.first() == u"dbv-quick" ? 2 : 26;
    QCOMPARE(listed.size() - 1 - heading, dataLines.toInt());
    for (qsizetype i = 0; i + 1 < listed.size(); ++i)
        QCOMPARE(lines.at(i + 4), listed.at(i) + '\r');
    for (qsizetype i = 0; i < before.size(); ++i) QCOMPARE(ask(settings.at(i)), before.at(i));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
