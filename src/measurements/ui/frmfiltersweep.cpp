#include "measurements/ui/frmfiltersweep.h"

#include <QCheckBox>
#include <QCloseEvent>

#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "core/numtext.h"
#include "core/progresstext.h"
#include "core/ui/leavevalidator.h"
#include "core/ui/progressline.h"
#include "core/ui/windowregistry.h"
#include "measurements/adaptivereport.h"
#include "measurements/sweeplimits.h"
#include "measurements/sweepresultsfile.h"
#include "ui_frmfiltersweep.h"

namespace corvane {

namespace {
constexpr int kHelpTopic = 5;
const QString kHelpFile = QStringLiteral("corvane.hlp");
const QString kChartWindow = QStringLiteral("frmChartSweep");
// "=" characters in the rule above the list's column heading.
constexpr int kLongestReportLine = 39;
}  // namespace

// What the sweep produces, shown in this window: list lines, chart rows, progress.
class frmFilterSweep::Sink : public SweepSink {
public:
    explicit Sink(frmFilterSweep &window) : m_window(window) {}
    void clearLines() override { m_window.m_ui->lstSweep->clear(); }
    void appendLine(const QString &line) override { m_window.m_ui->lstSweep->appendLine(line); }
    void selectLastLine() override { m_window.m_ui->lstSweep->selectLast(); }
    void prepareChart(int rows) override {
        if (ResultChart *chart = m_window.sweepChart()) {
            chart->setKind(ChartKind::Line2D);
            chart->setRowCount(rows);
        }
    }
    void setChartRow(int row, double value, const QString &label) override {
        if (ResultChart *chart = m_window.sweepChart()) {
            chart->setRowValue(row, value);
            chart->setRowLabel(row, label);
        }
    }
    void setChartRowLabel(int row, const QString &label) override {
        if (ResultChart *chart = m_window.sweepChart()) chart->setRowLabel(row, label);
    }
    void setSweeping(bool sweeping) override { m_window.setSweeping(sweeping); }
    void progress(const SweepProgress &progress) override { m_window.showProgress(progress); }

private:
    frmFilterSweep &m_window;
};

frmFilterSweep::frmFilterSweep(const AppContext &context, WindowRegistry &windows, QWidget *parent)
    : FormWindow(parent),
      m_ui(std::make_unique<Ui::frmFilterSweep>()),
      m_context(context),
      m_windows(windows),
      m_sink(std::make_unique<Sink>(*this)),
      m_now([] { return QDateTime::currentDateTime(); }) {
    m_ui->setupUi(this);
    // The list is wide enough for the report's longest line, the rule of "=" above the
    // column heading, and keeps that width; the chart takes what the window gains.
    m_ui->lstSweep->fitWidthTo({QString(kLongestReportLine, u'=')});
    m_ui->splResults->setStretchFactor(0, 0);
    m_ui->splResults->setStretchFactor(1, 1);
    m_ui->splResults->setSizes({m_ui->lstSweep->minimumWidth(), width()});
    // Until the sweep chart is first used the live view shows an empty chart with the
    // sweep chart's own titles, so the window never opens on a blank half.
    m_emptyChart = new ResultChart(this);
    applyInitialTexts(*m_emptyChart, ChartWindowKind::Sweep);
    m_ui->chtLiveSweep->setModel(m_emptyChart);

    if (m_context.prompter) {
        for (const SweepBox which :
             {SweepBox::KHzStart, SweepBox::KHzStop, SweepBox::FreqStep, SweepBox::RFGain}) {
            LeaveValidator::attach(box(which), *m_context.prompter, [which](const QString &text) {
                return checkSweepBox(which, text);
            });
        }
    }

    connect(m_ui->chkAdaptive, &QCheckBox::toggled, this, &frmFilterSweep::showAdaptivePlan);
    connect(m_ui->cmdBeginSweep, &QPushButton::clicked, this, &frmFilterSweep::beginSweep);
    connect(m_ui->cmdStopSweep, &QPushButton::clicked, this, &frmFilterSweep::stopSweep);
    connect(m_ui->cmdReset, &QPushButton::clicked, this, &frmFilterSweep::resetK3);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &frmFilterSweep::clearList);
    connect(m_ui->cmdChart, &QPushButton::clicked, this, &frmFilterSweep::showChart);
    connect(m_ui->cmdSaveFile, &QPushButton::clicked, this, &frmFilterSweep::saveFile);
    connect(m_ui->cmdHelp, &QPushButton::clicked, this, &frmFilterSweep::showHelp);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmFilterSweep::hideForm);
}

frmFilterSweep::~frmFilterSweep() = default;

void frmFilterSweep::loadForm() {
    m_state.flags.kat3Checked = false;
    showProgressLine(QStringLiteral("Ready."));
    m_ui->prgSweep->setRange(0, 1);
    m_ui->prgSweep->setValue(0);
}

void frmFilterSweep::closeEvent(QCloseEvent *event) {
    if (m_sweeping) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

QLineEdit *frmFilterSweep::box(SweepBox which) const {
    switch (which) {
        case SweepBox::KHzStart:
            return m_ui->txtKHzStart;
        case SweepBox::KHzStop:
            return m_ui->txtKHzStop;
        case SweepBox::FreqStep:
            return m_ui->txtFreqStep;
        case SweepBox::RFGain:
            return m_ui->txtRFGain;
    }
    return m_ui->txtKHzStart;
}

SweepInputs frmFilterSweep::inputs() const {
    return {m_ui->txtKHzStart->text(), m_ui->txtKHzStop->text(), m_ui->txtFreqStep->text(),
            m_ui->txtRFGain->text(),
            m_ui->chkAdaptive->isChecked() ? SweepMode::Adaptive : SweepMode::Fixed};
}

bool frmFilterSweep::focusBoxRefuses() const {
    for (const SweepBox which :
         {SweepBox::KHzStart, SweepBox::KHzStop, SweepBox::FreqStep, SweepBox::RFGain}) {
        if (box(which)->hasFocus()) return checkSweepBox(which, box(which)->text()).has_value();
    }
    return false;
}

void frmFilterSweep::beginSweep() {
    if (m_sweeping || !m_context.link || !m_context.prompter || focusBoxRefuses()) return;
    m_lastProgress = SweepProgress{};
    FilterSweep sweep(*m_context.link, *m_context.prompter, m_state, *m_sink);
    const SweepOutcome outcome = sweep.beginSweep(inputs());
    if (outcome.box) box(*outcome.box)->setFocus(Qt::OtherFocusReason);
}

void frmFilterSweep::stopSweep() {
    m_state.stopSweepRequested = true;
}

void frmFilterSweep::resetK3() {
    if (m_sweeping || !m_context.link || !m_context.prompter) return;
    FilterSweep(*m_context.link, *m_context.prompter, m_state, *m_sink).resetK3();
}

void frmFilterSweep::clearList() {
    m_ui->lstSweep->clear();
}

void frmFilterSweep::showChart() {
    if (focusBoxRefuses()) return;
    if (sweepChart()) m_windows.show(kChartWindow);
}

ResultChart *frmFilterSweep::sweepChart() {
    auto *window = m_windows.instance<ChartSweepWindow>(kChartWindow);
    if (!window) return nullptr;
    ResultChart &chart = window->chart();
    // The first use of a chart decides its set-up, from the boxes as they are then.
    applySweepSetup(chart, m_ui->txtKHzStart->text(), m_ui->txtKHzStop->text(),
                    m_ui->txtFreqStep->text());
    if (m_ui->chtLiveSweep->model() != &chart) m_ui->chtLiveSweep->setModel(&chart);
    return &chart;
}

void frmFilterSweep::saveFile() {
    if (!m_context.dialogs || focusBoxRefuses()) return;
    const std::optional<QString> path =
        saveSweepResults(*m_context.dialogs, m_ui->txtFileName->text(),
                         resultsListInFileOrder(m_ui->lstSweep->lines()),
                         m_ui->txtUserComments->toPlainText(), m_now(), m_context.prompter);
    // A file that cannot be written is told; the path stays shown.
    if (path) m_ui->txtFileName->setText(*path);
}

void frmFilterSweep::showHelp() {
    if (m_context.showHelp) m_context.showHelp(kHelpFile, kHelpTopic);
}

void frmFilterSweep::setSweeping(bool sweeping) {
    m_sweeping = sweeping;
    // Stop Sweep stays enabled, idle too: it only sets the Stop flag, which the next sweep
    // clears as it starts.
    for (QPushButton *button : {m_ui->cmdBeginSweep, m_ui->cmdChart, m_ui->cmdClear, m_ui->cmdClose,
                                m_ui->cmdSaveFile, m_ui->cmdReset})
        button->setEnabled(!sweeping);
    m_ui->chkAdaptive->setEnabled(!sweeping);
    if (sweeping) {
        m_ui->prgSweep->setRange(0, 0);  // busy until the first step
        showProgressLine(
            QStringLiteral("Reading the K3's settings and setting it up for the sweep."));
    } else {
        showFinished();
    }
}

void frmFilterSweep::showProgress(const SweepProgress &progress) {
    m_lastProgress = progress;
    m_ui->prgSweep->setRange(0, std::max(progress.steps, 1));
    m_ui->prgSweep->setValue(std::max(progress.step - 1, 0));
    showProgressLine(sweepProgressText(progress));
}

void frmFilterSweep::showFinished() {
    const int steps = m_lastProgress.steps;
    const int measured = m_lastProgress.step;  // a step once begun is always listed
    m_ui->prgSweep->setRange(0, std::max(steps, 1));
    m_ui->prgSweep->setValue(steps > 0 ? measured : 0);
    if (steps == 0)
        showProgressLine(
            QStringLiteral("No step to measure: the start frequency is above the stop frequency."));
    else if (m_state.stopSweepRequested)
        showProgressLine(QStringLiteral("Stopped after %1 of %2 steps.").arg(measured).arg(steps));
    else if (m_lastProgress.most > 0)
        showProgressLine(QStringLiteral("%1 points measured (adaptive; every step would be %2).")
                             .arg(steps)
                             .arg(m_lastProgress.most));
    else
        showProgressLine(QStringLiteral("%1 steps measured.").arg(steps));
}

void frmFilterSweep::showAdaptivePlan(bool adaptive) {
    if (m_sweeping) return;
    // The most radio time an adaptive sweep of the boxes' range can take; a sweep the boxes
    // do not yet describe says nothing.
    const SweepPlanResult planned =
        firstEmptyBox(inputs()) ? SweepPlanResult{} : planSweep(inputs());
    if (!adaptive || !planned.plan) {
        showProgressLine(QStringLiteral("Ready."));
        return;
    }
    showProgressLine(
        adaptivePlannedText(planned.plan->stepsMeasured(), mostSweepTimeMs(*planned.plan)));
}

void frmFilterSweep::showProgressLine(const QString &text) {
    setProgressLine(*m_ui->lblProgress, text, m_ui->prgSweep);
}

}  // namespace corvane
