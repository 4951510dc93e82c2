#include "link/ui/frmk3simulator.h"

#include <QSignalBlocker>

#include "ui_frmk3simulator.h"

namespace corvane {

namespace {
enum Kat3Choice { Kat3NotInstalled, Kat3Bypassed, Kat3Auto };
constexpr double kHzPerKHz = 1000.0;
}  // namespace

frmK3Simulator::frmK3Simulator(std::shared_ptr<sim::K3Simulator> simulator, QWidget *parent)
    : FormWindow(parent),
      m_sim(std::move(simulator)),
      m_ui(std::make_unique<Ui::frmK3Simulator>()) {
    m_ui->setupUi(this);
    m_ui->chkGenerator->setAccessibleName(tr("Generator output on"));
    m_ui->chkNoise->setAccessibleName(tr("Receiver noise"));
    m_ui->chkFollowPrompts->setAccessibleName(tr("Follow the test's prompts"));
    connect(m_ui->chkFollowPrompts, &QCheckBox::toggled, this,
            &frmK3Simulator::followPromptsChanged);
    connect(m_ui->chkGenerator, &QCheckBox::toggled, this, &frmK3Simulator::apply);
    connect(m_ui->chkNoise, &QCheckBox::toggled, this, &frmK3Simulator::apply);
    connect(m_ui->spnLevel, &QDoubleSpinBox::valueChanged, this, &frmK3Simulator::apply);
    connect(m_ui->spnFrequency, &QDoubleSpinBox::valueChanged, this, &frmK3Simulator::apply);
    connect(m_ui->cboKat3, &QComboBox::currentIndexChanged, this, &frmK3Simulator::apply);
    connect(m_ui->cboAutoInfo, &QComboBox::currentIndexChanged, this, &frmK3Simulator::apply);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
    // Escape closes; Enter only applies a typed level or frequency (the boxes take a typed
    // value on Enter, not digit by digit, and no button is the default).
    setCancelButton(m_ui->cmdClose);
    refresh();
}

frmK3Simulator::~frmK3Simulator() = default;

void frmK3Simulator::showEvent(QShowEvent *event) {
    refresh();  // a test may have switched the generator off meanwhile
    FormWindow::showEvent(event);
}

void frmK3Simulator::refresh() {
    const QSignalBlocker b1(m_ui->chkGenerator), b2(m_ui->chkNoise), b3(m_ui->spnLevel),
        b4(m_ui->spnFrequency), b5(m_ui->cboKat3), b6(m_ui->cboAutoInfo);
    const sim::SignalGenerator &generator = m_sim->generator();
    const sim::K3State &state = m_sim->state();
    m_ui->chkGenerator->setChecked(generator.on);
    m_ui->spnLevel->setValue(generator.levelDbm);
    m_ui->spnFrequency->setValue(generator.frequencyHz / kHzPerKHz);
    m_ui->chkNoise->setChecked(m_sim->noiseEnabled());
    m_ui->cboKat3->setCurrentIndex(!state.kat3Installed ? Kat3NotInstalled
                                   : state.kat3Bypassed ? Kat3Bypassed
                                                        : Kat3Auto);
    m_ui->cboAutoInfo->setCurrentIndex(qBound(0, state.autoInfo, 3));
}

bool frmK3Simulator::followsPrompts() const {
    return m_ui->chkFollowPrompts->isChecked();
}

void frmK3Simulator::setFollowsPrompts(bool follow) {
    m_ui->chkFollowPrompts->setChecked(follow);
}

void frmK3Simulator::apply() {
    sim::SignalGenerator &generator = m_sim->generator();
    sim::K3State &state = m_sim->state();
    generator.on = m_ui->chkGenerator->isChecked();
    generator.levelDbm = m_ui->spnLevel->value();
    generator.frequencyHz = m_ui->spnFrequency->value() * kHzPerKHz;
    m_sim->setNoiseEnabled(m_ui->chkNoise->isChecked());
    const int kat3 = m_ui->cboKat3->currentIndex();
    state.kat3Installed = kat3 != Kat3NotInstalled;
    state.kat3Bypassed = kat3 != Kat3Auto;
    state.autoInfo = m_ui->cboAutoInfo->currentIndex();
}

}  // namespace corvane
