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
#include "link/radiolog.h"
#include "link/ui/frmconnect.h"
#include "sim/k3simulator.h"

namespace corvane {

class frmK3Simulator;
namespace share {
class RigctlServer;
}

// Moves the top-level `window` beside `other` on other's screen without covering it.
void placeBeside(QWidget &window, const QWidget &other);

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
    // The session's exchange with the radio and the messages shown, for Help > Save Radio
    // Log... Tests that hand the link a trace of their own stop it.
    const RadioLog &radioLog() const { return m_radioLog; }
    // The prompter given at construction, with every message also put in the radio log.
    Prompter &prompter() { return m_loggedPrompter; }
    // The port for the log's heading: "/dev/ttyUSB0, 38400,N,8,1, open".
    QString portDescription() const;
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
    // Shows each message through the prompter given, after putting it in the radio log.
    class LoggedPrompter : public Prompter {
    public:
        LoggedPrompter(Prompter &inner, LinkTrace &trace, const Clock &clock)
            : m_inner(inner), m_trace(trace), m_clock(clock) {}
        void message(const PromptMessage &msg) override {
            m_trace.addMessage(m_clock.now(), msg.title + u'|' + msg.text);
            m_inner.message(msg);
        }
        using Prompter::message;
        void setOwner(QObject *owner) override { m_inner.setOwner(owner); }
        QObject *owner() const override { return m_inner.owner(); }

    private:
        Prompter &m_inner;
        LinkTrace &m_trace;
        const Clock &m_clock;
    };

    ConnectionController(std::unique_ptr<Clock> ownClock, Clock *clock, Prompter &prompter,
                         QObject *parent);
    void setSharing(bool share);

    std::unique_ptr<Clock> m_ownClock;
    Clock &m_clock;
    std::shared_ptr<sim::K3Simulator> m_simulator;
    RadioLog m_radioLog;
    LinkTrace m_logTrace;  // keeps nothing itself: it feeds m_radioLog
    RadioLink m_link;
    LoggedPrompter m_loggedPrompter;
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
