#include "sim/k3simulator.h"

namespace corvane::sim {

struct K3Simulator::Pending {};

K3Simulator::K3Simulator(quint32 seed) : m_rng(seed) {}
K3Simulator::~K3Simulator() = default;

void K3Simulator::receive(const QByteArray &bytes, qint64 nowMs)
{
    m_partial += QString::fromLatin1(bytes);
    int end;
    while ((end = m_partial.indexOf(u';')) >= 0) {
        const QString command = m_partial.left(end);
        m_partial.remove(0, end + 1);
        execute(command, nowMs);
    }
}

QByteArray K3Simulator::takeOutput(qint64 nowMs)
{
    QByteArray out;
    while (!m_output.empty() && m_output.front().first <= nowMs) {
        out += m_output.front().second;
        m_output.pop_front();
    }
    return out;
}

qint64 K3Simulator::nextOutputTime() const { return m_output.empty() ? -1 : m_output.front().first; }

void K3Simulator::execute(const QString &command, qint64 nowMs)
{
    m_log << command;
    if (command.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0) answer("ID017;", nowMs);
    else answer("?;", nowMs);
}

void K3Simulator::answer(const QByteArray &text, qint64 nowMs)
{
    m_output.emplace_back(nowMs + m_latencyMs, text);
}

QByteArray K3Simulator::vfoADisplay() const { return QByteArray(8, '@'); }
QByteArray K3Simulator::vfoBDisplay(qint64) { return QByteArray(8, '@'); }
double K3Simulator::audioVolts(qint64) { return 0.0; }
double K3Simulator::filterResponseDb(const CrystalFilter &, double) { return 0.0; }
QStringList K3Simulator::menuChoices(int) const { return {}; }

}  // namespace corvane::sim
