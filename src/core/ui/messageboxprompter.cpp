#include "core/ui/messageboxprompter.h"

#include <QApplication>

namespace corvane {

MessageBoxPrompter::MessageBoxPrompter(QWidget *fallbackParent)
    : m_fallbackParent(fallbackParent) {}

QMessageBox::Icon MessageBoxPrompter::boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString MessageBoxPrompter::boxTitle(const QString &title) {
    return title.isEmpty() ? programTitle() : title;
}

void MessageBoxPrompter::message(const PromptMessage &msg) {
    auto *ownerWindow = qobject_cast<QWidget *>(owner());
    if (ownerWindow && !ownerWindow->isVisible()) ownerWindow = nullptr;
    QWidget *parent = ownerWindow ? ownerWindow : QApplication::activeWindow();
    if (!parent) parent = m_fallbackParent;
    QMessageBox box(boxIcon(msg.icon), boxTitle(msg.title), msg.text, QMessageBox::Ok, parent);
    // Modal to the window whose procedure asks, not to the whole program.
    if (ownerWindow) box.setWindowModality(Qt::WindowModal);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace corvane
