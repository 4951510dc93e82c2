#pragma once
// The check a text box runs when the user leaves it. When the check refuses the text, the
// message is shown and the focus goes back into the box with the text left as typed.
//
// The check runs when the focus moves to another control of the same window (Tab, a click,
// a shortcut); switching to another window or a popup is not leaving the box. The refusal
// shows its message once per attempt to leave, and the box the focus was heading for does
// not run its own check while the focus is being put back, so two refusing boxes cannot
// bounce the focus between them.

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "core/prompter.h"

class QLineEdit;

namespace corvane {

class LeaveValidator : public QObject {
    Q_OBJECT
public:
    // Empty when the text is accepted; otherwise the message to show.
    using Check = std::function<std::optional<PromptMessage>(const QString &text)>;

    // Watches `box` (and is owned by it).
    LeaveValidator(QLineEdit *box, Prompter &prompter, Check check);

    // Attaches a validator to a box; the box owns it.
    static LeaveValidator *attach(QLineEdit *box, Prompter &prompter, Check check);

    // Runs the check on the box's text now; shows the message when it refuses.
    bool validate();

signals:
    void refused(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void leaveAttempted();

    QLineEdit *m_box;
    Prompter &m_prompter;
    Check m_check;
    bool m_pending = false;
    QPointer<QWidget> m_heading;  // where the focus went when the user left the box
};

}  // namespace corvane
