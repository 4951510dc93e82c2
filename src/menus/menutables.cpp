#include "menus/menutables.h"

#include "radio/k3settings.h"

namespace corvane::menus {

const std::vector<MenuItem> &mainMenuTable() {
    // clang-format off
    static const std::vector<MenuItem> table{
        {"AFX MD   ", 105, 1, 2, "DELAY 5", k3settings::readAfxMode},
        {"ALARM    ", 0, 1, 1, "OFF", k3settings::readAlarm},
        {"ANTIVOX  ", 11, 1, 2, "0", k3settings::readAntiVox},
        {"LCD ADJ  ", 2, 1, 2, "8", k3settings::readLcdAdjust},
        {"LCD BRT  ", 3, 1, 2, "6", k3settings::readLcdBrightness},
        {"LED BRT  ", 4, 1, 2, "4", k3settings::readLedBrightness},
        {"MIC SEL  ", 53, 1, 1, "FP.L, bias off", k3settings::readMicSelect},
        {"MIC+LIN  ", 15, 1, 2, "OFF", k3settings::readMicPlusLine},
        {"MSG RPT  ", 5, 1, 2, "6", k3settings::readMessageRepeat},
        {"RPT OFS  ", 7, 1, 2, "600", k3settings::readRepeaterOffset},
        {"RX EQ    ", 8, 1, 1, "+0 dB/band", k3settings::readRxEq},
        {"TX EQ    ", 9, 1, 1, "+0 dB/band", k3settings::readTxEq},
        {"VOX GN   ", 10, 1, 2, "0", k3settings::readVoxGain},
    };
    // clang-format on
    return table;
}

const std::vector<MenuItem> &configMenuTable() {
    // clang-format off
    static const std::vector<MenuItem> table{
        {"2 Tone   ", 13, 2, 2, "OFF"},
        {"ADC REF  ", 34, 1, 2, "5.00"},
        {"AF GAIN  ", 95, 1, 2, "HI"},
        {"AFSK TX  ", 107, 1, 2, "FIL OFF"},
        {"AF LIM  ", 47, 2, 1, "NOR"},
        {"AFV TIM  ", 14, 1, 2, "1000"},
        {"AGC DCY  ", 108, 1, 2, "NOR"},
        {"AGC HLD  ", 20, 1, 2, "0.00"},
        {"AGC PLS  ", 99, 1, 2, "NOR"},
        {"AGC SLP  ", 17, 1, 2, "012"},
        {"AGC THR  ", 74, 1, 2, "005"},
        {"AGC - F  ", 61, 2, 2, "120"},
        {"AGC - S  ", 37, 2, 2, "020"},
        {"AUTOINF  ", 45, 1, 2, "NOR"},
        {"BAT MIN  ", 24, 1, 2, "11.0"},
        {"BND MAP  ", 76, 1, 2, "{band} IN"},
        {"CW IAMB  ", 1, 1, 2, "A"},
        {"CW PADL  ", 6, 1, 1, "TIP=DOT"},
        {"CW QRQ  ", 112, 1, 2, "OFF"},
        {"CW WGHT  ", 12, 1, 2, "1.15"},
        {"DATE     ", 29, 2, 1, "N/A"},
        {"DATE MD  ", 30, 1, 2, "US"},
        {"DDS FRQ  ", 31, 1, 1, "{DDS freq}"},
        {"DIGOUT1  ", 19, 1, 2, "OFF"},
        {"DUAL PB  ", 115, 1, 2, "APF"},
        {"EXT ALC  ", 22, 1, 1, "OFF t-4.0"},
        {"FM DEV   ", 21, 1, 2, "5.0"},
        {"FM MODE  ", 18, 1, 2, "ON"},
        {"FP TEMP  ", 43, 1, 2, "N/A"},
        {"FSK POL  ", 44, 1, 2, "1"},
        {"FW REVS  ", 28, 1, 1, "N/A"},
        {"KAT3     ", 23, 2, 2, "NOT INST"},
        {"KBPF3    ", 46, 2, 2, "NOT INST"},
        {"KDVR3    ", 36, 1, 2, "NOT INST"},
        {"KIO3     ", 33, 2, 2, "NOR"},
        {"KNB3     ", 48, 2, 2, "NOR"},
        {"KPA3     ", 55, 2, 2, "NOT INST"},
        {"KRC2     ", 49, 2, 2, "--"},
        {"KRX3     ", 50, 2, 1, "NOT INST"},
        {"KXV3     ", 51, 2, 2, "NOT INST"},
        {"LCD TEST ", 52, 1, 2, "OFF"},
        {"LIN OUT  ", 32, 1, 1, "NOR 010"},
        {"MACRO 1  ", 110, 1, 1, "FUNCTION"},
        {"MEM 0-9  ", 102, 1, 2, "NOR"},
        {"MIC BTN  ", 82, 1, 2, "OFF"},
        {"L-MIX-R  ", 111, 2, 2, "A B"},
        {"NB SAVE  ", 54, 1, 2, " NO"},
        {"PA TEMP  ", 56, 1, 2, "N/A"},
        {"PB CTRL  ", 109, 1, 1, "Shift=.05"},
        {"PTT KEY  ", 103, 1, 2, "OFF-OFF"},
        {"PTT RLS  ", 75, 1, 2, "020"},
        {"PWR SET  ", 81, 1, 2, "NOR"},
        {"REF CAL  ", 62, 1, 1, "49.380.000"},
        {"RFI DET  ", 35, 1, 2, "NOR"},
        {"RIT CLR  ", 100, 1, 1, "UNDO OFF"},
        {"RS232    ", 57, 2, 2, "4800 B"},
        {"SER NUM  ", 26, 1, 2, "N/A"},
        {"SIG RMV  ", 106, 1, 2, "NOR"},
        {"SMTR OF  ", 65, 1, 2, "024"},
        {"SMTR SC  ", 66, 1, 2, "014"},
        {"SMTR PK  ", 67, 1, 2, "OFF"},
        {"SMTR MD  ", 60, 1, 2, "NOR"},
        {"SPLT SV  ", 68, 1, 2, " NO"},
        {"SPKRS    ", 69, 1, 2, "1"},
        {"SPKR+PH  ", 97, 1, 2, " NO"},
        {"SQ MAIN  ", 63, 1, 2, "0"},
        {"SQ SUB   ", 64, 1, 2, "0"},
        {"SUB AF  ", 80, 2, 2, "NOR"},
        {"SW TEST  ", 70, 1, 2, "OFF"},
        {"SW TONE  ", 71, 1, 2, "OFF"},
        {"SYNC DT  ", 59, 1, 1, "Function"},
        {"TECH MD  ", 72, 1, 2, "OFF"},
        {"TIME     ", 73, 2, 1, "N/A"},
        {"TTY LTR  ", 77, 1, 1, "Function"},
        {"TUN PWR  ", 58, 1, 2, "NOR"},
        {"TX ALC   ", 78, 1, 2, " ON"},
        {"TX DLY   ", 16, 1, 1, "NOR 008"},
        {"TX DVR  ", 113, 1, 2, "NOR"},
        {"TX ESSB  ", 96, 1, 2, "OFF 3.0"},
        {"TX INH   ", 25, 2, 2, "OFF"},
        {"TX MON  ", 114, 1, 2, "NOR"},
        {"TX GN    ", 79, 2, 2, "00"},
        {"TXG VCE  ", 27, 1, 2, "0.0 dB"},
        {"TX GATE  ", 101, 1, 2, "OFF 00"},
        {"VCO MD   ", 83, 1, 1, "NOR xx"},
        {"VFO B->A ", 98, 1, 1, "Function"},
        {"VFO CRS  ", 104, 1, 2, "Per-mode"},
        {"VFO CTS  ", 84, 1, 2, "200"},
        {"VFO FST  ", 85, 1, 2, "50 Hz"},
        {"VFO IND  ", 86, 1, 2, " NO"},
        {"VFO OFS  ", 87, 1, 2, "OFF"},
        {"WMTR     ", 88, 1, 2, "100"},
        {"XV1 ON   ", 89, 1, 2, " NO"},
        {"XV1 RF   ", 90, 1, 2, "144"},
        {"XV1 IF   ", 91, 2, 2, " 28"},
        {"XV1 PWR  ", 92, 1, 2, "L.01"},
        {"XV1 OFS  ", 93, 1, 2, "0.00"},
        {"XV1 ADR  ", 94, 1, 1, "TRNx"},
    };
    // clang-format on
    return table;
}

QString entryCommand(const MenuItem &item) {
    return QStringLiteral("mn%1").arg(item.entry, 3, 10, QChar(u'0'));
}

}  // namespace corvane::menus
