#include "measurements/ui/frmmds.h"

#include <QCloseEvent>

#include "core/numtext.h"
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
    void setTesting(bool testing) override { m_window.setTesting(testing); }
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
    m_ui->lblProgress->setText(QStringLiteral("Ready."));
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
    MdsTest test(*m_context.link, *m_context.prompter, m_state, *m_sink);
    m_lastOutcome = test.beginMdsTest();
    if (m_lastOutcome.end == MdsEnd::Busy) return;
    if (m_lastOutcome.end != MdsEnd::PortFailed) m_ui->prgMds->setValue(m_ui->prgMds->maximum());
    switch (m_lastOutcome.end) {
        case MdsEnd::Completed:
            m_ui->lblProgress->setText(
                QStringLiteral("Done: MDS %1 dBm.").arg(format0_00(m_state.mds)));
            break;
        case MdsEnd::NotHeard:
            m_ui->lblProgress->setText(QStringLiteral("No MDS: ") + kMdsNotHeardText + u'.');
            break;
        case MdsEnd::NotComputed:
            m_ui->lblProgress->setText(QStringLiteral("No MDS computed: ") + m_lastOutcome.problem +
                                       u'.');
            break;
        case MdsEnd::Busy:
        case MdsEnd::PortFailed:
            m_ui->lblProgress->setText(QStringLiteral("Ended by a port failure."));
            break;
    }
}

void frmMDS::resetK3() {
    if (m_testing || !m_context.link || !m_context.prompter) return;
    MdsTest(*m_context.link, *m_context.prompter, m_state, *m_sink).resetK3();
}

void frmMDS::setTesting(bool testing) {
    m_testing = testing;
    for (QPushButton *button : {m_ui->cmdBegin, m_ui->cmdReset, m_ui->cmdClear, m_ui->cmdClose})
        button->setEnabled(!testing);
    if (testing) {
        m_ui->prgMds->setValue(0);
        m_ui->lblProgress->setText(
            QStringLiteral("Reading the K3's settings and setting it up for the test."));
    }
}

void frmMDS::showProgress(const MdsProgress &progress) {
    if (progress.reading <= 0) return;
    const int done =
        (progress.phase == MdsPhase::Noise ? kMdsReadingsPerPhase : 0) + progress.reading - 1;
    m_ui->prgMds->setValue(done);
    m_ui->lblProgress->setText(mdsProgressText(progress));
}

}  // namespace corvane
