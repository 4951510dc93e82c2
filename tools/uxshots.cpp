// Pictures of the test windows as a user first meets them, on a 1366x768 screen: the sweep
// window at first open, the empty sweep chart, a sweep on the simulator (a flat 0 dB top),
// a flat 10.00 dB linear range chart, and the dBV window with its list after a quick test.
// Run under xvfb-run -s "-screen 0 1366x768x24"; each picture is the whole screen.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cstdio>

#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "core/ui/qtfiledialogs.h"
#include "link/ui/connectioncontroller.h"
#include "shell/frmmain.h"

using namespace corvane;

namespace {
void settle() {
    for (int i = 0; i < 30; ++i) QApplication::processEvents();
}

void shootScreen(QWidget *window, const QDir &folder, const QString &name) {
    window->move(0, 0);
    window->show();
    window->raise();
    settle();
    const QString path = folder.filePath(QStringLiteral("ux-%1.png").arg(name));
    QApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s window %dx%d\n", qPrintable(path), window->width(), window->height());
    window->hide();
}
}  // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    ScriptedPrompter prompter;
    VirtualClock clock;
    // A person reads each prompt: the audio meter settles meanwhile.
    prompter.setHook([&clock](const PromptMessage &) { clock.advance(5000); });
    QtFileDialogs dialogs;
    ConnectionController connection(clock, prompter);
    const AppContext app{&connection.link(), &prompter, &dialogs, {}};
    frmMain main(app, connection);
    connection.dialog().findChild<QComboBox *>("cboComPort")->setEditText("sim");
    connection.dialog().findChild<QPushButton *>("cmdConnect")->click();
    connection.simulator()->setNoiseEnabled(false);

    QWidget *sweep = main.windows().show("frmFilterSweep");
    shootScreen(sweep, folder, "sweep-first");
    shootScreen(main.windows().show("frmChartSweep"), folder, "chart-empty");
    const char *boxes[] = {"txtKHzStart", "txtKHzStop", "txtFreqStep", "txtRFGain"};
    const char *values[] = {"14059.9", "14060.1", "10", "150"};
    for (int i = 0; i < 4; ++i) sweep->findChild<QLineEdit *>(boxes[i])->setText(values[i]);
    sweep->findChild<QPushButton *>("cmdBeginSweep")->click();
    shootScreen(sweep, folder, "sweep-flat");
    shootScreen(main.windows().show("frmChartSweep"), folder, "chart-flat");
    values[0] = "14059.5";
    values[1] = "14060.5";
    for (int i = 0; i < 4; ++i) sweep->findChild<QLineEdit *>(boxes[i])->setText(values[i]);
    sweep->findChild<QPushButton *>("cmdBeginSweep")->click();
    shootScreen(sweep, folder, "sweep-passband");

    auto *range = main.windows().instance<ResultChartWindow>("frmChartLinearRange");
    range->chart().setRowCount(20);
    for (int row = 1; row <= 20; ++row) {
        range->chart().setRowValue(row, 10.0);
        range->chart().setRowLabel(row, QString::number(100 + row));
    }
    shootScreen(range, folder, "chart-flat10");
    QWidget *dbv = main.windows().show("frmDBVLinearity");
    dbv->findChild<QPushButton *>("cmdQuickTest")->click();
    shootScreen(dbv, folder, "dbv-list");
    return 0;
}
