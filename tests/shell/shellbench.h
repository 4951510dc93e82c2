#pragma once
// The bench the shell tests run on: the connection controller over the built-in simulator
// on a virtual clock, a scripted prompter whose messages go into the exchange trace, and
// helpers to find and press controls by name.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/portnames.h"
#include "link/simtransport.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmconnect.h"

// A port with scripted answers, for what neither a K3 nor the simulator sends.
class ScriptedTransport : public corvane::Transport {
public:
    explicit ScriptedTransport(QMap<QByteArray, QByteArray> answers = {},
                               corvane::PortError openError = {})
        : m_answers(std::move(answers)), m_openError(std::move(openError)) {}
    corvane::PortError open(int) override {
        if (m_openError.isError()) return m_openError;
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    corvane::PortError write(const QByteArray &bytes) override {
        if (!m_open) return {corvane::PortErrorKind::NotOpen, QString()};
        m_buffer += m_answers.value(bytes);
        return {};
    }
    QByteArray readAll(corvane::PortError *error) override {
        if (error) *error = {};
        return std::exchange(m_buffer, QByteArray());
    }
    QString name() const override { return QStringLiteral("scripted"); }

private:
    QMap<QByteArray, QByteArray> m_answers;
    corvane::PortError m_openError;
    QByteArray m_buffer;
    bool m_open = false;
};

// A pseudo-terminal: its slave side is a serial device nobody answers on.
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

private:
    int m_master = -1;
    QString m_slave;
};

struct ShellBench {
    corvane::VirtualClock clock;
    corvane::ScriptedPrompter prompter;
    corvane::LinkTrace trace;
    corvane::ConnectionController connection{clock, prompter};
    QList<corvane::DetectedPort> detected;
    // Port specs the test answers itself; everything else opens for real.
    QMap<QString, std::function<std::unique_ptr<corvane::Transport>()>> ports;

    ShellBench() {
        connection.link().setTrace(&trace);
        prompter.setObserver([this](const corvane::PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
        connection.setPortLister([this] { return detected; });
        // COM 1, the default port, is the simulator here, so "no selection" connects.
        ports[QStringLiteral("COM 1")] = [this] { return simulatorPort(); };
        connection.setTransportMaker([this](const QString &spec) {
            if (ports.contains(spec)) return ports.value(spec)();
            return corvane::makeTransport(spec, clock, connection.simulator());
        });
        dialog().refreshDetectedPorts();
    }

    std::unique_ptr<corvane::Transport> simulatorPort() {
        return std::make_unique<corvane::SimTransport>(connection.simulator(), clock);
    }
    corvane::sim::K3Simulator &radio() { return *connection.simulator(); }
    corvane::frmConnect &dialog() { return connection.dialog(); }

    template <class T>
    T *control(const char *name) {
        T *widget = dialog().findChild<T *>(QLatin1String(name));
        if (!widget) qWarning("no control %s", name);
        return widget;
    }
    QString label(const char *name) { return control<QLabel>(name)->text(); }
    void click(const char *name) { control<QAbstractButton>(name)->click(); }
    // Picks a port the way a user does: the item whose text is `item`.
    void pickPort(const QString &item) {
        QComboBox *combo = control<QComboBox>("cboComPort");
        combo->setCurrentIndex(combo->findText(item));
    }
    void pickBaud(const QString &item) {
        QComboBox *combo = control<QComboBox>("cboBaudRate");
        combo->setCurrentIndex(combo->findText(item));
    }
    // Connects with nothing picked (COM 1, the simulator) and forgets what that exchanged.
    bool connectQuietly() {
        click("cmdConnect");
        trace.clear();
        prompter.clear();
        return connection.link().isConnected();
    }
};
