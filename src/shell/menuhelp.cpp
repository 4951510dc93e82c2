#include "shell/menuhelp.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace corvane {

namespace {
constexpr char kTopicProperty[] = "helpTopic";

void watchMenu(QMenu *menu, QObject *filter) {
    menu->installEventFilter(filter);
    const auto actions = menu->actions();
    for (QAction *action : actions)
        if (action->menu()) watchMenu(action->menu(), filter);
}
}  // namespace

MenuHelpFilter::MenuHelpFilter(ShowTopic showTopic, QObject *parent)
    : QObject(parent), m_showTopic(std::move(showTopic)) {}

void MenuHelpFilter::watch(QMenuBar *bar) {
    bar->installEventFilter(this);
    const auto actions = bar->actions();
    for (QAction *action : actions)
        if (action->menu()) watchMenu(action->menu(), this);
}

int MenuHelpFilter::topicOf(const QAction *action) {
    if (!action) return 0;
    const QVariant own = action->property(kTopicProperty);
    if (own.isValid()) return own.toInt();
    if (const QMenu *menu = action->menu()) return menu->property(kTopicProperty).toInt();
    return 0;
}

bool MenuHelpFilter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    const QAction *active = nullptr;
    if (const auto *menu = qobject_cast<QMenu *>(watched))
        active = menu->activeAction();
    else if (const auto *bar = qobject_cast<QMenuBar *>(watched))
        active = bar->activeAction();
    const int topic = topicOf(active);
    if (topic <= 0) return true;  // F1 on an item without a topic does nothing
    // Close the open menus first: the help window must not open under a menu's grab.
    while (QWidget *popup = QApplication::activePopupWidget()) {
        if (!popup->close()) break;
    }
    if (m_showTopic) m_showTopic(topic);
    return true;
}

}  // namespace corvane
