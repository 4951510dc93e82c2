#pragma once
// The crystal filter settings table of the filter windows, as plain data: five slot columns
// (Filter 1 to Filter 5), each with its bandwidth, frequency offset and loss compensation as
// read from the radio and a receive flag per mode. Also the mode table the windows offer and
// the decoding of the numbers the radio shows in its filter menu entries.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace corvane {

constexpr int kFilterSlots = 5;
constexpr int kFilterModes = 6;

// One mode of the mode combo box: its list text, the K3 mode number (the "md" command) and
// its name in messages.
struct FilterMode {
    const char *listText;
    int number;
    const char *name;
};

// In the order of the combo box: LSB 1, USB 2, CW 3, FM 4, AM 5, Data 6.
const std::array<FilterMode, kFilterModes> &filterModeTable();
// The mode whose list text is `text` (case ignored), if any.
std::optional<int> modeNumberOf(const QString &text);
// "md" + number: the mode text the messages are named from.
QString modeText(int modeNumber);
// "md1" gives "LSB" ... "md6" "Data"; anything else "Unknown Mode". Compared exactly.
QString getModeName(const QString &modeText);

// The rows of the receive flags, in table order: CW, LSB, USB, Data, AM, FM (mode numbers).
const std::array<int, kFilterModes> &receiveRowModes();

// Display decoding of a four-character number field of the VFO A display.
// The first character: "@" becomes a blank, ">" a minus sign; the rest unchanged.
QString decodeSignChar(const QString &text);
// The first two characters, ".", the third without its decimal point bit, the last one:
// "@2" + ('7' | 0x80) + "0" -> "@2.70". Defined for four characters whose third carries the
// point; anything else comes back unchanged (callers check hasDecimalPointField first).
QString insertDecimalPoint(const QString &text);
// Four characters with the point bit on the third: the only form the radio shows.
bool hasDecimalPointField(const QString &text);

// The table itself. A receive flag never read is unset (the window shows it clear).
struct FilterColumn {
    QString bandwidth;
    QString offset;
    QString lossComp;
    std::array<std::optional<bool>, kFilterModes + 1> receive;  // by mode number 1..6
};

struct FilterTable {
    std::array<FilterColumn, kFilterSlots> columns;  // slot 1 at index 0

    FilterColumn &column(int slot) { return columns[size_t(slot - 1)]; }
    const FilterColumn &column(int slot) const { return columns[size_t(slot - 1)]; }
    void clear() { *this = FilterTable(); }
    // The table as aligned text: a heading line "Filter 1" ... "Filter 5", then the rows
    // bandwidth, offset, loss compensation and the six receive rows, labelled as in the
    // window; a receive cell reads "YES", "NO" or nothing when it was not read.
    QStringList alignedText() const;
};

// The row labels of the window and the printed table, top to bottom.
const QStringList &filterTableRowLabels();

}  // namespace corvane
