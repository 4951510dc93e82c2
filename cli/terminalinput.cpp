#include "terminalinput.h"

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <termios.h>
#include <unistd.h>
#endif

namespace corvane::cli {

bool isTerminal(int fd) {
#ifdef Q_OS_WIN
    Q_UNUSED(fd);
    return false;
#else
    return ::isatty(fd) == 1;
#endif
}

void discardTypedAhead(int fd) {
#ifdef Q_OS_WIN
    Q_UNUSED(fd);
#else
    if (isTerminal(fd)) ::tcflush(fd, TCIFLUSH);
#endif
}

}  // namespace corvane::cli
