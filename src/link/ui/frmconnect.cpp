#include "link/ui/frmconnect.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QSettings>

#include "link/connection.h"
#include "link/procedurefaults.h"
#include "ui_frmconnect.h"

namespace corvane {

namespace {
constexpr int kBaudRates[] = {4800, 9600, 19200, 38400};
constexpr int kDefaultBaud = 38400;
const QString kSettingsTail = QStringLiteral(",N,8,1");
const QString kPortKey = QStringLiteral("connect/port");
const QString kBaudKey = QStringLiteral("connect/baud");
}  // namespace

const QString frmConnect::kSimulatorItem = QStringLiteral("K3 Simulator (built in)");

frmConnect::frmConnect(RadioLink &link, Prompter &prompter, TransportMaker makeTransport,
                       PortLister listPorts, QWidget *parent)
    : FormWindow(parent),
      m_link(link),
      m_prompter(prompter),
      m_makeTransport(std::move(makeTransport)),
      m_listPorts(std::move(listPorts)),
      m_ui(std::make_unique<Ui::frmConnect>()) {
    m_ui->setupUi(this);
    m_ui->cboComPort->setAccessibleName(m_ui->lblComPort->text());
    m_ui->cboBaudRate->setAccessibleName(m_ui->Label1->text());
    m_ui->txtCommand->setAccessibleName(tr("Command to send to K3"));
    connect(m_ui->cmdConnect, &QPushButton::clicked, this, &frmConnect::connectRadio);
    connect(m_ui->cmdTestComm, &QPushButton::clicked, this, &frmConnect::testComm);
    connect(m_ui->cmdSend, &QPushButton::clicked, this, &frmConnect::sendCommand);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
    connect(m_ui->chkShare, &QCheckBox::toggled, this, &frmConnect::shareToggled);
    connect(m_ui->cboComPort, &QComboBox::activated, this, [this](int index) {
        if (m_ui->cboComPort->itemData(index).toString() == kSimulatorPortSpec)
            emit simulatorChosen();
    });
    // The simulator's window, hidden or closed, comes back with its button (as if picked).
    connect(m_ui->cmdSimulator, &QPushButton::clicked, this, &frmConnect::simulatorChosen);
    connect(m_ui->cboComPort, &QComboBox::currentTextChanged, this,
            [this] { m_ui->cmdSimulator->setVisible(chosenPortSpec() == kSimulatorPortSpec); });
    setCancelButton(m_ui->cmdClose);
    // A port the system does not list (a pseudo-terminal, a network serial bridge) can be
    // typed in: a device path, "COM n", tcp://host:port or sim, as corvane-cli --port takes.
    m_ui->cboComPort->setEditable(true);
    m_ui->cboComPort->setInsertPolicy(QComboBox::NoInsert);
    m_ui->cboComPort->lineEdit()->setPlaceholderText(QStringLiteral("Select Port"));
    m_ui->cboComPort->lineEdit()->setClearButtonEnabled(true);
    // A port lost during any window's procedure shows here at once.
    m_link.addPortLostObserver([this](const PortError &) {
        showOpenFlag();
        setConnectedControls(false);
    });
}

frmConnect::~frmConnect() = default;

void frmConnect::setShareChecked(bool share) {
    {
        const QSignalBlocker quiet(m_ui->chkShare);
        m_ui->chkShare->setChecked(share);
    }
    // What the box shows is what the next start finds: a share that could not start (its
    // port taken) is off then too, not an error at every start.
    if (m_settings)
        m_settings->setValue(QStringLiteral("connect/") + m_ui->chkShare->objectName(), share);
}

void frmConnect::loadForm() {
    for (int baud : kBaudRates) m_ui->cboBaudRate->addItem(QString::number(baud), baud);
    for (int n = kFirstComPort; n <= kLastComPort; ++n)
        m_ui->cboComPort->addItem(QStringLiteral("COM %1").arg(n), n);
    m_ui->cboComPort->addItem(kSimulatorItem, kSimulatorPortSpec);
    refreshDetectedPorts();
    m_ui->cboComPort->setCurrentIndex(-1);
    m_ui->cboBaudRate->setCurrentIndex(-1);
    m_ui->cmdSimulator->setVisible(false);

    m_ui->lblInstructions->setText(QStringLiteral(
        "Set K3 CONFIG:RS232 to desired baud rate. Select same baud rate in drop down "
        "control."));
    m_ui->lblDefault->setText(QStringLiteral(
        "The default communications settings are COM 1, 38400 baud, no parity, 8 data bits, "
        "1 stop bit."));
    m_ui->lblSendCmd->setText(QStringLiteral(
        "To send a command to the K3 enter it in textbox and press Enter. Do not include the "
        "\";\" character at the end of the command."));
    setConnectedControls(false);
}

void frmConnect::refreshDetectedPorts() {
    QComboBox *combo = m_ui->cboComPort;
    const QString shown = combo->currentText();
    // Detected ports sit between COM 20 and the simulator.
    const int first = kLastComPort - kFirstComPort + 1;
    while (combo->count() > first + 1) combo->removeItem(first);
    const QList<DetectedPort> ports = m_listPorts ? m_listPorts() : QList<DetectedPort>();
    int row = first;
    for (const DetectedPort &port : ports) combo->insertItem(row++, port.name, port.location);
    combo->setCurrentIndex(shown.isEmpty() ? -1 : combo->findText(shown, Qt::MatchExactly));
    // What was typed stays, whether or not the list has it.
    combo->setEditText(shown);
}

void frmConnect::rememberChoicesIn(QSettings *settings) {
    m_settings = settings;
    if (!m_settings) return;
    load();
    showPort(m_settings->value(kPortKey).toString());
    const int baud = m_ui->cboBaudRate->findData(m_settings->value(kBaudKey).toInt());
    if (baud >= 0) m_ui->cboBaudRate->setCurrentIndex(baud);
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        const QString key = QStringLiteral("connect/") + box->objectName();
        if (m_settings->contains(key)) box->setChecked(m_settings->value(key).toBool());
        connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
            if (m_settings) m_settings->setValue(key, on);
        });
    }
}

void frmConnect::showPort(const QString &spec) {
    if (spec.trimmed().isEmpty()) return;
    QComboBox *combo = m_ui->cboComPort;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        const QString itemSpec = data.typeId() == QMetaType::Int
                                     ? QStringLiteral("COM %1").arg(data.toInt())
                                     : data.toString();
        if (itemSpec == spec) {
            combo->setCurrentIndex(i);
            return;
        }
    }
    combo->setEditText(spec);  // a port not listed now (an adapter not plugged in)
}

void frmConnect::rememberChoices() {
    if (!m_settings) return;
    if (m_ui->cboComPort->currentText().trimmed().isEmpty())
        m_settings->remove(kPortKey);
    else
        m_settings->setValue(kPortKey, chosenPortSpec());
    if (m_ui->cboBaudRate->currentIndex() < 0)
        m_settings->remove(kBaudKey);
    else
        m_settings->setValue(kBaudKey, m_ui->cboBaudRate->currentData().toInt());
}

void frmConnect::closeEvent(QCloseEvent *event) {
    event->accept();
    hideForm();
}

void frmConnect::showEvent(QShowEvent *event) {
    // Adapters plugged in and simulators started since the list was made.
    if (isLoaded() && !m_link.isConnected()) refreshDetectedPorts();
    FormWindow::showEvent(event);
}

QString frmConnect::chosenPortSpec() const {
    const QComboBox *combo = m_ui->cboComPort;
    const QString shown = combo->currentText().trimmed();
    if (shown.isEmpty()) return QStringLiteral("COM %1").arg(kFirstComPort);
    // A listed port as picked (or typed exactly as listed), else the text as a port name.
    const int listed = combo->findText(shown, Qt::MatchExactly);
    if (listed < 0) return shown;
    const QVariant data = combo->itemData(listed);
    if (data.typeId() == QMetaType::Int) return QStringLiteral("COM %1").arg(data.toInt());
    return data.toString();
}

QString frmConnect::chosenPortLabel() const {
    const QString spec = chosenPortSpec();
    if (spec == kSimulatorPortSpec) return kSimulatorItem;
    return spec;
}

QString frmConnect::chosenSettings() const {
    const QComboBox *combo = m_ui->cboBaudRate;
    const int baud = combo->currentIndex() < 0 ? kDefaultBaud : combo->currentData().toInt();
    return QString::number(baud) + kSettingsTail;
}

void frmConnect::showOpenFlag() {
    m_ui->lblPortOpen->setText(QStringLiteral("Port Open? ") + (m_link.isConnected()
                                                                    ? QStringLiteral("True")
                                                                    : QStringLiteral("False")));
}

void frmConnect::setConnectedControls(bool connected) {
    m_ui->cmdTestComm->setEnabled(connected);
    m_ui->cmdSend->setEnabled(connected);
}

void frmConnect::reportPortError(const PortError &error) {
    m_prompter.message(portErrorText(error, chosenPortLabel()), kPortErrorTitle,
                       MessageIcon::Critical);
}

void frmConnect::connectRadio() {
    if (refuseWhileBusy(m_link, m_prompter)) return;
    if (m_link.isConnected()) return;
    rememberChoices();
    const QString spec = chosenPortSpec();
    const std::optional<int> number = comPortNumber(spec);
    m_ui->lblPortNumber->setText(QStringLiteral("Port: ") + chosenPortLabel());
    const QString settings = chosenSettings();
    m_link.setSettings(settings);
    m_ui->lblPortSettings->setText(QStringLiteral("Settings: ") + settings);

    m_link.setTransport(m_makeTransport ? m_makeTransport(spec) : nullptr);
    if (number) m_link.setPortNumber(*number);
    const PortError openError = m_link.open();
    if (openError.isError()) {
        reportPortError(openError);
        return;
    }
    showOpenFlag();

    const ConnectOutcome outcome =
        identifyRadio(m_link, m_prompter, [this] { setConnectedControls(true); });
    if (outcome.identified) m_autoInfo = outcome.autoInfo;
    if (outcome.error.isError()) {
        reportPortError(outcome.error);
        return;
    }
    if (!outcome.identified) {
        showOpenFlag();
        return;
    }
    emit connected();
}

void frmConnect::testComm() {
    if (refuseWhileBusy(m_link, m_prompter)) return;
    // The answer is shown before the message, so it stays readable behind the box.
    m_link.clearError();
    const QString answer = m_link.queryRadio(QStringLiteral("id;"), kIdentifyWaitMs);
    if (m_link.lastError().isError()) {
        reportPortError(m_link.lastError());
        return;
    }
    m_ui->lblInput->setText(QStringLiteral("K3 Response: ") + answer);
    m_prompter.message(answer == kK3Identity ? QStringLiteral("K3 is present")
                                             : QStringLiteral("Unable to communicate with K3"),
                       QStringLiteral("K3 Status"), MessageIcon::Information);
}

void frmConnect::sendCommand() {
    if (refuseWhileBusy(m_link, m_prompter)) return;
    if (m_ui->txtCommand->text().isEmpty()) m_ui->txtCommand->setText(QStringLiteral("id"));
    PortError error;
    const QString answer = sendConsoleCommand(m_link, m_ui->txtCommand->text(), &error);
    if (error.isError()) {
        reportPortError(error);
        return;
    }
    m_ui->lblResponse->setText(QStringLiteral("K3 Response: ") + answer);
    m_ui->txtCommand->clear();
}

}  // namespace corvane
