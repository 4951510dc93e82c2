// Corvane: a bench tool for the Elecraft K3. The main window opens everything else; the
// connection controller owns the one radio link.

#include <QApplication>
#include <QIcon>

#include "core/appcontext.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "link/ui/connectioncontroller.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(CORVANE_VERSION_MAJOR)
                                            .arg(CORVANE_VERSION_MINOR)
                                            .arg(CORVANE_VERSION_PATCH));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane-256.png")));
    // The program ends only through File, Exit or the main window's close box.
    QApplication::setQuitOnLastWindowClosed(false);

    corvane::MessageBoxPrompter prompter;
    corvane::QtFileDialogs dialogs;
    corvane::HelpSystem help;
    corvane::ConnectionController connection(prompter);
    const corvane::AppContext app{
        &connection.link(), &prompter, &dialogs,
        [&help](const QString &file, int topic) { help.showHelpTopic(file, topic); }};
    corvane::frmMain mainWindow(app, connection);
    mainWindow.show();
    return QApplication::exec();
}
