#include "link/tcptransport.h"

#include <QUrl>

namespace corvane {

TcpTransport::TcpTransport(const QString &spec) : m_spec(spec) {
    // The far end closing between exchanges shows at once, not at the next command.
    QObject::connect(&m_socket, &QAbstractSocket::errorOccurred, &m_socket,
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::RemoteHostClosedError)
                             tellLost(socketError());
                     });
}

TcpTransport::~TcpTransport() {
    close();
}

bool TcpTransport::parseSpec(const QString &spec, QString *host, quint16 *port) {
    const QUrl url(spec.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("tcp"), Qt::CaseInsensitive) != 0 ||
        url.host().isEmpty() || url.port() <= 0 || !url.path().isEmpty())
        return false;
    if (host) *host = url.host();
    if (port) *port = static_cast<quint16>(url.port());
    return true;
}

PortError TcpTransport::socketError() const {
    switch (m_socket.error()) {
        case QAbstractSocket::HostNotFoundError:
            return {PortErrorKind::NoSuchPort, m_socket.errorString(), PortOpenCause::HostNotFound,
                    m_spec.trimmed()};
        case QAbstractSocket::ConnectionRefusedError:
            // Nothing listens there: as good as a port number that names no port.
            return {PortErrorKind::NoSuchPort, m_socket.errorString(),
                    PortOpenCause::ConnectionRefused, m_spec.trimmed()};
        default:
            return {PortErrorKind::Other, m_socket.errorString()};
    }
}

PortError TcpTransport::open(int) {
    if (isOpen()) return {PortErrorKind::InUse, QStringLiteral("The connection is already open")};
    QString host;
    quint16 port = 0;
    if (!parseSpec(m_spec, &host, &port))
        return {PortErrorKind::NoSuchPort, QStringLiteral("it is not of the form tcp://host:port"),
                PortOpenCause::Unknown, m_spec.trimmed()};
    m_socket.abort();
    m_socket.connectToHost(host, port);
    if (!m_socket.waitForConnected(kTcpConnectTimeoutMs)) {
        const PortError error = socketError();
        m_socket.abort();
        return error;
    }
    // Commands are a few bytes each: send them at once, not when a segment fills.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return {};
}

void TcpTransport::close() {
    if (m_socket.state() != QAbstractSocket::UnconnectedState) m_socket.abort();
}

bool TcpTransport::isOpen() const {
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

PortError TcpTransport::write(const QByteArray &bytes) {
    if (!isOpen()) {
        if (m_socket.error() == QAbstractSocket::RemoteHostClosedError) return socketError();
        return {PortErrorKind::NotOpen, QString()};
    }
    if (m_socket.write(bytes) != bytes.size()) return socketError();
    m_socket.flush();
    return {};
}

QByteArray TcpTransport::readAll(PortError *error) {
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        // Let the socket pick up bytes the event loop has not delivered yet; nothing waits.
        m_socket.waitForReadyRead(0);
    }
    // Bytes that came before the far end closed are still the radio's answer.
    const QByteArray data = m_socket.readAll();
    if (error) {
        if (isOpen() || !data.isEmpty())
            *error = PortError();
        else if (m_socket.error() == QAbstractSocket::RemoteHostClosedError)
            *error = socketError();
        else
            *error = {PortErrorKind::NotOpen, QString()};
    }
    return data;
}

}  // namespace corvane
