#pragma once
// The K3's menu entries 000..115 as the simulator shows them: each entry's name (shown on
// VFO B while it is open) and the values it can take (shown on VFO A). Values are written
// in a small markup: a "." lights the decimal point before the next character; the text is
// right-aligned on the 8-character display.

#include <QByteArray>
#include <QString>
#include <vector>

namespace corvane::sim {

struct MenuEntry {
    int number = -1;
    QString name;                 // "AFV TIM"
    std::vector<QString> values;  // in the order UP steps through them
    int defaultIndex = 0;         // the value the simulated radio starts with
    // Plain entries are sent as ASCII; the others use the display's own letter stand-ins
    // (blank as "@", L as "<", minus as ">", ...) where the program reads them only through
    // its decoder.
    bool plain = false;
};

class MenuTable {
public:
    static const MenuTable &instance();
    // nullptr for numbers outside 000..115.
    const MenuEntry *entry(int number) const;
    // The 8 display bytes of a value written in the markup.
    static QByteArray encode(const QString &value, bool plain);
    int size() const { return int(m_entries.size()); }

private:
    MenuTable();
    std::vector<MenuEntry> m_entries;
};

}  // namespace corvane::sim
