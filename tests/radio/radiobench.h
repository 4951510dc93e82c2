#pragma once
// Test benches for the radio area: a RadioLink on a virtual clock with every exchange and
// message traced, talking either to a scripted radio (exact answers, including short,
// garbled and stale ones) or to the built-in simulator.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "link/transport.h"
#include "sim/k3simulator.h"

namespace corvane::test {

// Answers whole writes from a table; the answer joins the receive buffer at once, so text
// that nobody reads stays in front of the next answer, as on the real port.
class ScriptedRadio : public Transport {
public:
    void setAnswer(const QString &write, const QByteArray &answer) { m_answers[write] = answer; }
    PortError open(int) override {
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    PortError write(const QByteArray &bytes) override {
        m_buffer += m_answers.value(QString::fromLatin1(bytes));
        return {};
    }
    QByteArray readAll(PortError * = nullptr) override {
        QByteArray out;
        out.swap(m_buffer);
        return out;
    }
    QString name() const override { return QStringLiteral("scripted radio"); }

private:
    QMap<QString, QByteArray> m_answers;
    QByteArray m_buffer;
    bool m_open = false;
};

// The clock, link, trace and prompter every bench shares. Messages are traced as
// "M title|text" in order with the exchanges.
struct BenchBase {
    VirtualClock clock;
    RadioLink link{clock};
    LinkTrace trace;
    ScriptedPrompter prompter;

    BenchBase() {
        link.setTrace(&trace);
        prompter.setObserver([this](const PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
    }
    // The waits of the trace, in order.
    QList<int> waits() const {
        QList<int> out;
        for (const auto &e : trace.events())
            if (e.kind == TraceEvent::Kind::Wait) out << e.ms;
        return out;
    }
};

struct ScriptedBench : BenchBase {
    ScriptedRadio *radio = nullptr;

    ScriptedBench() {
        auto transport = std::make_unique<ScriptedRadio>();
        radio = transport.get();
        link.setTransport(std::move(transport));
        link.open();
    }
};

struct SimBench : BenchBase {
    std::shared_ptr<sim::K3Simulator> simulator = std::make_shared<sim::K3Simulator>();

    SimBench() {
        simulator->setNoiseEnabled(false);
        link.setTransport(std::make_unique<SimTransport>(simulator, clock));
        link.open();
    }
    sim::K3State &state() { return simulator->state(); }
};

// A "ds;" answer around eight display bytes: "DS", the bytes, two status bytes, ";".
inline QByteArray dsAnswer(const QByteArray &display) {
    return QByteArray("DS") + display + QByteArray("\x80\x80;");
}

// A display byte with its decimal point lit.
inline char lit(char c) {
    return static_cast<char>(static_cast<unsigned char>(c) | 0x80);
}

}  // namespace corvane::test
