#include "core/ui/formwindow.h"

#include <QAbstractButton>
#include <QCloseEvent>

namespace corvane {

FormWindow::FormWindow(QWidget *parent) : QDialog(parent) {
    // A top-level window even when a parent owns it: it has its own frame, can be minimised,
    // and lives as long as its owner.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
}

void FormWindow::setCancelButton(QAbstractButton *button) {
    m_cancelButton = button;
}

void FormWindow::reject() {
    if (m_cancelButton && m_cancelButton->isEnabled()) m_cancelButton->click();
}

void FormWindow::load() {
    if (m_loaded) return;
    m_loaded = true;
    loadForm();
    emit loaded();
}

void FormWindow::showForm() {
    load();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void FormWindow::hideForm() {
    hide();
}

void FormWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    if (m_unloading) return;
    m_unloading = true;
    emit unloading();
    deleteLater();
}

}  // namespace corvane
