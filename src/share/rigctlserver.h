#pragma once
// The Hamlib NET rigctl server: programs set to "Hamlib NET rigctl" (WSJT-X, fldigi, QLog,
// loggers, rigctl -m 2) connect over TCP and follow the radio through Corvane's one link.
// Several clients at once; their requests are served one after the other, each as a whole,
// in the order they arrived. A line longer than kMaxRequestLength, or one that is no
// request, is answered with an error and goes no further.

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <deque>
#include <map>

#include "share/sharedradio.h"

class QTcpSocket;

namespace corvane::share {

// rigctld's address: the loopback interface, port 4532.
constexpr quint16 kDefaultSharePort = 4532;

class RigctlServer : public QObject {
    Q_OBJECT
public:
    explicit RigctlServer(RadioLink &link, QObject *parent = nullptr);
    ~RigctlServer() override;

    // Starts listening (port 0: any free port); false with errorString() when the address
    // cannot be had.
    bool listen(const QHostAddress &address = QHostAddress::LocalHost,
                quint16 port = kDefaultSharePort);
    // Stops listening and closes every client's connection.
    void close();
    bool isListening() const { return m_server.isListening(); }
    QString errorString() const { return m_server.errorString(); }
    QHostAddress address() const { return m_server.serverAddress(); }
    quint16 port() const { return m_server.serverPort(); }
    // "127.0.0.1:4532", "[::1]:4532"
    QString addressText() const;
    int clientCount() const { return int(m_clients.size()); }

    // Reads "HOST:PORT" ("127.0.0.1:4532", "[::1]:4532", "localhost:4532"); false when it is
    // not of that form.
    static bool parseAddress(const QString &text, QHostAddress *address, quint16 *port);

private:
    struct Client {
        QByteArray pending;       // received, not yet a whole line
        bool discarding = false;  // inside an oversized line: dropped up to its newline
        Vfo vfo = Vfo::A;
    };
    void acceptClients();
    void receive(QTcpSocket *socket);
    void forget(QTcpSocket *socket);
    void serveQueue();
    void serve(QTcpSocket *socket, const QByteArray &line);

    QTcpServer m_server;
    SharedRadio m_radio;
    std::map<QTcpSocket *, Client> m_clients;
    // Whole lines waiting their turn while a request is being served.
    std::deque<std::pair<QPointer<QTcpSocket>, QByteArray>> m_queue;
    bool m_serving = false;
};

}  // namespace corvane::share
