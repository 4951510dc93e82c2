#pragma once
// What the measurement subcommands (dbv-full, dbv-quick, sweep, and any later test) share:
// problems on stderr, a refused option worded as the window's message, the results list
// printed on stdout as it grows and kept, and -o written as the window's Save File writes it.
//
// The order every measurement subcommand follows:
//   1. check its options, then checkOutputPath() (before anything is sent to the radio or
//      printed);
//   2. openPort(), run the procedure (its sink prints lines, progress and warnOnce() on the
//      no-answer note of the progress);
//   3. return finishMeasurement(...): writes -o with whatever was measured (also after a lost
//      port or a stop signal) and gives the exit code: 1 when the port was lost or the file
//      could not be written, 128 + signal after SIGINT/SIGTERM/SIGHUP, else 0.

#include <QCommandLineParser>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "core/prompter.h"
#include "files/atomicfile.h"
#include "files/filecheck.h"
#include "files/linefile.h"
#include "files/terminaltext.h"
#include "stopflag.h"

namespace corvane::cli {

inline const QString kCommentOption = QStringLiteral("comment");
inline const QString kOutputOption = QStringLiteral("o");

// A problem or warning on stderr; what it quotes of a file is escaped on a terminal.
inline void printError(const QString &text) {
    const QByteArray bytes = (forStream(stderr, text) + u'\n').toLocal8Bit();
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
                                   const QString &comment, const QDateTime &when, QString *error);

// What -o receives: a text file, or an image or PDF, which a terminal would show as garbage.
enum class OutputKind { Text, Binary };

// -o checked before the radio is touched: "-" (standard output: from here on the list and
// every other line go to standard error; not a terminal for a binary file), /dev/null, or a
// file that can be made there (not a pipe, device or folder). Returns kExitDone, or
// kExitFailed after "cannot write PATH: the reason".
inline int checkOutputPath(const QCommandLineParser &parser, OutputKind kind = OutputKind::Text) {
    if (!parser.isSet(kOutputOption)) return kExitDone;
    const QString path = parser.value(kOutputOption);
    QString problem = writeTargetProblem(path);
    if (problem.isEmpty() && kind == OutputKind::Binary && isStandardOutputTarget(path) &&
        isTerminal(stdout))
        problem =
            QStringLiteral("standard output is a terminal: redirect it to a file or a program");
    if (problem.isEmpty() && isStandardOutputTarget(path)) takeStandardOutput(&problem);
    if (problem.isEmpty()) return kExitDone;
    printError(QStringLiteral("corvane-cli: cannot write ") + path + QStringLiteral(": ") +
               problem);
    return kExitFailed;
}

// Writes the results file when -o is given, with --comment as the user's comment. Returns
// kExitDone, or kExitFailed after saying which file could not be written and why (the old
// file, if any, is left as it was).
inline int writeOutputFile(const QCommandLineParser &parser, ResultsFileWriter write,
                           const QStringList &lines) {
    if (!parser.isSet(kOutputOption)) return kExitDone;
    const QString path = parser.value(kOutputOption);
    QString error;
    if (write(path, lines, parser.value(kCommentOption), QDateTime::currentDateTime(), &error))
        return kExitDone;
    printError(QStringLiteral("corvane-cli: cannot write ") + path + QStringLiteral(": ") + error);
    return kExitFailed;
}

// The end of a measurement subcommand that ran: -o written with what was measured, then the
// exit code (see the top of this file).
inline int finishMeasurement(const QCommandLineParser &parser, ResultsFileWriter write,
                             const QStringList &lines, bool portLost) {
    const int written = writeOutputFile(parser, write, lines);
    if (portLost) return kExitFailed;
    return exitCodeAfterStop(written);
}

// The once-only warning on stderr when the radio stops answering during a test; the test
// goes on (its progress lines carry the count).
class NoAnswerWarning {
public:
    void check(const QString &noAnswerNote) {
        if (m_warned || noAnswerNote.isEmpty()) return;
        m_warned = true;
        printError(QStringLiteral("corvane-cli: warning: ") + noAnswerNote +
                   QStringLiteral("; the test goes on, its readings of the silent radio are "
                                  "empty."));
    }

private:
    bool m_warned = false;
};

}  // namespace corvane::cli
