#pragma once
// Serves a K3Simulator in real time to other programs: on a pseudo-terminal (what a serial
// program opens, e.g. Hamlib's rigctl or corvane itself) and/or on a loopback TCP port.
// Bytes from any client go to the simulator; its answers are delivered when they are due,
// by a precise single-shot timer armed to the simulator's next output time.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

#include "sim/k3simulator.h"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace corvane::sim {

class K3SimServer : public QObject {
    Q_OBJECT
public:
    explicit K3SimServer(K3Simulator &simulator, QObject *parent = nullptr);
    ~K3SimServer() override;

    // Opens a pseudo-terminal in raw mode; ptyPath() is the device to give to clients.
    bool openPty(QString *error);
    QString ptyPath() const { return m_ptyPath; }
    // A symbolic link to the pty (removed again when the server ends or vanishes).
    bool makeLink(const QString &linkPath, QString *error);
    QString linkPath() const { return m_linkPath; }
    // Listens on 127.0.0.1 (port 0: any free port); tcpPort() is the port in use.
    bool listenTcp(quint16 port, QString *error);
    quint16 tcpPort() const;

    // Writes every command and answer to stderr.
    void setTrace(bool on) { m_trace = on; }
    // Closes the pty and the TCP port as if the radio's cable were pulled.
    void vanish();

private:
    void onPtyReadable();
    void onNewConnection();
    void feed(const QByteArray &bytes);
    void deliver();
    void schedule();
    void send(const QByteArray &bytes);
    void traceLine(char direction, const QByteArray &bytes) const;
    void closePty();
    void removeLink();
    qint64 now() const { return m_clock.elapsed(); }

    K3Simulator &m_sim;
    QElapsedTimer m_clock;
    QTimer m_timer;
    int m_master = -1;
    int m_slave = -1;  // held open so that a client closing the port does not hang up the pty
    QString m_ptyPath;
    QString m_linkPath;
    QSocketNotifier *m_ptyNotifier = nullptr;
    QTcpServer *m_tcp = nullptr;
    std::vector<QTcpSocket *> m_clients;
    bool m_trace = false;
    int m_tracedCommands = 0;
};

}  // namespace corvane::sim
