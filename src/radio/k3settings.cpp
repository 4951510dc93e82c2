#include "radio/k3settings.h"

#include "core/numtext.h"

namespace corvane::k3settings {

namespace {

constexpr ushort kPointBit = 0x80;

// The display text cut to its eight positions, missing ones as blanks, so that the
// position-based readers never index past a short answer.
QString padded(const QString &display) {
    return display.leftJustified(kDisplayLength, u' ', true);
}

QChar displaySubstitute(QChar c) {
    switch (c.unicode()) {
        case '@':
            return u' ';
        case '<':
            return u'L';
        case '>':
            return u'-';
        case 'K':
            return u'H';
        case 'M':
            return u'N';
        case 'W':
            return u'I';
        case 'Q':
            return u'O';
        case 'V':
            return u'U';
        case 'Z':
            return u'C';
        default:
            return c;
    }
}

QString eqLevel(QChar c) {
    switch (c.unicode()) {
        case '>':
            return QStringLiteral("+0");
        case '=':
            return QStringLiteral("-1");
        case ']':
            return QStringLiteral("+1");
        case '^':
            return QStringLiteral("+2");
        default:
            return QStringLiteral("-2");
    }
}

QString menuCommand(int entry) {
    return QStringLiteral("mn%1;").arg(entry, 3, 10, QChar(u'0'));
}

// Opens a MAIN menu entry and reads its raw display text.
QString openEntryAndRead(RadioLink &link, int entry) {
    link.sendCommand(menuCommand(entry), kMenuEntryWaitMs);
    return readDisplay(link);
}

QString readDecodedEntry(RadioLink &link, int entry) {
    return decodeDisplayText(openEntryAndRead(link, entry));
}

QString readEqEntry(RadioLink &link, int entry) {
    return decodeEqBars(openEntryAndRead(link, entry));
}

// The last three raw display characters of menu entry 072, read without decoding.
QString techModeTail(RadioLink &link) {
    link.sendCommand(menuCommand(72), kMenuEntryWaitMs);
    const QString answer = link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs);
    return rightOf(leftOf(answer, 10), 3);
}

void switchTechMode(RadioLink &link, bool wantOn) {
    const bool isOff = techModeTail(link) == QLatin1String("OFF");
    // "up;" flips the two-valued entry; a missing answer counts as "not OFF".
    if (isOff == wantOn) link.sendCommand(QStringLiteral("up;"), kMenuStepWaitMs);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
}

}  // namespace

// ---- Display readout -------------------------------------------------------------------

QString displayTextOf(const QString &answer) {
    return rightOf(leftOf(answer, 10), 8);
}

QString readDisplay(RadioLink &link) {
    return displayTextOf(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
}

QChar stripDecimalPoint(QChar c) {
    return c.unicode() >= kPointBit ? QChar(ushort(c.unicode() - kPointBit)) : c;
}

QString decodeDisplayText(const QString &display) {
    QString decoded;
    for (const QChar c : padded(display)) {
        if (c.unicode() >= kPointBit) {
            decoded += u'.';
            decoded += stripDecimalPoint(c);
        } else {
            decoded += displaySubstitute(c);
        }
    }
    return decoded;
}

QString decodeEqBars(const QString &display) {
    QString levels;
    for (const QChar c : padded(display)) levels += eqLevel(c);
    return levels;
}

QString readMenuValue(RadioLink &link, const QString &entryCommand) {
    link.sendCommand(entryCommand + u';', kMenuEntryWaitMs);
    return decodeDisplayText(readDisplay(link));
}

// ---- MAIN menu readers -----------------------------------------------------------------

QString alarmText(const QString &display) {
    const QString d = padded(display);
    const QString state =
        d.left(2) == QLatin1String("ON") ? QStringLiteral("ON") : QStringLiteral("OFF");
    return state + u' ' + d.mid(4, 2) + u'.' + stripDecimalPoint(d.at(6)) + d.at(7);
}

QString micPlusLineText(const QString &display) {
    const QString d = padded(display);
    if (d.at(0) == u'N') return QStringLiteral("NOT APPL");
    return d.mid(5, 2) == QLatin1String("ON") ? QStringLiteral("     ON")
                                              : QStringLiteral("    OFF");
}

QString micSelectText(const QString &display) {
    const QString d = padded(display);
    const QString panel = d.left(2);
    if (panel != QLatin1String("FP") && panel != QLatin1String("RP"))
        return QStringLiteral("LINE IN  ");
    const QString bias = d.at(4) == u'B' ? QStringLiteral(" BIAS") : QStringLiteral("     ");
    return panel + u'.' + stripDecimalPoint(d.at(2)) + bias;
}

QString readAlarm(RadioLink &link) {
    return alarmText(openEntryAndRead(link, 0));
}
QString readLcdAdjust(RadioLink &link) {
    return readDecodedEntry(link, 2);
}
QString readLcdBrightness(RadioLink &link) {
    return readDecodedEntry(link, 3);
}
QString readLedBrightness(RadioLink &link) {
    return readDecodedEntry(link, 4);
}
QString readMessageRepeat(RadioLink &link) {
    return readDecodedEntry(link, 5);
}
QString readRepeaterOffset(RadioLink &link) {
    return readDecodedEntry(link, 7);
}
QString readRxEq(RadioLink &link) {
    return readEqEntry(link, 8);
}
QString readTxEq(RadioLink &link) {
    return readEqEntry(link, 9);
}
QString readVoxGain(RadioLink &link) {
    return readDecodedEntry(link, 10);
}
QString readAntiVox(RadioLink &link) {
    return readDecodedEntry(link, 11);
}
QString readMicPlusLine(RadioLink &link) {
    return micPlusLineText(openEntryAndRead(link, 15));
}
QString readMicSelect(RadioLink &link) {
    return micSelectText(openEntryAndRead(link, 53));
}
QString readAfxMode(RadioLink &link) {
    return readDecodedEntry(link, 105);
}

// ---- Setting decoders ------------------------------------------------------------------

QString decodeAgc(const QString &answer) {
    if (answer == QLatin1String("GT002") || answer == QLatin1String("GT0021"))
        return QStringLiteral("Fast");
    if (answer == QLatin1String("GT004") || answer == QLatin1String("GT0041"))
        return QStringLiteral("Slow");
    if (answer == QLatin1String("GT0020") || answer == QLatin1String("GT0040"))
        return QStringLiteral("Off");
    return answer;
}

QString decodeAttenuator(const QString &answer) {
    if (answer == QLatin1String("RA00")) return QStringLiteral("Off");
    if (answer == QLatin1String("RA01")) return QStringLiteral("On");
    return answer;
}

QString decodePreamp(const QString &answer) {
    if (answer == QLatin1String("PA0")) return QStringLiteral("Off");
    if (answer == QLatin1String("PA1")) return QStringLiteral("On");
    return answer;
}

QString decodeMode(const QString &answer) {
    static const char *const kNames[] = {nullptr, "LSB",  "USB",    "CW",    "FM",
                                         "AM",    "DATA", "CW-REV", nullptr, "DATA-REV"};
    if (answer.size() != 3 || !answer.startsWith(QLatin1String("MD"))) return answer;
    const int digit = answer.at(2).unicode() - '0';
    if (digit < 1 || digit > 9 || !kNames[digit]) return answer;
    return QString::fromLatin1(kNames[digit]);
}

QString decodePower(QString &answer) {
    if (answer.isEmpty()) return answer;
    const QChar range = answer.back();
    if (range != u'0' && range != u'1') return answer;
    answer = cutMiddle(answer, 2, 1);
    double watts = numericValue(answer);
    // Range digit 0: the three digits are tenths of a watt.
    if (range == u'0') watts /= 10.0;
    return shortestText(watts);
}

QString decodeVfoFrequency(QString &answer) {
    answer = cutMiddle(answer, 2, 0);
    if (answer.isEmpty()) return QString();
    return shortestText(numericValue(answer) / 1000.0);
}

QString decodeBandwidth(QString &answer) {
    answer = cutMiddle(answer, 2, 0);
    if (answer.isEmpty()) return QString();
    return shortestText(numericValue(answer) / 100.0);
}

QString decodeFilterNumber(QString &answer) {
    answer = cutMiddle(answer, 0, 1);
    return rightOf(answer, 1);
}

// ---- Pre-test checks -------------------------------------------------------------------

QString readTechMode(RadioLink &link) {
    const QString decoded = readDecodedEntry(link, 72);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
    return decoded;
}

void enableTechMode(RadioLink &link) {
    switchTechMode(link, true);
}

void disableTechMode(RadioLink &link) {
    switchTechMode(link, false);
}

void setAgcOff(RadioLink &link) {
    const QString answer = link.queryRadio(QStringLiteral("k22;gt;k20;"), kAgcQueryWaitMs);
    // "GTnnnx;": x, the AGC on digit, is the first of the last two characters.
    if (leftOf(rightOf(answer, 2), 1) == QLatin1String("1"))
        link.sendCommand(QStringLiteral("k22;gt0020;k20;"), kAgcSetWaitMs);
}

void checkKat3(RadioLink &link, Prompter &prompter) {
    const QString decoded = readDecodedEntry(link, 23);
    if (decoded == kKat3NotInstalled || decoded == kKat3Bypassed) return;
    prompter.message(kKat3PresentText, kKat3PresentTitle, MessageIcon::Information);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
}

void prepareKat3AndTechMode(RadioLink &link, Prompter &prompter, TestWindowFlags &flags) {
    if (!flags.kat3Checked) {
        checkKat3(link, prompter);
        flags.kat3Checked = true;
    }
    if (readTechMode(link).trimmed() == QLatin1String("OFF")) {
        enableTechMode(link);
        flags.techModeSet = true;
    }
}

}  // namespace corvane::k3settings
