#pragma once
// Time as the radio procedures see it. Every exchange is "write, wait a fixed time, read";
// the Clock decides what a wait is.
//  - RealClock: waits for real with a precise timer while running a local event loop that
//    excludes user input, so windows repaint and serial bytes arrive, but no click can start
//    a second exchange inside a wait. yield() processes all pending events (the tests' Stop).
//  - VirtualClock: time jumps forward at once; a 35-minute test runs in milliseconds.

#include <QtGlobal>
#include <functional>

namespace corvane {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleep(int ms) = 0;
    virtual void yield() = 0;
    // Milliseconds since the clock was made.
    virtual qint64 now() const = 0;
    // Delivers the user input that waits held back (clicks and keys made while a procedure
    // ran); LinkHold calls it as a procedure lets go of the link.
    virtual void deliverHeldInput();
};

class RealClock : public Clock {
public:
    RealClock();
    void sleep(int ms) override;
    void yield() override;
    qint64 now() const override;

private:
    qint64 m_startNs;
};

class VirtualClock : public Clock {
public:
    void sleep(int ms) override;
    void yield() override;
    qint64 now() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }
    // Called at every yield(); tests use it to press Stop or change the simulator mid-run.
    void setYieldHook(std::function<void()> hook) { m_yieldHook = std::move(hook); }
    int yieldCount() const { return m_yields; }

private:
    qint64 m_now = 0;
    int m_yields = 0;
    std::function<void()> m_yieldHook;
};

}  // namespace corvane
