#include "radio/k3settings.h"

#include <QRegularExpression>

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

// Opens a menu entry and reads its raw display text; nothing when the answer was not whole.
std::optional<QString> openEntryAndRead(RadioLink &link, int entry) {
    link.sendCommand(menuCommand(entry), kMenuEntryWaitMs);
    return displayAnswerText(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
}

MenuValue readEntry(RadioLink &link, int entry,
                    QString (*handle)(const QString &) = decodeDisplayText) {
    const std::optional<QString> display = openEntryAndRead(link, entry);
    return display ? MenuValue(handle(*display)) : std::nullopt;
}

TechModeReading techModeOf(const QString &answer) {
    const std::optional<QString> display = displayAnswerText(answer);
    if (!display) return TechModeReading::Unread;
    const QString shown = decodeDisplayText(*display).trimmed();
    if (shown == QLatin1String("ON")) return TechModeReading::On;
    if (shown == QLatin1String("OFF")) return TechModeReading::Off;
    return TechModeReading::Unread;
}

// Entry 072 opened and its display read; a display that reads neither value is asked for
// once more (line noise, or an answer that came after its wait and is in this read).
TechModeReading readTechModeEntry(RadioLink &link) {
    link.sendCommand(menuCommand(72), kMenuEntryWaitMs);
    TechModeReading reading =
        techModeOf(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
    if (reading == TechModeReading::Unread && !link.portLost())
        reading = techModeOf(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
    return reading;
}

TechModeReading switchTechMode(RadioLink &link, bool wantOn) {
    const TechModeReading reading = readTechModeEntry(link);
    // "up;" flips the two-valued entry.
    if (reading == (wantOn ? TechModeReading::Off : TechModeReading::On))
        link.sendCommand(QStringLiteral("up;"), kMenuStepWaitMs);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
    return reading;
}

}  // namespace

// ---- Display readout -------------------------------------------------------------------

QString displayTextOf(const QString &answer) {
    return rightOf(leftOf(answer, 10), 8);
}

QString readDisplay(RadioLink &link) {
    return displayTextOf(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
}

std::optional<QString> displayAnswerText(const QString &answer) {
    // Display characters: printable ASCII, with or without the point bit (DEL never shows).
    static const QRegularExpression form(
        QStringLiteral("DS([\\x{20}-\\x{7e}\\x{a0}-\\x{fe}]{8})[^;]{2};"));
    std::optional<QString> last;
    for (const QRegularExpressionMatch &m : form.globalMatch(answer)) last = m.captured(1);
    return last;
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

MenuValue readMenuValue(RadioLink &link, const QString &entryCommand) {
    link.sendCommand(entryCommand + u';', kMenuEntryWaitMs);
    const std::optional<QString> display =
        displayAnswerText(link.queryRadio(QStringLiteral("ds;"), kDisplayQueryWaitMs));
    return display ? MenuValue(decodeDisplayText(*display)) : std::nullopt;
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

MenuValue readAlarm(RadioLink &link) {
    return readEntry(link, 0, alarmText);
}
MenuValue readLcdAdjust(RadioLink &link) {
    return readEntry(link, 2);
}
MenuValue readLcdBrightness(RadioLink &link) {
    return readEntry(link, 3);
}
MenuValue readLedBrightness(RadioLink &link) {
    return readEntry(link, 4);
}
MenuValue readMessageRepeat(RadioLink &link) {
    return readEntry(link, 5);
}
MenuValue readRepeaterOffset(RadioLink &link) {
    return readEntry(link, 7);
}
MenuValue readRxEq(RadioLink &link) {
    return readEntry(link, 8, decodeEqBars);
}
MenuValue readTxEq(RadioLink &link) {
    return readEntry(link, 9, decodeEqBars);
}
MenuValue readVoxGain(RadioLink &link) {
    return readEntry(link, 10);
}
MenuValue readAntiVox(RadioLink &link) {
    return readEntry(link, 11);
}
MenuValue readMicPlusLine(RadioLink &link) {
    return readEntry(link, 15, micPlusLineText);
}
MenuValue readMicSelect(RadioLink &link) {
    return readEntry(link, 53, micSelectText);
}
MenuValue readAfxMode(RadioLink &link) {
    return readEntry(link, 105);
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

TechModeReading readTechMode(RadioLink &link) {
    const TechModeReading reading = readTechModeEntry(link);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
    return reading;
}

TechModeReading enableTechMode(RadioLink &link) {
    return switchTechMode(link, true);
}

TechModeReading disableTechMode(RadioLink &link) {
    return switchTechMode(link, false);
}

void setAgcOff(RadioLink &link) {
    const QString answer = link.queryRadio(QStringLiteral("k22;gt;k20;"), kAgcQueryWaitMs);
    // "GTnnnx;": x, the AGC on digit, is the first of the last two characters.
    if (leftOf(rightOf(answer, 2), 1) == QLatin1String("1"))
        link.sendCommand(QStringLiteral("k22;gt0020;k20;"), kAgcSetWaitMs);
}

void checkKat3(RadioLink &link, Prompter &prompter) {
    link.sendCommand(menuCommand(23), kMenuEntryWaitMs);
    const QString decoded = decodeDisplayText(readDisplay(link));
    if (decoded == kKat3NotInstalled || decoded == kKat3Bypassed) return;
    prompter.message(kKat3PresentText, kKat3PresentTitle, MessageIcon::Information);
    link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);
}

bool prepareKat3AndTechMode(RadioLink &link, Prompter &prompter, TestWindowFlags &flags) {
    if (!flags.kat3Checked) {
        checkKat3(link, prompter);
        flags.kat3Checked = true;
    }
    TechModeReading reading = readTechMode(link);
    if (reading == TechModeReading::Off) {
        reading = enableTechMode(link);
        if (reading == TechModeReading::Off) flags.techModeSet = true;
    }
    // A lost port is the caller's to tell.
    if (reading != TechModeReading::Unread || link.portLost()) return true;
    prompter.message(kTechModeUnreadText, kTechModeUnreadTitle, MessageIcon::Exclamation);
    return false;
}

}  // namespace corvane::k3settings
