#pragma once
// What a window that talks to the radio or the user needs, handed to it by the main window.
// There are no globals: the one RadioLink belongs to the connection dialog's controller.

#include <QString>
#include <functional>

class QSettings;

namespace corvane {

class RadioLink;
class Prompter;
class FileDialogs;

struct AppContext {
    RadioLink *link = nullptr;
    Prompter *prompter = nullptr;
    FileDialogs *dialogs = nullptr;
    // Opens the help viewer at a numbered topic of a help file ("corvane.hlp", 2).
    std::function<void(const QString &file, int topic)> showHelp;
    // Where the GUI remembers its choices between runs (ports, window places, folders,
    // options); null in tests and in corvane-cli, which remember nothing.
    QSettings *settings = nullptr;
};

}  // namespace corvane
