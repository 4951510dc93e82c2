// Shows the dBV window on the built-in simulator in real time and runs a short full test
// (RF gain 100 to 103), answering each message after a moment, so that pictures can be taken
// of it before, during and after the test (run under xvfb-run and photograph the screen).
// Ends a few seconds after the test.

#include "charts/ui/chartwindows.h"
#include "core/appcontext.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "core/ui/windowregistry.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "measurements/ui/frmdbvlinearity.h"
#include "sim/k3simulator.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace corvane;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    RealClock clock;
    RadioLink link(clock);
    link.setTransport(std::make_unique<SimTransport>(std::make_shared<sim::K3Simulator>(), clock));
    link.open();
    MessageBoxPrompter prompter;
    QtFileDialogs dialogs;
    AppContext app{&link, &prompter, &dialogs, {}};
    WindowRegistry windows(app, nullptr);
    windows.add(QStringLiteral("frmDBVLinearity"), [](const WindowContext &c) {
        return new frmDBVLinearity(c.app, c.windows, c.owner);
    });
    windows.add(QStringLiteral("frmChartLinearRange"), [](const WindowContext &c) {
        return new ChartLinearRangeWindow(*c.app.dialogs, c.owner);
    });
    auto *window = windows.instance<frmDBVLinearity>(QStringLiteral("frmDBVLinearity"));
    window->move(20, 20);
    window->showForm();

    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &answer, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    QTimer::singleShot(4000, window, [window, &answer] {
        window->findChild<QLineEdit *>(QStringLiteral("txtRFGainStart"))->setText("100");
        window->findChild<QLineEdit *>(QStringLiteral("txtRFGainStop"))->setText("103");
        answer.start(3000);
        window->findChild<QPushButton *>(QStringLiteral("cmdBegin"))->click();
        QTimer::singleShot(12000, qApp, &QApplication::quit);
    });
    return application.exec();
}
