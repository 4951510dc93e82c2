#include "shell/frmappliedrf.h"

#include "shell/helpviewer.h"
#include "ui_frmappliedrf.h"

namespace corvane {

frmAppliedRF::frmAppliedRF(const AppContext &app, QWidget *parent)
    : FormWindow(parent), m_app(app), m_ui(std::make_unique<Ui::frmAppliedRF>()) {
    m_ui->setupUi(this);
    connect(m_ui->cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_app.showHelp) m_app.showHelp(kMainHelpFile, kHelpTopic);
    });
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
}

frmAppliedRF::~frmAppliedRF() = default;

}  // namespace corvane
