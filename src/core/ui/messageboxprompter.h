#pragma once
// The program's messages as modal message boxes: the given icon, one OK button, and the
// given title or the program's title when the message has none.

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "core/prompter.h"

namespace corvane {

class MessageBoxPrompter : public Prompter {
public:
    // The box sits over the owner window (modal to it alone, see Prompter::setOwner), else
    // over the active window, or over `fallbackParent` when none is active.
    explicit MessageBoxPrompter(QWidget *fallbackParent = nullptr);
    void message(const PromptMessage &msg) override;
    using Prompter::message;

    static QMessageBox::Icon boxIcon(MessageIcon icon);
    static QString boxTitle(const QString &title);

private:
    QPointer<QWidget> m_fallbackParent;
};

}  // namespace corvane
