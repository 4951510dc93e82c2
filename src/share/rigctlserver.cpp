#include "share/rigctlserver.h"

#include <QTcpSocket>

namespace corvane::share {

RigctlServer::RigctlServer(RadioLink &link, QObject *parent) : QObject(parent), m_radio(link) {
    connect(&m_server, &QTcpServer::newConnection, this, &RigctlServer::acceptClients);
}

RigctlServer::~RigctlServer() {
    close();
}

bool RigctlServer::listen(const QHostAddress &address, quint16 port) {
    close();
    return m_server.listen(address, port);
}

void RigctlServer::close() {
    m_server.close();
    m_queue.clear();
    while (!m_clients.empty()) {
        QTcpSocket *socket = m_clients.begin()->first;
        forget(socket);
        socket->abort();
    }
}

QString RigctlServer::addressText() const {
    const QHostAddress host = address();
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + host.toString() + u']'
                             : host.toString();
    return name + u':' + QString::number(port());
}

bool RigctlServer::parseAddress(const QString &text, QHostAddress *address, quint16 *port) {
    const int colon = text.lastIndexOf(u':');
    if (colon <= 0) return false;
    QString host = text.left(colon);
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok, 10);
    if (!ok || number > 65535) return false;
    if (host.startsWith(u'[') && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
    QHostAddress parsed;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        parsed = QHostAddress(QHostAddress::LocalHost);
    else if (!parsed.setAddress(host))
        return false;
    *address = parsed;
    *port = quint16(number);
    return true;
}

void RigctlServer::acceptClients() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_clients[socket] = Client();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            forget(socket);
            socket->deleteLater();
        });
    }
}

void RigctlServer::forget(QTcpSocket *socket) {
    m_clients.erase(socket);
}

void RigctlServer::receive(QTcpSocket *socket) {
    const auto found = m_clients.find(socket);
    if (found == m_clients.end()) return;
    Client &client = found->second;
    client.pending += socket->readAll();
    for (;;) {
        const int newline = client.pending.indexOf('\n');
        if (newline < 0) {
            // A line that outgrows the limit is answered once, then dropped to its end.
            if (!client.discarding && client.pending.size() > kMaxRequestLength) {
                client.discarding = true;
                socket->write(formatError(RigError::InvalidArgument));
            }
            if (client.discarding) client.pending.clear();
            break;
        }
        const QByteArray line = client.pending.left(newline);
        client.pending.remove(0, newline + 1);
        if (client.discarding) {
            client.discarding = false;
            continue;
        }
        if (line.size() > kMaxRequestLength) {
            socket->write(formatError(RigError::InvalidArgument));
            continue;
        }
        m_queue.emplace_back(QPointer<QTcpSocket>(socket), line);
    }
    serveQueue();
}

void RigctlServer::serveQueue() {
    // A request's exchanges wait with the event loop running: lines that arrive meanwhile
    // queue up here and are served after it, never inside it.
    if (m_serving) return;
    m_serving = true;
    while (!m_queue.empty()) {
        auto [socket, line] = m_queue.front();
        m_queue.pop_front();
        if (socket) serve(socket, line);
    }
    m_serving = false;
}

void RigctlServer::serve(QTcpSocket *socket, const QByteArray &line) {
    const auto found = m_clients.find(socket);
    if (found == m_clients.end()) return;
    Vfo vfo = found->second.vfo;
    const QPointer<QTcpSocket> client(socket);
    bool quit = false;
    const QByteArray reply = m_radio.answer(line, vfo, &quit);
    // The client may have gone while its request waited for the radio.
    if (!client) return;
    const auto still = m_clients.find(client.data());
    if (still == m_clients.end()) return;
    still->second.vfo = vfo;
    client->write(reply);
    if (quit) client->disconnectFromHost();
}

}  // namespace corvane::share
