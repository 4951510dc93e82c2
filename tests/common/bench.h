#pragma once
// The clock, link, trace and prompter a radio test runs on.
//   BenchBase      VirtualClock `clock`, RadioLink `link` traced into LinkTrace `trace`,
//                  ScriptedPrompter `prompter` whose messages enter the trace as
//                  "M title|text" in order with the exchanges; waits() lists the waits.
//   ScriptedBench  + `radio`, a ScriptedTransport (common/scriptedtransport.h), link open.
//   SimBench       + `simulator` (noise off) behind a SimTransport, link open; state().
//   SimHarness     a bare K3Simulator driven as the program does: write, wait, read all.
//   dsAnswer() wraps eight display bytes as the radio answers "ds;".

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

#include "common/scriptedtransport.h"
#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "sim/k3simulator.h"

namespace corvane::test {

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
    QList<int> waits() const {
        QList<int> out;
        for (const auto &e : trace.events())
            if (e.kind == TraceEvent::Kind::Wait) out << e.ms;
        return out;
    }
};

struct ScriptedBench : BenchBase {
    ScriptedTransport *radio = nullptr;

    ScriptedBench() {
        auto transport = std::make_unique<ScriptedTransport>();
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

struct SimHarness {
    sim::K3Simulator sim;
    qint64 now = 0;

    explicit SimHarness(quint32 seed = 0x4b33) : sim(seed) {}

    QByteArray ask(const QByteArray &command, int waitMs = 100) {
        sim.receive(command, now);
        now += waitMs;
        return sim.takeOutput(now);
    }
    void send(const QByteArray &command, int waitMs = 100) {
        sim.receive(command, now);
        now += waitMs;
    }
    void wait(int ms) { now += ms; }
    // The 8 VFO A display bytes of a "ds;" answer.
    QByteArray displayA() { return ask("ds;").mid(2, 8); }
};

// A "ds;" answer around eight display bytes: "DS", the bytes, two status bytes, ";".
inline QByteArray dsAnswer(const QByteArray &display) {
    return QByteArray("DS") + display + QByteArray("\x80\x80;");
}

}  // namespace corvane::test
