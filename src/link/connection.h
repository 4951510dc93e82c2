#pragma once
// The radio-side steps of the connection dialog and of the program's exit, as plain code so
// that the dialog and corvane-cli run the same exchanges.

#include <QString>
#include <functional>

#include "core/prompter.h"
#include "link/radiolink.h"

namespace corvane {

constexpr int kIdentifyWaitAtConnectMs = 200;
constexpr int kIdentifyWaitMs = 100;
constexpr int kAutoInfoQueryWaitMs = 100;
constexpr int kConsoleWaitMs = 400;
inline const QString kK3Identity = QStringLiteral("ID017;");

struct ConnectOutcome {
    bool identified = false;  // the radio answered exactly "ID017;"
    QString autoInfo;         // the answer to "ai;" (empty when not identified)
    PortError error;          // a port error that stopped the procedure
};

// With the port already open: "id;" (200 ms), and on "ID017;" the "K3 Status" message,
// then "ai;" (100 ms) and "ai0;" when the answer is "AI1;". On any other identity answer it
// shows "Unable to communicate with K3" and closes the port. Port errors stop it at once and
// are returned for the caller to word. `afterIdentified` runs between the message and the
// "ai;" query (the dialog enables its buttons there).
ConnectOutcome identifyRadio(RadioLink &link, Prompter &prompter,
                             const std::function<void()> &afterIdentified = {});

// "id;" (100 ms) and the "K3 is present" / "Unable to communicate with K3" message.
// Returns the answer read; port errors come back in `error`.
QString testCommunications(RadioLink &link, Prompter &prompter, PortError *error);

// The console: writes text + ";" as typed ("id" when empty), waits 400 ms, reads.
QString sendConsoleCommand(RadioLink &link, const QString &typed, PortError *error);

// File, Exit's radio step: when the radio was in auto-info mode 1 at connect, "ai1;" and
// the "AutoInf is Auto 1" message. Sends and shows nothing otherwise.
void restoreAutoInfo(RadioLink &link, Prompter &prompter, const QString &autoInfoAtConnect);

}  // namespace corvane
