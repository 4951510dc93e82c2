// Corvane: a bench tool for the Elecraft K3. The main window opens everything else; the
// connection controller owns the one radio link.

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <cstdio>
#include <cstring>

#include "core/appcontext.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmk3simulator.h"
#include "measurements/benchprompts.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"
#include "shell/remembered.h"

namespace {

QString version() {
    return QStringLiteral("%1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

constexpr char kHelp[] =
    "Usage: corvane [options]\n"
    "Corvane: a bench tool for the Elecraft K3 transceiver. It measures the dBV linear range\n"
    "of the receiver and sweeps its crystal filters over the radio's serial port; a built-in\n"
    "K3 simulator is in the port list of the Connect dialog.\n"
    "\n"
    "Options:\n"
    "  -h, --help        Show this help.\n"
    "  --version         Show the version.\n"
    "  --reset-settings  Forget what Corvane remembers (the last port and baud rate,\n"
    "                    window places and sizes, the folders of the file dialogs, the\n"
    "                    survey's options) and end; the next start is like the first.\n"
    "\n"
    "What Corvane remembers is kept in the desktop's usual settings file\n"
    "(~/.config/Corvane/Corvane.conf on Linux).\n"
    "The standard options of Qt programs (such as -platform and -style) also apply.\n";

// The one place the settings file's name comes from.
void nameSettingsFile() {
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
}

int resetSettings() {
    nameSettingsFile();
    QSettings settings;
    QString reason;
    if (!corvane::forgetRememberedSettings(settings, &reason)) {
        std::fprintf(stderr, "corvane: %s: %s\n", qPrintable(settings.fileName()),
                     qPrintable(reason));
        return 1;
    }
    std::printf("corvane: remembered settings forgotten (%s)\n", qPrintable(settings.fileName()));
    return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
    // --help and --version answer on stdout before Qt looks for a display, so they work in
    // a plain terminal and over ssh.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("corvane %s\n", qPrintable(version()));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--reset-settings") == 0) return resetSettings();
    }

    QApplication application(argc, argv);
    nameSettingsFile();
    QApplication::setApplicationVersion(version());
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane-256.png")));
    // The program ends only through File, Exit or the main window's close box.
    QApplication::setQuitOnLastWindowClosed(false);

    QSettings settings;
    corvane::WindowPlaces places(settings);
    places.watchApplication();
    QObject::connect(&application, &QApplication::aboutToQuit, &places,
                     &corvane::WindowPlaces::saveShownWindows);
    corvane::MessageBoxPrompter boxes;
    corvane::QtFileDialogs fileDialogs;
    corvane::RememberingFileDialogs dialogs(fileDialogs, settings);
    corvane::HelpSystem help;
    corvane::ConnectionController connection(boxes);
    connection.dialog().rememberChoicesIn(&settings);
    // On the built-in simulator the MDS test's generator prompts are followed once confirmed
    // (the K3 Simulator window's "Follow the test's prompts"); its window then shows it.
    corvane::PromptFollower prompter(
        connection.prompter(), [&connection] { return connection.simulatorFollowingPrompts(); },
        [&connection](const QString &) {
            if (corvane::frmK3Simulator *window = connection.simulatorWindow()) window->refresh();
        });
    const corvane::AppContext app{
        &connection.link(), &prompter, &dialogs,
        [&help](const QString &file, int topic) { help.showHelpTopic(file, topic); }, &settings};
    corvane::frmMain mainWindow(app, connection);
    mainWindow.show();
    return QApplication::exec();
}
