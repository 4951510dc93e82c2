#include "link/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <time.h>
#endif

namespace corvane {

namespace {
// How much of a real-clock wait is slept outside the event loop, precisely.
constexpr int kPreciseFinishMs = 2;

qint64 monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Sleeps until the monotonic clock reads `deadlineNs` (it may return early on a signal).
void sleepUntil(qint64 deadlineNs) {
#ifdef Q_OS_UNIX
    // steady_clock is CLOCK_MONOTONIC here; an absolute deadline does not drift.
    timespec until{};
    until.tv_sec = time_t(deadlineNs / 1000000000);
    until.tv_nsec = long(deadlineNs % 1000000000);
    ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
#else
    std::this_thread::sleep_for(std::chrono::nanoseconds(deadlineNs - monotonicNs()));
#endif
}
}  // namespace

RealClock::RealClock() : m_startNs(monotonicNs()) {}

qint64 RealClock::now() const {
    return (monotonicNs() - m_startNs) / 1000000;
}

void RealClock::sleep(int ms) {
    if (ms <= 0) return;
    const qint64 deadline = monotonicNs() + qint64(ms) * 1000000;
    // The event loop's timer wakes up to a millisecond late, so it is set to end a little
    // early; the last stretch is slept against the monotonic clock itself.
    const int loopMs = ms - kPreciseFinishMs;
    if (QCoreApplication::instance() && loopMs > 0) {
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(loopMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // The documented waits are minimums: never return before the deadline.
    for (qint64 left = deadline - monotonicNs(); left > 0; left = deadline - monotonicNs())
        sleepUntil(deadline);
}

void Clock::deliverHeldInput() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void RealClock::yield() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void VirtualClock::sleep(int ms) {
    if (ms > 0) m_now += ms;
}

void VirtualClock::yield() {
    ++m_yields;
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (m_yieldHook) m_yieldHook();
}

}  // namespace corvane
