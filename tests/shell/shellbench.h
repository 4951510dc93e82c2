#pragma once
// The bench the shell tests run on: the connection controller over the built-in simulator
// on a virtual clock, a scripted prompter whose messages go into the exchange trace, and
// helpers to find and press the dialog's controls by name.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "common/k3simprocess.h"
#include "common/scriptedtransport.h"
#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/portnames.h"
#include "link/simtransport.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmconnect.h"

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
