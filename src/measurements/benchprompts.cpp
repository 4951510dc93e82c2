#include "measurements/benchprompts.h"

#include "core/numtext.h"
#include "measurements/mdstest.h"

namespace corvane {

QString followPrompt(sim::K3Simulator &simulator, const PromptMessage &msg) {
    sim::SignalGenerator &generator = simulator.generator();
    if (msg.title == kMdsSetupTitle) {
        generator.on = true;
        generator.levelDbm = kMdsGeneratorDbm;
        generator.frequencyHz = double(simulator.state().vfoAHz);
        return QStringLiteral("signal generator on, %1 dBm at %2 kHz")
            .arg(shortestText(generator.levelDbm), format0_000(generator.frequencyHz / 1000.0));
    }
    if (msg.title == kMdsGeneratorOffTitle) {
        generator.on = false;
        return QStringLiteral("signal generator off");
    }
    return QString();
}

PromptFollower::PromptFollower(Prompter &inner, SimulatorInUse simulator, Done done)
    : m_inner(inner), m_simulator(std::move(simulator)), m_done(std::move(done)) {}

void PromptFollower::message(const PromptMessage &msg) {
    m_inner.message(msg);
    sim::K3Simulator *simulator = m_simulator ? m_simulator() : nullptr;
    if (!simulator) return;
    const QString what = followPrompt(*simulator, msg);
    if (!what.isEmpty() && m_done) m_done(what);
}

}  // namespace corvane
