#include "clicommand.h"

#include <algorithm>

namespace corvane::cli {

#define CORVANE_CLI_COMMAND(id) CliCommand command_##id();
#include "clicommandlist.inc"
#undef CORVANE_CLI_COMMAND

std::vector<CliCommand> allCommands() {
    std::vector<CliCommand> commands{
#define CORVANE_CLI_COMMAND(id) command_##id(),
#include "clicommandlist.inc"
#undef CORVANE_CLI_COMMAND
    };
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    return commands;
}

}  // namespace corvane::cli
