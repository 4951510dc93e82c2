#pragma once
// What a window that talks to the radio or the user needs, handed to it by the main window.
// There are no globals: the one RadioLink belongs to the connection dialog's controller.

namespace corvane {

class RadioLink;
class Prompter;
class FileDialogs;

struct AppContext {
    RadioLink *link = nullptr;
    Prompter *prompter = nullptr;
    FileDialogs *dialogs = nullptr;
};

}  // namespace corvane
