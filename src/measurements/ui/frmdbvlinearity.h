#pragma once
// frmDBVLinearity, "Determine dBV Linear Range": the full and quick dBV linearity tests, the
// results list, Save File and the three RF gain boxes with their limits. The window binds
// the controls to the procedures (measurements/dbvlinearity.h, dbvquick.h) and shows what
// they report: list lines, the linear range chart, progress and which buttons are usable.

#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"
#include "measurements/dbvsession.h"

namespace Ui {
class frmDBVLinearity;
}

namespace corvane {

class WindowRegistry;

class frmDBVLinearity : public FormWindow {
    Q_OBJECT
public:
    frmDBVLinearity(const AppContext &app, WindowRegistry &windows, QWidget *parent = nullptr);
    ~frmDBVLinearity() override;

    // The window's lasting state (flags, captured settings, Stop Test), for tests.
    DbvWindowState &state() { return m_state; }
    bool isTestRunning() const { return m_running != DbvRunKind::Idle; }

protected:
    void loadForm() override;
    // A running test holds on to this window: the frame cannot unload it meanwhile.
    void closeEvent(QCloseEvent *event) override;

private:
    class Sink;

    void runFullTest();
    void runQuickTest();
    void saveFile();
    void setRunState(DbvRunKind kind);
    // After a test returned: the buttons back, and the progress line after a lost connection.
    void finishRun(DbvEnd end);
    // A box refused as the user left it keeps its text and the focus, and its message is on
    // its way: a button clicked meanwhile does nothing, so that no exchange starts under it.
    bool boxesAccepted() const;

    std::unique_ptr<Ui::frmDBVLinearity> m_ui;
    const AppContext &m_app;
    WindowRegistry &m_windows;
    DbvWindowState m_state;
    std::unique_ptr<Sink> m_sink;
    DbvRunKind m_running = DbvRunKind::Idle;
};

}  // namespace corvane
