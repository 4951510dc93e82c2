#pragma once
// F1 on a highlighted menu item opens that item's help topic. The topic is the item's
// "helpTopic" property (set in the main window's form), or its submenu's; items without one
// ignore F1.

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace corvane {

class MenuHelpFilter : public QObject {
    Q_OBJECT
public:
    using ShowTopic = std::function<void(int topic)>;

    MenuHelpFilter(ShowTopic showTopic, QObject *parent);

    // Watches the bar and every menu under it.
    void watch(QMenuBar *bar);
    // The item's topic; 0 when it has none.
    static int topicOf(const QAction *action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ShowTopic m_showTopic;
};

}  // namespace corvane
