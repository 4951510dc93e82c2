#pragma once
// What a test window keeps of the radio around its test: the raw answers of ten setting
// queries (sent back as they are after the test), the serial number and firmware
// revisions, and the initial-settings report at the top of the results list. Each test
// window owns one SettingsCapture; nothing is shared between windows.
//
// Each answer of the capture must have its setting's form ("AG" + 3 digits + ";", "FA" + 11
// digits + ";", ...); text before the expected letters (a late answer, a report) and after
// the form is dropped. An answer that came late is taken from the front of the next read;
// a setting whose answer came but had no such form is asked once more after the ten
// queries (a clean capture, or a silent radio, asks nothing more). One that still does not fit is
// not read: the report shows "not read" for it and the restore leaves it alone, so no command built
// from a garbled answer reaches the radio. After the capture a procedure calls tellUnreadSettings()
// once.

#include <QString>
#include <QStringList>

#include "core/prompter.h"
#include "link/radiolink.h"
#include "radio/k3settings.h"

namespace corvane {

// The raw answers without their ";" (AF gain and RF gain number also without letters):
// exactly the texts that the restore sends back.
struct RadioSnapshot {
    QString afGain;           // "030"
    QString agc;              // "GT0041"
    QString attenuator;       // "RA00"
    QString preamp;           // "PA1"
    QString rfGain;           // "RG250"
    QString rfGainNumber;     // "250"
    QString mode;             // "MD2"
    QString power;            // "PC0501"
    QString vfoA;             // "FA00014060000"
    QString filterBandwidth;  // "FW0240" (K31 form)
    QString filterNumber;     // "FW005030" (K22 form: filter number, one more digit)
};

struct RadioIdentity {
    QString serialNumber;  // the last five display characters of menu entry 026, raw
    QString mcuRevision;   // "04.45"
    QString dspRevision;
    QString frontPanelRevision;
};

// The window-specific end of the report: line 20 and the lines after 21 (the power line 21
// comes from the snapshot).
struct ReportTail {
    QString preampLine;
    QStringList closingLines;
};

// The dBV linear range window: its three RF gain boxes' text, taken unchanged.
ReportTail dbvReportTail(const QString &rfGainStart, const QString &rfGainStop,
                         const QString &rfGainInc);
// The filter sweep window: its copies of the three boxes taken as the sweep starts.
ReportTail sweepReportTail(const QString &kHzStart, const QString &kHzStop,
                           const QString &freqStep);
// The MDS window: whether its preamp box is ticked.
ReportTail mdsReportTail(bool preampTicked);

// What the last restore could not put back: the settings whose commands never reached the
// radio because the port was lost before or during the restore, in restore order ("AGC",
// "AF gain", ..., "VFO B display", "TECH MD"); or, with the port still there, "TECH MD"
// alone when its display could not be read to switch it off.
struct RestoreOutcome {
    QStringList notRestored;
    PortError error;
    bool isComplete() const { return notRestored.isEmpty(); }
};

// "The K3 could not be put back as it was: the connection was lost (Input/output error).
// Not restored: AGC, AF gain, ... The results are kept; Reset K3 sends these settings again
// once the K3 is connected again." Title "K3 Not Restored", critical icon.
PromptMessage restoreFailedMessage(const RestoreOutcome &outcome);

class SettingsCapture {
public:
    // Waits, in milliseconds.
    static constexpr int kSettingQueryWaitMs = 100;
    static constexpr int kSettingSettleMs = 100;
    static constexpr int kSerialEntryWaitMs = 1500;  // menu 026 before its display is read
    static constexpr int kSerialDisplayWaitMs = 100;
    static constexpr int kSerialDisplaySettleMs = 100;
    static constexpr int kMenuLeaveWaitMs = 100;
    static constexpr int kRevisionQueryWaitMs = 100;
    static constexpr int kRevisionSettleMs = 100;  // between one revision query and the next
    static constexpr int kRestoreStepWaitMs = 100;
    static constexpr int kReadoutResetWaitMs = 0;  // "db00;", the last step, is not waited on

    // Ten queries (100 ms wait + 100 ms settle each); overwrites the whole snapshot.
    void readInitialSettings(RadioLink &link);
    // Serial number from menu entry 026 and the three firmware revisions.
    void readRadioIdentity(RadioLink &link);
    // The report: identity, initial settings (decoded copies), test settings, then the
    // window's tail. 26 lines for the dBV and sweep tails, 24 for MDS.
    QStringList listInitialSettings(const ReportTail &tail) const;
    // Sends the snapshot back, then turns TECH MD off when this window turned it on. Before
    // any snapshot was taken it sends nothing (see the .cpp). A lost port leaves the settings
    // after it as they are; the outcome names them (also kept as lastRestore()). The steps
    // named in `leaveAlone` ("mode", "AGC", ...) are not sent: a caller that put them back
    // itself (the MDS test puts the mode back before the other steps).
    RestoreOutcome restoreInitialSettings(RadioLink &link, const k3settings::TestWindowFlags &flags,
                                          const QStringList &leaveAlone = {}) const;
    // The restore, and restoreFailedMessage() when it could not put everything back. True
    // when the radio was put back.
    bool restoreAndTell(RadioLink &link, const k3settings::TestWindowFlags &flags,
                        Prompter &prompter) const;
    // The outcome of the last restore since the last capture (complete when none ran).
    const RestoreOutcome &lastRestore() const { return m_lastRestore; }

    // The settings of the last capture whose answers had no recognisable form, by name
    // ("AF gain", "RF gain", ...), in capture order.
    const QStringList &unreadSettings() const { return m_unread; }
    // Shows "These settings of the K3 could not be read ..." when any were not read.
    void tellUnreadSettings(Prompter &prompter) const;

    bool hasSnapshot() const { return m_hasSnapshot; }
    const RadioSnapshot &snapshot() const { return m_snapshot; }
    const RadioIdentity &identity() const { return m_identity; }

private:
    RadioSnapshot m_snapshot;
    RadioIdentity m_identity;
    bool m_hasSnapshot = false;
    QStringList m_unread;
    mutable RestoreOutcome m_lastRestore;
};

}  // namespace corvane
