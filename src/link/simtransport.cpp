#include "link/simtransport.h"

namespace corvane {

SimTransport::SimTransport(std::shared_ptr<sim::K3Simulator> simulator, const Clock &clock)
    : m_sim(std::move(simulator)), m_clock(clock) {}

PortError SimTransport::open(int) {
    if (m_sim->faults().vanished)
        return PortError{PortErrorKind::NoSuchPort, QStringLiteral("No such device")};
    if (m_open) return PortError{PortErrorKind::InUse, QStringLiteral("Port is already open")};
    m_open = true;
    return {};
}

void SimTransport::close() {
    m_open = false;
}

PortError SimTransport::write(const QByteArray &bytes) {
    if (!m_open) return PortError{PortErrorKind::NotOpen, QString()};
    if (m_sim->faults().vanished)
        return PortError{PortErrorKind::Other, QStringLiteral("The device was removed")};
    m_sim->receive(bytes, m_clock.now());
    return {};
}

QByteArray SimTransport::readAll(PortError *error) {
    if (!m_open) {
        if (error) *error = PortError{PortErrorKind::NotOpen, QString()};
        return {};
    }
    if (m_sim->faults().vanished) {
        if (error)
            *error = PortError{PortErrorKind::Other, QStringLiteral("The device was removed")};
        return {};
    }
    return m_sim->takeOutput(m_clock.now());
}

}  // namespace corvane
