#pragma once
// A byte pipe to the radio. Bytes are Latin-1: one character per byte, 128..255 kept.
// Implementations: SerialTransport (a serial device), TcpTransport (tcp://host:port, a
// serial server or corvane-k3sim), SimTransport (the built-in simulator).

#include <QByteArray>
#include <QString>
#include <functional>

namespace corvane {

enum class PortErrorKind { None, NoSuchPort, InUse, NotOpen, Other };

// Why a port could not be opened, where the transport can tell: the user is told what to
// do about it, with the device path or the address.
enum class PortOpenCause {
    Unknown,
    MissingDevice,
    PermissionDenied,
    ConnectionRefused,
    HostNotFound
};

struct PortError {
    PortError() = default;
    PortError(PortErrorKind kind, const QString &description = QString(),
              PortOpenCause cause = PortOpenCause::Unknown, const QString &location = QString())
        : kind(kind), description(description), cause(cause), location(location) {}

    PortErrorKind kind = PortErrorKind::None;
    QString description;  // the platform's words, for Other
    PortOpenCause cause = PortOpenCause::Unknown;
    QString location;  // the device path or tcp://host:port that could not be opened
    bool isError() const { return kind != PortErrorKind::None; }
};

class Transport {
public:
    virtual ~Transport() = default;
    // Opens at the given baud rate (8 data bits, no parity, 1 stop bit, no flow control,
    // DTR and RTS off).
    virtual PortError open(int baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual PortError write(const QByteArray &bytes) = 0;
    // Everything received since the last read; the receive buffer is empty afterwards.
    virtual QByteArray readAll(PortError *error = nullptr) = 0;
    // What the port is, for labels and messages ("/dev/ttyUSB0", "K3 Simulator").
    virtual QString name() const = 0;

    // Called when the port goes away by itself while open (adapter pulled, far end gone),
    // between exchanges as well as during one; the port is closed by then.
    void setLostHandler(std::function<void(const PortError &)> handler) {
        m_lostHandler = std::move(handler);
    }

protected:
    void tellLost(const PortError &error) {
        if (m_lostHandler) m_lostHandler(error);
    }

private:
    std::function<void(const PortError &)> m_lostHandler;
};

}  // namespace corvane
