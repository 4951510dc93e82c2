#pragma once
// The control window of the built-in simulator: the signal generator on the antenna input
// (on/off, level, frequency), whether a KAT3 is fitted, receiver noise, and the auto-info
// mode the radio is in. Changes go to the simulator at once, so a user can follow a test's
// prompts ("turn the signal generator off") without a bench.

#include <memory>

#include "core/ui/formwindow.h"
#include "sim/k3simulator.h"

namespace Ui {
class frmK3Simulator;
}

namespace corvane {

class frmK3Simulator : public FormWindow {
    Q_OBJECT
public:
    explicit frmK3Simulator(std::shared_ptr<sim::K3Simulator> simulator, QWidget *parent = nullptr);
    ~frmK3Simulator() override;

    // Shows the simulator's present state in the controls.
    void refresh();
    // "Follow the test's prompts": the generator follows the MDS test's messages.
    bool followsPrompts() const;
    void setFollowsPrompts(bool follow);

signals:
    void followPromptsChanged(bool follow);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void apply();

    std::shared_ptr<sim::K3Simulator> m_sim;
    std::unique_ptr<Ui::frmK3Simulator> m_ui;
};

}  // namespace corvane
