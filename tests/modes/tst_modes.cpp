// Each procedure that switches mode, started in each of the six modes on a radio whose
// per-mode memories (AGC, DSP width, crystal filter, both receivers) all differ, leaves the
// whole radio state as it was: after its end, after Stop, and after a lost port once the radio
// is back and Reset K3 was pressed (where the window has no Reset K3, it names the mode to set). A
// procedure joins the table with an entry in procedures().

#include <QtTest>
#include <functional>

#include "common/bench.h"
#include "filters/crystalfilters.h"
#include "measurements/mdstest.h"
#include "survey/filtersurvey.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct QuietMds : MdsSink {
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
    SurveySink surveySink;
    FilterSurvey survey{link, prompter, surveySink};
    int surveyStopAt = 1 << 30;  // the yield at which the survey is stopped
};

// The survey of FL3 in CW at 100 Hz steps (15 points); its Stop comes 45 yields after the
// table's, in the sweep.
void surveyRun(ModesBench &b, Receiver receiver) {
    SurveyOptions options;
    options.receiver = receiver;
    options.slotNumbers = {3};
    options.stepHz = 100;
    b.survey.setStopCheck([&b] { return b.clock.yieldCount() >= b.surveyStopAt; });
    b.survey.run(options);
}

struct ModeProcedure {
    const char *name;
    std::function<void(ModesBench &)> run;
    std::function<void(ModesBench &)> resetK3 = {};  // its window's Reset K3; or none
    const char *loseAt = nullptr;                    // the port goes at this write's third sending
    std::function<void(ModesBench &)> stop = {};     // asks the running procedure to stop; or none
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
    const bool read =
        CrystalFilters(b.link, b.prompter, receiver, b.fields, b.table).receiveReadout();
    QCOMPARE(read, !b.link.portLost());
}

const std::vector<ModeProcedure> &procedures() {
    static const std::vector<ModeProcedure> list = {
        {"MDS", [](ModesBench &b) { MdsTest(b.link, b.prompter, b.mds, b.mdsSink).beginMdsTest(); },
         [](ModesBench &b) { MdsTest(b.link, b.prompter, b.mds, b.mdsSink).resetK3(); }, "db;"},
        {"filter receive readout",
         [](ModesBench &b) { receiveReadout(b, Receiver::Main); },
         {},
         "k31;swt29;"},
        {"filter receive readout, sub",
         [](ModesBench &b) { receiveReadout(b, Receiver::Sub); },
         {},
         "k31;swt29;"},
        {"enable, disable", [](ModesBench &b) { enableThenDisable(b, Receiver::Main); }},
        {"enable, disable, sub", [](ModesBench &b) { enableThenDisable(b, Receiver::Sub); }},
        {"survey", [](ModesBench &b) { surveyRun(b, Receiver::Main); },
         [](ModesBench &b) { b.survey.resetK3(); }, "k22;gt;k20;",
         [](ModesBench &b) { b.surveyStopAt = b.clock.yieldCount() + 45; }},
        {"survey, sub", [](ModesBench &b) { surveyRun(b, Receiver::Sub); },
         [](ModesBench &b) { b.survey.resetK3(); }, "k22;gt;k20;",
         [](ModesBench &b) { b.surveyStopAt = b.clock.yieldCount() + 45; }},
    };
    return list;
}

enum class Ending { Normal, Stop, LostPort };
const char *const kModeNames[] = {"", "LSB", "USB", "CW", "FM", "AM", "DATA"};

}  // namespace

class TestModes : public QObject {
    Q_OBJECT

private slots:
    void radioAsFound_data();
    void radioAsFound();
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
            if (proc.loseAt)
                row(proc.resetK3 ? "port lost, Reset K3" : "port lost, told", Ending::LostPort);
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
    b.clock.setYieldHook([&] {
        if (Ending(ending) == Ending::Stop && b.clock.yieldCount() == 3) proc.stop(b);
    });
    b.trace.setObserver([&](const TraceEvent &e) {
        if (Ending(ending) == Ending::LostPort && e.kind == TraceEvent::Kind::Write &&
            e.text == QLatin1String(proc.loseAt) && ++sent == 3)
            b.simulator->faults().vanished = true;
    });
    proc.run(b);
    b.clock.setYieldHook({});
    b.trace.setObserver({});

    if (Ending(ending) == Ending::LostPort) {
        QVERIFY(b.link.portLost());
        QVERIFY(b.radio() != before);
        // Without a Reset K3 the window says which mode to set by hand.
        if (!proc.resetK3) {
            const QString told = b.prompter.summary().last();
            const QString sub = QString::fromLatin1(proc.name).endsWith(", sub")
                                    ? QStringLiteral(" and the sub-receiver in ") + kModeNames[mode]
                                    : QString();
            QVERIFY2(told.contains(QStringLiteral("The K3's mode was not put back: it was found "
                                                  "with the main receiver in ") +
                                   kModeNames[mode] + sub + u'.'),
                     qPrintable(told));
            return;
        }
        b.simulator->faults().vanished = false;
        b.link.clearError();
        QVERIFY(!b.link.open().isError());
        proc.resetK3(b);
    }
    QCOMPARE(b.radio(), before);
}

QTEST_GUILESS_MAIN(TestModes)
#include "tst_modes.moc"
