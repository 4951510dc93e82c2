// Display decoding and setting decoders over every answer form, including short, empty and
// garbled ones.

#include <QtTest>

#include "common/bench.h"
#include "radio/k3settings.h"

using namespace corvane;
using namespace corvane::k3settings;
using corvane::test::lit;

namespace {
// Display bytes as the link delivers them: one character per byte, 128..255 kept.
QString bytes(const QByteArray &b) {
    return QString::fromLatin1(b);
}
}  // namespace

class DecoderTests : public QObject {
    Q_OBJECT

private slots:
    void displayTextCut_data();
    void displayTextCut();
    void decodeDisplay_data();
    void decodeDisplay();
    void stripPoint();
    void eqBars_data();
    void eqBars();
    void rawMenuTexts_data();
    void rawMenuTexts();
    void wordDecoders_data();
    void wordDecoders();
    void cuttingDecoders_data();
    void cuttingDecoders();
};

// clang-format off
void DecoderTests::displayTextCut_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("display");
    QTest::newRow("full answer") << bytes(test::dsAnswer(" 14060  ")) << " 14060  ";
    QTest::newRow("no status bytes") << "DS     OFF;" << "     OFF";
    // A stale answer in front shifts the cut; nothing is repaired.
    QTest::newRow("stale text in front") << bytes("AG030;" + test::dsAnswer("     OFF"))
                                         << "030;DS  ";
    QTest::newRow("short") << "DS12;" << "DS12;";
    QTest::newRow("empty") << "" << "";
}
// clang-format on

void DecoderTests::displayTextCut() {
    QFETCH(QString, answer);
    QFETCH(QString, display);
    QCOMPARE(displayTextOf(answer), display);
}

// clang-format off
void DecoderTests::decodeDisplay_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("frequency with point") << bytes(QByteArray(" 14") + lit('0') + "60  ")
                                          << " 14.060  ";
    QTest::newRow("all blanks code") << "@@@@@@@@" << "        ";
    QTest::newRow("letter codes") << "<>KMWQVZ" << "L-HNIOUC";
    QTest::newRow("not installed") << "@MQTWMST" << " NOTINST";
    QTest::newRow("plain text passes") << "AB09 -+X" << "AB09 -+X";
    QTest::newRow("other glyphs pass") << "X[\\=]^_ " << "X[\\=]^_ ";
    // The point's character is taken as it is: no substitution after the bit is removed.
    QTest::newRow("point on a code") << bytes(QByteArray("1") + lit('@') + lit('M') + "<<<<<")
                                     << "1.@.MLLLLL";
    QTest::newRow("every point lit") << bytes(QByteArray(8, lit('9'))) << ".9.9.9.9.9.9.9.9";
    QTest::newRow("byte 255") << bytes(QByteArray(1, '\xff') + "1234567") << ".\x7f" "1234567";
    QTest::newRow("short") << "14" << "14      ";
    QTest::newRow("empty") << "" << "        ";
    QTest::newRow("longer than the display") << "123456789A" << "12345678";
}
// clang-format on

void DecoderTests::decodeDisplay() {
    QFETCH(QString, display);
    QFETCH(QString, decoded);
    QCOMPARE(decodeDisplayText(display), decoded);
}

void DecoderTests::stripPoint() {
    QCOMPARE(stripDecimalPoint(QChar(128 + '7')), QChar(u'7'));
    QCOMPARE(stripDecimalPoint(QChar(128 + '@')), QChar(u'@'));
    QCOMPARE(stripDecimalPoint(QChar(128)), QChar(u'\0'));
    // An unlit character comes back as it is.
    QCOMPARE(stripDecimalPoint(QChar(u'7')), QChar(u'7'));
}

// clang-format off
void DecoderTests::eqBars_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("levels");
    QTest::newRow("every level") << ">=]^ >>>" << "+0-1+1+2-2+0+0+0";
    QTest::newRow("flat") << ">>>>>>>>" << "+0+0+0+0+0+0+0+0";
    QTest::newRow("lowest bar code") << "________" << "-2-2-2-2-2-2-2-2";
    QTest::newRow("short") << "^^" << "+2+2-2-2-2-2-2-2";
    QTest::newRow("empty") << "" << "-2-2-2-2-2-2-2-2";
}
// clang-format on

void DecoderTests::eqBars() {
    QFETCH(QString, display);
    QFETCH(QString, levels);
    QCOMPARE(decodeEqBars(display), levels);
}

// clang-format off
void DecoderTests::rawMenuTexts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("text");
    QTest::newRow("alarm on") << "alarm" << bytes(QByteArray("ON  06") + lit('3') + "0")
                              << "ON 06.30";
    QTest::newRow("alarm off") << "alarm" << bytes(QByteArray("OFF 12") + lit('4') + "5")
                               << "OFF 12.45";
    QTest::newRow("alarm point unlit") << "alarm" << "ON  0630" << "ON 06.30";
    QTest::newRow("alarm lower case") << "alarm" << "on  0630" << "OFF 06.30";
    QTest::newRow("alarm empty") << "alarm" << "" << "OFF   .  ";
    QTest::newRow("mic front bias") << "micsel" << bytes(QByteArray("FP") + lit('L') + " B   ")
                                    << "FP.L BIAS";
    QTest::newRow("mic rear no bias") << "micsel" << bytes(QByteArray("RP") + lit('H') + "     ")
                                      << "RP.H     ";
    QTest::newRow("mic point unlit") << "micsel" << "FP2 B   " << "FP.2 BIAS";
    QTest::newRow("mic line in") << "micsel" << "LINE IN " << "LINE IN  ";
    QTest::newRow("mic empty") << "micsel" << "" << "LINE IN  ";
    QTest::newRow("mic+line n/a") << "micline" << "NOT APPL" << "NOT APPL";
    QTest::newRow("mic+line on") << "micline" << "     ON " << "     ON";
    QTest::newRow("mic+line off") << "micline" << "    OFF " << "    OFF";
    QTest::newRow("mic+line short") << "micline" << "     O" << "    OFF";
    QTest::newRow("mic+line empty") << "micline" << "" << "    OFF";
}
// clang-format on

void DecoderTests::rawMenuTexts() {
    QFETCH(QString, kind);
    QFETCH(QString, display);
    QFETCH(QString, text);
    if (kind == QLatin1String("alarm"))
        QCOMPARE(alarmText(display), text);
    else if (kind == QLatin1String("micsel"))
        QCOMPARE(micSelectText(display), text);
    else
        QCOMPARE(micPlusLineText(display), text);
}

// clang-format off
void DecoderTests::wordDecoders_data()
{
    QTest::addColumn<QString>("decoder");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");
    const QStringList agc{"GT002", "Fast", "GT0021", "Fast", "GT004",  "Slow",  "GT0041",
                          "Slow",  "GT0020", "Off", "GT0040", "Off",   "GT003", "GT003",
                          "gt0041", "gt0041", "GT00411", "GT00411", "", ""};
    for (int i = 0; i < agc.size(); i += 2)
        QTest::addRow("agc %s", qPrintable(agc[i])) << "agc" << agc[i] << agc[i + 1];
    const QStringList att{"RA00", "Off", "RA01", "On", "RA02", "RA02", "RA0", "RA0", "", ""};
    for (int i = 0; i < att.size(); i += 2)
        QTest::addRow("att %s", qPrintable(att[i])) << "att" << att[i] << att[i + 1];
    const QStringList pre{"PA0", "Off", "PA1", "On", "PA2", "PA2", "pa1", "pa1", "", ""};
    for (int i = 0; i < pre.size(); i += 2)
        QTest::addRow("pre %s", qPrintable(pre[i])) << "pre" << pre[i] << pre[i + 1];
    const QStringList mode{"MD1", "LSB",    "MD2", "USB",  "MD3", "CW",       "MD4",  "FM",
                           "MD5", "AM",     "MD6", "DATA", "MD7", "CW-REV",   "MD8",  "MD8",
                           "MD9", "DATA-REV", "MD0", "MD0", "MD", "MD",       "MD31", "MD31",
                           "md3", "md3",    "",    ""};
    for (int i = 0; i < mode.size(); i += 2)
        QTest::addRow("mode %s", qPrintable(mode[i])) << "mode" << mode[i] << mode[i + 1];
}
// clang-format on

void DecoderTests::wordDecoders() {
    QFETCH(QString, decoder);
    QFETCH(QString, answer);
    QFETCH(QString, result);
    const QString before = answer;
    QString got;
    if (decoder == QLatin1String("agc"))
        got = decodeAgc(answer);
    else if (decoder == QLatin1String("att"))
        got = decodeAttenuator(answer);
    else if (decoder == QLatin1String("pre"))
        got = decodePreamp(answer);
    else
        got = decodeMode(answer);
    QCOMPARE(got, result);
    QCOMPARE(answer, before);
}

// clang-format off
void DecoderTests::cuttingDecoders_data()
{
    QTest::addColumn<QString>("decoder");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("left");  // what stays in the caller's variable
    QTest::newRow("power tenths") << "power" << "PC0050" << "0.5" << "005";
    QTest::newRow("power watts") << "power" << "PC1001" << "100" << "100";
    QTest::newRow("power 50 W") << "power" << "PC0501" << "50" << "050";
    QTest::newRow("power 5 W") << "power" << "PC0500" << "5" << "050";
    QTest::newRow("power no range digit") << "power" << "PC005" << "PC005" << "PC005";
    QTest::newRow("power garbled digits") << "power" << "PCx501" << "0" << "x50";
    QTest::newRow("power only a digit") << "power" << "1" << "0" << "";
    QTest::newRow("power empty") << "power" << "" << "" << "";
    QTest::newRow("vfo 14060") << "vfo" << "FA00014060000" << "14060" << "00014060000";
    QTest::newRow("vfo 3500.5") << "vfo" << "FA00003500500" << "3500.5" << "00003500500";
    QTest::newRow("vfo 10 Hz") << "vfo" << "FA00007000010" << "7000.01" << "00007000010";
    QTest::newRow("vfo letters only") << "vfo" << "FA" << "" << "";
    QTest::newRow("vfo one char") << "vfo" << "F" << "" << "";
    QTest::newRow("vfo empty") << "vfo" << "" << "" << "";
    QTest::newRow("bw 2.7") << "bw" << "FW0270" << "2.7" << "0270";
    QTest::newRow("bw 2.4") << "bw" << "FW0240" << "2.4" << "0240";
    QTest::newRow("bw 50 Hz") << "bw" << "FW0005" << "0.05" << "0005";
    QTest::newRow("bw letters only") << "bw" << "FW" << "" << "";
    QTest::newRow("bw empty") << "bw" << "" << "" << "";
    QTest::newRow("filter FL3") << "flt" << "FW005030" << "3" << "FW00503";
    QTest::newRow("filter one char") << "flt" << "5" << "" << "";
    QTest::newRow("filter empty") << "flt" << "" << "" << "";
}
// clang-format on

void DecoderTests::cuttingDecoders() {
    QFETCH(QString, decoder);
    QFETCH(QString, answer);
    QFETCH(QString, result);
    QFETCH(QString, left);
    QString got;
    if (decoder == QLatin1String("power"))
        got = decodePower(answer);
    else if (decoder == QLatin1String("vfo"))
        got = decodeVfoFrequency(answer);
    else if (decoder == QLatin1String("bw"))
        got = decodeBandwidth(answer);
    else
        got = decodeFilterNumber(answer);
    QCOMPARE(got, result);
    QCOMPARE(answer, left);
}

QTEST_GUILESS_MAIN(DecoderTests)
#include "tst_radio_decoders.moc"
