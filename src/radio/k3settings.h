#pragma once
// Reading the K3's state the way a user would, and the checks that precede a test. All
// plain functions without state of their own:
//  - the VFO A display readout ("ds;") and its decoding (bit 7 = decimal point lit before
//    the character; the display's own letter codes),
//  - the generic menu value reader and the thirteen fixed MAIN menu readers,
//  - decoders that turn raw setting answers (without their ";") into report words/numbers,
//  - the pre-test checks: TECH MD read/switch, AGC off, KAT3 tuner warning.
// The display readout cuts by position (a missing or short answer gives a harmless, wrongly
// cut text, never a crash); the menu readers and the TECH MD checks take only a whole,
// well-formed display answer and say when there was none. Every write is followed by its
// fixed wait.

#include <QChar>
#include <QString>
#include <optional>

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
inline const QString kTechModeUnreadTitle = QStringLiteral("TECH MD Not Read");
inline const QString kTechModeUnreadText =
    QStringLiteral("TECH MD could not be read: nothing was changed");

// What menu entry 072 (TECH MD) showed: "ON" or "OFF" (blanks trimmed), or anything else.
enum class TechModeReading { On, Off, Unread };

// A menu value as the display showed it; nothing when the display could not be read.
using MenuValue = std::optional<QString>;

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
// The eight display characters of the last well-formed display answer in `answer`: "DS",
// eight characters the display can show (printable, with or without the point bit), two
// status characters, ";". Nothing when there is none: the radio was busy ("?;"), the answer
// was cut short or garbled, or none came. Stale text in front of the answer is passed over.
std::optional<QString> displayAnswerText(const QString &answer);
// The readable text: "." in front of every character whose point bit is set (that
// character then taken as is, minus the bit), the display's letter codes replaced
// elsewhere. Missing characters (a short or empty answer) count as blanks.
QString decodeDisplayText(const QString &display);
// The character without its point bit. A character without the bit comes back unchanged
// (readers that expect a lit point return the character itself when it is not lit).
QChar stripDecimalPoint(QChar c);
// "+0" ">", "-1" "=", "+1" "]", "+2" "^", "-2" anything else or missing; eight of them.
QString decodeEqBars(const QString &display);

// Opens a menu entry ("mn013" -> "mn013;", 100 ms) and returns its decoded display, or
// nothing when the display answer was not whole. The menu stays open: the caller sends
// "mn255;" after its series of readings.
MenuValue readMenuValue(RadioLink &link, const QString &entryCommand);

// ---- MAIN menu readers (each opens its entry and leaves the menu open; nothing when the
// display answer was not whole) ------------------------------------------------------------

MenuValue readAlarm(RadioLink &link);           // mn000; "ON 06.30" / "OFF 06.30"
MenuValue readLcdAdjust(RadioLink &link);       // mn002;
MenuValue readLcdBrightness(RadioLink &link);   // mn003;
MenuValue readLedBrightness(RadioLink &link);   // mn004;
MenuValue readMessageRepeat(RadioLink &link);   // mn005;
MenuValue readRepeaterOffset(RadioLink &link);  // mn007;
MenuValue readRxEq(RadioLink &link);            // mn008; equaliser bars
MenuValue readTxEq(RadioLink &link);            // mn009; equaliser bars
MenuValue readVoxGain(RadioLink &link);         // mn010;
MenuValue readAntiVox(RadioLink &link);         // mn011;
MenuValue readMicPlusLine(RadioLink &link);     // mn015; "NOT APPL", "     ON", "    OFF"
MenuValue readMicSelect(RadioLink &link);       // mn053; "FP.x BIAS", "RP.x     ", "LINE IN  "
MenuValue readAfxMode(RadioLink &link);         // mn105;

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

// TECH MD is switched only on a display that reads "ON" or "OFF": a garbled, cut or late
// display read as "not OFF" would flip it the wrong way. Each of these opens entry 072 and
// reads its display; one that reads neither is read once more ("ds;" again).
// "mn072;", the reading, "mn255;".
TechModeReading readTechMode(RadioLink &link);
// "mn072;", the reading; "up;" when it reads "OFF" (enable) or "ON" (disable); "mn255;".
// Returns the reading before the switch: Unread means nothing was switched.
TechModeReading enableTechMode(RadioLink &link);
TechModeReading disableTechMode(RadioLink &link);
// "k22;gt;k20;" read; when the AGC on digit is "1", "k22;gt0020;k20;".
void setAgcOff(RadioLink &link);
// "mn023;" and the decoded display; without a KAT3 or with it bypassed the menu stays open
// (the next step leaves it); otherwise the "KAT3 Present" message, then "mn255;".
void checkKat3(RadioLink &link, Prompter &prompter);

// The common start of a test set-up: checkKat3 once per window life, then readTechMode and,
// when it shows "OFF", enableTechMode; the flags record both. When TECH MD could not be read
// the user is told (kTechModeUnreadText) and it returns false: the test must not start.
bool prepareKat3AndTechMode(RadioLink &link, Prompter &prompter, TestWindowFlags &flags);

}  // namespace corvane::k3settings
