#include "charts/ui/chartfilewindows.h"

#include "charts/resultchart.h"
#include "charts/ui/chartexport.h"
#include "charts/ui/chartimagewindows.h"
#include "charts/ui/sweepfigures.h"
#include "core/filedialogs.h"
#include "core/prompter.h"
#include "core/ui/windowregistry.h"
#include "ui_createdbvchartwindow.h"
#include "ui_createfschartwindow.h"

namespace corvane {

CreateFSChartWindow::CreateFSChartWindow(FileDialogs &dialogs, QWidget *parent)
    : ResultChartWindow(dialogs, ChartWindowKind::SweepFile, parent),
      m_ui(std::make_unique<Ui::CreateFSChartWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->MSChart1, m_ui->cmdClose, m_ui->cmdSaveFile);
    m_figures = attachSweepFigures(chart(), *m_ui->MSChart1);
    addImageExport(*this, *m_ui->MSChart1, dialogs, QStringLiteral("FilterSweepChart"));
}

CreateFSChartWindow::~CreateFSChartWindow() = default;

void CreateFSChartWindow::setFilePoints(const ChartFileData &data) {
    std::vector<RowPoint> points;
    points.reserve(data.rows.size());
    for (size_t i = 0; i < data.rows.size(); ++i)
        points.push_back(
            {double(chartRowOf(data, i)), {data.rows[i].kHz * 1000.0, data.rows[i].value}});
    m_figures->setPointSource([points] { return points; });
    m_figures->update();
}

QWidget *CreateFSChartWindow::createImageWindow(FileDialogs &dialogs, ResultChartView &view) {
    return new SaveChartWindow(dialogs, view, this);
}

CreateDBVChartWindow::CreateDBVChartWindow(FileDialogs &dialogs, QWidget *parent)
    : ResultChartWindow(dialogs, ChartWindowKind::DbvFile, parent),
      m_ui(std::make_unique<Ui::CreateDBVChartWindow>()) {
    m_ui->setupUi(this);
    bind(m_ui->MSChart1, m_ui->cmdClose, m_ui->cmdSaveFile);
    addImageExport(*this, *m_ui->MSChart1, dialogs, QStringLiteral("DBVLinRange"));
}

CreateDBVChartWindow::~CreateDBVChartWindow() = default;

QWidget *CreateDBVChartWindow::createImageWindow(FileDialogs &dialogs, ResultChartView &view) {
    return new SaveChartLRWindow(dialogs, view, this);
}

QString chartFileWindowName(ChartFileKind kind) {
    return kind == ChartFileKind::Sweep ? QStringLiteral("frmCreateFSChart")
                                        : QStringLiteral("frmCreateDBVChart");
}

ResultChartWindow *createChartFileWindow(ChartFileKind kind, FileDialogs &dialogs,
                                         QWidget *parent) {
    if (kind == ChartFileKind::Sweep) return new CreateFSChartWindow(dialogs, parent);
    return new CreateDBVChartWindow(dialogs, parent);
}

void chartFileInto(ResultChartWindow &window, const ChartFileData &data) {
    applyChartFile(window.chart(), data);
    if (auto *sweep = qobject_cast<CreateFSChartWindow *>(&window)) sweep->setFilePoints(data);
}

void chartResultsFile(const WindowContext &context, ChartFileKind kind) {
    if (!context.app.dialogs) return;
    const FileDialogRequest request =
        resultsOpenRequest(kind == ChartFileKind::Sweep ? QStringLiteral("FilterSweep.txt")
                                                        : QStringLiteral("dBVResults.txt"));
    const std::optional<QString> path = context.app.dialogs->openFile(request);
    if (!path || path->isEmpty()) return;

    const ChartFileResult result = readChartFile(kind, *path);
    if (!result.data) {
        if (context.app.prompter)
            context.app.prompter->message(result.error, programTitle(), MessageIcon::Exclamation);
        return;
    }
    auto *window = context.windows.instance<ResultChartWindow>(chartFileWindowName(kind));
    if (!window) return;
    chartFileInto(*window, *result.data);
    window->showForm();
    // A file cut off inside its data: charted as far as it goes, and the user told where.
    if (!result.data->warning.isEmpty() && context.app.prompter)
        context.app.prompter->message(result.data->warning, programTitle(),
                                      MessageIcon::Exclamation);
}

}  // namespace corvane
