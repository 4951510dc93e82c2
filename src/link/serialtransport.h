#pragma once
// A serial device as the radio's port (QSerialPort): 8 data bits, no parity, 1 stop bit, no
// flow control. DTR and RTS are dropped as soon as the port is open, because many radio
// interfaces key PTT or CW on them. A pseudo-terminal has no modem lines: the calls fail
// there, which is not a port error. A device that another program holds, under any of its
// names, is refused as in use (link/devicelock.h) before the port is touched.

#include <QSerialPort>
#include <QString>
#include <QStringList>

#include "link/devicelock.h"
#include "link/transport.h"

namespace corvane {

class SerialTransport : public Transport {
public:
    // `device` is a path ("/dev/ttyUSB0", a pty or a link to one) or a platform port name.
    explicit SerialTransport(const QString &device);
    ~SerialTransport() override;

    PortError open(int baud) override;
    void close() override;
    // False as soon as the device has gone away, even before the port is closed.
    bool isOpen() const override { return m_port.isOpen() && !m_vanished.isError(); }
    PortError write(const QByteArray &bytes) override;
    QByteArray readAll(PortError *error = nullptr) override;
    QString name() const override { return m_device; }

    // Every modem-line call made, in order, as "DTR off" / "RTS off" followed by " ok" or
    // " failed" (a pty cannot show the lines themselves).
    QStringList modemLineCalls() const { return m_modemLineCalls; }

private:
    void dropModemLines();
    void onError(QSerialPort::SerialPortError error);
    PortError currentError() const;

    QString m_device;
    DeviceLock m_lock;  // taken before the port opens, released after it closes
    QSerialPort m_port;
    QStringList m_modemLineCalls;
    PortError m_vanished;  // set when the device went away while open
};

// How a QSerialPort error reads as a port error. `deviceAccessible` tells a port held by
// another process (Qt reports that as a permission problem too) from a real permission
// problem.
PortError portErrorFrom(QSerialPort::SerialPortError error, const QString &description,
                        bool deviceAccessible);

}  // namespace corvane
