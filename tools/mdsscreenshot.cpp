// Runs the MDS test in its window on the built-in simulator, as a user at the bench would
// (generator on at 1 uV, off when asked), and saves a picture of the window afterwards:
// shot-frmMDS-result.png in the folder given (default /tmp), and one of each message box
// (shot-frmMDS-message-N.png). Run it under xvfb-run; it takes as long as the test does on a
// radio (about 50 s). Arguments: [folder] [on|off: the preamp] [generator level in dBm, -107
// by default; -160 is a signal the radio cannot hear].

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "link/ui/connectioncontroller.h"
#include "shell/frmmain.h"

using namespace corvane;

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    const bool preamp = argc <= 2 || QString::fromLocal8Bit(argv[2]) != QLatin1String("off");
    const double levelDbm = argc > 3 ? QString::fromLocal8Bit(argv[3]).toDouble() : -107.0;

    MessageBoxPrompter prompter;
    QtFileDialogs dialogs;
    ConnectionController connection(prompter);
    const AppContext app{&connection.link(), &prompter, &dialogs, {}};
    frmMain mainWindow(app, connection);
    mainWindow.show();

    // Message boxes are answered as they appear; the generator follows the prompts.
    QTimer answer;
    int boxes = 0;
    QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) return;
        box->grab().save(
            folder.filePath(QStringLiteral("shot-frmMDS-message-%1.png").arg(++boxes)));
        if (const auto simulator = connection.simulator()) {
            if (box->text().startsWith(QLatin1String("Beginning MDS test"))) {
                simulator->generator() = {true, levelDbm, double(simulator->state().vfoAHz)};
            } else if (box->text() == QLatin1String("Turn off RF signal source")) {
                simulator->generator().on = false;
            }
        }
        std::printf("message: %s\n", qPrintable(box->text()));
        box->accept();
    });
    answer.start(300);

    connection.showDialog();
    auto *ports = connection.dialog().findChild<QComboBox *>(QStringLiteral("cboComPort"));
    ports->setCurrentIndex(ports->count() - 1);
    connection.dialog().findChild<QPushButton *>(QStringLiteral("cmdConnect"))->click();
    connection.dialog().hide();

    QWidget *window = mainWindow.windows().show(QStringLiteral("frmMDS"));
    window->findChild<QCheckBox *>(QStringLiteral("chkPreamp"))->setChecked(preamp);
    window->findChild<QPushButton *>(QStringLiteral("cmdBegin"))->click();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    const QString path = folder.filePath(QStringLiteral("shot-frmMDS-result.png"));
    if (window->grab().save(path))
        std::printf("%s %dx%d\n", qPrintable(path), window->width(), window->height());
    return 0;
}
