#pragma once
// The two chart windows that show a test's results while it runs: the filter sweep chart
// (frmChartSweep) and the dBV linear range chart (frmChartLinearRange). Each owns its
// ResultChart, which the test fills through chart(). Close hides the window and keeps the
// chart; closing it by the window frame unloads (deletes) it, chart and all, so a test asks
// the window registry for the window at each use rather than keeping the chart. The save
// button opens the chart's image window.

#include <QPointer>
#include <memory>

#include "charts/chartsetup.h"
#include "core/ui/formwindow.h"

class QPushButton;
namespace Ui {
class ChartSweepWindow;
class ChartLinearRangeWindow;
}  // namespace Ui

namespace corvane {

class FileDialogs;
class ResultChart;
class ResultChartView;

class ResultChartWindow : public FormWindow {
    Q_OBJECT
public:
    ResultChart &chart() { return *m_chart; }
    const ResultChart &chart() const { return *m_chart; }
    ResultChartView &chartView() { return *m_view; }
    // The image window opened by the save button, while it is open.
    QWidget *imageWindow() const { return m_imageWindow; }

protected:
    ResultChartWindow(FileDialogs &dialogs, ChartWindowKind kind, QWidget *parent);
    // Called by the window once its form is set up.
    void bind(ResultChartView *view, QPushButton *closeButton, QPushButton *saveButton);
    // A new image window for this chart, parented to this window.
    virtual QWidget *createImageWindow(FileDialogs &dialogs, ResultChartView &view) = 0;

private:
    void showImageWindow();

    FileDialogs &m_dialogs;
    ResultChart *m_chart = nullptr;  // child of this window
    ResultChartView *m_view = nullptr;
    QPointer<QWidget> m_imageWindow;
};

// frmChartSweep, filled by the filter sweep.
class ChartSweepWindow : public ResultChartWindow {
    Q_OBJECT
public:
    explicit ChartSweepWindow(FileDialogs &dialogs, QWidget *parent = nullptr);
    ~ChartSweepWindow() override;

protected:
    QWidget *createImageWindow(FileDialogs &dialogs, ResultChartView &view) override;

private:
    std::unique_ptr<Ui::ChartSweepWindow> m_ui;
};

// frmChartLinearRange, filled by the dBV full test.
class ChartLinearRangeWindow : public ResultChartWindow {
    Q_OBJECT
public:
    explicit ChartLinearRangeWindow(FileDialogs &dialogs, QWidget *parent = nullptr);
    ~ChartLinearRangeWindow() override;

protected:
    QWidget *createImageWindow(FileDialogs &dialogs, ResultChartView &view) override;

private:
    std::unique_ptr<Ui::ChartLinearRangeWindow> m_ui;
};

}  // namespace corvane
