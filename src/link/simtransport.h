#pragma once
// The built-in simulator as a port: writes go to the simulator at the clock's time, reads
// take what it has sent by then.

#include <memory>

#include "link/clock.h"
#include "link/transport.h"
#include "sim/k3simulator.h"

namespace corvane {

class SimTransport : public Transport {
public:
    SimTransport(std::shared_ptr<sim::K3Simulator> simulator, const Clock &clock);
    PortError open(int baud) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    PortError write(const QByteArray &bytes) override;
    QByteArray readAll(PortError *error = nullptr) override;
    QString name() const override { return QStringLiteral("K3 Simulator (built in)"); }
    sim::K3Simulator &simulator() const { return *m_sim; }

private:
    std::shared_ptr<sim::K3Simulator> m_sim;
    const Clock &m_clock;
    bool m_open = false;
};

}  // namespace corvane
