#pragma once
// The two windows that chart a saved results file: frmCreateFSChart (a filter sweep file)
// and frmCreateDBVChart (a dBV file), and the menu actions that fill them, ChartSweepFile
// and ChartDbvFile. Like the test chart windows they keep their chart when Close hides
// them, and their save button opens the chart's image window.
//
// A file that is not what the reader expects gets one message naming it and saying what is
// wrong and on which line; the window then stays as it was (hidden, or showing the last file
// charted). A file cut off inside its data is charted, then its warning shown.

#include <memory>

#include "charts/chartfromfile.h"
#include "charts/ui/chartwindows.h"

namespace Ui {
class CreateFSChartWindow;
class CreateDBVChartWindow;
}  // namespace Ui

namespace corvane {

class Prompter;
class SweepFigures;
struct WindowContext;

// frmCreateFSChart
class CreateFSChartWindow : public ResultChartWindow {
    Q_OBJECT
public:
    explicit CreateFSChartWindow(FileDialogs &dialogs, QWidget *parent = nullptr);
    ~CreateFSChartWindow() override;

    // The file's points with their exact frequencies, for the figures and markers.
    void setFilePoints(const ChartFileData &data);
    SweepFigures &figures() { return *m_figures; }

protected:
    QWidget *createImageWindow(FileDialogs &dialogs, ResultChartView &view) override;

private:
    std::unique_ptr<Ui::CreateFSChartWindow> m_ui;
    SweepFigures *m_figures = nullptr;
};

// frmCreateDBVChart
class CreateDBVChartWindow : public ResultChartWindow {
    Q_OBJECT
public:
    explicit CreateDBVChartWindow(FileDialogs &dialogs, QWidget *parent = nullptr);
    ~CreateDBVChartWindow() override;

protected:
    QWidget *createImageWindow(FileDialogs &dialogs, ResultChartView &view) override;

private:
    std::unique_ptr<Ui::CreateDBVChartWindow> m_ui;
};

// The window that charts files of this kind, by its registered name.
QString chartFileWindowName(ChartFileKind kind);
// A new chart-from-file window of this kind, not shown (corvane-cli draws one offscreen).
ResultChartWindow *createChartFileWindow(ChartFileKind kind, FileDialogs &dialogs,
                                         QWidget *parent = nullptr);

// Charts the file's data in its window (the figures too, for a sweep).
void chartFileInto(ResultChartWindow &window, const ChartFileData &data);

// ChartSweepFile and ChartDbvFile: the open dialog, then the file read and charted in its
// window, which is shown. Cancel does nothing; a bad file gets its message.
void chartResultsFile(const WindowContext &context, ChartFileKind kind);
inline void chartSweepFile(const WindowContext &context) {
    chartResultsFile(context, ChartFileKind::Sweep);
}
inline void chartDbvFile(const WindowContext &context) {
    chartResultsFile(context, ChartFileKind::Dbv);
}

}  // namespace corvane
