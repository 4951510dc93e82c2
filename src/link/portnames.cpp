#include "link/portnames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

#include "link/serialtransport.h"
#include "link/simtransport.h"
#include "link/tcptransport.h"

namespace corvane {

namespace {
const QString kSimulatorLinkPrefix = QStringLiteral("corvane-k3sim-");
const QString kStableNameFolder = QStringLiteral("/dev/serial/by-id");

bool isNumberedComPort(const QString &location) {
#ifdef Q_OS_WIN
    static const QRegularExpression pattern(QStringLiteral(R"(^COM(\d+)$)"),
                                            QRegularExpression::CaseInsensitiveOption);
#else
    static const QRegularExpression pattern(QStringLiteral(R"(^/dev/ttyS(\d+)$)"));
#endif
    const auto match = pattern.match(location);
    if (!match.hasMatch()) return false;
    // ttyS0..ttyS19 are COM 1..COM 20; ports beyond those are listed by name.
    const int number = match.captured(1).toInt();
#ifdef Q_OS_WIN
    return number >= kFirstComPort && number <= kLastComPort;
#else
    return number + 1 >= kFirstComPort && number + 1 <= kLastComPort;
#endif
}
}  // namespace

QString comPortDevice(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

std::optional<int> comPortNumber(const QString &spec) {
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*COM\s*(\d{1,3})\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(spec);
    if (!match.hasMatch()) return std::nullopt;
    const int number = match.captured(1).toInt();
    if (number < 1) return std::nullopt;
    return number;
}

QList<DetectedPort> simulatorLinks(const QString &folder) {
    const QDir dir(folder.isEmpty() ? QDir::tempPath() : folder);
    QList<DetectedPort> out;
    const QFileInfoList entries =
        dir.entryInfoList({kSimulatorLinkPrefix + u'*'}, QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        // A link left behind by a simulator that has ended points at nothing.
        if (!entry.isSymLink() || !QFileInfo::exists(entry.symLinkTarget())) continue;
        out.append({entry.absoluteFilePath(), entry.absoluteFilePath()});
    }
    return out;
}

QList<DetectedPort> stablePortNames(const QString &folder) {
    const QDir dir(folder.isEmpty() ? kStableNameFolder : folder);
    QList<DetectedPort> out;
    const QFileInfoList entries = dir.entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString target = entry.canonicalFilePath();
        if (!entry.isSymLink() || target.isEmpty()) continue;
        out.append(
            {entry.absoluteFilePath() + QStringLiteral(" -> ") + target, entry.absoluteFilePath()});
    }
    return out;
}

QList<DetectedPort> detectedPorts() {
    QList<DetectedPort> out;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        const QString location = info.systemLocation();
        if (isNumberedComPort(location)) continue;
        out.append({location, location});
    }
    std::sort(out.begin(), out.end(),
              [](const DetectedPort &a, const DetectedPort &b) { return a.name < b.name; });
    out.append(stablePortNames());
    out.append(simulatorLinks());
    return out;
}

std::unique_ptr<Transport> makeTransport(const QString &portSpec, const Clock &clock,
                                         std::shared_ptr<sim::K3Simulator> sim) {
    const QString spec = portSpec.trimmed();
    if (spec.compare(kSimulatorPortSpec, Qt::CaseInsensitive) == 0) {
        if (!sim) sim = std::make_shared<sim::K3Simulator>();
        return std::make_unique<SimTransport>(std::move(sim), clock);
    }
    if (spec.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive))
        return std::make_unique<TcpTransport>(spec);
    if (const auto number = comPortNumber(spec))
        return std::make_unique<SerialTransport>(comPortDevice(*number));
    return std::make_unique<SerialTransport>(spec);
}

namespace {

// Why the port at `where` would not open, and what to do about it; empty when the transport
// could not tell.
QString openCauseText(const PortError &error, const QString &where) {
    switch (error.cause) {
        case PortOpenCause::Unknown:
            break;
        case PortOpenCause::MissingDevice:
            return QStringLiteral(
                       "The device %1 does not exist. Check the port's name and that "
                       "the serial adapter is plugged in")
                .arg(where);
        case PortOpenCause::PermissionDenied:
            return QStringLiteral(
                       "Permission to open %1 was refused. Add your user to the "
                       "dialout group (sudo adduser $USER dialout), then log out and "
                       "in again")
                .arg(where);
        case PortOpenCause::ConnectionRefused:
            return QStringLiteral(
                       "The connection to %1 was refused: nothing is listening at "
                       "that address")
                .arg(where);
        case PortOpenCause::HostNotFound:
            return QStringLiteral("The host of %1 was not found. Check the address").arg(where);
    }
    return QString();
}

}  // namespace

QString portErrorText(const PortError &error, const QString &portSpec) {
    // No device or host name is longer than the system's limit on a file name: a longer
    // name is the reason, whatever the platform made of it.
    constexpr int kMaxPortName = 255;
    if (error.isError() && portSpec.trimmed().size() > kMaxPortName)
        return QStringLiteral("The port name is too long: %1 characters, at most %2")
            .arg(portSpec.trimmed().size())
            .arg(kMaxPortName);
    const std::optional<int> number = comPortNumber(portSpec);
    QString where = error.location.isEmpty() ? portSpec.trimmed() : error.location;
    if (number && error.cause == PortOpenCause::PermissionDenied)
        where = QStringLiteral("COM %1 (%2)").arg(*number).arg(where);
    // "COM n" that names no port keeps the connection dialog's own words.
    if (!number || error.cause == PortOpenCause::PermissionDenied) {
        const QString cause = openCauseText(error, where);
        if (!cause.isEmpty()) return cause;
    }
    switch (error.kind) {
        case PortErrorKind::None:
            return QString();
        case PortErrorKind::NoSuchPort:
            // A device or address that would not open, for a reason the platform words.
            if (!number && !error.location.isEmpty())
                return QStringLiteral("No port can be opened at %1: %2")
                    .arg(error.location, error.description);
            return QStringLiteral("Invalid COM port number. Select another COM port");
        case PortErrorKind::InUse: {
            return QStringLiteral("Port is already open. Close other applications using ") +
                   (number ? QStringLiteral("COM ") + QString::number(*number)
                           : portSpec.trimmed());
        }
        case PortErrorKind::NotOpen:
            return QStringLiteral("Port is closed. Be sure you are connected to the K3");
        case PortErrorKind::Other:
            return QStringLiteral("Serial port error ") + error.description;
    }
    return QString();
}

}  // namespace corvane
