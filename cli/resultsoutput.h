#pragma once
// What the measurement subcommands (dbv-full, dbv-quick, sweep) share: problems on stderr,
// a refused option worded as the window's message, the results list printed on stdout as it
// grows and kept, and -o written as the window's Save File writes it.

#include <QCommandLineParser>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "core/prompter.h"

namespace corvane::cli {

inline const QString kCommentOption = QStringLiteral("comment");
inline const QString kOutputOption = QStringLiteral("o");

inline void printError(const QString &text) {
    const QByteArray bytes = (text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

// "<title>: <text>" of the message the window shows for the box; returns kExitUsage.
inline int refuseOption(const PromptMessage &refusal) {
    printError(refusal.title + QStringLiteral(": ") + refusal.text);
    return kExitUsage;
}

// The results list: each line on stdout as it is listed, all of them kept for -o.
class PrintedList {
public:
    explicit PrintedList(CliSession &session) : m_session(session) {}
    void clear() { m_lines.clear(); }
    void append(const QString &line) {
        m_lines << line;
        m_session.printLatin1(line);
        std::fflush(stdout);
    }
    const QStringList &lines() const { return m_lines; }

private:
    CliSession &m_session;
    QStringList m_lines;
};

using ResultsFileWriter = bool (*)(const QString &path, const QStringList &listLines,
                                   const QString &comment, const QDateTime &when);

// Writes the results file when -o is given, with --comment as the user's comment. Returns
// kExitDone, or kExitFailed after saying which file could not be written.
inline int writeOutputFile(const QCommandLineParser &parser, ResultsFileWriter write,
                           const QStringList &lines) {
    if (!parser.isSet(kOutputOption)) return kExitDone;
    const QString path = parser.value(kOutputOption);
    if (write(path, lines, parser.value(kCommentOption), QDateTime::currentDateTime()))
        return kExitDone;
    printError(QStringLiteral("corvane-cli: cannot write ") + path);
    return kExitFailed;
}

}  // namespace corvane::cli
