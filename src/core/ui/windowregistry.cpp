#include "core/ui/windowregistry.h"

#include "core/ui/formwindow.h"

namespace corvane {

WindowRegistry::WindowRegistry(const AppContext &app, QWidget *owner)
    : m_context{app, *this, owner} {}

WindowRegistry::~WindowRegistry() {
    destroyAll();
}

void WindowRegistry::add(const QString &name, Factory create, Opener open) {
    Entry &entry = m_entries[name];
    entry.create = std::move(create);
    entry.open = std::move(open);
}

QStringList WindowRegistry::names() const {
    QStringList out = m_entries.keys();
    out.sort();
    return out;
}

QWidget *WindowRegistry::existing(const QString &name) const {
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd() || !it->window) return nullptr;
    if (const auto *form = qobject_cast<const FormWindow *>(it->window.data());
        form && form->isUnloading())
        return nullptr;
    return it->window.data();
}

QWidget *WindowRegistry::instance(const QString &name) {
    if (QWidget *window = existing(name)) return window;
    const auto it = m_entries.find(name);
    if (it == m_entries.end() || !it->create) return nullptr;
    QWidget *window = it->create(m_context);
    if (!window) return nullptr;
    if (window->objectName().isEmpty()) window->setObjectName(name);
    // Look the entry up again: a window's load steps may have asked for other windows.
    m_entries[name].window = window;
    if (auto *form = qobject_cast<FormWindow *>(window)) form->load();
    return window;
}

QWidget *WindowRegistry::show(const QString &name) {
    QWidget *window = instance(name);
    if (!window) return nullptr;
    if (auto *form = qobject_cast<FormWindow *>(window)) {
        form->showForm();
    } else {
        if (window->isMinimized()) window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
    }
    return window;
}

void WindowRegistry::open(const QString &name) {
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd()) return;
    if (it->open) {
        const Opener opener = it->open;  // the opener may replace entries
        opener(m_context);
    } else {
        show(name);
    }
}

void WindowRegistry::destroyAll() {
    for (auto &entry : m_entries) delete entry.window.data();
}

}  // namespace corvane
