// Pictures of the saved-file windows: the viewer and the two charts from files, each filled
// from the files named on the command line (a sweep file, a dBV file), saved in a folder
// (default /tmp) as shot-frmReadFile.png, ... Run it under xvfb-run to look at them.

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <cstdio>

#include "common/scriptedfiledialogs.h"
#include "core/prompter.h"
#include "core/ui/windowregistry.h"
#include "shell/windows.h"

using namespace corvane;

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: corvane_fileshots SWEEP.txt DBV.txt FOLDER [SWEEP.txt...]\n");
        return 2;
    }
    const QString sweep = QString::fromLocal8Bit(argv[1]);
    const QString dbv = QString::fromLocal8Bit(argv[2]);
    const QDir folder(QString::fromLocal8Bit(argv[3]));
    test::ScriptedFileDialogs dialogs;
    ScriptedPrompter prompter;
    const AppContext app{nullptr, &prompter, &dialogs, {}};
    WindowRegistry windows(app, nullptr);
    registerProgramWindows(windows);
    for (const QString &file : {sweep, dbv, sweep}) dialogs.answer(file);
    for (const char *name : {"frmReadFile", "frmReadFile", "frmCreateFSChart"})
        windows.open(QLatin1String(name));
    dialogs.answer(dbv);
    windows.open(QStringLiteral("frmCreateDBVChart"));
    // The overlay of every sweep file named after the folder.
    for (int i = 4; i < argc; ++i) dialogs.answer(QString::fromLocal8Bit(argv[i]));
    if (auto *overlay = windows.show(QStringLiteral("frmCompareSweeps")))
        for (int i = 4; i < argc; ++i)
            if (auto *add = overlay->findChild<QPushButton *>(QStringLiteral("cmdAddFile")))
                add->click();
    for (const char *name :
         {"frmReadFile", "frmCreateFSChart", "frmCreateDBVChart", "frmCompareSweeps"}) {
        QWidget *window = windows.existing(QLatin1String(name));
        if (!window) continue;
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        const QString path = folder.filePath(QStringLiteral("shot-%1.png").arg(name));
        if (window->grab().save(path)) std::printf("%s\n", qPrintable(path));
    }
    for (const QString &message : prompter.summary())
        std::printf("message: %s\n", qPrintable(message));
    return 0;
}
