#pragma once
// The crystal filter procedures of the two filter windows, one for each receiver: enable or
// disable a slot for receive in a mode, and the two readouts that fill the settings table
// (bandwidth, offset and loss compensation; receive flags by mode).
//
// They work the radio through its CONFIG menu as a user would: set the mode, open a filter
// entry (038 bandwidth, 039 offset, 040 loss compensation, 041 receive), tap XFIL ("swt29")
// until the entry shows the wanted slot, read the displays, step the value with "dn;", leave
// the menu. On the sub-receiver every opened entry is pointed at its filters with a tap of
// SUB ("k31;swt48;k30;"). Straight-line code over RadioLink, Prompter and the link's Clock;
// what it reads goes to a FilterTableSink, so the window, corvane-cli and the tests see the
// same table.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "core/prompter.h"
#include "filters/filtertable.h"
#include "link/radiolink.h"

namespace corvane {

enum class Receiver { Main, Sub };

// "Main Receiver Crystal Filters Configuration" / "Sub-Receiver Crystal Filters
// Configuration": the window's caption, and how the busy message of other windows names it.
QString filterWindowTitle(Receiver receiver);

// Waits, in milliseconds.
constexpr int kFilterModeWaitMs = 100;         // after the mode command
constexpr int kFilterEntryWaitMs = 100;        // after opening an entry (Enable/Disable)
constexpr int kFilterSlotQueryWaitMs = 200;    // "db;" before reading (Enable/Disable)
constexpr int kFilterTapWaitMs = 100;          // after a tap of XFIL or SUB
constexpr int kFilterFlagQueryWaitMs = 100;    // "ds;" before reading the flag
constexpr int kReaderSlotEntryWaitMs = 200;    // readouts: after "k30;mn038;"
constexpr int kReaderSlotQueryWaitMs = 500;    // readouts: "db;" before reading
constexpr int kReaderEntryWaitMs = 100;        // readouts: after "k30;mn039;" .. "k30;mn041;"
constexpr int kReaderDisplayWaitMs = 100;      // readouts: "ds;" before reading
constexpr int kSubReadoutSwitchWaitMs = 1000;  // after "k31;swt11;k30;" (sub bandwidths)
// Taps of XFIL that Enable/Disable spend looking for the wanted slot before giving up.
constexpr int kMaxSlotTaps = 10;

// Fixed waits of a whole readout, for the progress line.
qint64 bandwidthReadoutMs(Receiver receiver);
qint64 receiveReadoutMs(Receiver receiver);

// What a readout or an operation shows: the table cells and a progress line.
class FilterTableSink {
public:
    virtual ~FilterTableSink() = default;
    // The bandwidth, offset and loss compensation boxes of one column (slot 1..5).
    virtual void showSettings(int slot, const QString &bandwidth, const QString &offset,
                              const QString &lossComp) = 0;
    // The receive check box of one slot and mode number (1..6).
    virtual void showReceive(int slot, int modeNumber, bool enabled) = 0;
    // Every box empty, every check box clear.
    virtual void clearTable() = 0;
    // What the window is doing ("" when it is done), and the fixed waits still to come.
    virtual void progress(const QString &text, qint64 msLeft) {
        Q_UNUSED(text);
        Q_UNUSED(msLeft);
    }
};

// A sink that keeps the table (corvane-cli, tests).
class TableSink : public FilterTableSink {
public:
    void showSettings(int slot, const QString &bandwidth, const QString &offset,
                      const QString &lossComp) override;
    void showReceive(int slot, int modeNumber, bool enabled) override;
    void clearTable() override { table.clear(); }
    FilterTable table;
    int cellsShown = 0;  // columns and check boxes written since the sink was made
};

// What the readers last read: they overwrite these on every read and never clear them.
struct FilterWindowFields {
    QString filterSlot;
    QString receiveFlag;
    QString filterBW;
    QString filterFO;
    QString filterLC;
};

enum class FilterOperationEnd {
    Done,          // the flag was changed, or was already as wanted
    Refused,       // no mode or no slot selected: nothing sent
    SlotNotFound,  // the radio never showed the wanted slot
    Unreadable,    // the radio's answer to "ds;" could not be read: nothing changed
    PortFailed,    // the port failed: nothing more was sent
    Busy,          // another procedure holds the link: refused, nothing sent
};

class CrystalFilters {
public:
    CrystalFilters(RadioLink &link, Prompter &prompter, Receiver receiver,
                   FilterWindowFields &fields, FilterTableSink &sink);

    // Enable Receive / Disable Receive for the selected mode number (1..6) and slot (1..5).
    FilterOperationEnd enableReceive(std::optional<int> modeNumber, std::optional<int> slot);
    FilterOperationEnd disableReceive(std::optional<int> modeNumber, std::optional<int> slot);

    // Each operation and readout holds the link while it runs and is refused (the "K3 Busy"
    // message) while another procedure holds it.
    // Filter Bandwidth Settings: the five passes, then "k30;mn255;". Returns false when the
    // port failed or it was refused.
    bool bandwidthReadout();
    // Filter Receive Settings: six modes of five passes, then "k30;mn255;".
    bool receiveReadout();
    // Enable, Disable and the receive readout change the radio's mode: they read it ("md;",
    // on the sub-receiver also "md$;") before the first mode command and send it back after
    // their last "k30;mn255;". A mode answer without the radio's form is not sent back; the
    // user is told (the "K3 Settings Not Read" message).
    // As steps of a procedure that already holds the link (the filter survey): no refusal,
    // no hold of their own, and the mode is the procedure's to put back.
    void setWithinHeldLink(bool within) { m_withinHeldLink = within; }
    // Asked before each pass of a readout: true ends the readout there (the menu is left
    // as at its end). The filter survey's Stop.
    void setStopCheck(std::function<bool()> stop) { m_stopCheck = std::move(stop); }
    // Clear Form: the table empty; the radio is not touched.
    void clearFilterForm() { m_sink.clearTable(); }

    void listFilterSettings();
    void listFilterReceive();
    void readFilterSlot();
    void readFilterBandwidth();
    void readFilterOffset();
    void readFilterLossComp();
    void readReceiveFlag();
    void showFilterReceive(int slot, int modeNumber, const QString &flag);

    // What could not be read in the last readout (a short, missing or misaligned answer),
    // one line each; those cells were left as they were.
    const QStringList &unreadable() const { return m_unreadable; }
    // The passes of the last readout: done to their end, and in all (5, or 30 for receive).
    int passesDone() const { return m_passesDone; }
    int passCount() const { return m_passCount; }

private:
    FilterOperationEnd changeReceive(bool enable, std::optional<int> modeNumber,
                                     std::optional<int> slot);
    // "k31;swt48;k30;" after an opened entry, on the sub-receiver only.
    void pointAtSubReceiver();
    // "ds;" read; the display answer when it has the radio's form, else noted as unreadable.
    std::optional<QString> readDisplayAnswer(const QString &what);
    bool portFailed() const { return m_link.lastError().isError(); }
    bool stopAsked() const { return m_stopCheck && m_stopCheck(); }
    void reportPortError(const QString &step);
    // The slot named by the last "db;" answer (1..5), if any.
    std::optional<int> shownSlot() const;
    void stepProgress(const QString &text);
    void finishReadout();
    // The modes found before the first mode command, and their put-back after the last
    // "k30;mn255;"; `what` names the operation in the message about a mode not read.
    void readModes();
    void putModesBack(const QString &what);

    struct FoundMode {
        QString query;   // "md;" or "md$;"
        QString answer;  // "MD2" / "MD$2" as read; empty when it had no such form
        QString raw;     // what came, for the message
    };
    std::vector<FoundMode> m_foundModes;
    bool m_modesSwitched = false;  // a mode command went out since the modes were read

    RadioLink &m_link;
    Prompter &m_prompter;
    Receiver m_receiver;
    FilterWindowFields &m_fields;
    FilterTableSink &m_sink;
    QStringList m_unreadable;
    bool m_lastDisplayRead = false;
    qint64 m_msLeft = 0;
    int m_passesDone = 0;
    bool m_withinHeldLink = false;
    int m_passCount = 0;
    std::function<bool()> m_stopCheck;
};

}  // namespace corvane
