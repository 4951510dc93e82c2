#pragma once
// The terminal a prompt reads its Enter from (POSIX termios; the portable build treats every
// input as a pipe).

namespace corvane::cli {

// Whether `fd` is a terminal (not a pipe, a file or /dev/null).
bool isTerminal(int fd);
// Drops what was typed on the terminal `fd` and not yet read, so that an Enter pressed ahead
// (during a long wait) does not confirm the next message unread.
void discardTypedAhead(int fd);

}  // namespace corvane::cli
