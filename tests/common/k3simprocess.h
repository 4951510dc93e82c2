#pragma once
// Serial endpoints for tests that need a real device.
//   K3SimProcess  corvane-k3sim started for one test (start(args) waits for its "PTY <path>" /
//                 "TCP <host:port>" lines; pty()/tcp() give them); ended with SIGTERM by the
//                 fixture's destructor.
//   Pty           a pseudo-terminal whose slave side is a serial device nobody answers on.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace corvane::test {

class K3SimProcess {
public:
    static QString program() {
        return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-k3sim");
    }
    K3SimProcess() = default;
    K3SimProcess(const K3SimProcess &) = delete;
    K3SimProcess &operator=(const K3SimProcess &) = delete;
    ~K3SimProcess() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(10000);
    }

    bool start(const QStringList &arguments, bool expectPty = true, bool expectTcp = false) {
        m_process.start(program(), QStringList{QStringLiteral("--no-link")} + arguments);
        if (!m_process.waitForStarted(10000)) return false;
        while ((expectPty && m_pty.isEmpty()) || (expectTcp && m_tcp.isEmpty())) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(10000)) return false;
            while (m_process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
                if (line.startsWith(QLatin1String("PTY "))) m_pty = line.mid(4);
                if (line.startsWith(QLatin1String("TCP ")))
                    m_tcp = QStringLiteral("tcp://") + line.mid(4);
            }
        }
        return true;
    }
    QString pty() const { return m_pty; }
    QString tcp() const { return m_tcp; }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_pty;
    QString m_tcp;
};

class Pty {
public:
    Pty() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        if (const char *name = ::ptsname(m_master)) m_slave = QString::fromLocal8Bit(name);
    }
    ~Pty() {
        if (m_master >= 0) ::close(m_master);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;
    bool isValid() const { return !m_slave.isEmpty(); }
    QString slavePath() const { return m_slave; }
    int masterFd() const { return m_master; }

private:
    int m_master = -1;
    QString m_slave;
};

}  // namespace corvane::test
