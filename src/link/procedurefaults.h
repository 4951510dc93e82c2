#pragma once
// What every radio procedure (connect, the dBV tests, the sweep, MDS, the filter and menu
// readers) does when the radio or its port misbehaves. Use these pieces; do not word the
// messages again in each procedure.
//
//  Lost port. RadioLink closes the port on the first port error of any exchange and sends
//  nothing afterwards (radiolink.h). After each exchange or step, check link.portLost(); when
//  set, end the procedure there: no further commands, no completion message, no restore
//  (there is no port), keep every line and chart point already made, and show
//      prompter.message(lostConnectionMessage(link.lastError(), step, total, linesKept));
//  The step that failed is not listed. corvane-cli then writes its -o file with the lines
//  kept and exits 1.
//
//  Silent radio. A radio that stops answering while the port stays open changes nothing in
//  the command sequence. Feed the answer of every reading to a NoAnswerCount; show its
//  progressNote() with the progress line, and add its completionNote() to the completion
//  message (both empty while every reading was answered).
//
//  One procedure at a time. A procedure holds the link for its whole run:
//      if (refuseWhileBusy(link, prompter)) return;   // another one runs: refused, told
//      const LinkHold hold(link, QStringLiteral("Full Test"), QStringLiteral("Determine dBV Linear
//      Range"));
//  and every window's radio action (Reset K3, Begin, Test Communications, Send Command,
//  Connect, ...) starts with refuseWhileBusy(), which names the running procedure.

#include <QString>

#include "core/prompter.h"
#include "link/radiolink.h"

namespace corvane {

// "Input/output error"; the kind's own words when the platform gave none.
QString portErrorDescription(const PortError &error);

// "The connection to the K3 was lost at step 18 of 20: Input/output error. The 17 lines
// measured so far are kept: save them with Save File." Title "Connection Lost", critical
// icon. step 0 = before the first step (during the capture or set-up).
PromptMessage lostConnectionMessage(const PortError &error, int step, int total, int linesKept);

class NoAnswerCount {
public:
    // One reading's answer, as read (empty = the radio said nothing).
    void note(const QString &answer);
    int readings() const { return m_readings; }
    int unanswered() const { return m_unanswered; }
    // Unanswered readings in a row, up to the last one.
    int unansweredInARow() const { return m_inARow; }
    // "No answer from the K3 for the last 3 readings" ("... for the last reading"); empty
    // when the last reading was answered.
    QString progressNote() const;
    // " 4 of 20 readings had no answer from the K3." (leading blank, to append to a
    // completion message); empty when every reading was answered.
    QString completionNote() const;

private:
    int m_readings = 0;
    int m_unanswered = 0;
    int m_inARow = 0;
};

// The link held by a running procedure, for the scope of this object. As the outermost hold
// ends it delivers the input held back meanwhile (Clock::deliverHeldInput), before it lets
// go: a window keeps its radio buttons off until its procedure has returned.
class LinkHold {
public:
    LinkHold(RadioLink &link, const QString &procedure, const QString &window);
    ~LinkHold();
    LinkHold(const LinkHold &) = delete;
    LinkHold &operator=(const LinkHold &) = delete;

private:
    RadioLink &m_link;
    QString m_previous;
};

// "Full Test in the Determine dBV Linear Range window is using the K3. Wait until it has
// finished, then try again." Title "K3 Busy", exclamation icon.
PromptMessage busyMessage(const QString &holder);
// True (and the busy message shown) while a procedure holds the link.
bool refuseWhileBusy(const RadioLink &link, Prompter &prompter);

}  // namespace corvane
