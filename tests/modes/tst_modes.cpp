// The radio as found, in every mode: each procedure that switches mode, started in each of the
// six modes on a radio whose per-mode memories (AGC, DSP width, crystal filter, both
// receivers) all differ, leaves the whole radio state as it was: after a normal end, after
// Stop where the procedure has one, and after a lost port once the radio is back and Reset
// K3 has been pressed. Then once in real time: corvane-cli against corvane-k3sim on a pty.
//
// A procedure joins the table with one entry in procedures() below.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QProcess>
#include <QtTest>
#include <functional>

#include "common/bench.h"
#include "common/k3simprocess.h"
#include "filters/crystalfilters.h"
#include "measurements/mdstest.h"

using namespace corvane;
using namespace corvane::test;

namespace {

class QuietMds : public MdsSink {
public:
    void clearLines() override {}
    void appendLine(const QString &) override {}
    bool preampChecked() const override { return true; }
};

// A radio that has been used in every mode, found in `mode` (both receivers).
struct ModesBench : SimBench {
    explicit ModesBench(int mode) : startMode(mode) {
        simulator->seedDistinctModeMemories();
        simulator->setMode(mode);
        simulator->setSubMode(mode);
    }
    QStringList radio() const { return simulator->stateLines(); }

    int startMode;
    // What the windows keep between a run and their Reset K3.
    MdsWindowState mds;
    QuietMds mdsSink;
    FilterWindowFields fields;
    TableSink table;
};

struct ModeProcedure {
    const char *name;
    std::function<void(ModesBench &)> run;
    std::function<void(ModesBench &)> stop;     // asks the running procedure to stop; or none
    std::function<void(ModesBench &)> resetK3;  // its window's Reset K3; or none
    const char *loseAt;                         // the port goes at this write's third sending
};

// Enable, then Disable, a slot the mode the operation works in (another than the one found)
// does not receive on: the flag ends as it was.
void enableThenDisable(ModesBench &b, Receiver receiver) {
    const int mode = b.startMode % 6 + 1;
    const int slot = mode == 3 || mode == 6 ? 1 : 3;
    CrystalFilters filters(b.link, b.prompter, receiver, b.fields, b.table);
    QCOMPARE(filters.enableReceive(mode, slot), FilterOperationEnd::Done);
    QCOMPARE(filters.disableReceive(mode, slot), FilterOperationEnd::Done);
}

void receiveReadout(ModesBench &b, Receiver receiver) {
    QVERIFY(CrystalFilters(b.link, b.prompter, receiver, b.fields, b.table).receiveReadout());
}

const std::vector<ModeProcedure> &procedures() {
    static const std::vector<ModeProcedure> list = {
        {"MDS",
         [](ModesBench &b) { MdsTest(b.link, b.prompter, b.mds, b.mdsSink).beginMdsTest(); },
         {},
         [](ModesBench &b) { MdsTest(b.link, b.prompter, b.mds, b.mdsSink).resetK3(); },
         "db;"},
        {"filter receive readout",
         [](ModesBench &b) { receiveReadout(b, Receiver::Main); },
         {},
         {},
         nullptr},
        {"filter receive readout, sub",
         [](ModesBench &b) { receiveReadout(b, Receiver::Sub); },
         {},
         {},
         nullptr},
        {"enable, disable",
         [](ModesBench &b) { enableThenDisable(b, Receiver::Main); },
         {},
         {},
         nullptr},
        {"enable, disable, sub",
         [](ModesBench &b) { enableThenDisable(b, Receiver::Sub); },
         {},
         {},
         nullptr},
    };
    return list;
}

enum class Ending { Normal, Stop, LostPort };

const char *const kModeNames[] = {"", "LSB", "USB", "CW", "FM", "AM", "DATA"};

// A raw terminal on corvane-k3sim's pty; every exchange reads until its last ";".
class RawPort {
public:
    explicit RawPort(const QString &path) {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~RawPort() { ::close(m_fd); }
    QByteArray ask(const QByteArray &command, int answers) {
        if (::write(m_fd, command.constData(), size_t(command.size())) != command.size()) return {};
        QByteArray out;
        pollfd p{m_fd, POLLIN, 0};
        char buffer[256];
        while (out.count(';') < answers && ::poll(&p, 1, 3000) > 0) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, int(n));
        }
        return out;
    }

private:
    int m_fd = -1;
};

}  // namespace

class TestModes : public QObject {
    Q_OBJECT

private slots:
    void radioAsFound_data();
    void radioAsFound();
    void realTimeOnAPty();
};

void TestModes::radioAsFound_data() {
    QTest::addColumn<int>("procedure");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("ending");
    for (size_t p = 0; p < procedures().size(); ++p) {
        const ModeProcedure &proc = procedures()[p];
        for (int mode = 1; mode <= 6; ++mode) {
            const auto row = [&](const char *ending, Ending e) {
                QTest::addRow("%s, found in %s, %s", proc.name, kModeNames[mode], ending)
                    << int(p) << mode << int(e);
            };
            row("end", Ending::Normal);
            if (proc.stop) row("Stop", Ending::Stop);
            if (proc.resetK3 && proc.loseAt) row("port lost, Reset K3", Ending::LostPort);
        }
    }
}

void TestModes::radioAsFound() {
    QFETCH(int, procedure);
    QFETCH(int, mode);
    QFETCH(int, ending);
    const ModeProcedure &proc = procedures()[size_t(procedure)];
    ModesBench b(mode);
    const QStringList before = b.radio();
    int sent = 0;
    if (Ending(ending) == Ending::Stop) {
        b.clock.setYieldHook([&] {
            if (b.clock.yieldCount() == 3) proc.stop(b);
        });
    }
    if (Ending(ending) == Ending::LostPort) {
        b.trace.setObserver([&](const TraceEvent &e) {
            if (e.kind == TraceEvent::Kind::Write && e.text == QLatin1String(proc.loseAt) &&
                ++sent == 3)
                b.simulator->faults().vanished = true;
        });
    }
    proc.run(b);
    b.clock.setYieldHook({});
    b.trace.setObserver({});

    // The procedure did switch: some mode command for another mode than the one found (but
    // for the MDS test found in CW, which stays in CW).
    const QStringList log = b.simulator->commandLog();
    const bool switched = std::any_of(log.begin(), log.end(), [&](const QString &c) {
        return c.size() == 3 && c.startsWith(QLatin1String("md"), Qt::CaseInsensitive) &&
               c.at(2).digitValue() != mode;
    });
    QVERIFY(switched || (procedure == 0 && mode == 3));
    if (Ending(ending) == Ending::LostPort) {
        QVERIFY(b.link.portLost());
        QVERIFY(b.radio() != before);
        b.simulator->faults().vanished = false;
        b.link.clearError();
        QVERIFY(!b.link.open().isError());
        proc.resetK3(b);
    }
    QCOMPARE(b.radio(), before);
}

void TestModes::realTimeOnAPty() {
    // corvane-k3sim found in USB with every mode's memories different; Enable then Disable
    // FL1 for Data on it in real time. Then the radio itself is asked: the mode is USB again
    // and USB's, CW's and DATA's memories are as they were seeded (the sub-receiver stays in
    // USB: MD changes only the main receiver's mode).
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--mode", "2", "--distinct-memories", "--no-noise"}));
    for (const char *operation : {"enable", "disable"}) {
        QProcess cli;
        cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
                  {"--port", simulator.pty(), "--yes", "filters", operation, "Data", "1"});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
    }
    RawPort port(simulator.pty());
    QCOMPARE(port.ask("md;k22;gt;fw;k20;k22;fw$;k20;", 4),
             QByteArray("MD2;GT0041;FW026010;FW$025020;"));
    QCOMPARE(port.ask("md3;k22;gt;fw;k20;k22;fw$;k20;", 3),
             QByteArray("GT0021;FW005040;FW$025020;"));
    QCOMPARE(port.ask("md6;k22;gt;fw;k20;k22;fw$;k20;", 3),
             QByteArray("GT0040;FW010050;FW$025020;"));
}

QTEST_GUILESS_MAIN(TestModes)
#include "tst_modes.moc"
