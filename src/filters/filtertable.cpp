#include "filters/filtertable.h"

#include <algorithm>

namespace corvane {

namespace {
constexpr ushort kPointBit = 0x80;
constexpr int kNumberFieldLength = 4;
}  // namespace

const std::array<FilterMode, kFilterModes> &filterModeTable() {
    static const std::array<FilterMode, kFilterModes> table{{{"LSB", 1, "LSB"},
                                                             {"USB", 2, "USB"},
                                                             {"CW", 3, "CW"},
                                                             {"FM", 4, "FM"},
                                                             {"AM", 5, "AM"},
                                                             {"Data", 6, "Data"}}};
    return table;
}

std::optional<int> modeNumberOf(const QString &text) {
    for (const FilterMode &mode : filterModeTable())
        if (text.compare(QLatin1String(mode.listText), Qt::CaseInsensitive) == 0)
            return mode.number;
    return std::nullopt;
}

QString modeText(int modeNumber) {
    return QStringLiteral("md") + QString::number(modeNumber);
}

QString getModeName(const QString &text) {
    for (const FilterMode &mode : filterModeTable())
        if (text == modeText(mode.number)) return QLatin1String(mode.name);
    return QStringLiteral("Unknown Mode");
}

const std::array<int, kFilterModes> &receiveRowModes() {
    static const std::array<int, kFilterModes> rows{3, 1, 2, 6, 5, 4};
    return rows;
}

QString decodeSignChar(const QString &text) {
    if (text.isEmpty()) return text;
    QString out = text;
    if (out.front() == u'@')
        out.front() = u' ';
    else if (out.front() == u'>')
        out.front() = u'-';
    return out;
}

bool hasDecimalPointField(const QString &text) {
    return text.size() == kNumberFieldLength && text.at(2).unicode() >= kPointBit &&
           text.at(2).unicode() <= 0xff;
}

QString insertDecimalPoint(const QString &text) {
    if (!hasDecimalPointField(text)) return text;
    return text.left(2) + u'.' + QChar(text.at(2).unicode() - kPointBit) + text.at(3);
}

const QStringList &filterTableRowLabels() {
    static const QStringList labels{
        QStringLiteral("Bandwidth, kHz"), QStringLiteral("Freq Offest, kHz"),
        QStringLiteral("Loss Comp, dB"),  QStringLiteral("CW Receive"),
        QStringLiteral("LSB Receive"),    QStringLiteral("USB Receive"),
        QStringLiteral("Data Receive"),   QStringLiteral("AM Receive"),
        QStringLiteral("FM Receive")};
    return labels;
}

QStringList FilterTable::alignedText() const {
    // Rows of cells: the heading, then the nine rows of the window.
    std::vector<QStringList> rows;
    QStringList heading{QString()};
    for (int slot = 1; slot <= kFilterSlots; ++slot)
        heading << QStringLiteral("Filter %1").arg(slot);
    rows.push_back(heading);
    const QStringList &labels = filterTableRowLabels();
    for (int row = 0; row < labels.size(); ++row) {
        QStringList cells{labels.at(row)};
        for (const FilterColumn &c : columns) {
            if (row < 3) {
                cells << (row == 0 ? c.bandwidth : row == 1 ? c.offset : c.lossComp);
                continue;
            }
            const std::optional<bool> flag = c.receive[size_t(receiveRowModes()[size_t(row - 3)])];
            cells << (!flag ? QString() : *flag ? QStringLiteral("YES") : QStringLiteral("NO"));
        }
        rows.push_back(cells);
    }
    std::array<int, kFilterSlots + 1> widths{};
    for (const QStringList &cells : rows)
        for (int i = 0; i < cells.size(); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], int(cells.at(i).size()));
    QStringList out;
    for (const QStringList &cells : rows) {
        QString line = cells.at(0).leftJustified(widths[0]);
        for (int i = 1; i < cells.size(); ++i)
            line += QStringLiteral("  ") + cells.at(i).rightJustified(widths[size_t(i)]);
        // No trailing blanks.
        while (line.endsWith(u' ')) line.chop(1);
        out << line;
    }
    return out;
}

}  // namespace corvane
