#pragma once
// The built-in simulator playing the user at the bench: once the user has confirmed a test's
// prompt, what it asks of the signal generator is done on the simulator's generator. The MDS
// set-up ("Turn on RF signal source set at 1 uV (-107 dBm)") switches it on at -107 dBm on
// VFO A's frequency; "Turn off RF signal source" switches it off. corvane-cli on --port sim
// and the K3 Simulator window's "Follow the test's prompts" both run the MDS test this way.

#include <QString>
#include <functional>

#include "core/prompter.h"
#include "sim/k3simulator.h"

namespace corvane {

// Does what `msg` asks of the generator; says what was done ("signal generator on, -107 dBm
// at 14060.000 kHz", "signal generator off"), or nothing when the prompt asks nothing of it.
QString followPrompt(sim::K3Simulator &simulator, const PromptMessage &msg);

// Shows each message through `inner`, then follows it on the simulator that `simulator`
// names (null: no simulator to follow, nothing done) and hands what was done to `done`.
class PromptFollower : public Prompter {
public:
    using SimulatorInUse = std::function<sim::K3Simulator *()>;
    using Done = std::function<void(const QString &what)>;
    PromptFollower(Prompter &inner, SimulatorInUse simulator, Done done = {});
    void message(const PromptMessage &msg) override;
    using Prompter::message;
    void setOwner(QObject *owner) override { m_inner.setOwner(owner); }
    QObject *owner() const override { return m_inner.owner(); }

private:
    Prompter &m_inner;
    SimulatorInUse m_simulator;
    Done m_done;
};

}  // namespace corvane
