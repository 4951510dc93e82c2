#pragma once
// The items of the two menu listings, in report order: the 13 MAIN menu entries (each read by
// its own reader, which decodes the display in its own way) and the 98 CONFIG menu entries
// (all read by the generic menu value reader). Labels and defaults are printed exactly as
// they stand here, blanks included; the tabs only line up the columns.
//
// Together the two tables cover every menu entry from 000 to 115 except 038 to 042: 038 to
// 041 are the crystal filter entries of the filter windows, 042 (FLTX) is not listed.

#include <QString>
#include <optional>
#include <vector>

#include "link/radiolink.h"

namespace corvane::menus {

// The value, or nothing when the display could not be read.
using MainMenuReader = std::optional<QString> (*)(RadioLink &link);

struct MenuItem {
    const char *label;      // "2 Tone   "
    int entry;              // the K3 menu entry, 0..255
    int tabsBeforeValue;    // 1 or 2
    int tabsBeforeDefault;  // 1 or 2
    const char *defaultText;
    MainMenuReader reader = nullptr;  // MAIN items only
};

// The MAIN menu items (MainMenuTable), 13 of them.
const std::vector<MenuItem> &mainMenuTable();
// The CONFIG menu items (ConfigMenuTable), 98 of them.
const std::vector<MenuItem> &configMenuTable();

// "mnNNN", the entry's command without its ";" as the menu value reader takes it.
QString entryCommand(const MenuItem &item);

}  // namespace corvane::menus
