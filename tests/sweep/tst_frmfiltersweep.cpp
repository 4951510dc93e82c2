// The filter sweep window, driven by its controls' object names on the offscreen platform:
// captions and help, box checks on leaving, Begin/Stop with the buttons' states, the sweep
// chart and its live view, Save File, Reset, Clear, Close.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "core/linefile.h"
#include "core/numtext.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "measurements/ui/frmfiltersweep.h"
#include "sweepbench.h"

using namespace corvane;

namespace {

class ScriptedDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest &request) override {
        requests.push_back(request);
        return std::nullopt;
    }
    std::optional<QString> saveFile(const FileDialogRequest &request) override {
        requests.push_back(request);
        return answer;
    }
    std::optional<QString> answer;
    std::vector<FileDialogRequest> requests;
};

// A window on the bench: the sweep window and the program's sweep chart window in a window
// registry, as the main window keeps them.
struct WindowBench {
    WindowBench() {
        context.link = &bench.link;
        context.prompter = &bench.prompter;
        context.dialogs = &dialogs;
        context.showHelp = [this](const QString &file, int topic) {
            helpShown << file + u'#' + QString::number(topic);
        };
        windows.add("frmFilterSweep", [](const WindowContext &c) {
            return new frmFilterSweep(c.app, c.windows, c.owner);
        });
        windows.add("frmChartSweep", [](const WindowContext &c) {
            return new ChartSweepWindow(*c.app.dialogs, c.owner);
        });
        makeWindow();
    }
    ~WindowBench() { windows.destroyAll(); }
    void makeWindow() {
        window = qobject_cast<frmFilterSweep *>(windows.show("frmFilterSweep"));
        QVERIFY(window);
    }
    ChartSweepWindow *chartWindow() const {
        return qobject_cast<ChartSweepWindow *>(windows.existing("frmChartSweep"));
    }
    template <typename T>
    T *find(const char *name) const {
        T *child = window->findChild<T *>(QString::fromLatin1(name));
        if (!child) qWarning("no control %s", name);
        return child;
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QLineEdit *box(const char *name) const { return find<QLineEdit>(name); }
    void fill(const QString &start, const QString &stop, const QString &step, const QString &gain) {
        box("txtKHzStart")->setText(start);
        box("txtKHzStop")->setText(stop);
        box("txtFreqStep")->setText(step);
        box("txtRFGain")->setText(gain);
    }
    QStringList listLines() const { return find<ResultsList>("lstSweep")->lines(); }

    SweepBench bench;
    ScriptedDialogs dialogs;
    AppContext context;
    WindowRegistry windows{context, nullptr};
    QStringList helpShown;
    QPointer<frmFilterSweep> window;
};

const char *const kSixButtons[] = {"cmdBeginSweep", "cmdChart",    "cmdClear",
                                   "cmdClose",      "cmdSaveFile", "cmdReset"};

}  // namespace

class TestFilterSweepWindow : public QObject {
    Q_OBJECT

private slots:
    void captionsAndTooltips_data();
    void captionsAndTooltips();
    void boxesAndBuddies();
    void sweepFillsListChartAndProgress();
    void buttonsWhileSweeping();
    void stopButton();
    void emptyBoxKeepsFocus();
    void leavingABox_data();
    void leavingABox();
    void chartBeforeAnySweep();
    void saveFile();
    void saveCancelledOrFailing();
    void resetClearHelpClose();
    void kat3CheckedOncePerLoad();
};

void TestFilterSweepWindow::captionsAndTooltips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("begin") << "cmdBeginSweep"
                           << "Begin Sweep"
                           << "Click to begin filter sweep";
    QTest::newRow("stop") << "cmdStopSweep"
                          << "Stop Sweep"
                          << "Click to stop filter sweep before it concludes";
    QTest::newRow("reset") << "cmdReset"
                           << "Reset K3"
                           << "Click to reset K3 to settings prior to start of filter sweep";
    QTest::newRow("clear") << "cmdClear"
                           << "Clear Listbox"
                           << "Click to clear listbox";
    QTest::newRow("chart") << "cmdChart"
                           << "Chart Results"
                           << "Click to create a chart of filter sweep results in listbox";
    QTest::newRow("save") << "cmdSaveFile"
                          << "Save File"
                          << "Click to save a text file of results in listbox";
    QTest::newRow("help") << "cmdHelp"
                          << "Help"
                          << "Click to get help on using Filter Sweep";
    QTest::newRow("close") << "cmdClose"
                           << "Close"
                           << "Click to hide this form";
}

void TestFilterSweepWindow::captionsAndTooltips() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    WindowBench w;
    QCOMPARE(w.window->objectName(), QStringLiteral("frmFilterSweep"));
    QCOMPARE(w.window->windowTitle(), QStringLiteral("K3 Crystal Filter Sweep"));
    QPushButton *button = w.button(name.toLatin1().constData());
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), tooltip);
}

void TestFilterSweepWindow::boxesAndBuddies() {
    WindowBench w;
    const struct {
        const char *box;
        const char *label;
        const char *tooltip;
    } boxes[] = {
        {"txtKHzStart", "Start Frequency, KHz:", "Enter filter sweep start frequency in kHz"},
        {"txtKHzStop", "Stop Frequency, KHz:", "Enter filter sweep stop frequency in kHz"},
        {"txtFreqStep", "Frequency Step, Hz:", "Enter frequency increment in Hz"},
        {"txtRFGain",
         "RF Gain Setting:", "Enter RF Gain setting within linear range of dBV function"},
        {"txtFileName", "File Path:", "Shows file path and file name for saved text file"},
    };
    for (const auto &b : boxes) {
        QLineEdit *box = w.box(b.box);
        QVERIFY(box);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(box->toolTip(), QString::fromLatin1(b.tooltip));
        bool labelled = false;
        for (QLabel *label : w.window->findChildren<QLabel *>())
            if (label->buddy() == box) labelled = label->text() == QLatin1String(b.label);
        QVERIFY2(labelled, b.box);
    }
    auto *comments = w.find<QPlainTextEdit>("txtUserComments");
    QVERIFY(comments && comments->toPlainText().isEmpty());
    QCOMPARE(comments->toolTip(),
             QStringLiteral("Insert comments you want to include in saved text file"));
    QVERIFY(w.find<ResultsList>("lstSweep")->lines().isEmpty());
    QVERIFY(!w.find<ResultsList>("lstSweep")->accessibleName().isEmpty());
    QVERIFY(!w.find<ResultChartView>("chtLiveSweep")->accessibleName().isEmpty());
}

void TestFilterSweepWindow::sweepFillsListChartAndProgress() {
    WindowBench w;
    w.fill("14060", "14061", "100", "200");
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.listLines().size(), 37);
    QCOMPARE(w.listLines().at(26).section(u'\t', 0, 0), QStringLiteral("14060.000"));
    QCOMPARE(w.listLines().last().section(u'\t', 0, 0), QStringLiteral("14061.000"));
    QCOMPARE(w.find<ResultsList>("lstSweep")->currentRow(), 36);
    QVERIFY(w.chartWindow());
    QVERIFY(!w.chartWindow()->isVisible());  // filled, not shown
    const ResultChart &chart = w.chartWindow()->chart();
    QCOMPARE(chart.rowCount(), 11);
    QCOMPARE(chart.rowLabel(1), QStringLiteral("14060"));
    QCOMPARE(chart.rowLabel(6), QStringLiteral("14060.5"));
    QCOMPARE(chart.title(), QStringLiteral("K3 Filter Sweep Results"));
    QCOMPARE(chart.xAxisTitle(), QStringLiteral("K3 Dial Setting (KHz)"));
    QCOMPARE(*chart.rowValue(11), numericValue(w.listLines().last().section(u'\t', 2)));
    QCOMPARE(w.find<ResultChartView>("chtLiveSweep")->model(), &chart);
    QCOMPARE(w.find<QLabel>("lblProgress")->text(), QStringLiteral("11 steps measured."));
    QCOMPARE(w.find<QProgressBar>("prgSweep")->value(), 11);
    QCOMPARE(w.bench.prompter.summary().last(),
             QStringLiteral("Test Status|Filter sweep is complete. Check results in Listbox."));

    // Chart Results shows the same chart window, not modal.
    w.button("cmdChart")->click();
    QVERIFY(w.chartWindow()->isVisible());
    QVERIFY(!w.chartWindow()->isModal());
    QCOMPARE(w.chartWindow()->chart().rowCount(), 11);

    // A second sweep over another range refills the chart but keeps the first set-up.
    const CategoryScale firstScale = chart.xCategoryScale();
    w.fill("14060", "14062", "50", "200");
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.chartWindow()->chart().rowCount(), 41);
    QCOMPARE(w.chartWindow()->chart().xCategoryScale(), firstScale);
}

void TestFilterSweepWindow::buttonsWhileSweeping() {
    WindowBench w;
    w.fill("14060", "14060.2", "100", "200");
    QStringList states;
    w.bench.clock.setYieldHook([&] {
        QString state;
        for (const char *name : kSixButtons) state += w.button(name)->isEnabled() ? '1' : '0';
        state += w.button("cmdStopSweep")->isEnabled() ? '1' : '0';
        state += w.button("cmdHelp")->isEnabled() ? '1' : '0';
        states << state;
        QVERIFY(w.window->isSweeping());
        // The frame cannot unload the window in the middle of a sweep.
        QVERIFY(!w.window->close());
    });
    w.button("cmdBeginSweep")->click();
    QCOMPARE(states, QStringList({"00000011", "00000011", "00000011"}));
    for (const char *name : kSixButtons) QVERIFY(w.button(name)->isEnabled());
    QVERIFY(!w.window->isSweeping());
    QVERIFY(w.window);
}

void TestFilterSweepWindow::stopButton() {
    WindowBench w;
    w.fill("14060", "14061", "100", "200");
    w.bench.clock.setYieldHook([&] {
        if (w.bench.clock.yieldCount() == 3) w.button("cmdStopSweep")->click();
    });
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.listLines().size(), 26 + 2);
    QCOMPARE(w.bench.prompter.summary().last(),
             QStringLiteral("Test Status|Sweep was terminated prematurely."));
    QCOMPARE(w.find<QLabel>("lblProgress")->text(), QStringLiteral("Stopped after 2 of 11 steps."));
    QVERIFY(w.bench.trace.writes().contains("db00;"));
}

void TestFilterSweepWindow::emptyBoxKeepsFocus() {
    WindowBench w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    w.find<ResultsList>("lstSweep")->appendLine("old line");
    w.fill("14060", "14061", "", "200");
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.bench.prompter.summary(),
             QStringList{"Frequency Step Null Error|Enter an appropriate frequency increment"});
    QVERIFY(w.box("txtFreqStep")->hasFocus());
    QVERIFY(w.listLines().isEmpty());
    QCOMPARE(w.bench.trace.writes(), QStringList{"id;"});
    for (const char *name : kSixButtons) QVERIFY(w.button(name)->isEnabled());
}

void TestFilterSweepWindow::leavingABox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString freq =
        "Frequency Outside Bounds|Please insert a frequency in kHz between 1800 and 30000.";
    const QString step =
        "Frequency Increment Outside Bounds|Please insert a frequency in Hz between 1 and 500.";
    const QString gain = "RF Gain Outside Bounds|Please insert a number between 1 and 250.";
    QTest::newRow("start ok") << "txtKHzStart"
                              << "1800"
                              << "";
    QTest::newRow("start low") << "txtKHzStart"
                               << "1799.99" << freq;
    QTest::newRow("start letters") << "txtKHzStart"
                                   << "14060abc" << freq;
    QTest::newRow("stop high") << "txtKHzStop"
                               << "30000.01" << freq;
    QTest::newRow("stop ok") << "txtKHzStop"
                             << "30000"
                             << "";
    QTest::newRow("step half") << "txtFreqStep"
                               << "0.5" << step;
    QTest::newRow("step ok") << "txtFreqStep"
                             << "500"
                             << "";
    QTest::newRow("gain empty") << "txtRFGain"
                                << "" << gain;
    QTest::newRow("gain high") << "txtRFGain"
                               << "251" << gain;
    QTest::newRow("gain ok") << "txtRFGain"
                             << "1"
                             << "";
}

void TestFilterSweepWindow::leavingABox() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    WindowBench w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    // The other boxes hold good values, so that passing through them on the way is quiet.
    w.fill("14060", "14061", "100", "200");
    QLineEdit *edit = w.box(box.toLatin1().constData());
    edit->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(edit->hasFocus());
    QVERIFY(w.bench.prompter.messages().empty());
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
    if (message.isEmpty()) {
        QVERIFY(w.bench.prompter.messages().empty());
        QVERIFY(!edit->hasFocus());
    } else {
        QCOMPARE(w.bench.prompter.summary(), QStringList{message});
        QCOMPARE(w.bench.prompter.messages().front().icon, MessageIcon::Exclamation);
        QVERIFY(edit->hasFocus());
    }
    QCOMPARE(edit->text(), text);
    QVERIFY(w.bench.trace.writes().isEmpty());
}

void TestFilterSweepWindow::chartBeforeAnySweep() {
    WindowBench w;
    w.button("cmdChart")->click();
    QVERIFY(w.chartWindow() && w.chartWindow()->isVisible());
    QCOMPARE(w.chartWindow()->chart().rowCount(), 0);
    QCOMPARE(w.chartWindow()->chart().xAxisTitle(), QStringLiteral("K3 Dial Frequency (KHz)"));
    // With the boxes empty at its first use the chart never gets the sweep set-up.
    w.fill("14060", "14061", "100", "200");
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.chartWindow()->chart().rowCount(), 11);
    QCOMPARE(w.chartWindow()->chart().xAxisTitle(), QStringLiteral("K3 Dial Frequency (KHz)"));
    QVERIFY(w.bench.trace.writes().first() == "id;");
}

void TestFilterSweepWindow::saveFile() {
    WindowBench w;
    QTemporaryDir dir;
    const QString path = dir.filePath("FilterSweep.txt");
    const QDateTime when(QDate(2024, 5, 17), QTime(9, 30, 0));
    w.window->setClockForFiles([when] { return when; });
    w.fill("14060", "14061", "100", "200");
    w.button("cmdBeginSweep")->click();
    w.find<QPlainTextEdit>("txtUserComments")->setPlainText("FL1 2.7 kHz");
    w.dialogs.answer = path;
    w.button("cmdSaveFile")->click();

    QCOMPARE(int(w.dialogs.requests.size()), 1);
    const FileDialogRequest &request = w.dialogs.requests.front();
    QCOMPARE(request.title, QStringLiteral("Save Filter Sweep Results"));
    QCOMPARE(request.filterLabel, QStringLiteral("Text files (*.txt)"));
    QCOMPARE(request.filterPattern, QStringLiteral("*.txt"));
    QCOMPARE(request.defaultExtension, QStringLiteral("txt"));
    QCOMPARE(request.proposedName, QStringLiteral("FilterSweep"));
    QVERIFY(request.confirmReplace);
    QVERIFY(request.initialFolder.isEmpty());
    QCOMPARE(w.box("txtFileName")->text(), path);

    LineFileReader reader;
    QVERIFY(reader.open(path));
    QStringList lines;
    while (!reader.atEnd()) lines << reader.readLine();
    QCOMPARE(lines.size(), 41);
    QCOMPARE(lines.mid(0, 4),
             QStringList({"K3 Crystal Filter Sweep Results", "By Quill Ashby, N0CALL",
                          "User Comments: FL1 2.7 kHz", "Date run: " + generalDateText(when)}));
    QCOMPARE(lines.mid(4), w.listLines());

    // Cleared list, second save: four lines, the dialog starting from the path shown.
    w.button("cmdClear")->click();
    QVERIFY(w.listLines().isEmpty());
    w.button("cmdSaveFile")->click();
    QCOMPARE(w.dialogs.requests.back().initialFolder, path);
    QVERIFY(reader.open(path));
    int count = 0;
    while (reader.skipLine()) ++count;
    QCOMPARE(count, 4);
}

void TestFilterSweepWindow::saveCancelledOrFailing() {
    WindowBench w;
    w.box("txtFileName")->setText("/somewhere/old.txt");
    w.dialogs.answer = std::nullopt;
    w.button("cmdSaveFile")->click();
    QCOMPARE(w.box("txtFileName")->text(), QStringLiteral("/somewhere/old.txt"));
    QCOMPARE(w.dialogs.requests.back().initialFolder, QStringLiteral("/somewhere/old.txt"));

    QTemporaryDir dir;
    const QString unwritable = dir.filePath("no/such/folder/x.txt");
    w.dialogs.answer = unwritable;
    w.button("cmdSaveFile")->click();
    QCOMPARE(w.box("txtFileName")->text(), unwritable);
    QVERIFY(w.bench.prompter.messages().empty());
}

void TestFilterSweepWindow::resetClearHelpClose() {
    WindowBench w;
    w.fill("14060", "14060", "100", "200");
    w.button("cmdBeginSweep")->click();
    const QStringList writes = w.bench.trace.writes();
    QStringList restore = writes.mid(writes.lastIndexOf("k22;GT0041;k20;"));
    QVERIFY(restore.contains("db00;"));
    // TECH MD was turned off by the sweep's own restore: Reset finds it off and leaves it.
    QVERIFY(restore.removeOne("up;"));
    w.bench.trace.clear();
    w.button("cmdReset")->click();
    QCOMPARE(w.bench.trace.writes(), restore);

    w.button("cmdHelp")->click();
    QCOMPARE(w.helpShown, QStringList{"corvane.hlp#5"});

    w.button("cmdClose")->click();
    QVERIFY(!w.window->isVisible());
    QVERIFY(w.window);
    QCOMPARE(w.listLines().size(), 27);  // kept while hidden
    QCOMPARE(w.box("txtKHzStart")->text(), QStringLiteral("14060"));
}

void TestFilterSweepWindow::kat3CheckedOncePerLoad() {
    WindowBench w;
    w.bench.sim->state().kat3Installed = true;
    w.bench.sim->state().kat3Bypassed = false;
    w.fill("14060", "14060", "100", "200");
    w.button("cmdBeginSweep")->click();
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.bench.trace.writes().count("mn023;"), 1);
    QVERIFY(w.window->state().flags.blnKat3Checked);

    // Closed by its frame the window unloads; the next one checks again.
    w.window->close();
    QTRY_VERIFY(!w.window);
    w.makeWindow();
    QVERIFY(!w.window->state().flags.blnKat3Checked);
    w.fill("14060", "14060", "100", "200");
    w.button("cmdBeginSweep")->click();
    QCOMPARE(w.bench.trace.writes().count("mn023;"), 2);
}

QTEST_MAIN(TestFilterSweepWindow)
#include "tst_frmfiltersweep.moc"
