#include "common/ptyradio.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyRadio::PtyRadio(QObject *parent) : QObject(parent) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
    m_slaveKeeper = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_slaveKeeper >= 0) {
        // Raw from the start: no echo of what the program writes, no line editing.
        termios tio{};
        ::tcgetattr(m_slaveKeeper, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slaveKeeper, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PtyRadio::onReadable);
}

PtyRadio::~PtyRadio() {
    vanish();
}

void PtyRadio::send(const QByteArray &bytes) {
    if (m_master >= 0) {
        const ssize_t written = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        Q_UNUSED(written);
    }
}

void PtyRadio::vanish() {
    m_notifier.reset();
    if (m_slaveKeeper >= 0) ::close(m_slaveKeeper);
    if (m_master >= 0) ::close(m_master);
    m_slaveKeeper = m_master = -1;
}

void PtyRadio::onReadable() {
    char buffer[512];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0) return;
    m_received.append(buffer, int(n));
    m_pending.append(buffer, int(n));
    for (int end = m_pending.indexOf(';'); end >= 0; end = m_pending.indexOf(';')) {
        const QByteArray command = m_pending.left(end + 1);
        m_pending.remove(0, end + 1);
        const auto answer = m_answers.constFind(command);
        if (answer != m_answers.constEnd()) send(*answer);
    }
}
