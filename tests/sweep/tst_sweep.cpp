// The filter sweep: one sweep end to end on the simulator against a golden trace, list and
// results file; the step and refusal rules as tables; Stop, the KAT3 message once per window,
// the restore; the passband of every crystal filter as the sweep sees it; and the window
// driven by its controls' names.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "charts/chartfromfile.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/resultchartview.h"
#include "common/bench.h"
#include "common/golden.h"
#include "common/scriptedfiledialogs.h"
#include "core/appcontext.h"
#include "core/numtext.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "files/chartfiles.h"
#include "files/linefile.h"
#include "measurements/adaptivereport.h"
#include "measurements/filtersweep.h"
#include "measurements/sweepresultsfile.h"
#include "measurements/ui/frmfiltersweep.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kKat3(
    "KAT3 Present|KAT3 ATU is present. Recommend it be bypassed for test. Press and hold ATU "
    "Tune on K3.");

// What a sweep reports, as lines: the list, then "= chart" rows and "= events".
class RecordingSink : public SweepSink {
public:
    QStringList lines, chart, events;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void selectLastLine() override { events << "select"; }
    void prepareChart(int rows) override {
        chart.clear();
        events << "chart " + QString::number(rows);
    }
    void setChartRow(int row, double value, const QString &label) override {
        chart << QStringLiteral("%1\t%2\t%3").arg(row).arg(label).arg(value);
    }
    void setSweeping(bool on) override { events << (on ? "sweeping" : "idle"); }
    void progress(const SweepProgress &p) override {
        events << QStringLiteral("step %1/%2 %3 ms").arg(p.step).arg(p.steps).arg(p.msLeft);
    }
    QStringList data() const { return lines.mid(26); }
};

// The simulator (noise off) with a user who tunes to the middle of the passband before
// confirming the AFV reference: by then the readout has settled.
struct SweepBench : SimBench {
    FilterSweepState sweepState;
    RecordingSink sink;
    FilterSweep sweep{link, prompter, sweepState, sink};
    SweepBench() {
        prompter.setHook([this](const PromptMessage &m) {
            if (m.title == "Set AFV Reference") clock.advance(3000);
        });
    }
    SweepOutcome run(const QString &start, const QString &stop, const QString &step,
                     const QString &gain, SweepMode mode = SweepMode::Fixed) {
        return sweep.beginSweep({start, stop, step, gain, mode});
    }
    // The trace cut at the yields: what comes before the first, each point (the yield, the
    // frequency command and its wait, "db;" with its wait and answer, the wait after it),
    // and what follows the last point.
    struct Pieces {
        QStringList before, after;
        QList<QStringList> points;
    };
    Pieces pieces() const {
        Pieces p;
        const QStringList l = trace.lines();
        qsizetype i = l.indexOf("Y");
        p.before = l.mid(0, i);
        for (; i >= 0 && i < l.size() && l[i] == "Y"; i += 7) p.points << l.mid(i, 7);
        p.after = l.mid(i);
        return p;
    }
    // The frequency commands of the steps: each followed by the 4000 ms settling wait.
    QStringList frequencySteps() const {
        QStringList out;
        const QStringList l = trace.lines();
        for (int i = 0; i + 1 < l.size(); ++i)
            if (l[i].startsWith("W FA") && l[i + 1] == "S 4000") out << l[i].mid(2);
        return out;
    }
    QString settings() {
        const sim::K3State &s = state();
        return QStringLiteral("FA%1 MD%2 RG%3 AG%4 GT%5/%6 FL%7 BW%8 RA%9 PA%10 TECH%11 B%12")
            .arg(s.vfoAHz)
            .arg(s.mode)
            .arg(s.rfGain)
            .arg(s.afGain)
            .arg(s.agcOn)
            .arg(s.agcTimeConstant)
            .arg(s.selectedSlot)
            .arg(s.dspBandwidthHz)
            .arg(s.attenuator)
            .arg(s.preamp)
            .arg(s.techMode)
            .arg(int(s.vfoBReadout));
    }
};

// The sweep window and the sweep chart window in a registry, as the main window keeps them.
struct WindowBench : SweepBench {
    ScriptedFileDialogs dialogs;
    QStringList help;
    AppContext app{&link, &prompter, &dialogs, [this](const QString &file, int topic) {
                       help << file + u'#' + QString::number(topic);
                   }};
    WindowRegistry windows{app, nullptr};
    frmFilterSweep *window = nullptr;
    WindowBench() {
        windows.add("frmFilterSweep", [](const WindowContext &c) {
            return new frmFilterSweep(c.app, c.windows, c.owner);
        });
        windows.add("frmChartSweep", [](const WindowContext &c) {
            return new ChartSweepWindow(*c.app.dialogs, c.owner);
        });
        window = qobject_cast<frmFilterSweep *>(windows.show("frmFilterSweep"));
    }
    ~WindowBench() { windows.destroyAll(); }
    template <typename T = QPushButton>
    T *find(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }
    void fill(const QString &start, const QString &stop, const QString &step, const QString &gain) {
        find<QLineEdit>("txtKHzStart")->setText(start);
        find<QLineEdit>("txtKHzStop")->setText(stop);
        find<QLineEdit>("txtFreqStep")->setText(step);
        find<QLineEdit>("txtRFGain")->setText(gain);
    }
    QStringList listLines() const { return find<ResultsList>("lstSweep")->lines(); }
    QString buttons() const {
        QString on;
        for (const char *name : {"cmdBeginSweep", "cmdChart", "cmdClear", "cmdClose", "cmdSaveFile",
                                 "cmdReset", "cmdStopSweep", "cmdHelp"})
            on += find(name)->isEnabled() ? '1' : '0';
        return on;
    }
};

}  // namespace

class TestSweep : public QObject {
    Q_OBJECT

private slots:
    void elevenSteps();
    void steps_data() {
        addRows("steps.tsv",
                {"start", "stop", "step", "gain", "commands", "kHz", "rows", "gainCommand"});
    }
    void steps();
    void refusals_data() {
        addRows("refusals.tsv", {"start", "stop", "step", "gain", "box", "message"});
    }
    void refusals();
    void stopDuringAStep();
    void kat3MessageOncePerWindow();
    void restoreLeavesTheRadioAsItWas();
    void passbandOfEveryFilter_data() { addRows("passbands.tsv", {"slot", "step"}); }
    void passbandOfEveryFilter();
    void windowButtonsWhileSweeping();
    void windowBoxes_data() { addRows("boxes.tsv", {"box", "typed", "refusal"}); }
    void windowBoxes();
    void windowEmptyBoxKeepsFocus();
    void windowSaveResetHelpClose();
    void adaptiveKeepsEveryStepsExchanges();
    void adaptiveStopAndLostPort();
    void windowAdaptiveSweep();
};

void TestSweep::elevenSteps() {
    SweepBench b;
    const SweepOutcome outcome = b.run("14060", "14061", "100", "200");
    QCOMPARE(int(outcome.end), int(SweepEnd::Completed));
    QCOMPARE(outcome.stepsMeasured, 11);
    CORVANE_COMPARE_GOLDEN(b.trace.lines(), "filtersweep-11-steps.trace");
    CORVANE_COMPARE_GOLDEN(b.sink.lines + QStringList("= chart") + b.sink.chart +
                               QStringList("= events") + b.sink.events,
                           "filtersweep-11-steps.lines");
    // The saved file, byte for byte: the header, then the list.
    QTemporaryDir dir;
    const QString path = dir.filePath("FilterSweep.txt");
    QVERIFY(writeSweepResultsFile(path, b.sink.lines, "FL3 400 Hz, 8 pole",
                                  QDateTime(QDate(2024, 5, 17), QTime(21, 4, 5))));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), dataBytes("filtersweep-11-steps.txt"));
}

void TestSweep::steps() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(QString, gain);
    SweepBench b;
    QCOMPARE(int(b.run(start, stop, step, gain).end), int(SweepEnd::Completed));
    QTEST(b.frequencySteps().join(u' '), "commands");
    QStringList listed;
    for (const QString &line : b.sink.data()) listed << line.section(u'\t', 0, 0);
    QTEST(listed.join(u' '), "kHz");
    QTEST(b.sink.events.filter("chart ").value(0).mid(6), "rows");
    QFETCH(QString, gainCommand);
    QVERIFY(b.trace.writes().contains(gainCommand));
}

void TestSweep::refusals() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(QString, gain);
    QFETCH(QString, box);
    QFETCH(QString, message);
    SweepBench b;
    b.sink.lines << "old";
    const SweepOutcome outcome = b.run(start, stop, step, gain);
    QCOMPARE(int(outcome.end), int(SweepEnd::Refused));
    QCOMPARE(int(outcome.box.value_or(SweepBox(-1))), box.toInt());
    QCOMPARE(b.trace.writes(), QStringList{"id;"});
    QCOMPARE(b.prompter.summary(), QStringList{message});
    QVERIFY(b.sink.lines.isEmpty());  // emptied before the boxes are checked
    QVERIFY(b.sink.events.isEmpty());
}

void TestSweep::stopDuringAStep() {
    SweepBench b;
    // The Stop click made while step 4 is measured is serviced at the next yield; the
    // settings are put back after the message.
    b.clock.setYieldHook([&b] {
        if (b.clock.yieldCount() == 5) b.sweep.stopSweep();
    });
    const SweepOutcome outcome = b.run("14060", "14061", "100", "200");
    QCOMPARE(int(outcome.end), int(SweepEnd::Stopped));
    QCOMPARE(outcome.stepsMeasured, 4);
    QCOMPARE(b.sink.data().size(), 4);
    QCOMPARE(b.frequencySteps().last(), QString("FA00014060300;"));
    const QString stopped("Test Status|Sweep was terminated prematurely.");
    QCOMPARE(b.prompter.summary().last(), stopped);
    QCOMPARE(b.prompter.messages().back().icon, MessageIcon::Exclamation);
    const QStringList lines = b.trace.lines();
    QCOMPARE(lines.at(lines.indexOf("M " + stopped) + 1), QString("W k22;GT0041;k20;"));
    // The next sweep starts with the flag cleared.
    b.clock.setYieldHook({});
    QCOMPARE(int(b.run("14060", "14061", "100", "200").end), int(SweepEnd::Completed));
}

void TestSweep::kat3MessageOncePerWindow() {
    SweepBench b;
    b.state().kat3Installed = true;
    b.state().kat3Bypassed = false;
    for (int run = 0; run < 3; ++run) b.run("14060", "14060.1", "100", "200");
    QCOMPARE(b.prompter.summary().count(kKat3), 1);
    QCOMPARE(b.trace.writes().count("mn023;"), 1);
    b.sweepState.flags.kat3Checked = false;  // a window loaded anew
    b.run("14060", "14060.1", "100", "200");
    QCOMPARE(b.prompter.summary().count(kKat3), 2);
}

void TestSweep::restoreLeavesTheRadioAsItWas() {
    for (const bool techModeOn : {false, true}) {
        SweepBench b;
        sim::K3State &s = b.state();
        s.vfoAHz = 7040500;
        s.mode = 2;
        s.rfGain = 180;
        s.afGain = 120;
        s.attenuator = true;
        s.techMode = techModeOn;
        const QString before = b.settings();
        QCOMPARE(int(b.run("7040", "7041", "250", "210").end), int(SweepEnd::Completed));
        QCOMPARE(b.settings(), before);
        // Already on: TECH MD is neither turned on nor off.
        QCOMPARE(b.trace.writes().contains("up;"), !techModeOn);
    }
}

void TestSweep::passbandOfEveryFilter() {
    // AM with the widest DSP passband, so that the crystal filter alone shapes the sweep; a
    // strong signal at a gain inside the linear range, VFO A tuned to the passband's middle.
    QFETCH(QString, slot);
    QFETCH(QString, step);
    const int stepHz = step.toInt();
    SweepBench b;
    sim::K3State &s = b.state();
    s.mode = 5;
    s.dspBandwidthHz = 13000;
    s.selectedSlot = slot.toInt() - 1;
    b.simulator->generator().levelDbm = -35.0;
    double centreOffset = 0;
    for (int offset = -6000; offset <= 6000; ++offset)
        if (b.simulator->receiveResponseDb(offset) > b.simulator->receiveResponseDb(centreOffset))
            centreOffset = offset;
    s.vfoAHz = qint64(b.simulator->generator().frequencyHz - centreOffset);
    b.simulator->markChanged(b.clock.now());
    const sim::CrystalFilter filter = b.simulator->filterInUse();
    const int span = int(filter.width60dBHz * 0.65) / stepHz * stepHz;
    QCOMPARE(int(b.run(shortestText((s.vfoAHz - span) / 1000.0),
                       shortestText((s.vfoAHz + span) / 1000.0), QString::number(stepHz), "45")
                     .end),
             int(SweepEnd::Completed));
    std::vector<double> kHz, dB;
    for (const QString &line : b.sink.data()) {
        kHz.push_back(line.section(u'\t', 0, 0).toDouble());
        dB.push_back(line.section(u'\t', 2, 2).toDouble());
    }
    const double top = *std::max_element(dB.begin(), dB.end());
    QVERIFY2(std::fabs(top) <= 0.5, qPrintable(QString::number(top)));  // reference mid-band
    // The width between the outermost crossings of a level, interpolated between steps.
    const auto width = [&](double level) {
        size_t first = dB.size(), last = 0;
        for (size_t i = 0; i < dB.size(); ++i)
            if (dB[i] >= level) first = std::min(first, i), last = i;
        if (first == 0 || last + 1 >= dB.size()) return -1.0;
        const auto cross = [&](size_t a, size_t c) {
            return kHz[a] + (level - dB[a]) / (dB[c] - dB[a]) * (kHz[c] - kHz[a]);
        };
        return (cross(last, last + 1) - cross(first - 1, first)) * 1000.0;
    };
    const double w6 = width(top - 6), w60 = width(top - 60);
    qInfo("FL%d swept: -6 dB %.0f Hz (filter %.0f), -60 dB %.0f Hz (filter %.0f)", slot.toInt(), w6,
          filter.width6dBHz, w60, filter.width60dBHz);
    QVERIFY2(std::fabs(w6 - filter.width6dBHz) < 0.05 * filter.width6dBHz,
             qPrintable(QString::number(w6)));
    QVERIFY2(std::fabs(w60 - filter.width60dBHz) < 0.05 * filter.width60dBHz,
             qPrintable(QString::number(w60)));
}

void TestSweep::windowButtonsWhileSweeping() {
    WindowBench w;
    w.fill("14060", "14060.2", "100", "200");
    QStringList states;
    w.clock.setYieldHook([&] {
        states << w.buttons();
        QVERIFY(!w.window->close());  // the frame cannot unload it in the middle of a sweep
    });
    w.find("cmdBeginSweep")->click();
    QCOMPARE(states, QStringList({"00000011", "00000011", "00000011"}));
    QCOMPARE(w.buttons(), QString("11111111"));
    QVERIFY(!w.window->isSweeping());
}

void TestSweep::windowBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    WindowBench w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    w.fill("14060", "14061", "100", "200");  // passing through the others on the way is quiet
    auto *edit = w.find<QLineEdit>(box.toLatin1().constData());
    edit->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    edit->setText(typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(w.prompter.summary(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    QCOMPARE(edit->hasFocus(), !refusal.isEmpty());
    QCOMPARE(edit->text(), typed);
    QVERIFY(w.trace.writes().isEmpty());
}

void TestSweep::windowEmptyBoxKeepsFocus() {
    WindowBench w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    w.find<ResultsList>("lstSweep")->appendLine("old line");
    w.fill("14060", "14061", "", "200");
    w.find("cmdBeginSweep")->click();
    QVERIFY(w.find<QLineEdit>("txtFreqStep")->hasFocus());
    QVERIFY(w.listLines().isEmpty());
    QCOMPARE(w.buttons(), QString("11111111"));
}

void TestSweep::windowSaveResetHelpClose() {
    WindowBench w;
    QTemporaryDir dir;
    const QString path = dir.filePath("FilterSweep.txt");
    w.window->setClockForFiles([] { return QDateTime(QDate(2024, 5, 17), QTime(9, 30, 0)); });
    w.fill("14060", "14060", "100", "200");
    w.find("cmdBeginSweep")->click();
    w.find<QPlainTextEdit>("txtUserComments")->setPlainText("FL1 2.7 kHz");
    w.dialogs.answer(path);
    w.find("cmdSaveFile")->click();
    const FileDialogRequest &request = w.dialogs.requests().front();
    QCOMPARE(QStringList({request.title, request.filterLabel, request.filterPattern,
                          request.defaultExtension, request.proposedName, request.initialFolder}),
             QStringList({"Save Filter Sweep Results", "Text files (*.txt)", "*.txt", "txt",
                          "FilterSweep", ""}));
    QVERIFY(request.confirmReplace);
    QCOMPARE(w.find<QLineEdit>("txtFileName")->text(), path);
    LineFileReader reader;
    QVERIFY(reader.open(path));
    QStringList lines;
    while (!reader.atEnd()) lines << reader.readLine();
    QCOMPARE(lines.mid(0, 4),
             QStringList({"K3 Crystal Filter Sweep Results", "By Quill Ashby, N0CALL",
                          "User Comments: FL1 2.7 kHz", "Date run: 17/05/2024 09:30:00"}));
    QCOMPARE(lines.mid(4), w.listLines());
    // The next dialog starts from the path shown.
    w.find("cmdSaveFile")->click();
    QCOMPARE(w.dialogs.requests().back().initialFolder, path);

    // Reset K3 sends the captured settings again; TECH MD, turned off by the sweep's own
    // restore, is found off and left.
    QStringList restore = w.trace.writes();
    restore = restore.mid(restore.lastIndexOf("k22;GT0041;k20;"));
    QVERIFY(restore.removeOne("up;"));
    w.trace.clear();
    w.find("cmdReset")->click();
    QCOMPARE(w.trace.writes(), restore);

    w.find("cmdHelp")->click();
    QCOMPARE(w.help, QStringList{"corvane.hlp#5"});
    w.find("cmdClose")->click();
    QVERIFY(!w.window->isVisible());
    QCOMPARE(w.listLines().size(), 27);  // kept while hidden
}

static const FixedLocale fixedLocale;
void TestSweep::adaptiveKeepsEveryStepsExchanges() {
    // The 400 Hz filter at 10 Hz steps over 1.2 kHz (121 steps), fixed and adaptive.
    SweepBench fixed, adaptive;
    QCOMPARE(int(fixed.run("14059.4", "14060.6", "10", "150").end), int(SweepEnd::Completed));
    QCOMPARE(int(adaptive.run("14059.4", "14060.6", "10", "150", SweepMode::Adaptive).end),
             int(SweepEnd::Completed));
    const SweepBench::Pieces f = fixed.pieces(), a = adaptive.pieces();
    QCOMPARE(f.points.size(), 121);
    QVERIFY(a.points.size() <= 48);  // at most 40 % of the fixed sweep's points
    QCOMPARE(a.before, f.before);
    QCOMPARE(a.after, f.after);
    // Every point is a fixed step's exchange, at a step's frequency, once.
    QMap<QString, QStringList> fixedPoints;
    for (const QStringList &point : f.points) fixedPoints[point.at(1)] = point;
    QSet<QString> seen;
    for (const QStringList &point : a.points) {
        QCOMPARE(point.mid(2, 3), QStringList({"S 4000", "W db;", "S 2500"}));
        QCOMPARE(point, fixedPoints.value(point.at(1)));
        QVERIFY(!seen.contains(point.at(1)));
        seen << point.at(1);
    }
    // The coarse pass first, left to right, every 80 Hz.
    QCOMPARE(a.points.at(0).at(1), QString("W FA00014059400;"));
    QCOMPARE(a.points.at(1).at(1), QString("W FA00014059480;"));
    QCOMPARE(a.points.at(15).at(1), QString("W FA00014060600;"));

    // The report says so in its "Test settings" line; the list holds the points as measured;
    // the chart holds each point on its frequency's row, the rows the fixed sweep has.
    QStringList report = fixed.sink.lines.mid(0, 26);
    report[15] = "Test settings of K3 (adaptive run) ====";
    QCOMPARE(adaptive.sink.lines.mid(0, 26), report);
    QCOMPARE(adaptive.sink.data().size(), a.points.size());
    for (const QString &row : adaptive.sink.chart) QVERIFY(fixed.sink.chart.contains(row));
    QCOMPARE(adaptive.sink.events.mid(0, 3),
             QStringList({"sweeping", "chart 121", "step 0/121 798600 ms"}));
    // The saved list: the fixed sweep's lines at the frequencies measured, in their order.
    const QStringList saved = resultsListInFileOrder(adaptive.sink.lines);
    QStringList expected;
    for (const QString &line : fixed.sink.data())
        if (adaptive.sink.data().contains(line)) expected << line;
    QCOMPARE(saved.mid(26), expected);
    QCOMPARE(saved.mid(0, 26), adaptive.sink.lines.mid(0, 26));
    QCOMPARE(resultsListInFileOrder(fixed.sink.lines), fixed.sink.lines);
}

void TestSweep::adaptiveStopAndLostPort() {
    // Stop at the fifth point's yield: four points listed, the message, then the restore.
    SweepBench stopped;
    stopped.clock.setYieldHook([&stopped] {
        if (stopped.clock.yieldCount() == 5) stopped.sweep.stopSweep();
    });
    const SweepOutcome s = stopped.run("14059.4", "14060.6", "10", "150", SweepMode::Adaptive);
    QCOMPARE(int(s.end), int(SweepEnd::Stopped));
    QCOMPARE(stopped.sink.data().size(), 4);
    const QStringList lines = stopped.trace.lines();
    QCOMPARE(lines.at(lines.indexOf("M Test Status|Sweep was terminated prematurely.") + 1),
             QString("W k22;GT0041;k20;"));
    // The port gone during the fifth point: four kept, nothing sent after, no restore.
    SweepBench lost;
    lost.clock.setYieldHook([&lost] {
        if (lost.clock.yieldCount() == 5) lost.simulator->faults().vanished = true;
    });
    const SweepOutcome l = lost.run("14059.4", "14060.6", "10", "150", SweepMode::Adaptive);
    QCOMPARE(int(l.end), int(SweepEnd::PortLost));
    QCOMPARE(lost.sink.data().size(), 4);
    QCOMPARE(lost.prompter.messages().back().title, QString("Connection Lost"));
    QVERIFY(!lost.trace.lines().contains("W k22;GT0041;k20;"));
}

void TestSweep::windowAdaptiveSweep() {
    WindowBench w;
    QTemporaryDir dir;
    const QString path = dir.filePath("Adaptive.txt");
    w.fill("14059.4", "14060.6", "10", "150");
    auto *adaptive = w.find<QCheckBox>("chkAdaptive");
    adaptive->setChecked(true);
    // Before it starts: the most radio time it can take (121 points of 6.6 s).
    QCOMPARE(w.find<QLabel>("lblProgress")->text(),
             QString("Adaptive: at most 121 points, at most 13 min 19 s"));
    QStringList states;
    w.clock.setYieldHook([&] { states << QString::number(adaptive->isEnabled()); });
    w.find("cmdBeginSweep")->click();
    QCOMPARE(states.size(), w.listLines().size() - 26);
    QVERIFY(!states.contains("1"));
    QVERIFY(adaptive->isEnabled());
    QCOMPARE(w.find<QLabel>("lblProgress")->text(),
             QString("%1 points measured (adaptive; every step would be 121).").arg(states.size()));
    // The chart: all 121 rows labelled, a value on each measured point's row.
    const ResultChart *chart = w.find<ResultChartView>("chtLiveSweep")->model();
    QCOMPARE(chart->rowCount(), 121);
    QCOMPARE(chart->rowLabel(2), QString("14059.41"));
    QVERIFY(chart->rowValue(1) && chart->rowValue(9) && !chart->rowValue(2));
    // The file: the adaptive line in the report, the points by frequency, and the chart
    // reader takes it.
    w.dialogs.answer(path);
    w.find("cmdSaveFile")->click();
    const ChartFileResult read = readChartFile(ChartFileKind::Sweep, path);
    QVERIFY2(read.data, qPrintable(read.error));
    QCOMPARE(int(read.data->rows.size()), w.listLines().size() - 26);
    QCOMPARE(read.data->rows.front().kHz, 14059.4);
    QCOMPARE(read.data->rows.back().kHz, 14060.6);
    // Charted from the file, each point stands on its frequency's row (10 Hz a row from
    // 14059.4 to 14060.6, the file's first and last point).
    ResultChart fromFile;
    applyChartFile(fromFile, *read.data);
    QCOMPARE(fromFile.rowCount(), 121);
    QCOMPARE(fromFile.rowLabel(9), QString("14059.480"));
    QVERIFY(fromFile.rowValue(9) && !fromFile.rowValue(8) && fromFile.rowValue(121));
    QVERIFY(
        std::is_sorted(read.data->rows.begin(), read.data->rows.end(),
                       [](const ChartFileRow &a, const ChartFileRow &b) { return a.kHz < b.kHz; }));
}

QTEST_MAIN(TestSweep)
#include "tst_sweep.moc"
