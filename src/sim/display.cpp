// What the radio shows on its two VFO displays, byte for byte as "ds;" and "db;" send it:
// 8 characters each, the decimal point as bit 7 on the character after it, and in places
// the display's own stand-ins for letters it cannot draw.
#include <cmath>

#include "sim/k3simulator.h"
#include "sim/menutable.h"

namespace corvane::sim {

namespace {

constexpr char kPoint = char(0x80);

QString modeName(int mode) {
    switch (mode) {
        case 1:
            return QStringLiteral("LSB");
        case 2:
            return QStringLiteral("USB");
        case 3:
            return QStringLiteral("CW");
        case 4:
            return QStringLiteral("FM");
        case 5:
            return QStringLiteral("AM");
        case 6:
            return QStringLiteral("DATA");
        case 7:
            return QStringLiteral("CW-R");
        case 9:
            return QStringLiteral("DT-R");
        default:
            return QStringLiteral("?");
    }
}

// Three digits with the point before the middle one: 2.70 as '2', '7'|point, '0'.
QByteArray pointedTenths(int tensOfHz) {
    const QByteArray digits = QByteArray::number(qBound(0, tensOfHz, 999)).rightJustified(3, '0');
    QByteArray out = digits;
    out[1] = char(out[1] | kPoint);
    return out;
}

// The amateur band a frequency is in, by its name in metres ("20"); "GEN" outside them.
QString bandName(qint64 hz) {
    static const struct {
        qint64 lowHz, highHz;
        const char *name;
    } kBands[] = {
        {1800000, 2000000, "160"},  {3500000, 4000000, "80"},   {5330000, 5410000, "60"},
        {7000000, 7300000, "40"},   {10100000, 10150000, "30"}, {14000000, 14350000, "20"},
        {18068000, 18168000, "17"}, {21000000, 21450000, "15"}, {24890000, 24990000, "12"},
        {28000000, 29700000, "10"}, {50000000, 54000000, "6"}};
    for (const auto &band : kBands)
        if (hz >= band.lowHz && hz <= band.highHz) return QString::fromLatin1(band.name);
    return QStringLiteral("GEN");
}

QByteArray fit8(QByteArray text) {
    if (text.size() > 8) text = text.right(8);
    return text.rightJustified(8, ' ');
}

}  // namespace

QByteArray K3Simulator::frequencyDisplay(qint64 hz) const {
    // kHz with two decimals: 14060.00, the point lit on the character after it.
    QByteArray digits = QByteArray::number(qMax<qint64>(0, hz) / 10).rightJustified(3, '0');
    digits[digits.size() - 2] = char(digits[digits.size() - 2] | kPoint);
    if (digits.size() > 8) digits = digits.right(8);
    return digits.rightJustified(8, '@');
}

QByteArray K3Simulator::vfoADisplay() const {
    if (m_state.openMenuEntry >= 0 && m_state.openMenuEntry <= 115)
        return menuValueDisplay(m_state.openMenuEntry);
    return frequencyDisplay(m_state.vfoAHz);
}

QByteArray K3Simulator::vfoBDisplay(qint64 nowMs) {
    if (m_state.openMenuEntry >= 0 && m_state.openMenuEntry <= 115)
        return menuNameDisplay(m_state.openMenuEntry);
    return readoutDisplay(nowMs);
}

QByteArray K3Simulator::menuNameDisplay(int entry) const {
    static const char *const kFilterNames[] = {"BW", "FRQ", "GN", "ON"};
    if (entry >= 38 && entry <= 41) {
        QByteArray name = "FL" + QByteArray::number(qBound(0, m_state.menuSlot, 4) + 1) + ' ' +
                          kFilterNames[entry - 38];
        name = name.leftJustified(7, ' ');
        return name + (m_state.menuOnSub ? '$' : ' ');
    }
    const MenuEntry *e = MenuTable::instance().entry(entry);
    const QByteArray name = e ? e->name.toLatin1() : QByteArray();
    return name.left(8).leftJustified(8, ' ');
}

QByteArray K3Simulator::filterEntryDisplay(int entry) const {
    const int slot = qBound(0, m_state.menuSlot, 4);
    const CrystalFilter &f = menuFilters()[size_t(slot)];
    const QByteArray prefix = "FL" + QByteArray::number(slot + 1) + ' ';
    switch (entry) {
        case 38:
            return prefix + '@' + pointedTenths((f.bandwidthHz + 5) / 10);
        case 39: {
            const int tens = int(std::lround(std::abs(f.offsetHz) / 10.0));
            return prefix + (f.offsetHz < 0 ? '>' : '@') + pointedTenths(tens);
        }
        case 40:
            return prefix + char('0' + qBound(0, f.lossCompDb, 9)) + " DB";
        default: {
            const int mode = qBound(0, m_state.mode, 9);
            const bool on = f.installed && f.rxEnabled[size_t(mode)];
            return modeName(mode).toLatin1().left(4).leftJustified(5, ' ') + (on ? "YES" : " NO");
        }
    }
}

QByteArray K3Simulator::menuValueDisplay(int entry) const {
    if (entry >= 38 && entry <= 41) return filterEntryDisplay(entry);
    const MenuEntry *e = MenuTable::instance().entry(entry);
    if (!e) return QByteArray(8, '@');
    switch (entry) {
        case 14:
            return MenuTable::encode(QString::number(m_state.afvTimeMs), false);
        case 15:
            // MIC+LIN means nothing while the line input is the microphone source.
            if (menuIndex(53) == int(MenuTable::instance().entry(53)->values.size()) - 1)
                return QByteArrayLiteral("NOT APPL");
            break;
        case 23: {
            const int index = !m_state.kat3Installed ? 0 : (m_state.kat3Bypassed ? 1 : 2);
            return MenuTable::encode(e->values[size_t(index)], false);
        }
        case 26:
            return fit8("   " + m_state.serialNumber.toLatin1().right(5));
        case 28:
            return MenuTable::encode(m_state.mcuRevision, false);
        case 76: {
            // BND MAP of the band VFO A is on: "20 IN", "160 OUT".
            const QString band = bandName(m_state.vfoAHz);
            return MenuTable::encode(band + u' ' + e->values[size_t(menuIndex(entry))], false);
        }
        case 72:
            return m_state.techMode ? QByteArrayLiteral("      ON") : QByteArrayLiteral("     OFF");
        default:
            break;
    }
    return MenuTable::encode(e->values[size_t(menuIndex(entry))], e->plain);
}

QByteArray K3Simulator::readoutDisplay(qint64 nowMs) {
    if (m_state.techMode && m_state.vfoBReadout == VfoBReadout::Afv) {
        const double mv = afvReading(nowMs) * 1000.0;
        QByteArray text;
        for (int decimals = 3; decimals >= 0; --decimals) {
            text = QByteArray::number(mv, 'f', decimals);
            if (text.size() <= 5) break;
        }
        if (text.size() > 5) text = "99999";
        return "AF " + text.rightJustified(5, ' ');
    }
    if (m_state.techMode && m_state.vfoBReadout == VfoBReadout::Dbv) {
        const double volts = afvReading(nowMs);
        if (m_state.afvReferenceVolts <= 0) m_state.afvReferenceVolts = volts;
        double db = volts > 0 ? 20.0 * std::log10(volts / m_state.afvReferenceVolts) : -99.9;
        db = qBound(-99.9, std::round(db * 10.0) / 10.0, 99.9);
        if (db == 0.0) db = 0.0;  // no "-0.0"
        return QByteArray::number(db, 'f', 1).rightJustified(5, ' ') + "dBV";
    }
    return frequencyDisplay(m_state.vfoBHz);
}

QByteArray K3Simulator::ifReport() const {
    const K3State &s = m_state;
    QByteArray r =
        "IF" +
        QByteArray::number(qBound<qint64>(0, s.vfoAHz, 99999999999LL)).rightJustified(11, '0');
    r += "     ";
    r += s.ritOffsetHz < 0 ? '-' : '+';
    r += QByteArray::number(qMin(9999, std::abs(s.ritOffsetHz))).rightJustified(4, '0');
    r += s.ritOn ? '1' : '0';
    r += s.xitOn ? '1' : '0';
    r += " 00";
    r += s.transmitting ? '1' : '0';
    r += char('0' + qBound(0, s.mode, 9));
    r += '0';  // receiving on VFO A
    r += '0';  // not scanning
    r += s.split ? '1' : '0';
    r += '0';  // not a band change
    r += char('0' + qBound(0, s.dataSubMode, 3));
    r += "1 ;";
    return r;
}

}  // namespace corvane::sim
