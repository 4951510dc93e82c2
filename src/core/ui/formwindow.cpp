#include "core/ui/formwindow.h"

#include <QCloseEvent>

namespace corvane {

FormWindow::FormWindow(QWidget *parent) : QWidget(parent)
{
    // A top-level window even when a parent owns it: it has its own frame and stays alive
    // as long as its owner.
    setWindowFlag(Qt::Window, true);
}

void FormWindow::load()
{
    if (m_loaded) return;
    m_loaded = true;
    loadForm();
    emit loaded();
}

void FormWindow::showForm()
{
    load();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void FormWindow::hideForm() { hide(); }

void FormWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_unloading) return;
    m_unloading = true;
    emit unloading();
    deleteLater();
}

}  // namespace corvane
