#include "link/ui/connectioncontroller.h"

#include "link/simtransport.h"
#include "link/ui/frmk3simulator.h"
#include "share/rigctlserver.h"

namespace corvane {

ConnectionController::ConnectionController(Prompter &prompter, QObject *parent)
    : ConnectionController(std::make_unique<RealClock>(), nullptr, prompter, parent) {}

ConnectionController::ConnectionController(Clock &clock, Prompter &prompter, QObject *parent)
    : ConnectionController(nullptr, &clock, prompter, parent) {}

ConnectionController::ConnectionController(std::unique_ptr<Clock> ownClock, Clock *clock,
                                           Prompter &prompter, QObject *parent)
    : QObject(parent),
      m_ownClock(std::move(ownClock)),
      m_clock(clock ? *clock : *m_ownClock),
      m_simulator(std::make_shared<sim::K3Simulator>()),
      m_link(m_clock),
      m_prompter(prompter),
      m_sharePort(share::kDefaultSharePort) {
    m_makeTransport = [this](const QString &spec) {
        return makeTransport(spec, m_clock, m_simulator);
    };
    m_listPorts = [] { return detectedPorts(); };
    m_dialog = std::make_unique<frmConnect>(
        m_link, prompter,
        [this](const QString &spec) {
            return m_makeTransport ? m_makeTransport(spec) : std::unique_ptr<Transport>();
        },
        [this] { return m_listPorts ? m_listPorts() : QList<DetectedPort>(); });
    m_dialog->load();
    connect(m_dialog.get(), &frmConnect::simulatorChosen, this,
            &ConnectionController::showSimulatorWindow);
    connect(m_dialog.get(), &frmConnect::shareToggled, this, &ConnectionController::setSharing);
}

ConnectionController::~ConnectionController() {
    m_share.reset();
    closePort();
}

void ConnectionController::setShareAddress(const QHostAddress &address, quint16 port) {
    m_shareAddress = address;
    m_sharePort = port;
}

void ConnectionController::setSharing(bool share) {
    if (!share) {
        m_share.reset();
        return;
    }
    auto server = std::make_unique<share::RigctlServer>(m_link);
    if (!server->listen(m_shareAddress, m_sharePort)) {
        m_dialog->setShareChecked(false);
        m_prompter.message(
            QStringLiteral("The radio cannot be shared on %1:%2: %3. Another program (rigctld, "
                           "or a second Corvane) may be using that port.")
                .arg(m_shareAddress.toString())
                .arg(m_sharePort)
                .arg(server->errorString()),
            QStringLiteral("Share the Radio"), MessageIcon::Exclamation);
        return;
    }
    m_share = std::move(server);
}

void ConnectionController::showDialog() {
    m_dialog->showForm();
}

frmK3Simulator *ConnectionController::showSimulatorWindow() {
    if (!m_simulatorWindow || m_simulatorWindow->isUnloading()) {
        m_simulatorWindow = new frmK3Simulator(m_simulator, m_dialog.get());
        m_simulatorWindow->setFollowsPrompts(m_followPrompts);
        connect(m_simulatorWindow, &frmK3Simulator::followPromptsChanged, this,
                [this](bool follow) { m_followPrompts = follow; });
    }
    m_simulatorWindow->showForm();
    return m_simulatorWindow;
}

frmK3Simulator *ConnectionController::simulatorWindow() const {
    return m_simulatorWindow.data();
}

sim::K3Simulator *ConnectionController::simulatorFollowingPrompts() const {
    const auto *port = dynamic_cast<const SimTransport *>(m_link.transport());
    if (!m_followPrompts || !port || !m_link.isConnected()) return nullptr;
    return &port->simulator();
}

void ConnectionController::closePort() {
    m_link.close();
}

}  // namespace corvane
