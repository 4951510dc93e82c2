#include "link/radiolink.h"

#include <algorithm>

namespace corvane {

RadioLink::RadioLink(Clock &clock) : m_clock(clock) {}

RadioLink::~RadioLink() {
    close();
}

void RadioLink::setTransport(std::unique_ptr<Transport> transport) {
    close();
    m_transport = std::move(transport);
    if (m_transport)
        m_transport->setLostHandler([this](const PortError &error) { noteError(error); });
}

int RadioLink::baudRate() const {
    bool ok = false;
    const int baud = m_settings.section(u',', 0, 0).toInt(&ok);
    return ok && baud > 0 ? baud : 38400;
}

PortError RadioLink::open() {
    if (!m_transport) return PortError{PortErrorKind::NoSuchPort, QString()};
    const PortError error = m_transport->open(baudRate());
    if (!error.isError()) m_open = true;
    return error;
}

void RadioLink::close() {
    m_open = false;
    if (m_transport && m_transport->isOpen()) m_transport->close();
}

bool RadioLink::isConnected() const {
    return m_transport && m_transport->isOpen();
}

void RadioLink::noteError(const PortError &error) {
    if (!error.isError() || m_lastError.isError()) return;
    m_lastError = error;
    // The port is gone or broken: nothing more goes out on it, and everyone showing the
    // port's state learns it now, not at the next click.
    // A vanished device reads as closed already; it was open until now all the same.
    const bool wasOpen = m_open;
    close();
    if (wasOpen)
        for (const auto &observer : m_lostObservers) observer(error);
}

bool RadioLink::writeAndWait(const QString &text, int waitMs) {
    if (!isConnected()) {
        noteError(PortError{PortErrorKind::NotOpen, QString()});
        return false;
    }
    if (m_trace) m_trace->addWrite(m_clock.now(), text);
    const PortError error = m_transport->write(text.toLatin1());
    if (error.isError()) {
        noteError(error);
        return false;
    }
    wait(waitMs);
    return true;
}

void RadioLink::sendCommand(const QString &text, int waitMs) {
    if (isConnected()) m_lastChangeMs = m_clock.now();
    writeAndWait(text, waitMs);
}

QString RadioLink::queryRadio(const QString &text, int waitMs, int settleMs) {
    if (!writeAndWait(text, waitMs)) return QString();
    PortError error;
    const QString answer = QString::fromLatin1(m_transport->readAll(&error));
    if (error.isError()) noteError(error);
    if (m_trace) m_trace->addRead(m_clock.now(), answer);
    wait(settleMs);
    return answer;
}

bool RadioLink::waitUnless(int ms, const std::function<bool()> &stop) {
    const qint64 start = m_clock.now();
    int waited = 0;
    bool cut = false;
    while (waited < ms) {
        if (stop && stop()) {
            cut = true;
            break;
        }
        const int slice = std::min(kStopCheckMs, ms - waited);
        m_clock.sleep(slice);
        waited += slice;
    }
    if (m_trace && waited > 0) m_trace->addWait(start, waited);
    return !cut;
}

bool RadioLink::sendCommandUnless(const QString &text, int waitMs,
                                  const std::function<bool()> &stop) {
    return writeAndWait(text, 0) && waitUnless(waitMs, stop);
}

QString RadioLink::queryRadioUnless(const QString &text, int waitMs,
                                    const std::function<bool()> &stop, bool *stopped) {
    if (stopped) *stopped = false;
    if (!writeAndWait(text, 0)) return QString();
    const qint64 start = m_clock.now();
    if (!waitUnless(waitMs, stop)) {
        if (stopped) *stopped = true;
        wait(int(std::min<qint64>(waitMs, kStoppedAnswerMs) - (m_clock.now() - start)));
    }
    PortError error;
    const QString answer = QString::fromLatin1(m_transport->readAll(&error));
    if (error.isError()) noteError(error);
    if (m_trace) m_trace->addRead(m_clock.now(), answer);
    return answer;
}

void RadioLink::wait(int ms) {
    if (ms <= 0) return;
    if (m_trace) m_trace->addWait(m_clock.now(), ms);
    ++m_waiting;
    m_clock.sleep(ms);
    --m_waiting;
}

void letReadoutSettle(RadioLink &link, const std::function<void(const QString &)> &say) {
    if (link.portLost() || link.lastChangeMs() < 0) return;
    const qint64 left = link.lastChangeMs() + kReadoutSettleMs - link.clock().now();
    if (left <= 0) return;
    if (say) say(kReadoutSettlingText);
    link.wait(int(left));
}

QString answerIn(const QString &reply, QLatin1String letters, int length) {
    qsizetype from = reply.lastIndexOf(letters);
    while (from > 0 && reply.at(from - 1) != u';') from = reply.lastIndexOf(letters, from - 1);
    if (from < 0) return reply;
    if (length > 0) return reply.mid(from, length);
    const qsizetype end = reply.indexOf(u';', from);
    return end < 0 ? reply.mid(from) : reply.mid(from, end - from + 1);
}

}  // namespace corvane
