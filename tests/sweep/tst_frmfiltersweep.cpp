// The filter sweep window, driven by its controls' object names on the offscreen platform:
// box checks on leaving, Begin with the buttons' states, Save File, Reset, Help, Close.

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
    void buttonsWhileSweeping();
    void emptyBoxKeepsFocus();
    void leavingABox_data();
    void leavingABox();
    void saveFile();
    void resetClearHelpClose();
};

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
    for (const QStringList &r :
         QList<QStringList>{{"start ok", "txtKHzStart", "1800", ""},
                            {"start low", "txtKHzStart", "1799.99", freq},
                            {"start letters", "txtKHzStart", "14060abc", freq},
                            {"stop high", "txtKHzStop", "30000.01", freq},
                            {"stop ok", "txtKHzStop", "30000", ""},
                            {"step half", "txtFreqStep", "0.5", step},
                            {"step ok", "txtFreqStep", "500", ""},
                            {"gain empty", "txtRFGain", "", gain},
                            {"gain high", "txtRFGain", "251", gain},
                            {"gain ok", "txtRFGain", "1", ""}})
        QTest::newRow(qPrintable(r[0])) << r[1] << r[2] << r[3];
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

QTEST_MAIN(TestFilterSweepWindow)
#include "tst_frmfiltersweep.moc"
