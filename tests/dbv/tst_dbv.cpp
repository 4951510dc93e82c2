// The dBV linearity tests: the full and quick test end to end on a scripted K3 against golden
// traces and lists, the plan and search rules as tables, Stop, a missing radio, odd answers,
// the KAT3 message once per window, Reset K3, the physics of the simulator, the results file,
// and the window driven by its controls' names.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "common/bench.h"
#include "common/golden.h"
#include "common/scriptedfiledialogs.h"
#include "core/appcontext.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvplan.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "measurements/ui/frmdbvlinearity.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kStopped("Test Status|Test was terminated prematurely.");
const QString kKat3(
    "KAT3 Present|KAT3 ATU is present. Recommend it be bypassed for test. Press and hold ATU "
    "Tune on K3.");

// Just enough of a K3 on the scripted port: the snapshot's answers, and the state the other
// answers follow (RF gain, attenuator, AGC, menu entry, TECH MD); `reading` gives the dBV
// readout for a gain and attenuator.
class DbvRadio : public ScriptedTransport {
public:
    std::function<QString(int, bool)> reading = [](int, bool att) {
        return att ? "-33.6" : "-23.5";
    };
    bool mute = false;  // "rg;" and "db;" go unanswered
    bool kat3Active = false;
    int gain = 250;
    bool attenuator = false, agcOn = true, techMode = false;
    int menu = -1;

    DbvRadio()
        : ScriptedTransport({{"id;", "ID017;"},
                             {"ag;", "AG030;"},
                             {"ra;", "RA00;"},
                             {"pa;", "PA1;"},
                             {"md;", "MD3;"},
                             {"k22;pc;k20;", "PC0501;"},
                             {"fa;", "FA00014060000;"},
                             {"k31;fw;k30;", "FW0050;"},
                             {"k22;fw;k20;", "FW005030;"},
                             {"rvm;", "RVM04.45;"},
                             {"rvd;", "RVD02.80;"},
                             {"rvf;", "RVF01.21;"}}) {}
    PortError write(const QByteArray &bytes) override {
        for (const QByteArray &c : bytes.toLower().split(';')) {
            if (c.size() > 2 && c.startsWith("rg")) gain = c.mid(2).toInt();
            if (c.size() > 2 && c.startsWith("ra")) attenuator = c == "ra01";
            if (c.size() > 2 && c.startsWith("gt")) agcOn = c.endsWith('1');
            if (c.startsWith("mn")) menu = c.mid(2).toInt();
            if (c == "up" && menu == 72) techMode = !techMode;
        }
        const char *display = menu == 72   ? (techMode ? "      ON" : "     OFF")
                              : menu == 23 ? (kat3Active ? "   AUTO " : " NOTINST")
                              : menu == 26 ? "   05321"
                                           : "14060.00";
        setAnswer("ds;", "DS" + QByteArray(display) + "@@;");
        setAnswer("k22;gt;k20;", agcOn ? "GT0041;" : "GT0040;");
        setAnswer("rg;", mute ? "" : "RG" + QByteArray::number(gain).rightJustified(3, '0') + ';');
        setAnswer(
            "db;",
            mute ? "" : "DB" + reading(gain, attenuator).rightJustified(5).toLatin1() + "dBV;");
        return ScriptedTransport::write(bytes);
    }
};

// What a test reports, as lines: the list, then "= chart", "= progress", "= state" entries.
class RecordingSink : public DbvResultSink {
public:
    QStringList lines, chart, events;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void selectLastLine() override { events << "select"; }
    void runStateChanged(DbvRunKind kind) override {
        events << "state " + QString::number(int(kind));
    }
    void prepareChart(int rows) override {
        chart = QStringList(rows, "-");
        events << "chart " + QString::number(rows);
    }
    void setChartRow(int row, double value, const QString &label) override {
        chart[row - 1] = label + u'\t' + QString::number(value);
    }
    void finishChart() override { events << "chart done"; }
    void progress(const DbvProgress &p) override {
        events << (p.activity.isEmpty()
                       ? QStringLiteral("step %1/%2 %3 ms").arg(p.step).arg(p.total).arg(p.msLeft)
                       : p.activity);
    }
    QStringList all() const {
        return lines + QStringList("= chart") + chart + QStringList("= events") + events;
    }
};

struct DbvBench : BenchBase {
    DbvRadio *radio = nullptr;
    DbvWindowState state;
    RecordingSink sink;
    DbvFullTest full{link, prompter, state, sink};
    DbvQuickTest quick{link, prompter, state, sink};

    explicit DbvBench(std::unique_ptr<Transport> transport = nullptr) {
        if (!transport) {
            auto scripted = std::make_unique<DbvRadio>();
            radio = scripted.get();
            transport = std::move(scripted);
        }
        link.setTransport(std::move(transport));
        link.open();
    }
};

// The window in the program around it: the simulator on a virtual clock, scripted messages
// and dialogs, the registry with the dBV window and its chart window.
struct WindowBench : SimBench {
    ScriptedFileDialogs dialogs;
    AppContext app{&link, &prompter, &dialogs, [](const QString &, int) {}};
    WindowRegistry windows{app, nullptr};
    WindowBench() {
        windows.add("frmDBVLinearity", [](const WindowContext &c) {
            return new frmDBVLinearity(c.app, c.windows, c.owner);
        });
        windows.add("frmChartLinearRange", [](const WindowContext &c) {
            return new ChartLinearRangeWindow(*c.app.dialogs, c.owner);
        });
    }
    ~WindowBench() { windows.destroyAll(); }
    frmDBVLinearity *window() { return windows.instance<frmDBVLinearity>("frmDBVLinearity"); }
    template <class T = QPushButton>
    T *control(const QString &name) {
        return window()->findChild<T *>(name);
    }
    QStringList enabledButtons() {
        QStringList names;
        for (QPushButton *b : window()->findChildren<QPushButton *>())
            if (b->isEnabled()) names << b->objectName();
        names.sort();
        return names;
    }
    void showActive() {
        window()->show();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
};

}  // namespace

class TestDbv : public QObject {
    Q_OBJECT

private slots:
    void fullTest();
    void quickTest();
    void plan_data() {
        addRows("plan.tsv", {"start", "stop", "inc", "used", "ref", "steps", "rows", "measured"});
    }
    void plan();
    void search_data() { addRows("search.tsv", {"differences", "gains"}); }
    void search();
    void stopDuringAStep();
    void radioNotPresent();
    void oddAnswers_data() {
        addRows("oddanswers.tsv", {"off", "on", "mute", "line", "value", "label"});
    }
    void oddAnswers();
    void kat3MessageOncePerWindowAndReset();
    void simulatorHasALinearRangeTheQuickTestFinds();
    void resultsFile_data() { addRows("resultsfiles.tsv", {"comment", "list", "expected"}); }
    void resultsFile();
    void windowRunsTheFullTest();
    void windowBoxes_data() { addRows("boxes.tsv", {"box", "typed", "refusal"}); }
    void windowBoxes();
    void windowRefusedBoxStopsTheClick();
    void windowSavesTheList();
    void adaptiveKeepsEveryMeasurement();
};

void TestDbv::fullTest() {
    DbvBench b;
    b.radio->reading = [](int gain, bool att) -> QString {
        if (gain == 100) return att ? "-33.6" : "-23.5";
        if (gain == 101) return att ? "-15.3" : "-5.3";
        return att ? "-19.9" : "-10.0";
    };
    b.sink.lines << "an earlier line";  // cleared by the run
    QVERIFY(b.full.run({"100", "102", "1"}));
    CORVANE_COMPARE_GOLDEN(b.trace.lines(), "fulltest-100-102.trace");
    CORVANE_COMPARE_GOLDEN(b.sink.all(), "fulltest-100-102.lines");
    QCOMPARE(b.state.diffText, QString("9.9"));
}

void TestDbv::quickTest() {
    DbvBench b;
    b.radio->reading = [](int, bool att) { return att ? "-30.0" : "-20.0"; };
    b.sink.lines << "report of an earlier full test";
    b.sink.prepareChart(3);  // the chart of the earlier test is left alone
    b.quick.run();
    CORVANE_COMPARE_GOLDEN(b.trace.lines(), "quicktest.trace");
    CORVANE_COMPARE_GOLDEN(b.sink.all(), "quicktest.lines");
    QCOMPARE(b.clock.yieldCount(), 0);  // it cannot be interrupted
}

void TestDbv::plan() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, inc);
    QFETCH(QString, used);
    QFETCH(QString, ref);
    QFETCH(QString, steps);
    QFETCH(QString, rows);
    QFETCH(QString, measured);
    const DbvFullTestPlan p = planFullTest(start, stop, inc);
    QCOMPARE(
        QList<int>({p.inc, p.refGain, p.steps, p.chartRows(), p.measuredCount()}),
        QList<int>({used.toInt(), ref.toInt(), steps.toInt(), rows.toInt(), measured.toInt()}));
    // A run measures that many gains (the "rgNNN;" writes once the dBV readout is on).
    DbvBench b;
    if (!b.full.run({start, stop, inc})) return;  // boxes the test refuses
    const QStringList writes = b.trace.writes();
    int gains = 0;
    for (const QString &w : writes.mid(writes.indexOf("db11;")))
        gains += w.size() == 6 && w.startsWith("rg");
    QCOMPARE(gains, measured.toInt());
}

void TestDbv::search() {
    QFETCH(QString, differences);
    QMap<int, double> diffs;
    for (const QString &pair : differences.split(u' ', Qt::SkipEmptyParts))
        diffs[pair.section(u':', 0, 0).toInt()] = pair.section(u':', 1).toDouble();
    DbvBench b;
    b.radio->reading = [diffs](int gain, bool att) {
        return QString::number(att ? -20.0 - diffs.value(gain, 10) : -20.0, 'f', 1);
    };
    b.quick.run();
    QStringList gains;
    for (const QString &line : b.sink.lines.mid(2)) gains << line.section(u'\t', 0, 0);
    QTEST(gains.join(u' '), "gains");
}

void TestDbv::stopDuringAStep() {
    DbvBench b;
    // Stop pressed while step 2 waits is seen at the yield before step 3: the message, then
    // the restore, and the list and chart keep what was measured.
    b.clock.setYieldHook([&b] {
        if (b.clock.yieldCount() == 3) b.state.stopTestRequested = true;
    });
    QVERIFY(b.full.run({"100", "110", "1"}));
    const QStringList trace = b.trace.lines();
    QCOMPARE(trace.mid(trace.lastIndexOf("Y"), 3),
             QStringList({"Y", "M " + kStopped, "W k22;GT0041;k20;"}));
    QVERIFY(!b.trace.writes().contains("rg102;"));
    QCOMPARE(b.sink.lines.last(), QString("101\t-23.5\t-33.6\t10.1"));
    QCOMPARE(b.sink.chart.mid(0, 3), QStringList({"100\t10.1", "101\t10.1", "-"}));
    QVERIFY(b.sink.events.contains("chart done"));
    QCOMPARE(b.prompter.messages().back().icon, MessageIcon::Exclamation);
    // The next run clears the flag.
    b.clock.setYieldHook({});
    QVERIFY(b.full.run({"100", "101", "1"}));
    QCOMPARE(b.prompter.summary().last(),
             QString("Test Status|Test is complete. Check results in Listbox."));
}

void TestDbv::radioNotPresent() {
    DbvBench b(std::make_unique<ScriptedTransport>());
    b.sink.lines << "kept";
    QVERIFY(!b.full.run({"50", "250", "1"}));
    QCOMPARE(b.trace.lines(),
             QStringList({"W id;", "S 100", "R ",
                          "M K3 Not Present|Connect to K3 before beginning this test."}));
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Exclamation);
    QCOMPARE(b.sink.all(), QStringList({"kept", "= chart", "= events"}));
    QVERIFY(!b.state.capture.hasSnapshot());
}

void TestDbv::oddAnswers() {
    QFETCH(QString, off);
    QFETCH(QString, on);
    QFETCH(QString, mute);
    DbvBench b;
    b.radio->reading = [off, on](int, bool att) { return att ? on : off; };
    b.radio->mute = !mute.isEmpty();
    QVERIFY(b.full.run({"100", "100", "1"}));
    QTEST(b.sink.lines.last(), "line");
    QFETCH(QString, value);
    QFETCH(QString, label);
    QCOMPARE(b.sink.chart.first(), label + u'\t' + value);
    QVERIFY(!b.radio->attenuator);  // the step ran to its end
}

void TestDbv::kat3MessageOncePerWindowAndReset() {
    DbvBench b;
    b.radio->kat3Active = true;
    resetDbvRadio(b.link, b.state, b.prompter);  // nothing captured yet: nothing to send
    QVERIFY(b.trace.isEmpty());
    QVERIFY(b.full.run({"100", "100", "1"}));
    b.quick.run();
    QVERIFY(b.full.run({"100", "100", "1"}));
    QCOMPARE(b.prompter.summary().count(kKat3), 1);
    b.state.flags.kat3Checked = false;  // a window loaded again
    QVERIFY(b.full.run({"100", "100", "1"}));
    QCOMPARE(b.prompter.summary().count(kKat3), 2);

    // Reset K3 sends the snapshot again, in the same order.
    b.radio->gain = 10;
    b.trace.clear();
    resetDbvRadio(b.link, b.state, b.prompter);
    QCOMPARE(b.trace.writes().mid(0, 10),
             QStringList({"k22;GT0041;k20;", "AG030;", "RA00;", "PA1;", "RG250;", "MD3;",
                          "FA00014060000;", "k22;FW005030;k20;", "k31;FW0050;k30;", "db00;"}));
    QCOMPARE(b.radio->gain, 250);
}

void TestDbv::simulatorHasALinearRangeTheQuickTestFinds() {
    SimBench full;
    DbvWindowState state;
    RecordingSink sink;
    QVERIFY(DbvFullTest(full.link, full.prompter, state, sink).run({"0", "250", "1"}));
    QMap<int, double> diff;
    for (const QString &line : sink.lines.mid(26))
        diff[line.section(u'\t', 0, 0).toInt()] = line.section(u'\t', 3, 3).toDouble();
    QCOMPARE(diff.size(), 251);
    // Linear across the middle (the attenuator's 10 dB), compressing towards the top.
    int top = 125;
    while (top < 250 && diff[top + 1] >= 10) ++top;
    for (int g = 50; g <= 180; ++g)
        QVERIFY2(qAbs(diff[g] - 10) <= 0.5, qPrintable(QString::number(g)));
    QVERIFY2(top >= 150 && top < 250, qPrintable(QString::number(top)));
    QVERIFY(diff[250] < diff[top] - 3);
    // The quick test ends within a few steps of that top.
    SimBench quick;
    DbvWindowState quickState;
    RecordingSink quickSink;
    DbvQuickTest(quick.link, quick.prompter, quickState, quickSink).run();
    const int last = quickSink.lines.last().section(u'\t', 0, 0).toInt();
    QVERIFY2(qAbs(last - top) <= 4, qPrintable(QStringLiteral("%1 vs %2").arg(last).arg(top)));
}

void TestDbv::resultsFile() {
    QFETCH(QString, comment);
    QFETCH(QString, list);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    QVERIFY(writeDbvResultsFile(path, list.isEmpty() ? QStringList() : list.split(u'|'), comment,
                                QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), dataBytes(expected));
}

void TestDbv::windowRunsTheFullTest() {
    WindowBench w;
    w.control<QLineEdit>("txtRFGainStart")->setText("100");
    w.control<QLineEdit>("txtRFGainStop")->setText("102");
    w.control<QLineEdit>("txtRFGainInc")->setText("1");
    w.control<ResultsList>("lstResults")->appendLine("an old line");
    const QStringList allButtons = w.enabledButtons();
    QStringList duringAfv, progress;
    w.prompter.setHook([&](const PromptMessage &m) {
        if (m.title == "Set AFV Reference") duringAfv = w.enabledButtons();
    });
    w.clock.setYieldHook([&] { progress << w.control<QLabel>("lblProgress")->text(); });
    w.control("cmdBegin")->click();
    QCOMPARE(duringAfv, QStringList({"cmdHelp", "cmdStopTest"}));
    QCOMPARE(w.enabledButtons(), allButtons);
    // The label shows the step just measured when the next yield comes; before the first, the
    // wait for the readout that the at once confirmed AFV reference needed.
    QCOMPARE(progress, QStringList({"Letting the readout settle...", "Step 1 of 3, about 32 s left",
                                    "Step 2 of 3, about 21 s left"}));
    QVERIFY(w.control<QLabel>("lblProgress")->text().isEmpty());
    const QStringList lines = w.control<ResultsList>("lstResults")->lines();
    QCOMPARE(lines.size(), 29);
    QCOMPARE(w.control<ResultsList>("lstResults")->currentRow(), 28);
    ResultChart &chart = w.windows.instance<ChartLinearRangeWindow>("frmChartLinearRange")->chart();
    QCOMPARE(QStringList({chart.title(), chart.xAxisTitle(), chart.yAxisTitle(), chart.rowLabel(1),
                          chart.rowLabel(3), QString::number(*chart.rowValue(2))}),
             QStringList({"K3 DBV Function Linear Range", "RF Gain Setting", "DBV Difference (dB)",
                          "100", "102", lines[27].section(u'\t', 3, 3)}));
    QVERIFY(!w.windows.existing("frmChartLinearRange")->isVisible());  // filled, not shown
}

void TestDbv::windowBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    WindowBench w;
    w.showActive();
    auto *edit = w.control<QLineEdit>(box);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    w.control("cmdHelp")->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(w.prompter.summary(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    QCOMPARE(QApplication::focusWidget(),
             refusal.isEmpty() ? static_cast<QWidget *>(w.control("cmdHelp")) : edit);
    QCOMPARE(edit->text(), typed);
}

void TestDbv::windowRefusedBoxStopsTheClick() {
    // Clicking a button moves the focus out of a refused box: one message, nothing sent.
    WindowBench w;
    w.showActive();
    auto *inc = w.control<QLineEdit>("txtRFGainInc");
    inc->setFocus(Qt::TabFocusReason);
    inc->setText("0");
    QTest::mouseClick(w.control("cmdBegin"), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(w.prompter.summary().size(), 1);
    QVERIFY(w.simulator->commandLog().isEmpty());
    QCOMPARE(QApplication::focusWidget(), inc);
}

void TestDbv::windowSavesTheList() {
    WindowBench w;
    QTemporaryDir dir;
    const QString path = dir.filePath("dBVResults.txt");
    w.control<ResultsList>("lstResults")->appendLines({"line one", "100\t-23.5\t-33.6\t10.1"});
    w.control<QPlainTextEdit>("txtUserComments")->setPlainText("first\nsecond");
    w.dialogs.answer(path);
    w.control("cmdSaveFileDialog")->click();
    QCOMPARE(w.control<QLineEdit>("txtFileName")->text(), path);
    QCOMPARE(w.dialogs.requests().front().proposedName, QString("dBVResults"));
    QCOMPARE(w.dialogs.requests().front().title, QString("Save DBV Linearity Results"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(bytes.indexOf("Date run: ")),
             QByteArray("K3 dBV Linear Range Test Results\r\nBy Quill Ashby, N0CALL\r\n"
                        "User Comments: first\r\nsecond\r\n"));
    QCOMPARE(bytes.mid(bytes.indexOf("\r\n", bytes.indexOf("Date run: "))),
             QByteArray("\r\nline one\r\n100\t-23.5\t-33.6\t10.1\r\n"));
    // The next Save starts in that folder; cancelling it changes nothing.
    w.control("cmdSaveFileDialog")->click();
    QCOMPARE(w.dialogs.requests().back().initialFolder, QDir(dir.path()).absolutePath());
    QCOMPARE(w.control<QLineEdit>("txtFileName")->text(), path);
    QVERIFY(w.prompter.messages().empty());
}

static const FixedLocale fixedLocale;
void TestDbv::adaptiveKeepsEveryMeasurement() {
    // Linear (10.2 dB) from gain 60 to 200, compressed outside; the defaults 50..250 by 1.
    const auto reading = [](int gain, bool att) -> QString {
        if (!att) return "-10.0";
        return gain >= 60 && gain <= 200 ? "-20.2" : "-15.0";
    };
    DbvBench fixed, adaptive;
    fixed.radio->reading = adaptive.radio->reading = reading;
    QVERIFY(fixed.full.run({"50", "250", "1"}));
    QVERIFY(adaptive.full.run({"50", "250", "1", true}));
    // The traces cut at the yields: before the first, each measurement, after the last.
    const auto cut = [](const QStringList &l) {
        QList<QStringList> pieces;
        qsizetype from = 0;
        for (qsizetype i = 0; i <= l.size(); ++i)
            if (i == l.size() || l[i] == "Y") {
                pieces << l.mid(from, i - from);
                from = i;
            }
        const qsizetype one = pieces.at(1).size();
        const QStringList last = pieces.takeLast();
        pieces << last.mid(0, one) << last.mid(one);
        return pieces;
    };
    const QList<QStringList> f = cut(fixed.trace.lines()), a = cut(adaptive.trace.lines());
    QCOMPARE(f.size(), 201 + 2);
    QVERIFY(a.size() - 2 <= 50);  // at most 25 % of the gains
    QCOMPARE(a.first(), f.first());
    QCOMPARE(a.last(), f.last());
    QMap<QString, QStringList> byGain;
    for (const QStringList &m : f.mid(1, 201)) byGain[m.at(1)] = m;
    for (const QStringList &m : a.mid(1, a.size() - 2)) QCOMPARE(m, byGain.value(m.at(1)));
    // The gains measured: coarse every 8th, then bisection at each end down to one gain.
    QStringList gains;
    for (const QStringList &m : a.mid(1, a.size() - 2)) gains << m.at(1).mid(4, 3);
    QCOMPARE(gains.mid(0, 3), QStringList({"050", "058", "066"}));
    QVERIFY(gains.contains("059") && gains.contains("060"));
    QVERIFY(gains.contains("200") && gains.contains("201"));
    QCOMPARE(adaptive.sink.lines.at(15), QString("Test settings of K3 (adaptive run) ===="));
    for (const QString &line : adaptive.sink.lines.mid(26))
        QVERIFY(fixed.sink.lines.contains(line));
    // Stop seen at the third yield: two gains listed, the message, then the restore.
    DbvBench stopped;
    stopped.clock.setYieldHook([&stopped] {
        if (stopped.clock.yieldCount() == 3) stopped.state.stopTestRequested = true;
    });
    QVERIFY(stopped.full.run({"50", "250", "1", true}));
    const QStringList trace = stopped.trace.lines();
    QCOMPARE(trace.mid(trace.lastIndexOf("Y"), 3),
             QStringList({"Y", "M " + kStopped, "W k22;GT0041;k20;"}));
    QCOMPARE(stopped.sink.lines.size(), 26 + 2);
    QCOMPARE(adaptive.sink.events.mid(0, 4),
             QStringList({"state 1", "Letting the readout settle...", "chart 201",
                          "step 0/201 2110500 ms"}));
}

QTEST_MAIN(TestDbv)
#include "tst_dbv.moc"
