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
// ACM devices and the like, by device path), then the pty links that corvane-k3sim makes
// as ${TMPDIR:-/tmp}/corvane-k3sim-* (only those whose pty still exists).
QList<DetectedPort> detectedPorts();
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
