#pragma once
// Owns the program's one radio link and what goes with it: the clock the procedures wait
// on, the built-in simulator, the connection dialog and the simulator's control window.
// Windows get the link from here (through AppContext); nothing else opens or closes the port.

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <memory>

#include "link/clock.h"
#include "link/radiolink.h"
#include "link/ui/frmconnect.h"
#include "sim/k3simulator.h"

namespace corvane {

class frmK3Simulator;
namespace share {
class RigctlServer;
}

class ConnectionController : public QObject {
    Q_OBJECT
public:
    // The program's: a real clock, the machine's ports and the built-in simulator.
    explicit ConnectionController(Prompter &prompter, QObject *parent = nullptr);
    // With a given clock (tests: a VirtualClock, so the simulator answers at once).
    ConnectionController(Clock &clock, Prompter &prompter, QObject *parent = nullptr);
    ~ConnectionController() override;

    RadioLink &link() { return m_link; }
    Clock &clock() const { return m_clock; }
    const std::shared_ptr<sim::K3Simulator> &simulator() const { return m_simulator; }
    // The dialog, loaded (not shown) when the controller is made.
    frmConnect &dialog() const { return *m_dialog; }
    QString autoInfo() const { return m_dialog->autoInfoAnswer(); }

    void showDialog();
    // Shows the simulator's window, building it when needed.
    frmK3Simulator *showSimulatorWindow();
    frmK3Simulator *simulatorWindow() const;
    // Closes the port if it is open (the program's end).
    void closePort();
    // The built-in simulator when it is the open port and its window's "Follow the test's
    // prompts" is ticked (it is until the user clears it); else null.
    sim::K3Simulator *simulatorFollowingPrompts() const;

    // Which transport a port spec opens; the default is makeTransport() on this clock with
    // the built-in simulator. Tests map "COM 1" onto the simulator with it.
    void setTransportMaker(frmConnect::TransportMaker maker) { m_makeTransport = std::move(maker); }
    void setPortLister(frmConnect::PortLister lister) { m_listPorts = std::move(lister); }

    // The dialog's "Share the radio with other programs": a Hamlib NET rigctl server on the
    // link while the box is ticked (null otherwise). It listens on 127.0.0.1:4532; tests
    // choose another address first.
    share::RigctlServer *shareServer() const { return m_share.get(); }
    void setShareAddress(const QHostAddress &address, quint16 port);

private:
    ConnectionController(std::unique_ptr<Clock> ownClock, Clock *clock, Prompter &prompter,
                         QObject *parent);
    void setSharing(bool share);

    std::unique_ptr<Clock> m_ownClock;
    Clock &m_clock;
    std::shared_ptr<sim::K3Simulator> m_simulator;
    RadioLink m_link;
    frmConnect::TransportMaker m_makeTransport;
    frmConnect::PortLister m_listPorts;
    std::unique_ptr<frmConnect> m_dialog;
    QPointer<frmK3Simulator> m_simulatorWindow;
    bool m_followPrompts = true;
    Prompter &m_prompter;
    std::unique_ptr<share::RigctlServer> m_share;
    QHostAddress m_shareAddress{QHostAddress::LocalHost};
    quint16 m_sharePort;
};

}  // namespace corvane
