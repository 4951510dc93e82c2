#include "measurements/ui/frmdbvlinearity.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>

#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "core/progresstext.h"
#include "core/ui/leavevalidator.h"
#include "core/ui/progressline.h"
#include "core/ui/windowregistry.h"
#include "measurements/adaptivereport.h"
#include "measurements/dbvlimits.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvplan.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "measurements/dbvsteps.h"
#include "ui_frmdbvlinearity.h"

namespace corvane {

namespace {
const QString kChartWindow = QStringLiteral("frmChartLinearRange");
constexpr int kHelpTopic = 2;
}  // namespace

// What the tests report, shown in this window and in the linear range chart window. The
// chart window is asked for each time: it may have been unloaded since the last step.
class frmDBVLinearity::Sink : public DbvResultSink {
public:
    explicit Sink(frmDBVLinearity &window) : m_window(window) {}

    void clearLines() override { m_window.m_ui->lstResults->clear(); }
    void appendLine(const QString &line) override { m_window.m_ui->lstResults->appendLine(line); }
    void selectLastLine() override { m_window.m_ui->lstResults->selectLast(); }
    void runStateChanged(DbvRunKind kind) override { m_window.setRunState(kind); }
    void prepareChart(int rows) override {
        if (ResultChart *c = chart()) c->setRowCount(rows);
    }
    void setChartRow(int row, double value, const QString &label) override {
        if (ResultChart *c = chart()) {
            c->setRowValue(row, value);
            c->setRowLabel(row, label);
        }
    }
    void setChartRowLabel(int row, const QString &label) override {
        if (ResultChart *c = chart()) c->setRowLabel(row, label);
    }
    void finishChart() override {
        if (ResultChart *c = chart()) applyLinearRangePresentation(*c);
    }
    void progress(const DbvProgress &p) override {
        setProgressLine(*m_window.m_ui->lblProgress, progressText(p));
    }

private:
    ResultChart *chart() {
        auto *window = m_window.m_windows.instance<ResultChartWindow>(kChartWindow);
        return window ? &window->chart() : nullptr;
    }
    frmDBVLinearity &m_window;
};

frmDBVLinearity::frmDBVLinearity(const AppContext &app, WindowRegistry &windows, QWidget *parent)
    : FormWindow(parent),
      m_ui(std::make_unique<Ui::frmDBVLinearity>()),
      m_app(app),
      m_windows(windows),
      m_sink(std::make_unique<Sink>(*this)) {
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("frmDBVLinearity"));
    // The columns of the report and the measurements line up in a fixed-pitch font.
    m_ui->lstResults->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Wide enough for the longest line the tests list, the quick test's heading.
    m_ui->lstResults->fitWidthTo({kQuickHeading});

    Prompter &prompter = *m_app.prompter;
    LeaveValidator::attach(m_ui->txtRFGainStart, prompter, checkRfGainStart);
    LeaveValidator::attach(m_ui->txtRFGainStop, prompter, checkRfGainStop);
    LeaveValidator::attach(m_ui->txtRFGainInc, prompter, checkRfGainInc);

    // Ticking Adaptive shows the most radio time the full test of the boxes can take.
    connect(m_ui->chkAdaptive, &QCheckBox::toggled, this, [this](bool adaptive) {
        if (isTestRunning()) return;
        const DbvFullTestPlan plan = planFullTest(
            m_ui->txtRFGainStart->text(), m_ui->txtRFGainStop->text(), m_ui->txtRFGainInc->text());
        const int most = plan.measuredCount();
        setProgressLine(*m_ui->lblProgress,
                        adaptive && boxesAccepted() && most > 0
                            ? adaptivePlannedText(most, qint64(most) * kMeasurementWaitMs)
                            : QString());
    });
    connect(m_ui->cmdBegin, &QPushButton::clicked, this, &frmDBVLinearity::runFullTest);
    connect(m_ui->cmdQuickTest, &QPushButton::clicked, this, &frmDBVLinearity::runQuickTest);
    connect(m_ui->cmdStopTest, &QPushButton::clicked, this,
            [this] { m_state.stopTestRequested = true; });
    connect(m_ui->cmdReset, &QPushButton::clicked, this, [this] {
        if (!m_app.link || !m_app.prompter || !boxesAccepted()) return;
        if (!refuseWhileBusy(*m_app.link, *m_app.prompter)) resetDbvRadio(*m_app.link, m_state);
    });
    connect(m_ui->cmdClear, &QPushButton::clicked, m_ui->lstResults, &QListWidget::clear);
    connect(m_ui->cmdChartResults, &QPushButton::clicked, this,
            [this] { m_windows.show(kChartWindow); });
    connect(m_ui->cmdSaveFileDialog, &QPushButton::clicked, this, &frmDBVLinearity::saveFile);
    connect(m_ui->cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_app.showHelp) m_app.showHelp(QStringLiteral("corvane.hlp"), kHelpTopic);
    });
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
}

frmDBVLinearity::~frmDBVLinearity() = default;

void frmDBVLinearity::loadForm() {
    m_state.flags.kat3Checked = false;
}

void frmDBVLinearity::closeEvent(QCloseEvent *event) {
    if (isTestRunning()) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

bool frmDBVLinearity::boxesAccepted() const {
    return !checkRfGainStart(m_ui->txtRFGainStart->text()) &&
           !checkRfGainStop(m_ui->txtRFGainStop->text()) &&
           !checkRfGainInc(m_ui->txtRFGainInc->text());
}

void frmDBVLinearity::runFullTest() {
    if (!m_app.link || !m_app.prompter || isTestRunning() || !boxesAccepted()) return;
    DbvFullTest test(*m_app.link, *m_app.prompter, m_state, *m_sink);
    test.run({m_ui->txtRFGainStart->text(), m_ui->txtRFGainStop->text(), m_ui->txtRFGainInc->text(),
              m_ui->chkAdaptive->isChecked()});
}

void frmDBVLinearity::runQuickTest() {
    if (!m_app.link || !m_app.prompter || isTestRunning() || !boxesAccepted()) return;
    DbvQuickTest test(*m_app.link, *m_app.prompter, m_state, *m_sink);
    test.run();
}

void frmDBVLinearity::saveFile() {
    if (!m_app.dialogs || !boxesAccepted()) return;
    const std::optional<QString> path = saveDbvResults(
        *m_app.dialogs, m_ui->txtFileName->text(),
        resultsListInFileOrder(m_ui->lstResults->lines()), m_ui->txtUserComments->toPlainText(),
        QDateTime::currentDateTime(), m_app.prompter);
    if (path) m_ui->txtFileName->setText(*path);
}

void frmDBVLinearity::setRunState(DbvRunKind kind) {
    m_running = kind;
    const bool idle = kind == DbvRunKind::Idle;
    for (QPushButton *button :
         {m_ui->cmdBegin, m_ui->cmdChartResults, m_ui->cmdClear, m_ui->cmdClose,
          m_ui->cmdSaveFileDialog, m_ui->cmdReset, m_ui->cmdQuickTest})
        button->setEnabled(idle);
    m_ui->chkAdaptive->setEnabled(idle);
    // The quick test cannot be stopped; Help stays usable throughout.
    m_ui->cmdStopTest->setEnabled(kind != DbvRunKind::QuickTest);
}

}  // namespace corvane
