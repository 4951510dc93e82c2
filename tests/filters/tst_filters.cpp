// The crystal filter windows. Each procedure runs once per receiver on the simulator and its
// trace (writes, waits, reads, messages) and the table it leaves are compared with a golden
// file in data/; the bad-answer cases run on a scripted radio; the window is driven by its
// controls' names; corvane-cli filters runs against corvane-k3sim on a pty.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "common/bench.h"
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/simruns.h"
#include "core/ui/windowregistry.h"
#include "filters/ui/frmcrystals.h"

using namespace corvane;
using corvane::test::ScriptedBench;
using corvane::test::SimBench;

namespace {

// The two windows in a registry on the simulator bench, as the main window keeps them.
struct WindowBench {
    SimBench bench;
    AppContext context{&bench.link, &bench.prompter, nullptr, {}};
    WindowRegistry windows{context, nullptr};
    WindowBench() {
        for (const Receiver r : {Receiver::Main, Receiver::Sub})
            windows.add(frmCrystals::windowName(r), [r](const WindowContext &c) {
                return new frmCrystals(c.app, c.windows, r, c.owner);
            });
    }
    ~WindowBench() { windows.destroyAll(); }
    QWidget *window(Receiver r) { return windows.existing(frmCrystals::windowName(r)); }
    template <class T = QPushButton>
    T *control(Receiver r, const QString &name) {
        return windows.instance(frmCrystals::windowName(r))->findChild<T *>(name);
    }
    void select(Receiver r, const QString &mode, const QString &slot) {
        auto *modes = control<QComboBox>(r, "cboSelectMode");
        auto *filterBox = control<QComboBox>(r, "cboSelectFilter");
        modes->setCurrentIndex(modes->findText(mode));
        filterBox->setCurrentIndex(filterBox->findText(slot));
    }
};

}  // namespace

class TestFilters : public QObject {
    Q_OBJECT

private slots:
    void decoding();
    void procedures_data() {
        test::addRows("procedures.tsv",
                      {"receiver", "operation", "firstSlot", "flagBefore", "flagAfter"});
    }
    void procedures();
    void badAnswers_data();
    void badAnswers();
    void enableThenReadoutInTheWindow_data();
    void enableThenReadoutInTheWindow();
    void windowButtons();
    void oneProcedureAtATime();
    void cliOnAPty();
};

void TestFilters::decoding() {
    QCOMPARE(insertDecimalPoint(decodeSignChar(QString::fromLatin1("@2\xb7"
                                                                   "0"))),
             QStringLiteral(" 2.70"));
    QCOMPARE(insertDecimalPoint(decodeSignChar(QString::fromLatin1(">0\xb9"
                                                                   "1"))),
             QStringLiteral("-0.91"));
    QCOMPARE(decodeSignChar("Q12"), QStringLiteral("Q12"));
    QCOMPARE(insertDecimalPoint("@270"), QStringLiteral("@270"));  // no point: unchanged
    QCOMPARE(getModeName("md6"), QStringLiteral("Data"));
    QCOMPARE(getModeName("md6;"), QStringLiteral("Unknown Mode"));
}

void TestFilters::procedures() {
    QFETCH(QString, receiver);
    QFETCH(QString, operation);
    const bool sub = receiver == "sub";
    SimBench b;
    QFETCH(QString, firstSlot);
    b.state().menuSlot = firstSlot.toInt();
    const QStringList words = operation.split(u' ');
    auto &filters = sub ? b.state().subFilters : b.state().mainFilters;
    bool *flag = words.size() == 3
                     ? &filters[size_t(words[2].toInt() - 1)].rxEnabled[size_t(words[1].toInt())]
                     : nullptr;
    QFETCH(QString, flagBefore);
    if (flag) *flag = flagBefore == "on";

    FilterWindowFields fields;
    TableSink sink;
    CrystalFilters procedure(b.link, b.prompter, sub ? Receiver::Sub : Receiver::Main, fields,
                             sink);
    if (words[0] == u"enable")
        QCOMPARE(procedure.enableReceive(words[1].toInt(), words[2].toInt()),
                 FilterOperationEnd::Done);
    else if (words[0] == u"disable")
        QCOMPARE(procedure.disableReceive(words[1].toInt(), words[2].toInt()),
                 FilterOperationEnd::Done);
    else
        QVERIFY(words[0] == u"bandwidths" ? procedure.bandwidthReadout()
                                          : procedure.receiveReadout());

    CORVANE_COMPARE_GOLDEN(b.trace.lines() + QStringList{"--"} + sink.table.alignedText(),
                           QString::fromLatin1(QTest::currentDataTag()) + ".trace");
    if (flag) QTEST(QString(*flag ? "on" : "off"), "flagAfter");
    QCOMPARE(b.state().mode, 3);  // the mode the radio was found in (CW) comes back
    QCOMPARE(b.state().openMenuEntry, -1);
    if (words[0] == u"enable" || words[0] == u"disable")
        QCOMPARE(b.trace.writes().count("k31;swt48;k30;"), sub ? 2 : 0);
}

void TestFilters::badAnswers_data() {
    test::addRows("bad-answers.table", {"operation", "slotAnswer", "displayAnswer", "modeAnswer",
                                        "message", "taps", "lastWrite"});
}

void TestFilters::badAnswers() {
    QFETCH(QString, operation);
    ScriptedBench b;
    QFETCH(QString, slotAnswer);
    QFETCH(QString, displayAnswer);
    b.radio->setAnswer("db;", test::bytesOf(slotAnswer));
    b.radio->setAnswer("ds;", test::bytesOf(displayAnswer));
    QFETCH(QString, modeAnswer);
    b.radio->setAnswer("md;", test::bytesOf(modeAnswer));
    const QStringList words = operation.split(u' ');
    FilterWindowFields fields;
    TableSink sink;
    sink.table.column(4).bandwidth = "kept";
    CrystalFilters procedure(b.link, b.prompter, Receiver::Main, fields, sink);
    const auto pick = [](const QString &w) {
        return w == u"0" ? std::nullopt : std::optional<int>(w.toInt());
    };
    if (words[0] == u"bandwidths")
        procedure.bandwidthReadout();
    else if (words[0] == u"enable")
        procedure.enableReceive(pick(words[1]), pick(words[2]));
    else
        procedure.disableReceive(pick(words[1]), pick(words[2]));

    const QStringList messages = b.prompter.summary();
    QFETCH(QString, message);
    QCOMPARE(messages.last(), message);
    const QStringList writes = b.trace.writes();
    QTEST(QString::number(writes.count("k31;swt29;k30;")), "taps");
    QTEST(writes.value(writes.size() - 1), "lastWrite");
    QVERIFY(!writes.contains("dn;"));
    QCOMPARE(sink.table.column(4).bandwidth, QStringLiteral("kept"));
}

void TestFilters::enableThenReadoutInTheWindow_data() {
    QTest::addColumn<bool>("sub");
    QTest::newRow("main") << false;
    QTest::newRow("sub") << true;
}

void TestFilters::enableThenReadoutInTheWindow() {
    QFETCH(bool, sub);
    const Receiver r = sub ? Receiver::Sub : Receiver::Main;
    WindowBench w;
    auto &filters = sub ? w.bench.state().subFilters : w.bench.state().mainFilters;
    filters[0].rxEnabled[2] = false;  // USB on Filter 1 off
    w.windows.show(frmCrystals::windowName(r));
    w.control<QCheckBox>(r, "chkFilter2CW")->setChecked(true);  // " NO" must clear it
    w.select(r, "USB", "Filter 1");
    w.control(r, "cmdEnable")->click();
    QVERIFY(filters[0].rxEnabled[2]);
    QCOMPARE(w.bench.prompter.summary(),
             QStringList{"Filter Receive Status|Filter 1 is now enabled for USB receive"});
    w.control(r, "cmdFilterRec")->click();
    QVERIFY(w.control<QCheckBox>(r, "chkFilter1USB")->isChecked());
    QVERIFY(!w.control<QCheckBox>(r, "chkFilter2CW")->isChecked());
    QVERIFY(w.control<QCheckBox>(r, "chkFilter5Dat")->isChecked());
    QCOMPARE(w.bench.state().mode, 3);  // back in CW, where it was found
    QCOMPARE(w.control<QLabel>(r, "lblProgress")->text(), QStringLiteral("Ready."));
    QCOMPARE(w.control<QLabel>(r, "lblProgress")->accessibleDescription(),
             QStringLiteral("Ready."));
}

void TestFilters::windowButtons() {
    WindowBench w;
    w.windows.show("frmCrystals");
    QCOMPARE(w.window(Receiver::Main)->windowTitle(),
             QStringLiteral("Main Receiver Crystal Filters Configuration"));
    QCOMPARE(w.control<QComboBox>(Receiver::Main, "cboSelectMode")->placeholderText(),
             QStringLiteral("Select Mode"));
    w.control(Receiver::Main, "cmdFilterBW")->click();
    QCOMPARE(w.control<QLineEdit>(Receiver::Main, "txtFilter2FO")->text(), QStringLiteral("-0.91"));

    // While Enable looks for the slot its window's buttons are off: a click does nothing.
    w.bench.trace.clear();
    w.select(Receiver::Main, "Data", "Filter 5");
    int yields = 0;
    w.bench.clock.setYieldHook([&] {
        if (yields++ == 0) w.control(Receiver::Main, "cmdFilterRec")->click();
    });
    w.control(Receiver::Main, "cmdEnable")->click();
    QCOMPARE(w.bench.prompter.summary().size(), 1);  // Enable's own message only
    QCOMPARE(w.bench.trace.writes().count("md1;"), 0);

    // Clear Form sends nothing; the switch hides this window and shows the twin.
    w.bench.trace.clear();
    w.control(Receiver::Main, "cmdClearForm")->click();
    QVERIFY(w.control<QLineEdit>(Receiver::Main, "txtFilter2FO")->text().isEmpty());
    QVERIFY(w.bench.trace.isEmpty());
    QVERIFY(!w.control(Receiver::Main, "cmdMainCrystals"));
    w.control(Receiver::Main, "cmdSubCrystals")->click();
    QVERIFY(!w.window(Receiver::Main)->isVisible() && w.window(Receiver::Sub)->isVisible());
    QCOMPARE(w.control(Receiver::Sub, "cmdMainCrystals")->text(),
             QStringLiteral("M&ain Receiver Crystals Form"));

    // Close clears the table and hides; the frame unloads the window.
    w.control(Receiver::Sub, "cmdFilterBW")->click();
    w.control(Receiver::Sub, "cmdClose")->click();
    QVERIFY(!w.window(Receiver::Sub)->isVisible());
    QVERIFY(w.control<QLineEdit>(Receiver::Sub, "txtFilter1BW")->text().isEmpty());
    w.select(Receiver::Sub, "AM", "Filter 2");
    w.window(Receiver::Sub)->close();
    QVERIFY(!w.window(Receiver::Sub));
    QCOMPARE(w.control<QComboBox>(Receiver::Sub, "cboSelectMode")->currentIndex(), -1);
}

void TestFilters::oneProcedureAtATime() {
    WindowBench w;
    w.windows.show("frmCrystals");
    w.select(Receiver::Main, "CW", "Filter 3");
    // While a sweep holds the link, the filter window's clicks between its steps are refused.
    FilterSweepState sweepState;
    test::RecordingRuns record;
    int yields = 0;
    w.bench.clock.setYieldHook([&] {
        if (++yields > 1) return;
        w.control(Receiver::Main, "cmdEnable")->click();
        w.control(Receiver::Main, "cmdFilterRec")->click();
    });
    FilterSweep(w.bench.link, w.bench.prompter, sweepState, record)
        .beginSweep({"14060", "14060.1", "100", "150"});
    w.bench.clock.setYieldHook({});
    const QString busy =
        "K3 Busy|Filter Sweep in the K3 Crystal Filter Sweep window is using the "
        "K3. Wait until it has finished, then try again.";
    QCOMPARE(w.bench.prompter.summary().filter("K3 Busy"), QStringList({busy, busy}));
    QVERIFY(!w.bench.trace.writes().contains("k30;mn038;"));

    // A click during the receive readout (held back by the waits) is not run afterwards.
    w.bench.trace.clear();
    QPushButton *enable = w.control(Receiver::Main, "cmdEnable");
    w.bench.trace.setObserver([&](const TraceEvent &e) {
        if (e.text != "md3;") return;
        const QPointF at(enable->rect().center());
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                enable,
                new QMouseEvent(type, at, enable->mapToGlobal(at), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
    });
    w.control(Receiver::Main, "cmdFilterRec")->click();
    w.bench.trace.setObserver({});
    QCoreApplication::processEvents();
    QCOMPARE(w.bench.trace.writes().count("md3;"), 1);
    QCOMPARE(w.bench.trace.writes().last(), QStringLiteral("MD3;"));
    QVERIFY(enable->isEnabled());
}

void TestFilters::cliOnAPty() {
    // In real time on a radio found in USB whose modes' memories all differ.
    test::K3SimProcess sim;
    QVERIFY(sim.start({"--mode", "2", "--distinct-memories"}));
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", sim.pty(), "--yes", "--trace", "filters", "--sub", "enable", "Data", "5"});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    // The writes and waits of the trace, without their times.
    QStringList exchanges;
    for (const QString &line : QString::fromLatin1(cli.readAllStandardError()).split(u'\n')) {
        const QString event = line.trimmed().section(u' ', 1);
        bool traced = false;  // a trace line starts with its time
        line.trimmed().section(u' ', 0, 0).toLongLong(&traced);
        if (traced && (event.startsWith(u'W') || event.startsWith(u'S'))) exchanges << event;
        if (line.startsWith(QLatin1String("Filter Receive Status: "))) exchanges << line;
    }
    CORVANE_COMPARE_GOLDEN(exchanges, "cli-sub-enable-data-5.trace");
    // The radio itself, asked afterwards: in USB again, USB's and DATA's memories as they were.
    QProcess send;
    send.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
               {"--port", sim.pty(), "send", "md;k22;gt;fw;k20;md6;k22;gt;fw;k20;md2"});
    QVERIFY(send.waitForFinished(30000));
    QCOMPARE(send.readAllStandardOutput().trimmed(), "MD2;GT0041;FW026010;GT0040;FW010050;");
}

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
