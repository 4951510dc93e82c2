#pragma once
// The sub-receiver's settings a survey of it changes, beside what the test windows' capture
// keeps of the main receiver: sub on/off, VFO B, the sub's mode, RF gain, attenuator,
// preamp, crystal filter and DSP passband. Each answer is kept only when it has its form;
// the restore sends back only those, so nothing built from a garbled answer reaches the radio.

#include <QString>
#include <QStringList>
#include <vector>

#include "link/radiolink.h"

namespace corvane {

class SubCapture {
public:
    static constexpr int kQueryWaitMs = 100;
    static constexpr int kRestoreWaitMs = 100;

    // Asks each setting ("sb;", "fb;", "md$;", "rg$;", "ra$;", "pa$;", "k22;fw$;k20;",
    // "k31;fw$;k30;").
    void read(RadioLink &link);
    // Sends back those read, filter and passband after the mode, sub on/off last.
    void restore(RadioLink &link) const;
    // The settings whose answers had no recognisable form, by name.
    QStringList unread() const;

private:
    struct Setting {
        QString name;
        QString value;  // the answer without ";", empty when not read
    };
    std::vector<Setting> m_settings;
};

}  // namespace corvane
