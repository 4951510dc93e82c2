#pragma once
// A corvane-cli subcommand. Each lives in its own file cmd_<id>.cpp, which defines
//
//     CliCommand command_<id>() { return {"name", "ARGS", "what it does", {options}, run}; }
//
// inside namespace corvane::cli; the build collects them (see CMakeLists.txt).

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane::cli {

class CliSession;

constexpr int kExitDone = 0;
// The radio did not identify itself, or the procedure could not run (port errors).
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CliCommand {
    QString name;                       // as typed: "identify", "dbv-full"
    QString arguments;                  // its positional arguments for the usage line, e.g. "[CMD]"
    QString summary;                    // one line for --help
    QList<QCommandLineOption> options;  // options of this subcommand only
    // Runs the subcommand with its positional arguments; returns the exit code.
    int (*run)(CliSession &session, const QStringList &arguments) = nullptr;
    // Draws charts or printouts: runs with a GUI application on the offscreen platform.
    bool drawing = false;
    // Talks to the radio. A command that only reads files (chart, analyze, print) takes the
    // radio's options (--port, --baud, --yes, --trace) without a word, but its --help does
    // not list them.
    bool radio = true;
};

// Every subcommand built in, sorted by name.
std::vector<CliCommand> allCommands();

}  // namespace corvane::cli
