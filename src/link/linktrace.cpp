#include "link/linktrace.h"

namespace corvane {

QStringList LinkTrace::lines() const
{
    QStringList out;
    for (const auto &e : m_events) {
        switch (e.kind) {
        case TraceEvent::Kind::Write: out << QStringLiteral("W ") + e.text; break;
        case TraceEvent::Kind::Wait: out << QStringLiteral("S ") + QString::number(e.ms); break;
        case TraceEvent::Kind::Read: out << QStringLiteral("R ") + e.text; break;
        case TraceEvent::Kind::Message: out << QStringLiteral("M ") + e.text; break;
        case TraceEvent::Kind::Yield: out << QStringLiteral("Y"); break;
        }
    }
    return out;
}

QStringList LinkTrace::writes() const
{
    QStringList out;
    for (const auto &e : m_events)
        if (e.kind == TraceEvent::Kind::Write) out << e.text;
    return out;
}

qint64 LinkTrace::totalWaitMs() const
{
    qint64 sum = 0;
    for (const auto &e : m_events)
        if (e.kind == TraceEvent::Kind::Wait) sum += e.ms;
    return sum;
}

}  // namespace corvane
