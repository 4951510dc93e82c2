#include "link/linktrace.h"

namespace corvane {

QString LinkTrace::lineOf(const TraceEvent &e) {
    switch (e.kind) {
        case TraceEvent::Kind::Write:
            return QStringLiteral("W ") + e.text;
        case TraceEvent::Kind::Wait:
            return QStringLiteral("S ") + QString::number(e.ms);
        case TraceEvent::Kind::Read:
            return QStringLiteral("R ") + e.text;
        case TraceEvent::Kind::Message:
            return QStringLiteral("M ") + e.text;
        case TraceEvent::Kind::Yield:
            return QStringLiteral("Y");
    }
    return QString();
}

QStringList LinkTrace::lines() const {
    QStringList out;
    for (const auto &e : m_events) out << lineOf(e);
    return out;
}

QStringList LinkTrace::writes() const {
    QStringList out;
    for (const auto &e : m_events)
        if (e.kind == TraceEvent::Kind::Write) out << e.text;
    return out;
}

qint64 LinkTrace::totalWaitMs() const {
    qint64 sum = 0;
    for (const auto &e : m_events)
        if (e.kind == TraceEvent::Kind::Wait) sum += e.ms;
    return sum;
}

}  // namespace corvane
