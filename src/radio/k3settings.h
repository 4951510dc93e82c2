#pragma once
// Reading the K3's state the way a user would, and the checks that precede a test. All
// plain functions without state of their own:
//  - the VFO A display readout ("ds;") and its decoding (bit 7 = decimal point lit before
//    the character; the display's own letter codes),
//  - the generic menu value reader and the thirteen fixed MAIN menu readers,
//  - decoders that turn raw setting answers (without their ";") into report words/numbers,
//  - the pre-test checks: TECH MD read/switch, AGC off, KAT3 tuner warning.
// None of them checks what the radio answered: a missing or short answer gives a harmless,
// wrongly cut text, never a crash. Every write is followed by its fixed wait.

#include <QChar>
#include <QString>

#include "core/prompter.h"
#include "link/radiolink.h"

namespace corvane::k3settings {

// Waits, in milliseconds.
constexpr int kMenuEntryWaitMs = 100;     // after "mnNNN;" (entering a menu entry)
constexpr int kDisplayQueryWaitMs = 100;  // after "ds;" before reading the display
constexpr int kMenuLeaveWaitMs = 100;     // after "mn255;"
constexpr int kMenuStepWaitMs = 100;      // after "up;"
constexpr int kAgcQueryWaitMs = 100;      // after "k22;gt;k20;" before reading
constexpr int kAgcSetWaitMs = 100;        // after "k22;gt0020;k20;"

// The display has eight character positions.
constexpr int kDisplayLength = 8;

inline const QString kLeaveMenuCommand = QStringLiteral("mn255;");
inline const QString kKat3NotInstalled = QStringLiteral(" NOTINST");
inline const QString kKat3Bypassed = QStringLiteral("    BYP ");
inline const QString kKat3PresentTitle = QStringLiteral("KAT3 Present");
inline const QString kKat3PresentText = QStringLiteral(
    "KAT3 ATU is present. Recommend it be bypassed for test. Press and hold ATU Tune on K3.");

// Kept by each test window for its whole life (the windows are hidden, not destroyed).
struct TestWindowFlags {
    bool kat3Checked = false;  // the KAT3 check has run since the window was loaded
    bool techModeSet = false;  // this window turned TECH MD on; its restore turns it off
};

// ---- Display readout -------------------------------------------------------------------

// The 8 VFO A display characters from a "ds;" answer: the first 10 characters of the text
// read, then the last 8 of those. Shorter answers give shorter (possibly empty) text.
QString displayTextOf(const QString &answer);
// "ds;" (100 ms), then the display text cut from what was read. Not decoded.
QString readDisplay(RadioLink &link);
// The readable text: "." in front of every character whose point bit is set (that
// character then taken as is, minus the bit), the display's letter codes replaced
// elsewhere. Missing characters (a short or empty answer) count as blanks.
QString decodeDisplayText(const QString &display);
// The character without its point bit. A character without the bit comes back unchanged
// (readers that expect a lit point return the character itself when it is not lit).
QChar stripDecimalPoint(QChar c);
// "+0" ">", "-1" "=", "+1" "]", "+2" "^", "-2" anything else or missing; eight of them.
QString decodeEqBars(const QString &display);

// Opens a menu entry ("mn013" -> "mn013;", 100 ms) and returns its decoded display. The
// menu stays open: the caller sends "mn255;" after its series of readings.
QString readMenuValue(RadioLink &link, const QString &entryCommand);

// ---- MAIN menu readers (each opens its entry and leaves the menu open) ------------------

QString readAlarm(RadioLink &link);           // mn000; "ON 06.30" / "OFF 06.30"
QString readLcdAdjust(RadioLink &link);       // mn002;
QString readLcdBrightness(RadioLink &link);   // mn003;
QString readLedBrightness(RadioLink &link);   // mn004;
QString readMessageRepeat(RadioLink &link);   // mn005;
QString readRepeaterOffset(RadioLink &link);  // mn007;
QString readRxEq(RadioLink &link);            // mn008; equaliser bars
QString readTxEq(RadioLink &link);            // mn009; equaliser bars
QString readVoxGain(RadioLink &link);         // mn010;
QString readAntiVox(RadioLink &link);         // mn011;
QString readMicPlusLine(RadioLink &link);     // mn015; "NOT APPL", "     ON", "    OFF"
QString readMicSelect(RadioLink &link);       // mn053; "FP.x BIAS", "RP.x     ", "LINE IN  "
QString readAfxMode(RadioLink &link);         // mn105;

// The same handling on a display text already read (raw, not decoded).
QString alarmText(const QString &display);
QString micPlusLineText(const QString &display);
QString micSelectText(const QString &display);

// ---- Setting decoders (answers without their ";") ---------------------------------------

// "Fast", "Slow", "Off" or the answer unchanged.
QString decodeAgc(const QString &answer);
// "Off" / "On" or the answer unchanged.
QString decodeAttenuator(const QString &answer);
QString decodePreamp(const QString &answer);
// "LSB", "USB", "CW", "FM", "AM", "DATA", "CW-REV", "DATA-REV" or the answer unchanged.
QString decodeMode(const QString &answer);
// The following four shorten the caller's variable as they cut it (callers that still need
// the raw answer pass a copy).
// Watts in shortest form ("PC0050" -> "0.5", leaving "005"); an answer whose last
// character is not a range digit comes back unchanged and is left unchanged.
QString decodePower(QString &answer);
// kHz ("FA00014060000" -> "14060", leaving "00014060000"); empty when nothing is left.
QString decodeVfoFrequency(QString &answer);
// kHz ("FW0270" -> "2.7", leaving "0270"); empty when nothing is left.
QString decodeBandwidth(QString &answer);
// The crystal filter number: the next-to-last character ("FW005030" -> "3", leaving
// "FW00503"); empty when nothing is left.
QString decodeFilterNumber(QString &answer);

// ---- Pre-test checks --------------------------------------------------------------------

// "mn072;", the decoded display (e.g. "     OFF"), "mn255;".
QString readTechMode(RadioLink &link);
// "mn072;", "ds;" read; "up;" when the last three display characters are (not) "OFF";
// "mn255;". Nothing is sent to switch when TECH MD is already as wanted.
void enableTechMode(RadioLink &link);
void disableTechMode(RadioLink &link);
// "k22;gt;k20;" read; when the AGC on digit is "1", "k22;gt0020;k20;".
void setAgcOff(RadioLink &link);
// "mn023;" and the decoded display; without a KAT3 or with it bypassed the menu stays open
// (the next step leaves it); otherwise the "KAT3 Present" message, then "mn255;".
void checkKat3(RadioLink &link, Prompter &prompter);

// The common start of a test set-up: checkKat3 once per window life, then readTechMode and,
// when it shows "OFF" (blanks trimmed), enableTechMode; the flags record both.
void prepareKat3AndTechMode(RadioLink &link, Prompter &prompter, TestWindowFlags &flags);

}  // namespace corvane::k3settings
