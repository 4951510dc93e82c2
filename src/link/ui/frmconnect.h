#pragma once
// The connection dialog: pick the port and baud rate, connect (open the port and check that
// a K3 answers), test the link, and send single commands as typed. The radio-side steps are
// the link's connection procedures; this window chooses the port, shows the labels and
// words the port errors.
//
// Port list: "COM 1".."COM 20" (item data 1..20), then the serial ports found on this
// machine by name (item data: the device path) and their stable /dev/serial/by-id names,
// then the built-in simulator. The box also takes a port typed in: any device path,
// "COM n", tcp://host:port or sim, as corvane-cli --port does.

#include <functional>
#include <memory>

#include "core/prompter.h"
#include "core/ui/formwindow.h"
#include "link/portnames.h"
#include "link/radiolink.h"

namespace Ui {
class frmConnect;
}

namespace corvane {

class frmConnect : public FormWindow {
    Q_OBJECT
public:
    // The transport behind a port spec ("COM 3", "/dev/ttyUSB0", "sim").
    using TransportMaker = std::function<std::unique_ptr<Transport>(const QString &portSpec)>;
    using PortLister = std::function<QList<DetectedPort>()>;

    static const QString kSimulatorItem;  // "K3 Simulator (built in)"

    frmConnect(RadioLink &link, Prompter &prompter, TransportMaker makeTransport,
               PortLister listPorts, QWidget *parent = nullptr);
    ~frmConnect() override;

    // The radio's answer to "ai;" at connect (for example "AI1;"); empty until a connect
    // succeeds. File, Exit reads it to put the auto-info mode back.
    QString autoInfoAnswer() const { return m_autoInfo; }

    // The port the next Connect opens, as a port spec: the picked item's port, else the
    // text typed in the box; "COM 1" when the box is empty.
    QString chosenPortSpec() const;
    // Lists the detected ports again, keeping the picked item when it is still there.
    void refreshDetectedPorts();
    // Ticks or clears the share box without telling shareToggled (a share that failed).
    void setShareChecked(bool share);

signals:
    // The user picked the built-in simulator in the port list.
    void simulatorChosen();
    // A connect identified the radio.
    void connected();
    // The user ticked or cleared "Share the radio with other programs".
    void shareToggled(bool share);

protected:
    void loadForm() override;
    // The dialog owns the port: closing it by its frame only hides it.
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void connectRadio();
    void testComm();
    void sendCommand();
    // How the chosen port is named in labels and messages.
    QString chosenPortLabel() const;
    QString chosenSettings() const;
    void reportPortError(const PortError &error);
    void showOpenFlag();
    void setConnectedControls(bool connected);

    RadioLink &m_link;
    Prompter &m_prompter;
    TransportMaker m_makeTransport;
    PortLister m_listPorts;
    std::unique_ptr<Ui::frmConnect> m_ui;
    QString m_autoInfo;
};

}  // namespace corvane
