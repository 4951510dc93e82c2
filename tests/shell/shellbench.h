#pragma once
// The bench the shell tests run on: the connection controller over the built-in simulator
// on a virtual clock, a scripted prompter whose messages go into the exchange trace, and
// helpers to find and press the dialog's controls by name.

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
    explicit ScriptedTransport(QMap<QByteArray, QByteArray> answers) : m_answers(answers) {}
    corvane::PortError open(int) override { return m_open = true, corvane::PortError{}; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    corvane::PortError write(const QByteArray &bytes) override {
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
    QByteArray m_buffer;
    bool m_open = false;
};

// A pseudo-terminal: its slave side is a serial device nobody answers on.
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QString slave;
    Pty() {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
};

struct ShellBench {
    corvane::VirtualClock clock;
    corvane::ScriptedPrompter prompter;
    corvane::LinkTrace trace;
    corvane::ConnectionController connection{clock, prompter};
    QList<corvane::DetectedPort> detected;
    std::function<std::unique_ptr<corvane::Transport>()> com1;  // COM 1, the default port

    ShellBench() {
        connection.link().setTrace(&trace);
        prompter.setObserver([this](const corvane::PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
        connection.setPortLister([this] { return detected; });
        // COM 1 is the simulator here, so "no selection" connects; the rest open for real.
        com1 = [this] {
            return std::make_unique<corvane::SimTransport>(connection.simulator(), clock);
        };
        connection.setTransportMaker([this](const QString &spec) {
            if (spec == QLatin1String("COM 1")) return com1();
            return corvane::makeTransport(spec, clock, connection.simulator());
        });
        dialog().refreshDetectedPorts();
    }
    corvane::sim::K3Simulator &radio() { return *connection.simulator(); }
    corvane::frmConnect &dialog() { return connection.dialog(); }
    bool connected() { return connection.link().isConnected(); }
    template <class T = QWidget>
    T *control(const char *name) {
        return dialog().findChild<T *>(QLatin1String(name));
    }
    QString label(const char *name) { return control<QLabel>(name)->text(); }
    bool enabled(const char *name) { return control(name)->isEnabled(); }
    void click(const char *name) { control<QAbstractButton>(name)->click(); }
    void pick(const char *combo, const QString &item) {
        QComboBox *box = control<QComboBox>(combo);
        box->setCurrentIndex(box->findText(item));
    }
    void detect(const QString &path) {
        detected = {{path, path}};
        dialog().refreshDetectedPorts();
        pick("cboComPort", path);
    }
    // Connects with nothing picked (COM 1, the simulator) and forgets what that exchanged.
    bool connectQuietly() {
        click("cmdConnect");
        trace.clear();
        prompter.clear();
        return connected();
    }
};
