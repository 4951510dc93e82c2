#include "link/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

namespace corvane {

namespace {
qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

RealClock::RealClock() : m_startNs(monotonicNs()) {}

qint64 RealClock::now() const { return (monotonicNs() - m_startNs) / 1000000; }

void RealClock::sleep(int ms)
{
    if (ms <= 0) return;
    const qint64 deadline = monotonicNs() + qint64(ms) * 1000000;
    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(ms);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // A precise timer may still fire a little early: the documented waits are minimums.
    for (qint64 left = deadline - monotonicNs(); left > 0; left = deadline - monotonicNs())
        std::this_thread::sleep_for(std::chrono::nanoseconds(left));
}

void RealClock::yield()
{
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void VirtualClock::sleep(int ms)
{
    if (ms > 0) m_now += ms;
}

void VirtualClock::yield()
{
    ++m_yields;
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (m_yieldHook) m_yieldHook();
}

}  // namespace corvane
