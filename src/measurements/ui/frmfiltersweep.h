#pragma once
// frmFilterSweep, "K3 Crystal Filter Sweep": the four sweep boxes (checked when the user
// leaves them), the results list with the live sweep chart beside it, a progress line, and
// the buttons that run the sweep, stop it, put the radio back, clear, chart and save the
// results. The sweep itself is FilterSweep; this class only binds.
//
// The sweep chart belongs to frmChartSweep, the program's one sweep chart window, asked for
// from the window registry each time (it may have been unloaded since); the live chart here
// is a second view of the same chart, attached once the chart is first used.

#include <QDateTime>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"
#include "measurements/filtersweep.h"

class QLineEdit;

namespace Ui {
class frmFilterSweep;
}

namespace corvane {

class ResultChart;
class WindowRegistry;

class frmFilterSweep : public FormWindow {
    Q_OBJECT
public:
    frmFilterSweep(const AppContext &context, WindowRegistry &windows, QWidget *parent = nullptr);
    ~frmFilterSweep() override;

    const FilterSweepState &state() const { return m_state; }
    bool isSweeping() const { return m_sweeping; }
    // The time written as "Date run:" (tests fix it).
    void setClockForFiles(std::function<QDateTime()> now) { m_now = std::move(now); }

protected:
    void loadForm() override;
    // The frame cannot close the window while a sweep runs (its Close button is off too).
    void closeEvent(QCloseEvent *event) override;

private:
    class Sink;

    void beginSweep();
    void stopSweep();
    void resetK3();
    void clearList();
    void showChart();
    void saveFile();
    void showHelp();

    // The sweep chart, its window built and set up on first use; the live view follows it.
    ResultChart *sweepChart();
    void setSweeping(bool sweeping);
    void showProgress(const SweepProgress &progress);
    void showFinished();
    // With Adaptive ticked, the most radio time the sweep of the boxes can take.
    void showAdaptivePlan(bool adaptive);
    // The progress line, also the progress bar's accessible description.
    void showProgressLine(const QString &text);
    QLineEdit *box(SweepBox which) const;
    SweepInputs inputs() const;
    // A button pressed while the focus is in a box that refuses its text does nothing: the
    // box's own check shows why.
    bool focusBoxRefuses() const;

    std::unique_ptr<Ui::frmFilterSweep> m_ui;
    AppContext m_context;
    WindowRegistry &m_windows;
    FilterSweepState m_state;
    std::unique_ptr<Sink> m_sink;
    std::function<QDateTime()> m_now;
    bool m_sweeping = false;
    SweepProgress m_lastProgress;
    ResultChart *m_emptyChart = nullptr;  // shown until the sweep chart is first used
};

}  // namespace corvane
