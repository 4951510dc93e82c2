// The filter sweep procedure on the simulator: exact exchanges and waits, list lines, chart
// rows, messages, refusals, Stop, and what it leaves on the radio.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "core/linefile.h"
#include "core/numtext.h"
#include "measurements/sweeplimits.h"
#include "measurements/sweepplan.h"
#include "measurements/sweepresultsfile.h"
#include "sweepbench.h"

using namespace corvane;

Q_DECLARE_METATYPE(corvane::SweepInputs)

namespace {

const QString kCompleted =
    QStringLiteral("Test Status|Filter sweep is complete. Check results in Listbox.");
const QString kStopped = QStringLiteral("Test Status|Sweep was terminated prematurely.");

// The trace with the text of each read left out: the commands, waits, yields and messages.
QStringList shape(const LinkTrace &trace) {
    QStringList out;
    for (const QString &line : trace.lines())
        out << (line.startsWith(u'R') ? QStringLiteral("R") : line);
    return out;
}

QByteArray readData(const QString &name) {
    QFile file(QFINDTESTDATA("data/" + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList readDataLines(const QString &name) {
    return QString::fromLatin1(readData(name)).split(u'\n', Qt::SkipEmptyParts);
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
    void elevenSteps();
    void stepsAndChartRows_data();
    void stepsAndChartRows();
    void stopDuringAStep();
    void emptyBoxesSendOnlyId_data();
    void emptyBoxesSendOnlyId();
    void tooManyPointsSendsOnlyId();
    void kat3MessageOncePerWindow();
    void restoreLeavesRadioAsItWas();
    void refusesValuesThatDoNotFit_data();
    void refusesValuesThatDoNotFit();
};

void TestFilterSweep::elevenSteps() {
    SweepBench bench;
    const SweepOutcome outcome = bench.run(kElevenSteps);
    QCOMPARE(outcome.end, SweepEnd::Completed);
    QCOMPARE(outcome.stepsMeasured, 11);
    // Every command, wait, yield and message (reads shown as "R"), set-up to restore.
    QCOMPARE(shape(bench.trace), readDataLines("filtersweep-11-steps.trace"));

    const QStringList &lines = bench.sink.lines;
    QCOMPARE(lines.size(), 26 + 11);
    QCOMPARE(bench.sink.chartPreparations, 1);
    QCOMPARE(bench.sink.chartRows, 11);
    QCOMPARE(int(bench.sink.chart.size()), 11);
    const QStringList labels{"14060",   "14060.1", "14060.2", "14060.3", "14060.4", "14060.5",
                             "14060.6", "14060.7", "14060.8", "14060.9", "14061"};
    for (int i = 0; i < 11; ++i) {
        const ChartRow &row = bench.sink.chart.at(i);
        QCOMPARE(row.row, i + 1);
        QCOMPARE(row.label, labels.at(i));
        // The listed reading is the charted one.
        QCOMPARE(bench.sink.dataLines().at(i).section(u'\t', 2), format0_0(row.value));
    }
    QCOMPARE(bench.sink.selections, 11);
    QCOMPARE(bench.sink.sweeping, QList<bool>({true, false}));

    // The saved file, byte for byte, holds the list as well (report and data lines).
    QTemporaryDir dir;
    const QString path = dir.filePath("FilterSweep.txt");
    const QDateTime when(QDate(2024, 5, 17), QTime(21, 4, 5));
    QVERIFY(writeSweepResultsFile(path, bench.sink.lines, "FL3 400 Hz, 8 pole", when));
    QByteArray expected = readData("filtersweep-11-steps.txt");
    expected.replace("<date>", generalDateText(when).toLatin1());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
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
    // Half the span is negative: nothing is measured, the chart still gets its rows.
    QTest::newRow("start above stop") << "14061"
                                      << "14060"
                                      << "100" << QStringList{} << QStringList{} << 11;
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
    bench.state.flags.kat3Checked = false;
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

void TestFilterSweep::refusesValuesThatDoNotFit_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("box");

    QTest::newRow("start beyond 32 bits") << "9999999"
                                          << "14060"
                                          << "100" << int(SweepBox::KHzStart);
    QTest::newRow("negative stop") << "14060"
                                   << "-1"
                                   << "100" << int(SweepBox::KHzStop);
    QTest::newRow("step zero") << "14060"
                               << "14061"
                               << "0" << int(SweepBox::FreqStep);
    QTest::newRow("step rounds to nothing") << " 1800"
                                            << "1801"
                                            << "0.5" << int(SweepBox::FreqStep);
    QTest::newRow("negative step") << "14060"
                                   << "14061"
                                   << "-100" << int(SweepBox::FreqStep);
    QTest::newRow("step beyond 16 bits") << "14060"
                                         << "14061"
                                         << "40000" << int(SweepBox::FreqStep);
    QTest::newRow("step not a number") << "14060"
                                       << "14061"
                                       << "abc" << int(SweepBox::FreqStep);
}

void TestFilterSweep::refusesValuesThatDoNotFit() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(int, box);
    const SweepPlanResult result = planSweep({start, stop, step, QStringLiteral("200")});
    QVERIFY(!result.plan);
    QVERIFY(result.refusal);
    QCOMPARE(int(result.refusal->box), box);
    const PromptMessage expected = sweepBoxLimits(SweepBox(box)).outsideMessage();
    QCOMPARE(result.refusal->message.title, expected.title);
    QCOMPARE(result.refusal->message.text, expected.text);
}

QTEST_GUILESS_MAIN(TestFilterSweep)
#include "tst_filtersweep.moc"
