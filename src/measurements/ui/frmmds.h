#pragma once
// frmMDS, "Minimum Discernable Signal Test": the preamp box, the results list, a progress
// line, and the buttons that run the test, put the radio back and clear the list. The test
// itself is MdsTest; this class only binds.

#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"
#include "measurements/mdstest.h"

namespace Ui {
class frmMDS;
}

namespace corvane {

class frmMDS : public FormWindow {
    Q_OBJECT
public:
    explicit frmMDS(const AppContext &context, QWidget *parent = nullptr);
    ~frmMDS() override;

    const MdsWindowState &state() const { return m_state; }
    bool isTesting() const { return m_testing; }

protected:
    void loadForm() override;
    // The frame cannot close the window while a test runs (its Close button is off too).
    void closeEvent(QCloseEvent *event) override;

private:
    class Sink;

    void beginMdsTest();
    void resetK3();
    void setTesting(bool testing);
    void showProgress(const MdsProgress &progress);
    void showProgressLine(const QString &text);

    std::unique_ptr<Ui::frmMDS> m_ui;
    AppContext m_context;
    MdsWindowState m_state;
    std::unique_ptr<Sink> m_sink;
    bool m_testing = false;
    MdsOutcome m_lastOutcome;
    MdsProgress m_lastProgress;  // the reading the test last began
};

}  // namespace corvane
