#pragma once
// A record of every exchange with the radio: each write, wait and read (and, when a
// prompter is hooked up, each message shown), with the clock's time. Tests assert exact
// command sequences and waits with it.
//
// Line forms of lines():  "W id;"   a write
//                         "S 100"   a wait of 100 ms
//                         "R ID017;" a read (the text taken, possibly empty)
//                         "M title|text" a message shown to the user
//                         "Y"       a yield to the event loop

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace corvane {

struct TraceEvent {
    enum class Kind { Write, Wait, Read, Message, Yield };
    Kind kind;
    qint64 at;  // clock time in ms when the event began
    QString text;
    int ms = 0;
};

class LinkTrace {
public:
    void addWrite(qint64 at, const QString &text) { add({TraceEvent::Kind::Write, at, text, 0}); }
    void addWait(qint64 at, int ms) { add({TraceEvent::Kind::Wait, at, QString(), ms}); }
    void addRead(qint64 at, const QString &text) { add({TraceEvent::Kind::Read, at, text, 0}); }
    void addMessage(qint64 at, const QString &text) {
        add({TraceEvent::Kind::Message, at, text, 0});
    }
    void addYield(qint64 at) { add({TraceEvent::Kind::Yield, at, QString(), 0}); }
    // Called with every event as it is recorded (corvane-cli --trace prints them live).
    void setObserver(std::function<void(const TraceEvent &)> observer) {
        m_observer = std::move(observer);
    }
    // Off: events only go to the observer and nothing is kept here (the GUI's radio log
    // keeps a bounded copy of its own).
    void setKeeping(bool keep) { m_keep = keep; }
    // The line of lines() for one event.
    static QString lineOf(const TraceEvent &event);

    const std::vector<TraceEvent> &events() const { return m_events; }
    QStringList lines() const;
    // Only the texts written, in order.
    QStringList writes() const;
    // Sum of all waits, in ms.
    qint64 totalWaitMs() const;
    void clear() { m_events.clear(); }
    bool isEmpty() const { return m_events.empty(); }

private:
    void add(TraceEvent event) {
        if (!m_keep) {
            if (m_observer) m_observer(event);
            return;
        }
        m_events.push_back(std::move(event));
        if (m_observer) m_observer(m_events.back());
    }

    std::vector<TraceEvent> m_events;
    bool m_keep = true;
    std::function<void(const TraceEvent &)> m_observer;
};

}  // namespace corvane
