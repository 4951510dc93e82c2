// The filter sweep procedure on the simulator: exact exchanges and waits, list lines, chart
// rows, messages, refusals, Stop, and what it leaves on the radio.

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/linefile.h"
#include "core/numtext.h"
#include "measurements/sweepresultsfile.h"
#include "sweepbench.h"

using namespace corvane;

Q_DECLARE_METATYPE(corvane::SweepInputs)

namespace {

const QString kCompleted =
    QStringLiteral("Test Status|Filter sweep is complete. Check results in Listbox.");
const QString kStopped = QStringLiteral("Test Status|Sweep was terminated prematurely.");
const QString kAfvPrompt = QStringLiteral(
    "Set AFV Reference|Setting AFV reference value. Be sure K3 frequency is set at mid point "
    "of filter passband. When ready click OK.");

// The trace with the text of each read left out: the commands, waits, yields and messages.
QStringList shape(const LinkTrace &trace) {
    QStringList out;
    for (const QString &line : trace.lines())
        out << (line.startsWith(u'R') ? QStringLiteral("R") : line);
    return out;
}

// The frequency commands of the steps: each is followed by the 4000 ms settling wait (the
// restore's "FA" has the ordinary 100 ms).
QStringList frequencySteps(const LinkTrace &trace) {
    QStringList out;
    const QStringList lines = trace.lines();
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (lines.at(i).startsWith(QLatin1String("W FA")) && lines.at(i + 1) == "S 4000")
            out << lines.at(i).mid(2);
    return out;
}

// What the restore must put back.
struct RadioSettings {
    qint64 vfoA;
    int mode, rfGain, afGain, agcTimeConstant, slot, bandwidth;
    bool attenuator, preamp, agcOn, techMode;
    sim::VfoBReadout readout;
    bool operator==(const RadioSettings &o) const {
        return vfoA == o.vfoA && mode == o.mode && rfGain == o.rfGain && afGain == o.afGain &&
               agcTimeConstant == o.agcTimeConstant && slot == o.slot && bandwidth == o.bandwidth &&
               attenuator == o.attenuator && preamp == o.preamp && agcOn == o.agcOn &&
               techMode == o.techMode && readout == o.readout;
    }
};

RadioSettings settingsOf(const sim::K3State &s) {
    return {s.vfoAHz,         s.mode,       s.rfGain, s.afGain, s.agcTimeConstant, s.selectedSlot,
            s.dspBandwidthHz, s.attenuator, s.preamp, s.agcOn,  s.techMode,        s.vfoBReadout};
}

const SweepInputs kElevenSteps{"14060", "14061", "100", "200"};

}  // namespace

class TestFilterSweep : public QObject {
    Q_OBJECT

private slots:
    void exchangesOfElevenSteps();
    void listAndChartOfElevenSteps();
    void stepsAndChartRows_data();
    void stepsAndChartRows();
    void startAboveStop();
    void stopDuringAStep();
    void notPresent();
    void emptyBoxesSendOnlyId_data();
    void emptyBoxesSendOnlyId();
    void tooManyPointsSendsOnlyId();
    void kat3MessageOncePerWindow();
    void restoreLeavesRadioAsItWas();
    void shortAndOddReplies();
    void progress();
    void resetSendsSnapshotAgain();
    void savedFileOfElevenSteps();
};

void TestFilterSweep::exchangesOfElevenSteps() {
    SweepBench bench;
    const SweepOutcome outcome = bench.run(kElevenSteps);
    QCOMPARE(outcome.end, SweepEnd::Completed);
    QCOMPARE(outcome.stepsMeasured, 11);

    QStringList expected{"W id;", "S 100", "R"};
    // The settings snapshot: ten queries, 100 ms wait and 100 ms settle each.
    for (const char *q : {"ag;", "k22;gt;k20;", "ra;", "pa;", "rg;", "md;", "k22;pc;k20;", "fa;",
                          "k31;fw;k30;", "k22;fw;k20;"})
        expected << QStringLiteral("W ") + QLatin1String(q) << "S 100"
                 << "R"
                 << "S 100";
    // Identity: serial number from menu entry 026, then the firmware revisions.
    expected << "W mn026;"
             << "S 1500"
             << "W ds;"
             << "S 100"
             << "R"
             << "S 100"
             << "W mn255;"
             << "S 100"
             << "W rvm;"
             << "S 100"
             << "R"
             << "S 100"
             << "W rvd;"
             << "S 100"
             << "R"
             << "S 100"
             << "W rvf;"
             << "S 100"
             << "R";
    // Test set-up: no KAT3 fitted (the menu stays open), TECH MD off so it is turned on.
    expected << "W mn023;"
             << "S 100"
             << "W ds;"
             << "S 100"
             << "R"
             << "W mn072;"
             << "S 100"
             << "W ds;"
             << "S 100"
             << "R"
             << "W mn255;"
             << "S 100"
             << "W mn072;"
             << "S 100"
             << "W ds;"
             << "S 100"
             << "R"
             << "W up;"
             << "S 100"
             << "W mn255;"
             << "S 100";
    expected << "W ag005;"
             << "S 1000"
             << "W k22;gt;k20;"
             << "S 100"
             << "R"
             << "W k22;gt0020;k20;"
             << "S 100"
             << "W ra00;"
             << "S 100"
             << "W pa0;"
             << "S 100"
             << "W k31;swt08;k30;"
             << "S 100"
             << "W rg200;"
             << "S 100"
             << "W db10;"
             << "S 100"
             << "M " + kAfvPrompt << "W k22;gt;k20;"
             << "S 100"
             << "R"
             << "W db11;"
             << "S 1000";
    for (int hz = 14060000; hz <= 14061000; hz += 100) {
        expected << "Y" << QStringLiteral("W FA000%1;").arg(hz) << "S 4000"
                 << "W db;"
                 << "S 2500"
                 << "R"
                 << "S 100";
    }
    expected << "M " + kCompleted;
    // Restore: the snapshot as read, then TECH MD off again.
    expected << "W k22;GT0041;k20;"
             << "S 100"
             << "W AG030;"
             << "S 100"
             << "W RA00;"
             << "S 100"
             << "W PA1;"
             << "S 100"
             << "W RG250;"
             << "S 100"
             << "W MD3;"
             << "S 100"
             << "W FA00014060000;"
             << "S 100";
    const QStringList actual = shape(bench.trace);
    const int restoreFilter = actual.indexOf(QRegularExpression("^W k22;FW.*;k20;$"));
    QVERIFY(restoreFilter > 0);
    expected << actual.at(restoreFilter) << "S 100";
    QVERIFY(actual.value(restoreFilter + 2).startsWith("W k31;FW"));
    expected << actual.at(restoreFilter + 2) << "S 100"
             << "W db00;"
             << "W mn072;"
             << "S 100"
             << "W ds;"
             << "S 100"
             << "R"
             << "W up;"
             << "S 100"
             << "W mn255;"
             << "S 100";
    QCOMPARE(actual, expected);
}

void TestFilterSweep::listAndChartOfElevenSteps() {
    SweepBench bench;
    bench.run(kElevenSteps);
    const QStringList &lines = bench.sink.lines;
    QCOMPARE(lines.size(), 26 + 11);
    QCOMPARE(lines.at(0), QStringLiteral("K3 Serial Number:   \t05321"));
    QCOMPARE(lines.mid(19, 7),
             QStringList({"Preamp: Off", "Power: \t50 watts", "Frequency Start: 14060",
                          "Frequency Stop: 14061", "Frequency Step: 100", QString(39, u'='),
                          "Frequency\tdBV"}));
    QCOMPARE(bench.sink.chartPreparations, 1);
    QCOMPARE(bench.sink.chartRows, 11);
    QCOMPARE(int(bench.sink.chart.size()), 11);
    const QStringList labels{"14060",   "14060.1", "14060.2", "14060.3", "14060.4", "14060.5",
                             "14060.6", "14060.7", "14060.8", "14060.9", "14061"};
    for (int i = 0; i < 11; ++i) {
        const ChartRow &row = bench.sink.chart.at(i);
        QCOMPARE(row.row, i + 1);
        QCOMPARE(row.label, labels.at(i));
        // Each line is the frequency, two tabs and the reading as charted.
        const QString line = bench.sink.dataLines().at(i);
        const QStringList fields = line.split(u'\t');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(0), format0_000(labels.at(i).toDouble()));
        QVERIFY(fields.at(1).isEmpty());
        QVERIFY2(isNumber(fields.at(2)), qPrintable(line));
        QCOMPARE(fields.at(2), format0_0(row.value));
    }
    QCOMPARE(bench.sink.selections, 11);
    QCOMPARE(bench.sink.sweeping, QList<bool>({true, false}));
}

void TestFilterSweep::stepsAndChartRows_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("kHz");
    QTest::addColumn<int>("rows");

    QTest::newRow("stop between steps")
        << "14060"
        << "14060.25"
        << "100" << QStringList{"FA00014060000;", "FA00014060100;", "FA00014060200;"}
        << QStringList{"14060.000", "14060.100", "14060.200"} << 3;
    QTest::newRow("start equals stop")
        << "14060"
        << "14060"
        << "100" << QStringList{"FA00014060000;"} << QStringList{"14060.000"} << 1;
    QTest::newRow("160 m") << "1800"
                           << "1800.1"
                           << "50"
                           << QStringList{"FA00001800000;", "FA00001800050;", "FA00001800100;"}
                           << QStringList{"1800.000", "1800.050", "1800.100"} << 3;
    // Single precision: seven significant digits above 10 MHz.
    QTest::newRow("1 Hz steps") << "14060.123"
                                << "14060.124"
                                << "1" << QStringList{"FA00014060123;", "FA00014060124;"}
                                << QStringList{"14060.120", "14060.120"} << 2;
}

void TestFilterSweep::stepsAndChartRows() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, kHz);
    QFETCH(int, rows);

    SweepBench bench;
    QCOMPARE(bench.run({start, stop, step, "150"}).end, SweepEnd::Completed);
    QCOMPARE(frequencySteps(bench.trace), commands);
    QCOMPARE(bench.sink.chartRows, rows);
    QStringList listed;
    for (const QString &line : bench.sink.dataLines()) listed << line.section(u'\t', 0, 0);
    QCOMPARE(listed, kHz);
    QVERIFY(bench.trace.writes().contains("rg150;"));
}

void TestFilterSweep::startAboveStop() {
    SweepBench bench;
    const RadioSettings before = settingsOf(bench.sim->state());
    const SweepOutcome outcome = bench.run({"14061", "14060", "100", "200"});
    QCOMPARE(outcome.end, SweepEnd::Completed);
    QCOMPARE(outcome.stepsMeasured, 0);
    QCOMPARE(bench.sink.lines.size(), 26);
    QVERIFY(frequencySteps(bench.trace).isEmpty());
    QCOMPARE(bench.sink.chartRows, 11);
    QCOMPARE(bench.prompter.summary().last(), kCompleted);
    QVERIFY(bench.trace.writes().contains("db00;"));
    QVERIFY(settingsOf(bench.sim->state()) == before);
}

void TestFilterSweep::stopDuringAStep() {
    SweepBench bench;
    FilterSweep sweep(bench.link, bench.prompter, bench.state, bench.sink);
    // The Stop click made while step 4 is measured is serviced at the next yield.
    bench.clock.setYieldHook([&] {
        if (bench.clock.yieldCount() == 5) sweep.stopSweep();
    });
    const SweepOutcome outcome = sweep.beginSweep(kElevenSteps);
    QCOMPARE(outcome.end, SweepEnd::Stopped);
    QCOMPARE(outcome.stepsMeasured, 4);
    QCOMPARE(bench.sink.dataLines().size(), 4);
    QCOMPARE(frequencySteps(bench.trace).last(), QStringLiteral("FA00014060300;"));
    QCOMPARE(bench.prompter.summary().last(), kStopped);
    QCOMPARE(bench.prompter.messages().back().icon, MessageIcon::Exclamation);
    // The settings are put back after the message.
    const QStringList lines = bench.trace.lines();
    QVERIFY(lines.indexOf("W db00;") > lines.indexOf("M " + kStopped));

    // The next sweep starts with the flag cleared.
    bench.clock.setYieldHook({});
    QCOMPARE(sweep.beginSweep(kElevenSteps).end, SweepEnd::Completed);
    QCOMPARE(bench.sink.dataLines().size(), 11);
}

void TestFilterSweep::notPresent() {
    SweepBench bench;
    bench.sim->faults().silent = true;
    bench.sink.lines = QStringList{"kept"};
    const SweepOutcome outcome = bench.run(kElevenSteps);
    QCOMPARE(outcome.end, SweepEnd::NotPresent);
    QCOMPARE(bench.trace.lines(), QStringList({"W id;", "S 100", "R ",
                                               "M K3 Not Present|Connect to K3 before beginning "
                                               "this sweep."}));
    QCOMPARE(bench.prompter.messages().front().icon, MessageIcon::Exclamation);
    QCOMPARE(bench.sink.lines, QStringList{"kept"});
    QVERIFY(bench.sink.sweeping.isEmpty());
}

void TestFilterSweep::emptyBoxesSendOnlyId_data() {
    QTest::addColumn<SweepInputs>("inputs");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("box");
    QTest::newRow("all empty") << SweepInputs{"", "", "", ""}
                               << "Start Frequency Null Error|Enter an appropriate start frequency"
                               << int(SweepBox::KHzStart);
    QTest::newRow("stop") << SweepInputs{"14060", "", "", "200"}
                          << "Stop Frequency Null Error|Enter an appropriate stop frequency"
                          << int(SweepBox::KHzStop);
    QTest::newRow("step") << SweepInputs{"14060", "14061", "", ""}
                          << "Frequency Step Null Error|Enter an appropriate frequency increment"
                          << int(SweepBox::FreqStep);
    QTest::newRow("gain") << SweepInputs{"14060", "14061", "100", ""}
                          << "RF Gain Null Error|Enter an appropriate RF Gain setting"
                          << int(SweepBox::RFGain);
}

void TestFilterSweep::emptyBoxesSendOnlyId() {
    QFETCH(SweepInputs, inputs);
    QFETCH(QString, message);
    QFETCH(int, box);
    SweepBench bench;
    bench.sink.lines = QStringList{"old"};
    const SweepOutcome outcome = bench.run(inputs);
    QCOMPARE(outcome.end, SweepEnd::Refused);
    QVERIFY(outcome.box);
    QCOMPARE(int(*outcome.box), box);
    QCOMPARE(bench.trace.writes(), QStringList{"id;"});
    QCOMPARE(bench.prompter.summary(), QStringList{message});
    QCOMPARE(bench.prompter.messages().front().icon, MessageIcon::Critical);
    QVERIFY(bench.sink.lines.isEmpty());  // emptied before the boxes are checked
}

void TestFilterSweep::tooManyPointsSendsOnlyId() {
    SweepBench bench;
    const SweepOutcome outcome = bench.run({"1800", "30000", "1", "200"});
    QCOMPARE(outcome.end, SweepEnd::Refused);
    QCOMPARE(int(*outcome.box), int(SweepBox::FreqStep));
    QCOMPARE(bench.trace.writes(), QStringList{"id;"});
    QCOMPARE(bench.prompter.messages().size(), size_t(1));
    QCOMPARE(bench.prompter.messages().front().title, QStringLiteral("Too Many Sweep Points"));
    QVERIFY(bench.prompter.messages().front().text.contains("32767"));
    QVERIFY(bench.sink.sweeping.isEmpty());
    QCOMPARE(bench.sink.chartPreparations, 0);
}

void TestFilterSweep::kat3MessageOncePerWindow() {
    SweepBench bench;
    bench.sim->state().kat3Installed = true;
    bench.sim->state().kat3Bypassed = false;
    const QString kat3 = QStringLiteral(
        "KAT3 Present|KAT3 ATU is present. Recommend it be bypassed for test. Press and hold ATU "
        "Tune on K3.");
    for (int run = 0; run < 3; ++run) bench.run({"14060", "14060.1", "100", "200"});
    QCOMPARE(bench.prompter.summary().count(kat3), 1);
    QCOMPARE(bench.trace.writes().count("mn023;"), 1);
    QCOMPARE(bench.prompter.summary().count(kCompleted), 3);

    // A window loaded anew starts with the check not yet run.
    bench.state.flags.blnKat3Checked = false;
    bench.run({"14060", "14060.1", "100", "200"});
    QCOMPARE(bench.prompter.summary().count(kat3), 2);
}

void TestFilterSweep::restoreLeavesRadioAsItWas() {
    SweepBench bench;
    sim::K3State &s = bench.sim->state();
    s.vfoAHz = 7040500;
    s.mode = 2;
    s.rfGain = 180;
    s.afGain = 120;
    s.attenuator = true;
    s.preamp = true;
    const RadioSettings before = settingsOf(s);
    QCOMPARE(bench.run({"7040", "7041", "250", "210"}).end, SweepEnd::Completed);
    QVERIFY(settingsOf(s) == before);

    // With TECH MD already on, the sweep neither turns it on nor off.
    SweepBench second;
    second.sim->state().techMode = true;
    const RadioSettings before2 = settingsOf(second.sim->state());
    second.run({"7040", "7041", "250", "210"});
    QVERIFY(settingsOf(second.sim->state()) == before2);
    QVERIFY(!second.trace.writes().contains("up;"));
}

void TestFilterSweep::shortAndOddReplies() {
    // A radio that answers "db;" with text too short to cut: the step is listed with an
    // empty reading and charted as 0, and the sweep goes on.
    SweepBench bench;
    FilterSweep sweep(bench.link, bench.prompter, bench.state, bench.sink);
    bench.clock.setYieldHook([&] { bench.sim->faults().truncated = true; });
    QCOMPARE(sweep.beginSweep({"14060", "14060.2", "100", "200"}).end, SweepEnd::Completed);
    const QStringList data = bench.sink.dataLines();
    QCOMPARE(data.size(), 3);
    for (const QString &line : data) {
        QVERIFY2(line.startsWith("14060."), qPrintable(line));
        QCOMPARE(line.count(u'\t'), 2);
    }
    for (const ChartRow &row : bench.sink.chart)
        QCOMPARE(row.value, readingValue(data.at(row.row - 1).section(u'\t', 2)));
}

void TestFilterSweep::progress() {
    SweepBench bench;
    bench.run({"14060", "14060.25", "100", "200"});
    const auto &seen = bench.sink.progressSeen;
    QCOMPARE(int(seen.size()), 4);
    QCOMPARE(seen.at(0).step, 0);
    QCOMPARE(seen.at(0).steps, 3);
    QCOMPARE(sweepProgressText(seen.at(0)), QStringLiteral("3 steps to measure, about 0:20"));
    QCOMPARE(seen.at(1).step, 1);
    QCOMPARE(seen.at(1).msLeft, qint64(3 * 6600));
    QCOMPARE(seen.at(3).frequencyHz, 14060200);
    QCOMPARE(seen.at(3).msLeft, qint64(6600));
    QCOMPARE(sweepProgressText(seen.at(1)),
             QStringLiteral("Step 1 of 3: 14060.000 kHz, about 0:20 left"));
    QCOMPARE(durationText(6600 * 600), QStringLiteral("1:06:00"));
    QCOMPARE(durationText(66000), QStringLiteral("1:06"));
    QCOMPARE(durationText(0), QStringLiteral("0:00"));
}

void TestFilterSweep::resetSendsSnapshotAgain() {
    SweepBench bench;
    FilterSweep sweep(bench.link, bench.prompter, bench.state, bench.sink);
    sweep.resetK3();  // nothing captured yet
    QVERIFY(bench.trace.writes().isEmpty());
    sweep.beginSweep({"14060", "14060", "100", "200"});
    const QStringList all = bench.trace.writes();
    QStringList restore = all.mid(all.lastIndexOf("k22;GT0041;k20;"));
    // After the sweep TECH MD is off again: later restores look at it and leave it so.
    QCOMPARE(restore.mid(restore.size() - 4), QStringList({"mn072;", "ds;", "up;", "mn255;"}));
    restore.removeAt(restore.size() - 2);
    bench.trace.clear();
    sweep.resetK3();
    sweep.resetK3();
    QCOMPARE(bench.trace.writes(), restore + restore);
    QVERIFY(!bench.sim->state().techMode);
}

void TestFilterSweep::savedFileOfElevenSteps() {
    SweepBench bench;
    bench.run(kElevenSteps);
    QTemporaryDir dir;
    const QString path = dir.filePath("FilterSweep.txt");
    const QDateTime when(QDate(2024, 5, 17), QTime(21, 4, 5));
    QVERIFY(writeSweepResultsFile(path, bench.sink.lines, "FL3 400 Hz, 8 pole", when));

    QFile expectedFile(QFINDTESTDATA("data/filtersweep-11-steps.txt"));
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    QByteArray expected = expectedFile.readAll();
    expected.replace("<date>", generalDateText(when).toLatin1());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes.count("\r\n"), 41);
    QCOMPARE(bytes, expected);
}

QTEST_GUILESS_MAIN(TestFilterSweep)
#include "tst_filtersweep.moc"
