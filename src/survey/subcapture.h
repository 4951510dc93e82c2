#pragma once
// Settings a survey changes beyond what the test windows' capture keeps, read before it
// changes them and sent back as read:
//  - the sub-receiver's: sub on/off, VFO B, the sub's mode, RF gain, attenuator, preamp,
//    crystal filter and DSP passband (a survey of the sub-receiver);
//  - the survey mode's own memories: the K3 keeps the AGC (GT, "stored per-mode") and the
//    crystal filter and DSP width of each mode, so a survey in CW on a radio found in USB
//    reads CW's after switching to it and puts them back while still in CW (main receiver;
//    the sub-receiver's filter and width with its own FW$ commands; GT has no $ form).
// Each answer is kept only when it has its setting's form and its value lies within the
// radio's range; a setting whose answer did not is named and never sent back, so nothing
// built from a garbled or stray answer reaches the radio.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "link/radiolink.h"

namespace corvane {

// One setting: its name for the user, the query, the answer's form (a regular expression
// without ";", one group holding the value's digits), the value's range, and the restore:
// before + answer + ";" + after.
struct CapturedQuery {
    QString name;
    QString query;
    QString form;
    qint64 low = 0;
    qint64 high = 0;
    QString before;
    QString after;
};

class CapturedSettings {
public:
    static constexpr int kQueryWaitMs = 100;
    static constexpr int kRestoreWaitMs = 100;

    // Asks each query in turn. An answer is the last text of its form in its reply (a stale
    // one may stand before it) or, when it came late, the first in the next reply; a reply
    // that came but held none is asked once more.
    void read(RadioLink &link, const std::vector<CapturedQuery> &queries);
    // Sends back those read, in order. The names whose commands did not reach the radio
    // (the port was lost before or during them), in order.
    QStringList restore(RadioLink &link) const;
    // The settings whose answers had no acceptable form, by name.
    QStringList unread() const;
    // The value read of the setting named, without ";" ("MD$3"); empty when not read.
    QString value(const QString &name) const;
    void clear() { m_settings.clear(); }
    // Nothing read: nothing to send back.
    bool isEmpty() const;

private:
    struct Setting {
        CapturedQuery query;
        QString value;  // the answer without ";", empty when not read
    };
    std::vector<Setting> m_settings;
};

// The sub-receiver's settings, in the order of the restore: mode, crystal filter, DSP
// passband, RF gain, attenuator, preamp, VFO B, sub on/off last.
std::vector<CapturedQuery> subReceiverQueries();
// The memories of mode `modeName` ("CW") that a survey in it changes: on the main receiver
// AGC, crystal filter and DSP width; on the sub-receiver its crystal filter and DSP width.
std::vector<CapturedQuery> modeMemoryQueries(const QString &modeName, bool sub);

// The readout's answer to "db;": "DB", the eight characters of VFO B, ";". The last such
// answer in the reply whose first five characters are a number below 100 with its decimal
// point (the dBV readout to a tenth, "-12.3", " 0.0") and whose last three hold no digit
// (its unit): the reading
// as readingFromReply cuts it; none when the reply holds no dBV readout (an auto-info report
// alone, another answer, a frequency shown instead, line noise).
std::optional<QString> dbvReadingOf(const QString &reply);

}  // namespace corvane
