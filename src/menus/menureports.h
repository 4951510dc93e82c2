#pragma once
// The MAIN and CONFIG menu reports: each empties its list, adds its three header lines and
// then one line per item of its table (label, tabs, the value as the radio shows it, tabs,
// the default), reading the items one after the other with the menu left open between
// them, and finally leaves the menu with "mn255;" (no wait after it).
//
// A value is listed exactly as read. Beside each line the report says whether the value
// differs from the item's default, for the window's "changed" marking; that changes no line.
// A display that could not be read (the radio busy, "?;", an answer cut short, garbled or
// missing) gives no value: the line says "not read" in its place and the outcome names the
// item, so that nobody saves a garbled value as the radio's setting.

#include <QString>
#include <QStringList>
#include <vector>

#include "link/radiolink.h"
#include "menus/menutables.h"

namespace corvane::menus {

inline const QString kMainReportTitle = QStringLiteral("K3 Main Menu Settings");
inline const QString kConfigReportTitle = QStringLiteral("K3 Configuration Menu Settings");

// The report's first three lines: its title, the column heads and their underlines.
QStringList reportHeader(const QString &title);
// Label, tabs, value, tabs, default; nothing added.
QString reportLine(const MenuItem &item, const QString &value);
// Whether a value the display shows means the same setting as a default as the tables word
// it. Case, blanks and "=" do not count ("NOTINST" / "NOT INST", "SHIFT.05" / "Shift=.05");
// numbers compare as numbers, with or without their unit ("50" / "50 Hz", "0.0 DB" /
// "0.0 dB"); an equaliser of all zero bands is "+0 dB/band"; an alarm "OFF 06.30" is "OFF";
// the "t" the tables put before a threshold is not shown ("OFF -4.0" / "OFF t-4.0"); and a
// default longer than the display's eight characters matches the part it can show ("FP.L"
// for "FP.L, bias off").
bool sameSetting(const QString &value, const QString &defaultText);
// True when the value does not mean the item's default. Defaults that stand for no fixed
// text never differ: "{band} IN", "{DDS freq}", "N/A", "Function", and those with an "x" in
// place of digits ("NOR xx", "TRNx").
bool differsFromDefault(const MenuItem &item, const QString &value);
// Why a line is marked although the user did not change it, or empty: TECH MD is on
// because opening the window (or corvane-cli menus) switched it on.
QString changedNote(const MenuItem &item, const QString &value);

// Where a report puts its lines (the window's list, corvane-cli's stdout).
class MenuReportSink {
public:
    virtual ~MenuReportSink() = default;
    virtual void clearLines() = 0;
    // `changed`: an item line whose value differs from its default (never a header line).
    virtual void appendLine(const QString &line, bool changed) = 0;
    // An item line, with its parts; by default appendLine(line, changed). `note` says why a
    // changed line is marked although the user did not change it (changedNote()).
    virtual void appendItem(const MenuItem &item, const QString &value, const QString &line,
                            bool changed, const QString &note) {
        Q_UNUSED(item);
        Q_UNUSED(value);
        Q_UNUSED(note);
        appendLine(line, changed);
    }
    // Item `number` (1-based) of `count` is about to be read.
    virtual void readingItem(int number, int count, const QString &label) {
        Q_UNUSED(number);
        Q_UNUSED(count);
        Q_UNUSED(label);
    }
};

struct ReportOutcome {
    // The port error that ended the report (none when it ran to its end). Nothing was sent
    // after it; the lines listed before it stay.
    PortError error;
    int failedItem = 0;  // the item being read when it came, 1-based
    int itemCount = 0;
    QString failedLabel;  // its label, blanks trimmed
    // The items whose display could not be read (labels, blanks trimmed), in report order.
    QStringList unread;
    bool isComplete() const { return !error.isError(); }
};

// What an unread item's line holds in place of a value.
inline const QString kNotReadValue = QStringLiteral("not read");

// Main report (cmdMainMenu): the 13 MAIN items, each through its own reader.
ReportOutcome mainMenuReport(RadioLink &link, MenuReportSink &sink);
// Config report (cmdConfigMenu): the 98 CONFIG items through the menu value reader.
ReportOutcome configMenuReport(RadioLink &link, MenuReportSink &sink);

// "Reading 37 of 98: NB SAVE"
QString readingText(int number, int count, const QString &label);
// What to tell the user when a port error ended a report: which item it stopped at and
// that the lines read so far are kept.
QString stoppedReportText(const ReportOutcome &outcome);
// "These menu settings could not be read (the K3 was busy, or its display came cut short or
// garbled): ALARM, TX EQ. Their lines say "not read"; read them again."
QString unreadItemsText(const QStringList &labels);

}  // namespace corvane::menus
