#include "charts/ui/chartwindows.h"

#include <QPushButton>

#include "charts/resultchart.h"
#include "charts/ui/chartexport.h"
#include "charts/ui/chartimagewindows.h"
#include "charts/ui/resultchartview.h"
#include "charts/ui/sweepfigures.h"
#include "ui_chartlinearrangewindow.h"
#include "ui_chartsweepwindow.h"

namespace corvane {

ResultChartWindow::ResultChartWindow(FileDialogs &dialogs, ChartWindowKind kind, QWidget *parent)
    : FormWindow(parent), m_dialogs(dialogs), m_chart(new ResultChart(this)) {
    applyInitialTexts(*m_chart, kind);
}

void ResultChartWindow::bind(ResultChartView *view, QPushButton *closeButton,
                             QPushButton *saveButton) {
    m_view = view;
    m_view->setModel(m_chart);
    connect(closeButton, &QPushButton::clicked, this, &FormWindow::hideForm);
    connect(saveButton, &QPushButton::clicked, this, &ResultChartWindow::showImageWindow);
}

void ResultChartWindow::showImageWindow() {
    // One image window at a time; an open one is brought forward, not re-copied.
    if (!m_imageWindow) m_imageWindow = createImageWindow(m_dialogs, *m_view);
    m_imageWindow->show();
    m_imageWindow->raise();
    m_imageWindow->activateWindow();
}

ChartSweepWindow::ChartSweepWindow(FileDialogs &dialogs, QWidget *parent)
    : ResultChartWindow(dialogs, ChartWindowKind::Sweep, parent),
      m_ui(std::make_unique<Ui::ChartSweepWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->MSChart1, m_ui->cmdClose, m_ui->cmdSaveFile);
    // The filter figures follow the sweep as its points arrive.
    attachSweepFigures(chart(), *m_ui->MSChart1);
    addImageExport(*this, *m_ui->MSChart1, dialogs, QStringLiteral("FilterSweepChart"));
}

ChartSweepWindow::~ChartSweepWindow() = default;

QWidget *ChartSweepWindow::createImageWindow(FileDialogs &dialogs, ResultChartView &view) {
    return new SaveChartWindow(dialogs, view, this);
}

ChartLinearRangeWindow::ChartLinearRangeWindow(FileDialogs &dialogs, QWidget *parent)
    : ResultChartWindow(dialogs, ChartWindowKind::LinearRange, parent),
      m_ui(std::make_unique<Ui::ChartLinearRangeWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->MSChart1, m_ui->cmdClose, m_ui->cmdSaveFile);
    addImageExport(*this, *m_ui->MSChart1, dialogs, QStringLiteral("DBVLinRange"));
}

ChartLinearRangeWindow::~ChartLinearRangeWindow() = default;

QWidget *ChartLinearRangeWindow::createImageWindow(FileDialogs &dialogs, ResultChartView &view) {
    return new SaveChartLRWindow(dialogs, view, this);
}

}  // namespace corvane
