#include "core/ui/leavevalidator.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

namespace corvane {

namespace {
// Set on the control the focus was heading for while a refusal puts the focus back, so that
// control's own leave check does not run for that move.
constexpr char kRestoringFocus[] = "corvaneRestoringFocus";

bool isLeaveReason(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            return true;
        default:
            return false;
    }
}
}  // namespace

LeaveValidator::LeaveValidator(QLineEdit *box, Prompter &prompter, Check check)
    : QObject(box), m_box(box), m_prompter(prompter), m_check(std::move(check)) {
    m_box->installEventFilter(this);
}

LeaveValidator *LeaveValidator::attach(QLineEdit *box, Prompter &prompter, Check check) {
    return new LeaveValidator(box, prompter, std::move(check));
}

bool LeaveValidator::validate() {
    if (!m_check) return true;
    const std::optional<PromptMessage> refusal = m_check(m_box->text());
    if (!refusal) return true;
    emit refused(m_box->text());
    m_prompter.message(*refusal);
    return false;
}

bool LeaveValidator::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_box && event->type() == QEvent::FocusOut) {
        const auto *focus = static_cast<QFocusEvent *>(event);
        if (m_box->property(kRestoringFocus).toBool()) {
            // Another box is taking the focus back: not an attempt to leave this one.
        } else if (isLeaveReason(focus->reason()) && !m_pending) {
            QWidget *next = QApplication::focusWidget();
            if (next && next != m_box && next->window() == m_box->window()) {
                // Checked once the move has finished, outside the focus change itself, so
                // the message box does not open in the middle of Qt's focus handling.
                m_pending = true;
                m_heading = next;
                QMetaObject::invokeMethod(this, &LeaveValidator::leaveAttempted,
                                          Qt::QueuedConnection);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void LeaveValidator::leaveAttempted() {
    const QPointer<QWidget> heading = m_heading;
    m_heading = nullptr;
    if (!m_box->isVisible()) {
        m_pending = false;
        return;
    }
    if (heading) heading->setProperty(kRestoringFocus, true);
    const bool accepted = validate();
    if (!accepted) {
        m_box->setFocus(Qt::OtherFocusReason);
        m_box->window()->activateWindow();
    }
    if (heading) heading->setProperty(kRestoringFocus, QVariant());
    m_pending = false;
}

}  // namespace corvane
