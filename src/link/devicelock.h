#pragma once
// One program at a time on a serial device, whatever name it is opened by. QSerialPort's own
// lock is a lock file named after the port name, so a second program that opens the same pty
// or adapter under another name (a symlink, /dev/serial/by-id/...) is not stopped by it, and
// its writes and reads land in the middle of a running test. This lock is taken on the
// device itself, through a descriptor of its own held as long as the port is open: on POSIX
// systems flock() locks the device node whatever path led to it. Windows opens a COM port for
// one program only, so nothing more is needed there.

#include <QString>

namespace corvane {

class DeviceLock {
public:
    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(const DeviceLock &) = delete;
    DeviceLock &operator=(const DeviceLock &) = delete;

    // Locks the device at `path` (any of its names). False only when another program (or
    // another port in this one) holds it; a path that cannot be opened here is left for the
    // port's own open to report.
    bool acquire(const QString &path);
    void release();

private:
    int m_fd = -1;
};

}  // namespace corvane
