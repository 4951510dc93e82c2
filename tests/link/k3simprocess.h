#pragma once
// corvane-k3sim started for one test: it serves the simulator on a pseudo-terminal (or TCP)
// and prints where; the process ends with the fixture.

#include <QProcess>
#include <QString>
#include <QStringList>

class K3SimProcess {
public:
    static QString program() {
        return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-k3sim");
    }

    ~K3SimProcess() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(10000);
    }

    // Starts it with `arguments` and waits for the "PTY <path>" / "TCP <host:port>" lines.
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

private:
    QProcess m_process;
    QString m_pty;
    QString m_tcp;
};
