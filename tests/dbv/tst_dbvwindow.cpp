// frmDBVLinearity on the offscreen platform, found by object names: the full test through
// its button (buttons off while it runs, progress, list, chart), the box checks when leaving
// a box or clicking with a box refused, and Save File.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "core/appcontext.h"
#include "core/filedialogs.h"
#include "core/linefile.h"
#include "core/prompter.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "measurements/ui/frmdbvlinearity.h"
#include "sim/k3simulator.h"

using namespace corvane;

namespace {

class AnsweringDialogs : public FileDialogs {
public:
    std::optional<QString> answer;
    std::vector<FileDialogRequest> requests;
    std::optional<QString> openFile(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest &request) override {
        requests.push_back(request);
        return answer;
    }
};

const QStringList kAllButtons{"cmdBegin",          "cmdQuickTest", "cmdStopTest",
                              "cmdReset",          "cmdClear",     "cmdChartResults",
                              "cmdSaveFileDialog", "cmdHelp",      "cmdClose"};

// The program around one dBV window: the simulator on a virtual clock, scripted messages
// and dialogs, the registry with the dBV window and its chart window.
struct Program {
    VirtualClock clock;
    RadioLink link{clock};
    std::shared_ptr<sim::K3Simulator> simulator = std::make_shared<sim::K3Simulator>();
    ScriptedPrompter prompter;
    AnsweringDialogs dialogs;
    QList<std::pair<QString, int>> helpShown;
    AppContext app;
    std::unique_ptr<WindowRegistry> windows;

    Program() {
        link.setTransport(std::make_unique<SimTransport>(simulator, clock));
        link.open();
        app.link = &link;
        app.prompter = &prompter;
        app.dialogs = &dialogs;
        app.showHelp = [this](const QString &file, int topic) { helpShown.append({file, topic}); };
        windows = std::make_unique<WindowRegistry>(app, nullptr);
        windows->add("frmDBVLinearity", [](const WindowContext &c) {
            return new frmDBVLinearity(c.app, c.windows, c.owner);
        });
        windows->add("frmChartLinearRange", [](const WindowContext &c) {
            return new ChartLinearRangeWindow(*c.app.dialogs, c.owner);
        });
    }
    ~Program() { windows->destroyAll(); }

    frmDBVLinearity *window() { return windows->instance<frmDBVLinearity>("frmDBVLinearity"); }
    ResultChart &chart() {
        return windows->instance<ChartLinearRangeWindow>("frmChartLinearRange")->chart();
    }
    template <class T>
    T *control(const QString &name) {
        return window()->findChild<T *>(name);
    }
    QPushButton *button(const QString &name) { return control<QPushButton>(name); }
    ResultsList *list() { return control<ResultsList>("lstResults"); }
    void setBoxes(const QString &start, const QString &stop, const QString &inc) {
        control<QLineEdit>("txtRFGainStart")->setText(start);
        control<QLineEdit>("txtRFGainStop")->setText(stop);
        control<QLineEdit>("txtRFGainInc")->setText(inc);
    }
    // Names of the buttons that can be clicked now.
    QStringList enabledButtons() {
        QStringList names;
        for (const QString &name : kAllButtons)
            if (button(name)->isEnabled()) names << name;
        return names;
    }
};

}  // namespace

class TestDbvWindow : public QObject {
    Q_OBJECT

private slots:
    void fullTestThroughTheWindow();
    void boxChecks_data();
    void boxChecks();
    void clickWithARefusedBox();
    void saveFile();
};

void TestDbvWindow::fullTestThroughTheWindow() {
    Program p;
    p.setBoxes("100", "102", "1");
    p.list()->appendLine("an old line");
    QStringList duringAfv;
    QStringList progress;
    p.prompter.setHook([&](const PromptMessage &m) {
        if (m.title == "Set AFV Reference") duringAfv = p.enabledButtons();
    });
    p.clock.setYieldHook([&] { progress << p.control<QLabel>("lblProgress")->text(); });
    p.button("cmdBegin")->click();

    QCOMPARE(duringAfv, (QStringList{"cmdStopTest", "cmdHelp"}));
    QCOMPARE(p.enabledButtons(), kAllButtons);
    // The label shows the step just measured when the next yield comes.
    QCOMPARE(progress.size(), 3);
    QCOMPARE(progress[1], QString("Step 1 of 3, about 32 s left"));
    QCOMPARE(progress[2], QString("Step 2 of 3, about 21 s left"));
    QVERIFY(p.control<QLabel>("lblProgress")->text().isEmpty());

    const QStringList lines = p.list()->lines();
    QCOMPARE(lines.size(), 29);
    QCOMPARE(lines[21], QString("RF Gain Start: 100"));
    QVERIFY(lines[28].startsWith("102\t"));
    QCOMPARE(p.list()->currentRow(), 28);

    ResultChart &chart = p.chart();
    QCOMPARE(chart.rowCount(), 3);
    QCOMPARE(chart.rowLabel(1), QString("100"));
    QCOMPARE(chart.rowLabel(3), QString("102"));
    QCOMPARE(*chart.rowValue(2), lines[27].section(u'\t', 3, 3).toDouble());
    QCOMPARE(chart.title(), QString("K3 DBV Function Linear Range"));
    QCOMPARE(chart.xAxisTitle(), QString("RF Gain Setting"));
    QCOMPARE(chart.yAxisTitle(), QString("DBV Difference (dB)"));
    QVERIFY(chart.xCategoryScale().labelTick);
    QVERIFY(chart.xCategoryScale().automatic);
    QVERIFY(chart.xValueScale().automatic);
    QCOMPARE(p.prompter.summary().last(),
             QString("Test Status|Test is complete. Check results in Listbox."));
    // The chart window was filled, not shown.
    QVERIFY(!p.windows->existing("frmChartLinearRange")->isVisible());
}

void TestDbvWindow::boxChecks_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    const QString start =
        "RF Gain Outside Bounds|Please insert a number greater than or equal to 0.";
    const QString stop = "RF Gain Outside Bounds|Please insert a number less than or equal to 250.";
    const QString inc = "RF Gain Increment Outside Bounds|Please insert a number between 1 and 5.";
    for (const QStringList &r :
         QList<QStringList>{{"start 0", "txtRFGainStart", "0", ""},
                            {"start 300", "txtRFGainStart", "300", ""},
                            {"start -1", "txtRFGainStart", "-1", start},
                            {"start empty", "txtRFGainStart", "", start},
                            {"start 12abc", "txtRFGainStart", "12abc", start},
                            {"stop 250", "txtRFGainStop", "250", ""},
                            {"stop 251", "txtRFGainStop", "251", stop},
                            {"stop empty", "txtRFGainStop", "", stop},
                            {"inc 1", "txtRFGainInc", "1", ""},
                            {"inc 5", "txtRFGainInc", "5", ""},
                            {"inc 2.5", "txtRFGainInc", "2.5", ""},
                            {"inc 0", "txtRFGainInc", "0", inc},
                            {"inc 0.5", "txtRFGainInc", "0.5", inc},
                            {"inc 6", "txtRFGainInc", "6", inc},
                            {"inc x", "txtRFGainInc", "x", inc}})
        QTest::newRow(qPrintable(r[0])) << r[1] << r[2] << r[3];
}

void TestDbvWindow::boxChecks() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    Program p;
    p.window()->show();
    QVERIFY(QTest::qWaitForWindowActive(p.window()));
    auto *edit = p.control<QLineEdit>(box);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    p.button("cmdHelp")->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (refusal.isEmpty()) {
        QVERIFY(p.prompter.messages().empty());
        QCOMPARE(QApplication::focusWidget(), p.button("cmdHelp"));
    } else {
        QCOMPARE(p.prompter.summary(), QStringList{refusal});
        QCOMPARE(p.prompter.messages().front().icon, MessageIcon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->text(), typed);
    }
}

void TestDbvWindow::clickWithARefusedBox() {
    // Clicking a button moves the focus out of the box: its message is shown once and the
    // button does nothing.
    for (const QString &name : QStringList{"cmdBegin", "cmdQuickTest", "cmdReset"}) {
        Program p;
        p.window()->show();
        QVERIFY(QTest::qWaitForWindowActive(p.window()));
        auto *inc = p.control<QLineEdit>("txtRFGainInc");
        inc->setFocus(Qt::TabFocusReason);
        inc->setText("0");
        QTest::mouseClick(p.button(name), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(p.prompter.summary(),
                 QStringList{"RF Gain Increment Outside Bounds|Please insert a number between 1 "
                             "and 5."});
        QVERIFY(p.simulator->commandLog().isEmpty());
        QCOMPARE(QApplication::focusWidget(), inc);
    }
}

void TestDbvWindow::saveFile() {
    Program p;
    QTemporaryDir dir;
    const QString path = dir.filePath("dBVResults.txt");
    p.list()->appendLines({"line one", "100\t-23.5\t-33.6\t10.1"});
    p.control<QPlainTextEdit>("txtUserComments")->setPlainText("first\nsecond");
    p.dialogs.answer = path;
    p.button("cmdSaveFileDialog")->click();
    QCOMPARE(p.control<QLineEdit>("txtFileName")->text(), path);
    QCOMPARE(p.dialogs.requests.front().proposedName, QString("dBVResults"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const int dateEnd = bytes.indexOf("\r\n", bytes.indexOf("Date run: "));
    QCOMPARE(bytes.left(bytes.indexOf("Date run: ")),
             QByteArray("K3 dBV Linear Range Test Results\r\nBy Quill Ashby, N0CALL\r\n"
                        "User Comments: first\r\nsecond\r\n"));
    QCOMPARE(bytes.mid(dateEnd), QByteArray("\r\nline one\r\n100\t-23.5\t-33.6\t10.1\r\n"));

    // The next Save starts in that folder; cancelling it changes nothing.
    p.dialogs.answer.reset();
    p.button("cmdSaveFileDialog")->click();
    QCOMPARE(p.dialogs.requests.back().initialFolder, QDir(dir.path()).absolutePath());
    QCOMPARE(p.dialogs.requests.back().title, QString("Save DBV Linearity Results"));
    QCOMPARE(p.control<QLineEdit>("txtFileName")->text(), path);
    QVERIFY(p.prompter.messages().empty());
}

QTEST_MAIN(TestDbvWindow)
#include "tst_dbvwindow.moc"
