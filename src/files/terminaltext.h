#pragma once
// Text of a saved file shown on a terminal. A file may hold control characters (damage, or a
// file made to hold them): sent raw, an escape sequence moves the cursor, clears the screen,
// retitles the window or changes what later output looks like. On a terminal they are shown
// as \xHH instead; into a file or a pipe the text goes as it is.

#include <QString>
#include <cstdio>

namespace corvane {

// The text with every control character but tab and line feed (C0, DEL and the C1 range
// 0x80-0x9F) written as \x and two hex digits: "\x1b[2J".
QString escapeControls(const QString &text);

// Whether the stream is a terminal.
bool isTerminal(std::FILE *stream);

// The text as it may be written to `stream`: escaped when that is a terminal.
inline QString forStream(std::FILE *stream, const QString &text) {
    return isTerminal(stream) ? escapeControls(text) : text;
}

}  // namespace corvane
