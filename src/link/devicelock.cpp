#include "link/devicelock.h"

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace corvane {

bool DeviceLock::acquire(const QString &path) {
    release();
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    // Read-only and non-blocking: opening the lock must neither wait for a modem line nor
    // make the device this process's controlling terminal.
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno != EBUSY;  // EBUSY: opened exclusively (TIOCEXCL) by another
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
#endif
}

void DeviceLock::release() {
#ifndef Q_OS_WIN
    if (m_fd >= 0) ::close(m_fd);
#endif
    m_fd = -1;
}

}  // namespace corvane
