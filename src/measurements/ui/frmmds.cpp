#include "measurements/ui/frmmds.h"

#include <QCloseEvent>

#include "core/numtext.h"
#include "core/progresstext.h"
#include "core/ui/progressline.h"
#include "ui_frmmds.h"

namespace corvane {

namespace {
const QString kSpecificationText = QStringLiteral(
    "Elecraft's sensitivity (MDS) specifications for the K3 are -136 dBm (typical) with preamp "
    "on, 500 Hz bandwidth using 400 Hz 8-pole filter in CW mode.");
}  // namespace

// What the test produces, shown in this window; the preamp box as it is at each reading.
class frmMDS::Sink : public MdsSink {
public:
    explicit Sink(frmMDS &window) : m_window(window) {}
    void clearLines() override { m_window.m_ui->lstData->clear(); }
    void appendLine(const QString &line) override { m_window.m_ui->lstData->appendLine(line); }
    void selectLastLine() override { m_window.m_ui->lstData->selectLast(); }
    // The buttons come back only when the test has returned (beginMdsTest).
    void setTesting(bool testing) override {
        if (testing) m_window.setTesting(true);
    }
    void progress(const MdsProgress &progress) override { m_window.showProgress(progress); }
    bool preampChecked() const override { return m_window.m_ui->chkPreamp->isChecked(); }

private:
    frmMDS &m_window;
};

frmMDS::frmMDS(const AppContext &context, QWidget *parent)
    : FormWindow(parent),
      m_ui(std::make_unique<Ui::frmMDS>()),
      m_context(context),
      m_sink(std::make_unique<Sink>(*this)) {
    m_ui->setupUi(this);
    connect(m_ui->cmdBegin, &QPushButton::clicked, this, &frmMDS::beginMdsTest);
    connect(m_ui->cmdReset, &QPushButton::clicked, this, &frmMDS::resetK3);
    connect(m_ui->cmdClear, &QPushButton::clicked, m_ui->lstData, &QListWidget::clear);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmMDS::hideForm);
}

frmMDS::~frmMDS() = default;

void frmMDS::loadForm() {
    m_state.flags.kat3Checked = false;
    m_ui->lblElecraft->setText(kSpecificationText);
    showProgressLine(QStringLiteral("Ready."));
    m_ui->prgMds->setValue(0);
}

void frmMDS::closeEvent(QCloseEvent *event) {
    if (m_testing) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

void frmMDS::beginMdsTest() {
    if (m_testing || !m_context.link || !m_context.prompter) return;
    const PromptOwner owner(*m_context.prompter, this);
    MdsTest test(*m_context.link, *m_context.prompter, m_state, *m_sink);
    m_lastProgress = MdsProgress{};
    m_lastOutcome = test.beginMdsTest();
    setTesting(false);
    if (m_lastOutcome.end == MdsEnd::Busy || m_lastOutcome.end == MdsEnd::NotStarted) return;
    if (m_lastOutcome.end != MdsEnd::PortFailed) m_ui->prgMds->setValue(m_ui->prgMds->maximum());
    switch (m_lastOutcome.end) {
        case MdsEnd::Completed:
            showProgressLine(QStringLiteral("Done: MDS %1 dBm.").arg(format0_00(m_state.mds)));
            break;
        case MdsEnd::NotHeard:
            showProgressLine(QStringLiteral("No MDS: ") + kMdsNotHeardText + u'.');
            break;
        case MdsEnd::NotComputed:
            showProgressLine(QStringLiteral("No MDS computed: ") + m_lastOutcome.problem + u'.');
            break;
        case MdsEnd::Busy:
        case MdsEnd::NotStarted:
        case MdsEnd::PortFailed: {
            const int done =
                m_lastProgress.reading <= 0
                    ? 0
                    : (m_lastProgress.phase == MdsPhase::Noise ? kMdsReadingsPerPhase : 0) +
                          m_lastProgress.reading - 1;
            showProgressLine(
                lostConnectionText(done, 2 * kMdsReadingsPerPhase, QStringLiteral("readings")));
            break;
        }
    }
    if (!m_lastOutcome.restored)
        showProgressLine(m_ui->lblProgress->text() + QStringLiteral(" The K3 was not put back."));
}

void frmMDS::resetK3() {
    if (m_testing || !m_context.link || !m_context.prompter) return;
    const PromptOwner owner(*m_context.prompter, this);
    MdsTest(*m_context.link, *m_context.prompter, m_state, *m_sink).resetK3();
}

void frmMDS::setTesting(bool testing) {
    m_testing = testing;
    for (QPushButton *button : {m_ui->cmdBegin, m_ui->cmdReset, m_ui->cmdClear, m_ui->cmdClose})
        button->setEnabled(!testing);
    if (testing) {
        m_ui->prgMds->setValue(0);
        showProgressLine(
            QStringLiteral("Reading the K3's settings and setting it up for the test."));
    }
}

void frmMDS::showProgress(const MdsProgress &progress) {
    if (progress.reading <= 0) return;
    m_lastProgress = progress;
    const int done =
        (progress.phase == MdsPhase::Noise ? kMdsReadingsPerPhase : 0) + progress.reading - 1;
    m_ui->prgMds->setValue(done);
    showProgressLine(mdsProgressText(progress));
}

void frmMDS::showProgressLine(const QString &text) {
    setProgressLine(*m_ui->lblProgress, text, m_ui->prgMds);
}

}  // namespace corvane
