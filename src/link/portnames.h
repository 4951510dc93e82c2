#pragma once
// Port names as the user gives them, and the ports this machine offers.
//  - "COM n" is the platform's n-th serial port (Linux /dev/ttyS{n-1}, Windows COMn).
//  - A device path ("/dev/ttyUSB0", a pty or a link to one), "tcp://host:port", or "sim"
//    (the built-in simulator) name the other kinds of port.

#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "link/clock.h"
#include "link/transport.h"
#include "sim/k3simulator.h"

namespace corvane {

constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 20;
inline const QString kSimulatorPortSpec = QStringLiteral("sim");

// The device of COM n on this platform.
QString comPortDevice(int number);
// n for "COM n" / "COMn" (any case, blanks allowed), empty for anything else.
std::optional<int> comPortNumber(const QString &spec);

struct DetectedPort {
    QString name;      // shown in the port list: the device path, or the link's path
    QString location;  // what to open
};

// Serial ports found on this machine other than the numbered COM ports (USB adapters,
// ACM devices and the like, by device path), then their stable names (below), then the pty
// links that corvane-k3sim makes as ${TMPDIR:-/tmp}/corvane-k3sim-* (only those whose pty
// still exists).
QList<DetectedPort> detectedPorts();
// The stable names the system gives USB serial adapters (Linux: /dev/serial/by-id, which
// stay the same whichever ttyUSBn the adapter gets), each shown with the device it points
// at ("/dev/serial/by-id/usb-FTDI_FT232R_A9K3-if00-port0 -> /dev/ttyUSB0") and opened by
// its stable name. Links that point at nothing are left out.
QList<DetectedPort> stablePortNames(const QString &folder = QString());
// Just the corvane-k3sim links in `folder` (the temporary folder when empty).
QList<DetectedPort> simulatorLinks(const QString &folder = QString());

// The port behind a port spec. "sim" uses `sim` (a new simulator when null) on `clock`.
std::unique_ptr<Transport> makeTransport(const QString &portSpec, const Clock &clock,
                                         std::shared_ptr<sim::K3Simulator> sim);

// The message text for a port error, as the connection dialog words it. `portSpec` names
// the port in the "in use" text: "COM " and its number for a COM port, else the spec.
QString portErrorText(const PortError &error, const QString &portSpec);
inline const QString kPortErrorTitle = QStringLiteral("Serial Port Error");

}  // namespace corvane
