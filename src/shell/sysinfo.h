#pragma once
// System Info on the About box: starts the system information tool where the machine has
// one (Windows' MSINFO32, found through the machine-wide settings), otherwise says that the
// information is unavailable.

#include "core/prompter.h"

namespace corvane {

// The message shown when no system information tool can be started.
QString sysInfoUnavailableText();

void startSysInfo(Prompter &prompter);

}  // namespace corvane
