#include "sim/menutable.h"

#include <QStringList>

namespace corvane::sim {

namespace {

// Values from lo to hi in steps, written with the given decimals and zero-padded digits.
std::vector<QString> range(double lo, double hi, double step, int decimals = 0, int digits = 0) {
    std::vector<QString> out;
    const int count = int((hi - lo) / step + 0.5);
    for (int i = 0; i <= count; ++i) {
        const double v = lo + i * step;
        QString text = QString::number(v, 'f', decimals);
        if (digits > 0 && decimals == 0) {
            const bool negative = v < 0;
            text = QString::number(qAbs(qRound(v))).rightJustified(digits, u'0');
            if (negative) text.prepend(u'-');
        }
        out.push_back(text);
    }
    return out;
}

std::vector<QString> list(std::initializer_list<const char *> items) {
    std::vector<QString> out;
    for (const char *item : items) out.push_back(QString::fromLatin1(item));
    return out;
}

int indexOf(const std::vector<QString> &values, const QString &value) {
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i] == value) return int(i);
    return 0;
}

const std::vector<QString> kOffOn = list({"OFF", "ON"});
const std::vector<QString> kNoYes = list({" NO", "YES"});
const std::vector<QString> kNotInst = list({"NOT INST", "INST"});

}  // namespace

const MenuTable &MenuTable::instance() {
    static const MenuTable table;
    return table;
}

const MenuEntry *MenuTable::entry(int number) const {
    if (number < 0 || number >= int(m_entries.size())) return nullptr;
    return &m_entries[size_t(number)];
}

QByteArray MenuTable::encode(const QString &value, bool plain) {
    // Split into display positions; a "." marks the next position's point.
    std::vector<std::pair<char, bool>> positions;
    bool point = false;
    for (const QChar c : value) {
        if (c == u'.') {
            point = true;
            continue;
        }
        positions.emplace_back(c.toLatin1(), point);
        point = false;
    }
    while (positions.size() > 8) positions.erase(positions.begin());
    while (positions.size() < 8) positions.insert(positions.begin(), {' ', false});

    QByteArray out;
    for (const auto &[ch, lit] : positions) {
        if (lit) {
            out += char(uchar(ch) | 0x80);
            continue;
        }
        char shown = ch;
        if (!plain) {
            switch (ch) {
                case ' ':
                    shown = '@';
                    break;
                case 'L':
                    shown = '<';
                    break;
                case '-':
                    shown = '>';
                    break;
                case 'H':
                    shown = 'K';
                    break;
                case 'N':
                    shown = 'M';
                    break;
                case 'O':
                    shown = 'Q';
                    break;
                case 'U':
                    shown = 'V';
                    break;
                case 'I':
                    shown = 'W';
                    break;
                case 'C':
                    shown = 'Z';
                    break;
                default:
                    break;
            }
        }
        out += shown;
    }
    return out;
}

MenuTable::MenuTable() {
    m_entries.resize(116);
    auto add = [this](int number, const char *name, std::vector<QString> values,
                      const char *defaultValue, bool plain = false) {
        MenuEntry &e = m_entries[size_t(number)];
        e.number = number;
        e.name = QString::fromLatin1(name);
        e.defaultIndex = indexOf(values, QString::fromLatin1(defaultValue));
        e.values = std::move(values);
        e.plain = plain;
    };

    // The simulated radio has been set up by its owner: a few entries start away from the
    // factory default (VOX GN, KRX3 fitted, RS232 at 38400 baud).
    // MAIN menu entries; several are read character by character, so they stay plain.
    add(0, "ALARM", list({"OFF 06.30", "ON  06.30"}), "OFF 06.30", true);
    add(1, "CW IAMB", list({"A", "B"}), "A");
    add(2, "LCD ADJ", range(2, 15, 1), "8");
    add(3, "LCD BRT", range(1, 9, 1), "6");
    add(4, "LED BRT", range(1, 8, 1), "4");
    add(5, "MSG RPT", range(0, 255, 1), "6");
    add(6, "CW PADL", list({"TIP=DOT", "TIP=DAH"}), "TIP=DOT");
    add(7, "RPT OFS", range(0, 5000, 20), "600");
    add(8, "RX EQ", list({">>>>>>>>", "=>>]]^^>", "^]>>>>=_"}), ">>>>>>>>", true);
    add(9, "TX EQ", list({">>>>>>>>", "__==>>]]", "]]>>>>=="}), ">>>>>>>>", true);
    add(10, "VOX GN", range(0, 60, 1), "20");
    add(11, "ANTIVOX", range(0, 60, 1), "0");
    add(12, "CW WGHT", range(0.90, 1.25, 0.05, 2), "1.15");
    add(13, "2 TONE", kOffOn, "OFF");
    add(14, "AFV TIM", list({"100", "200", "500", "1000", "2000", "5000"}), "1000");
    add(15, "MIC+LIN", list({"    OFF ", "     ON "}), "    OFF ", true);
    add(16, "TX DLY", list({"NOR 008", "NOR 010", "NOR 012", "NOR 015", "NOR 020"}), "NOR 008");
    add(17, "AGC SLP", range(0, 20, 1, 0, 3), "012");
    add(18, "FM MODE", list({"ON", "OFF"}), "ON");
    add(19, "DIGOUT1", kOffOn, "OFF");
    add(20, "AGC HLD", range(0, 1, 0.05, 2), "0.00");
    add(21, "FM DEV", range(3, 7, 0.5, 1), "5.0");
    add(22, "EXT ALC", list({"OFF t-4.0", "ON  t-4.0", "OFF t-3.0", "ON  t-3.0"}), "OFF t-4.0");
    add(23, "KAT3", list({" NOTINST", "BYP ", "AUTO "}), " NOTINST");
    add(24, "BAT MIN", range(8, 13, 0.5, 1), "11.0");
    add(25, "TX INH", list({"OFF", "LO=INH", "HI=INH"}), "OFF");
    add(26, "SER NUM", list({"   05321"}), "   05321", true);
    add(27, "TXG VCE", range(-10, 10, 1, 1), "0.0");
    for (QString &v : m_entries[27].values) v += QStringLiteral(" dB");
    add(28, "FW REVS", list({"04.45"}), "04.45");
    add(29, "DATE", list({"03.15.24"}), "03.15.24");
    add(30, "DATE MD", list({"US", "EU"}), "US");
    add(31, "DDS FRQ", list({"21.840.340"}), "21.840.340");
    add(32, "LIN OUT", list({"NOR 000", "NOR 005", "NOR 010", "NOR 020", "NOR 040", "=PHONES"}),
        "NOR 010");
    add(33, "KIO3", list({"NOR", "HI"}), "NOR");
    add(34, "ADC REF", range(4.90, 5.10, 0.01, 2), "5.00");
    add(35, "RFI DET", list({"NOR", "OFF"}), "NOR");
    add(36, "KDVR3", kNotInst, "NOT INST");
    add(37, "AGC-S", range(0, 40, 1, 0, 3), "020");
    // 038..041 are the crystal filter entries, drawn from the filter slots themselves.
    add(38, "FL BW", list({""}), "");
    add(39, "FL FRQ", list({""}), "");
    add(40, "FL GN", list({""}), "");
    add(41, "FL ON", list({""}), "");
    add(42, "FLTX", list({"FL1", "FL2", "FL3", "FL4", "FL5"}), "FL1");
    add(43, "FP TEMP", list({"30.5 C"}), "30.5 C");
    add(44, "FSK POL", list({"1", "0"}), "1");
    add(45, "AUTOINF", list({"NOR", "AUTO 1"}), "NOR");
    add(46, "KBPF3", kNotInst, "NOT INST");
    add(47, "AF LIM", list({"NOR", "10", "20", "30"}), "NOR");
    add(48, "KNB3", list({"NOR", "NOT INST"}), "NOR");
    add(49, "KRC2", list({"--", "ACC1", "ACC2"}), "--");
    add(50, "KRX3", kNotInst, "INST");  // the sub receiver is fitted
    add(51, "KXV3", kNotInst, "NOT INST");
    add(52, "LCD TEST", kOffOn, "OFF");
    add(53, "MIC SEL",
        list({"FP.L     ", "FP.L B   ", "FP.H     ", "FP.H B   ", "RP.L     ", "RP.L B   ",
              "RP.H     ", "RP.H B   ", "LINE IN "}),
        "FP.L     ", true);
    add(54, "NB SAVE", kNoYes, " NO");
    add(55, "KPA3", kNotInst, "NOT INST");
    add(56, "PA TEMP", list({"34 C"}), "34 C");
    add(57, "RS232", list({"4800 B", "9600 B", "19200 B", "38400 B"}), "38400 B");
    add(58, "TUN PWR", list({"NOR", "5", "10", "20"}), "NOR");
    add(59, "SYNC DT", list({"FUNCTION"}), "FUNCTION");
    add(60, "SMTR MD", list({"NOR", "ABS"}), "NOR");
    add(61, "AGC-F", range(0, 200, 10, 0, 3), "120");
    add(62, "REF CAL", list({"49.379.900", "49.379.950", "49.380.000", "49.380.050", "49.380.100"}),
        "49.380.000");
    add(63, "SQ MAIN", range(0, 29, 1), "0");
    add(64, "SQ SUB", range(0, 29, 1), "0");
    add(65, "SMTR OF", range(0, 40, 1, 0, 3), "024");
    add(66, "SMTR SC", range(0, 30, 1, 0, 3), "014");
    add(67, "SMTR PK", kOffOn, "OFF");
    add(68, "SPLT SV", kNoYes, " NO");
    add(69, "SPKRS", list({"1", "2"}), "1");
    add(70, "SW TEST", kOffOn, "OFF");
    add(71, "SW TONE", kOffOn, "OFF");
    add(72, "TECH MD", list({"     OFF", "      ON"}), "     OFF", true);
    add(73, "TIME", list({"12.34.56"}), "12.34.56");
    add(74, "AGC THR", range(0, 20, 1, 0, 3), "005");
    add(75, "PTT RLS", range(0, 50, 1, 0, 3), "020");
    // Shown with the name of the band VFO A is on (display.cpp).
    add(76, "BND MAP", list({"IN", "OUT"}), "IN");
    add(77, "TTY LTR", list({"FUNCTION"}), "FUNCTION");
    add(78, "TX ALC", list({" ON", "OFF"}), " ON");
    add(79, "TX GN", range(0, 10, 1, 0, 2), "00");
    add(80, "SUB AF", list({"NOR", "BAL"}), "NOR");
    add(81, "PWR SET", list({"NOR", "PER-BAND"}), "NOR");
    add(82, "MIC BTN", kOffOn, "OFF");
    add(83, "VCO MD", list({"NOR 128", "CAL 128"}), "NOR 128");
    add(84, "VFO CTS", list({"100", "200"}), "200");
    add(85, "VFO FST", list({"20 Hz", "50 Hz", "100 Hz"}), "50 Hz");
    add(86, "VFO IND", kNoYes, " NO");
    add(87, "VFO OFS", kOffOn, "OFF");
    add(88, "WMTR", range(80, 120, 1, 0, 3), "100");
    add(89, "XV1 ON", kNoYes, " NO");
    add(90, "XV1 RF", list({"50", "144", "222", "432"}), "144");
    add(91, "XV1 IF", list({" 7", "14", "21", "28", "50"}), "28");
    add(92, "XV1 PWR", list({"L.01", "L.05", "L.10", "L1.00"}), "L.01");
    add(93, "XV1 OFS", list({"-0.10", "-0.05", "0.00", "0.05", "0.10"}), "0.00");
    add(94, "XV1 ADR", list({"TRN1", "TRN2", "TRN3", "TRN4", "TRN5"}), "TRN1");
    add(95, "AF GAIN", list({"HI", "LO"}), "HI");
    add(96, "TX ESSB", list({"OFF 3.0", "ON  3.0", "OFF 3.5", "ON  3.5", "OFF 4.0", "ON  4.0"}),
        "OFF 3.0");
    add(97, "SPKR+PH", kNoYes, " NO");
    add(98, "VFO B->A", list({"FUNCTION"}), "FUNCTION");
    add(99, "AGC PLS", list({"NOR", "OFF"}), "NOR");
    add(100, "RIT CLR", list({"UNDO OFF", "UNDO ON"}), "UNDO OFF");
    add(101, "TX GATE", list({"OFF 00", "ON  00", "OFF 05", "ON  05"}), "OFF 00");
    add(102, "MEM 0-9", list({"NOR", "BAND SEL"}), "NOR");
    add(103, "PTT KEY", list({"OFF-OFF", "RTS-DTR", "DTR-RTS"}), "OFF-OFF");
    add(104, "VFO CRS", list({"Per-mode", "1 kHz", "5 kHz"}), "Per-mode");
    add(105, "AFX MD", list({"DELAY 1", "DELAY 2", "DELAY 3", "DELAY 4", "DELAY 5", "BIN", "OFF"}),
        "DELAY 5");
    add(106, "SIG RMV", list({"NOR", "ON"}), "NOR");
    add(107, "AFSK TX", list({"FIL OFF", "FIL ON"}), "FIL OFF");
    add(108, "AGC DCY", list({"NOR", "SOFT"}), "NOR");
    add(109, "PB CTRL", list({"Shift=.05", "Shift=.10", "LO-HI"}), "Shift=.05");
    add(110, "MACRO 1", list({"FUNCTION"}), "FUNCTION");
    add(111, "L-MIX-R", list({"A B", "A AB", "AB B"}), "A B");
    add(112, "CW QRQ", kOffOn, "OFF");
    add(113, "TX DVR", list({"NOR", "LINE"}), "NOR");
    add(114, "TX MON", list({"NOR", "ON"}), "NOR");
    add(115, "DUAL PB", list({"APF", "NOR"}), "APF");
}

}  // namespace corvane::sim
