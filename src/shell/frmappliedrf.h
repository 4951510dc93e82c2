#pragma once
// The explanation of the applied-RF method: a plot of the K3's dBV readout against the
// level of the applied signal, its credit line, Help and Close.

#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"

namespace Ui {
class frmAppliedRF;
}

namespace corvane {

class frmAppliedRF : public FormWindow {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 4;

    explicit frmAppliedRF(const AppContext &app, QWidget *parent = nullptr);
    ~frmAppliedRF() override;

private:
    const AppContext &m_app;
    std::unique_ptr<Ui::frmAppliedRF> m_ui;
};

}  // namespace corvane
