#include "link/serialtransport.h"

#include <QMetaObject>
#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <poll.h>
#include <unistd.h>
#endif

namespace corvane {

namespace {

// Where a port name lives in the file system, for the access check.
QString deviceLocation(const QString &device) {
    if (device.startsWith(u'/')) return device;
    return QStringLiteral("/dev/") + device;
}

bool deviceAccessible(const QString &device) {
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    // Windows reports a port held by another program as "access denied".
    return true;
#else
    return ::access(deviceLocation(device).toLocal8Bit().constData(), R_OK | W_OK) == 0;
#endif
}

}  // namespace

PortError portErrorFrom(QSerialPort::SerialPortError error, const QString &description,
                        bool accessible) {
    switch (error) {
        case QSerialPort::NoError:
            return {};
        case QSerialPort::DeviceNotFoundError:
            return {PortErrorKind::NoSuchPort, description, PortOpenCause::MissingDevice};
        case QSerialPort::PermissionError:
            // Qt reports both the lock of another process and a device we may not open as a
            // permission error; a device we could open is held by someone else.
            if (accessible) return {PortErrorKind::InUse, description};
            return {PortErrorKind::Other, description, PortOpenCause::PermissionDenied};
        case QSerialPort::OpenError:
            return {PortErrorKind::InUse, description};
        case QSerialPort::NotOpenError:
            return {PortErrorKind::NotOpen, description};
        default:
            return {PortErrorKind::Other, description};
    }
}

SerialTransport::SerialTransport(const QString &device) : m_device(device) {
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

SerialTransport::~SerialTransport() {
    close();
}

PortError SerialTransport::open(int baud) {
    if (isOpen()) return portErrorFrom(QSerialPort::OpenError, QString(), true);
    m_vanished = PortError();
    // Checked first: opening the port would set the other program's line settings.
    if (!m_lock.acquire(deviceLocation(m_device))) {
        PortError error = portErrorFrom(QSerialPort::OpenError, QString(), true);
        error.location = m_device;
        return error;
    }
    m_port.setPortName(m_device);
    m_port.setBaudRate(baud);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        // A device node without a UART behind it (Linux keeps /dev/ttyS0..3 whether or not
        // the ports exist) fails to open with an I/O error: there is no such port.
        PortError error =
            m_port.error() == QSerialPort::ResourceError
                ? PortError{PortErrorKind::NoSuchPort, m_port.errorString()}
                : portErrorFrom(m_port.error(), m_port.errorString(), deviceAccessible(m_device));
        error.location = m_device;
        m_port.clearError();
        m_lock.release();
        return error;
    }
    dropModemLines();
    // What the radio sent before the port was ours (auto-info reports while no program read
    // them, queued by the driver) is no answer to anything: dropped before the first write.
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
    watchHangUp();
    return {};
}

#ifndef Q_OS_WIN
// A hang-up (the adapter pulled, a pseudo-terminal's far side closed) reads as an end of file,
// which QSerialPort passes over in silence between exchanges; a notifier of our own on a copy
// of the descriptor sees it, so the port is known to be gone at once, not at the next command.
void SerialTransport::watchHangUp() {
    const int fd = ::dup(int(m_port.handle()));
    if (fd < 0) return;
    m_hangUpFd = fd;
    m_hangUp = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_hangUp.get(), &QSocketNotifier::activated, m_hangUp.get(), [this] {
        pollfd probe{m_hangUpFd, POLLIN, 0};
        if (::poll(&probe, 1, 0) != 1 || !(probe.revents & (POLLHUP | POLLERR))) return;
        m_hangUp->setEnabled(false);
        vanish(QStringLiteral("The device has gone away"));
    });
}

void SerialTransport::stopWatchingHangUp() {
    m_hangUp.reset();
    if (m_hangUpFd >= 0) ::close(m_hangUpFd);
    m_hangUpFd = -1;
}
#else
void SerialTransport::watchHangUp() {}  // Windows reports a removed port as a resource error
void SerialTransport::stopWatchingHangUp() {}
#endif

// The radio's port is to have DTR and RTS off from before it opens. That order cannot be had
// here: QSerialPort sets the lines only on an open port, and on Linux (and macOS) the kernel
// raises DTR and RTS itself when any program opens a serial device (the tty driver's open
// does it, before any setting can be made). So they are up for the instant between the
// open and this call, which drops them before anything is written. On Windows the
// lines follow the DCB that QSerialPort writes at open, with the same result.
void SerialTransport::dropModemLines() {
    const auto note = [this](const char *call, bool ok) {
        m_modemLineCalls << QLatin1String(call) +
                                (ok ? QLatin1String(" ok") : QLatin1String(" failed"));
    };
    note("DTR off", m_port.setDataTerminalReady(false));
    note("RTS off", m_port.setRequestToSend(false));
    // A pty has no modem lines; the failed calls leave an error that is not the port's.
    m_port.clearError();
}

void SerialTransport::close() {
    stopWatchingHangUp();
    if (m_port.isOpen()) m_port.close();
    m_lock.release();
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ResourceError) vanish(m_port.errorString());
}

void SerialTransport::vanish(const QString &description) {
    if (m_vanished.isError()) return;
    // The device went away (adapter pulled, pty master closed). Closing from inside the
    // port's own signal is not safe; the port closes as soon as control is back.
    m_vanished = PortError{PortErrorKind::Other, description};
    QMetaObject::invokeMethod(
        &m_port,
        [this] {
            const bool wasOpen = m_port.isOpen();
            close();
            if (wasOpen) tellLost(m_vanished);
        },
        Qt::QueuedConnection);
}

PortError SerialTransport::currentError() const {
    return portErrorFrom(m_port.error(), m_port.errorString(), true);
}

PortError SerialTransport::write(const QByteArray &bytes) {
    if (m_vanished.isError()) {
        close();
        return m_vanished;
    }
    if (!m_port.isOpen()) return {PortErrorKind::NotOpen, QString()};
    if (m_port.write(bytes) != bytes.size()) {
        const PortError error = currentError();
        m_port.clearError();
        return error.isError() ? error : PortError{PortErrorKind::Other, m_port.errorString()};
    }
    m_port.flush();
    if (m_vanished.isError()) {
        close();
        return m_vanished;
    }
    return {};
}

QByteArray SerialTransport::readAll(PortError *error) {
    const auto fail = [error](const PortError &e) {
        if (error) *error = e;
        return QByteArray();
    };
    if (m_vanished.isError()) {
        close();
        return fail(m_vanished);
    }
    if (!m_port.isOpen()) return fail({PortErrorKind::NotOpen, QString()});
    // Let the port pick up bytes the event loop has not delivered yet; nothing waits here.
    m_port.waitForReadyRead(0);
    const QByteArray data = m_port.readAll();
    PortError found;
    if (m_vanished.isError()) {
        found = m_vanished;
        close();
    } else if (m_port.error() != QSerialPort::TimeoutError) {
        found = currentError();
    }
    m_port.clearError();
    if (error) *error = found;
    return data;
}

}  // namespace corvane
