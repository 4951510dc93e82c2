// Shows each of the shell's windows as the program builds them and saves a picture of each
// in a folder (default /tmp): shot-main.png, shot-connect.png, ... Run it under a real X
// server (xvfb-run) to look at layouts, texts and pictures; the pictures are not kept.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmk3simulator.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"

using namespace corvane;

namespace {
void settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

void shoot(QWidget *window, const QDir &folder, const QString &name) {
    window->show();
    window->raise();
    settle();
    const QString path = folder.filePath(QStringLiteral("shot-%1.png").arg(name));
    if (window->grab().save(path))
        std::printf("%s %dx%d\n", qPrintable(path), window->width(), window->height());
}
}  // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane-256.png")));
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());

    MessageBoxPrompter prompter;
    QtFileDialogs dialogs;
    HelpSystem help;
    ConnectionController connection(prompter);
    const AppContext app{
        &connection.link(), &prompter, &dialogs,
        [&help](const QString &file, int topic) { help.showHelpTopic(file, topic); }};
    frmMain mainWindow(app, connection);

    // Message boxes are photographed and answered as they appear.
    int boxes = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            box->grab().save(folder.filePath(QStringLiteral("shot-message-%1.png").arg(++boxes)));
            box->accept();
        }
    });
    answer.start(300);
    shoot(&mainWindow, folder, QStringLiteral("main"));

    // A menu open, as the user sees it.
    auto *menu = mainWindow.findChild<QMenu *>(QStringLiteral("mnuFile"));
    menu->popup(mainWindow.mapToGlobal(QPoint(0, mainWindow.menuBar()->height())));
    settle();
    menu->grab().save(folder.filePath(QStringLiteral("shot-menu-file.png")));
    menu->hide();

    connection.showDialog();
    shoot(&connection.dialog(), folder, QStringLiteral("connect"));
    auto *ports = connection.dialog().findChild<QComboBox *>(QStringLiteral("cboComPort"));
    ports->setCurrentIndex(ports->count() - 1);
    connection.dialog().findChild<QPushButton *>(QStringLiteral("cmdConnect"))->click();
    shoot(&connection.dialog(), folder, QStringLiteral("connect-connected"));
    shoot(connection.showSimulatorWindow(), folder, QStringLiteral("k3sim"));

    for (const char *name : {"frmAbout", "frmAppliedRF", "frmMDS"})
        shoot(mainWindow.windows().show(QLatin1String(name)), folder, QLatin1String(name));
    // The menu settings window with both reports (about 22 s on the simulator's real clock),
    // and once while the CONFIG report runs, to see its progress line.
    QWidget *menus = mainWindow.windows().show(QStringLiteral("frmConfigSettings"));
    menus->findChild<QPushButton *>(QStringLiteral("cmdMainMenu"))->click();
    QTimer::singleShot(8000, menus, [menus, &folder] {
        menus->grab().save(folder.filePath(QStringLiteral("shot-frmConfigSettings-running.png")));
    });
    menus->findChild<QPushButton *>(QStringLiteral("cmdConfigMenu"))->click();
    shoot(menus, folder, QStringLiteral("frmConfigSettings"));
    mainWindow.windows()
        .existing(QStringLiteral("frmAbout"))
        ->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))
        ->click();
    // The crystal filter windows, each filled by both readouts (real time: about 80 s).
    for (const char *name : {"frmCrystals", "frmCrystalsSub"}) {
        QWidget *filters = mainWindow.windows().show(QLatin1String(name));
        for (const char *button : {"cmdFilterBW", "cmdFilterRec"})
            filters->findChild<QPushButton *>(QLatin1String(button))->click();
        shoot(filters, folder, QLatin1String(name));
    }
    help.showHelpTopic(kMainHelpFile, 1);
    shoot(help.viewer(), folder, QStringLiteral("help"));
    help.showHelpTopic(kTutorialHelpFile, 1);
    shoot(help.viewer(), folder, QStringLiteral("help-tutorial"));
    help.showHelpTopic(kMainHelpFile, 99);
    shoot(help.viewer(), folder, QStringLiteral("help-notfound"));
    return 0;
}
