#include "sim/server/k3simserver.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvane::sim {

namespace {
constexpr int kReadChunk = 4096;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}
}  // namespace

K3SimServer::K3SimServer(K3Simulator &simulator, QObject *parent)
    : QObject(parent), m_sim(simulator) {
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &K3SimServer::deliver);
}

K3SimServer::~K3SimServer() {
    closePty();
    removeLink();
}

bool K3SimServer::openPty(QString *error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        if (error) *error = QStringLiteral("cannot open a pseudo-terminal: ") + systemError();
        if (master >= 0) ::close(master);
        return false;
    }
    const char *name = ptsname(master);
    const int slave = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0) {
        if (error) *error = QStringLiteral("cannot open the pty's terminal side: ") + systemError();
        ::close(master);
        return false;
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation, 8 bits.
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B38400);
        cfsetospeed(&tio, B38400);
        tcsetattr(slave, TCSANOW, &tio);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
    m_ptyPath = QString::fromLocal8Bit(name);
    m_ptyNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_ptyNotifier, &QSocketNotifier::activated, this, &K3SimServer::onPtyReadable);
    return true;
}

bool K3SimServer::makeLink(const QString &linkPath, QString *error) {
    const QFileInfo existing(linkPath);
    if (existing.isSymLink())
        QFile::remove(linkPath);
    else if (existing.exists()) {
        if (error) *error = QStringLiteral("%1 exists and is not a link").arg(linkPath);
        return false;
    }
    if (::symlink(m_ptyPath.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
        if (error)
            *error = QStringLiteral("cannot make the link %1: %2").arg(linkPath, systemError());
        return false;
    }
    m_linkPath = linkPath;
    return true;
}

bool K3SimServer::listenTcp(quint16 port, QString *error) {
    m_tcp = new QTcpServer(this);
    if (!m_tcp->listen(QHostAddress::LocalHost, port)) {
        if (error)
            *error =
                QStringLiteral("cannot listen on port %1: %2").arg(port).arg(m_tcp->errorString());
        return false;
    }
    connect(m_tcp, &QTcpServer::newConnection, this, &K3SimServer::onNewConnection);
    return true;
}

quint16 K3SimServer::tcpPort() const {
    return m_tcp ? m_tcp->serverPort() : 0;
}

void K3SimServer::onPtyReadable() {
    char buffer[kReadChunk];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n > 0) feed(QByteArray(buffer, int(n)));
}

void K3SimServer::onNewConnection() {
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        socket->setParent(this);
        m_clients.push_back(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { feed(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), socket),
                            m_clients.end());
            socket->deleteLater();
        });
    }
}

void K3SimServer::feed(const QByteArray &bytes) {
    m_sim.receive(bytes, now());
    if (m_trace) {
        const QStringList &log = m_sim.commandLog();
        for (; m_tracedCommands < log.size(); ++m_tracedCommands)
            traceLine('>', log.at(m_tracedCommands).toLatin1() + ';');
    }
    deliver();
}

void K3SimServer::deliver() {
    const QByteArray out = m_sim.takeOutput(now());
    if (!out.isEmpty()) send(out);
    schedule();
}

void K3SimServer::schedule() {
    const qint64 next = m_sim.nextOutputTime();
    if (next < 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qBound(qint64(0), next - now(), qint64(24) * 3600 * 1000)));
}

void K3SimServer::send(const QByteArray &bytes) {
    if (m_trace) traceLine('<', bytes);
    if (m_master >= 0) {
        // Nobody reading the pty and its buffer full: the bytes are lost, as on a bare cable.
        if (::write(m_master, bytes.constData(), size_t(bytes.size())) < 0 && m_trace)
            std::fprintf(stderr, "pty write: %s\n", std::strerror(errno));
    }
    for (QTcpSocket *socket : m_clients) socket->write(bytes);
}

void K3SimServer::traceLine(char direction, const QByteArray &bytes) const {
    QByteArray text;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if (u >= 0x20 && u < 0x7f)
            text += c;
        else
            text += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    std::fprintf(stderr, "%8lld %c %s\n", static_cast<long long>(now()), direction,
                 text.constData());
    std::fflush(stderr);
}

void K3SimServer::vanish() {
    m_sim.faults().vanished = true;
    // The device node goes first, then the line: whoever sees the hang-up finds no link.
    removeLink();
    closePty();
    for (QTcpSocket *socket : m_clients) socket->abort();
    m_clients.clear();
    if (m_tcp) m_tcp->close();
    m_timer.stop();
    if (m_trace) std::fprintf(stderr, "port vanished\n");
}

void K3SimServer::closePty() {
    delete m_ptyNotifier;
    m_ptyNotifier = nullptr;
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
    m_slave = m_master = -1;
}

void K3SimServer::removeLink() {
    if (!m_linkPath.isEmpty()) QFile::remove(m_linkPath);
    m_linkPath.clear();
}

}  // namespace corvane::sim
