#pragma once
// What a corvane-cli subcommand works with: the options common to all subcommands, the
// clock (the real one for a real port; a virtual one for the built-in simulator, so a whole
// test finishes at once), the radio link and its trace, and the prompter.

#include <QCommandLineParser>
#include <QString>
#include <cstdio>
#include <memory>

#include "clicommand.h"
#include "cliprompter.h"
#include "core/appcontext.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "sim/k3simulator.h"

namespace corvane::cli {

struct CommonOptions {
    QString port = QStringLiteral("COM 1");  // as the connection dialog: COM 1 when none given
    int baud = 38400;
    bool yes = false;
    bool trace = false;
};

class CliSession {
public:
    CliSession(const CommonOptions &options, const QCommandLineParser &parser,
               const CliCommand &command);
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    const CommonOptions &options() const { return m_options; }
    // The subcommand's own options.
    const QCommandLineParser &parser() const { return m_parser; }
    const CliCommand &command() const { return m_command; }

    Clock &clock() { return *m_clock; }
    RadioLink &link() { return *m_link; }
    LinkTrace &trace() { return m_trace; }
    Prompter &prompter() { return m_prompter; }
    // The built-in simulator with --port sim, else null.
    std::shared_ptr<sim::K3Simulator> simulator() const { return m_sim; }
    AppContext context();

    // The Connect button's procedure: opens the port named by --port at --baud, identifies
    // the radio ("id;"), asks its auto-info mode ("ai;") and switches mode 1 off ("ai0;"),
    // so that no report of the radio's own lands among a procedure's answers. False, with
    // the reason printed, on a port error or a radio that is not a K3 (the port is closed).
    bool connectRadio();
    // What File, Exit does at the end of every subcommand that connected: "ai1;" when the
    // radio was in auto-info mode 1. Nothing after a port error; then the port is closed.
    void disconnectRadio();
    // Only opens the port (send uses it: a raw exchange with the radio as it is). On a port
    // error prints the error as the connection dialog words it; false then.
    bool openPort();
    // "Serial Port Error: <text>" on stderr.
    void reportPortError(const PortError &error);
    // Prints a line on stdout, one byte per character (radio answers are Latin-1).
    void printLatin1(const QString &text);
    // Prints the problem and the subcommand's usage on stderr; returns kExitUsage.
    int usageError(const QString &problem);
    // Whether the radio has answered anything at all in this session (any text read).
    bool radioAnswered() const;
    // "corvane-cli: No answer from the K3" on stderr; returns kExitFailed. Every subcommand
    // ends this way when the radio gave no answer at all.
    int noAnswer();

private:
    CommonOptions m_options;
    const QCommandLineParser &m_parser;
    const CliCommand &m_command;
    std::unique_ptr<Clock> m_clock;
    std::shared_ptr<sim::K3Simulator> m_sim;
    std::unique_ptr<RadioLink> m_link;
    LinkTrace m_trace;
    CliPrompter m_prompter;
    bool m_identified = false;
    QString m_autoInfo;  // the answer to "ai;" at connect
};

}  // namespace corvane::cli
