#pragma once
// The program's windows by name. Every window is a single instance: built on first use,
// then shown again (in front, with its contents) each time it is asked for. A window closed
// by its frame is deleted and the next request builds a new one, whose load steps run again.
//
// The main window fills the registry from one list (src/shell/windows.cpp); a window that
// needs another window (a test and its chart, the twin filter windows) asks the registry for
// it each time rather than keeping a pointer, since the other window may have been unloaded.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "core/appcontext.h"

namespace corvane {

class WindowRegistry;

// What a window's factory gets.
struct WindowContext {
    const AppContext &app;
    WindowRegistry &windows;
    QWidget *owner;  // the parent of every window (the main window); may be null in tests
};

class WindowRegistry {
public:
    // Builds the window (not shown). The registry sets its objectName to the registered
    // name when the factory left it empty, and runs FormWindow::load().
    using Factory = std::function<QWidget *(const WindowContext &)>;
    // What the menu item does, when it is more than showing the window (the file viewer
    // first asks for a file). Without one, open() shows the window.
    using Opener = std::function<void(const WindowContext &)>;

    WindowRegistry(const AppContext &app, QWidget *owner);
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry &) = delete;
    WindowRegistry &operator=(const WindowRegistry &) = delete;

    // Adds or replaces the entry for `name`.
    void add(const QString &name, Factory create, Opener open = {});
    bool contains(const QString &name) const { return m_entries.contains(name); }
    QStringList names() const;

    // The window, built and loaded when there is none; not shown. Null for an unknown name.
    QWidget *instance(const QString &name);
    template <class T>
    T *instance(const QString &name) {
        return qobject_cast<T *>(instance(name));
    }
    // The window when it exists (and is not being unloaded), without building it.
    QWidget *existing(const QString &name) const;
    // Shows the window in front, building it when needed.
    QWidget *show(const QString &name);
    // What its menu item does: the opener, or show().
    void open(const QString &name);
    // Deletes every window now (the main window's end).
    void destroyAll();

    const WindowContext &context() const { return m_context; }

private:
    struct Entry {
        Factory create;
        Opener open;
        QPointer<QWidget> window;
    };
    WindowContext m_context;
    QHash<QString, Entry> m_entries;
};

}  // namespace corvane
