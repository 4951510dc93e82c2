// The display readers and pre-test checks against a scripted radio: exact writes, waits,
// reads and messages, including missing and stale answers.

#include <QtTest>
#include <functional>

#include "common/bench.h"
#include "radio/k3settings.h"

using namespace corvane;
using namespace corvane::k3settings;
using corvane::test::dsAnswer;
using corvane::test::lit;
using corvane::test::ScriptedBench;

using Reader = std::function<QString(RadioLink &)>;
Q_DECLARE_METATYPE(Reader)

class ExchangeTests : public QObject {
    Q_OBJECT

private slots:
    void readMenuValueWritesEntryThenDisplay();
    void mainReaders_data();
    void mainReaders();
    void readTechModeLeavesTheMenu();
    void switchTechMode_data();
    void switchTechMode();
    void setAgcOff_data();
    void setAgcOff();
    void checkKat3_data();
    void checkKat3();
    void prepareRunsKat3OnceAndSetsFlags();
};

void ExchangeTests::readMenuValueWritesEntryThenDisplay() {
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer(QByteArray("    1") + lit('0') + "00"));
    QCOMPARE(readMenuValue(b.link, "mn013"), QString("    1.000"));
    const QString answer = QString::fromLatin1(dsAnswer(QByteArray("    1") + lit('0') + "00"));
    QCOMPARE(b.trace.lines(), QStringList({"W mn013;", "S 100", "W ds;", "S 100", "R " + answer}));
}

// clang-format off
void ExchangeTests::mainReaders_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QString>("result");
    QTest::newRow("alarm") << Reader(readAlarm) << "mn000;"
                           << QByteArray("ON  06") + lit('3') + "0" << "ON 06.30";
    QTest::newRow("lcd adj") << Reader(readLcdAdjust) << "mn002;" << QByteArray("       8")
                             << "       8";
    QTest::newRow("lcd brt") << Reader(readLcdBrightness) << "mn003;" << QByteArray("@@@@@@@6")
                             << "       6";
    QTest::newRow("led brt") << Reader(readLedBrightness) << "mn004;" << QByteArray("       4")
                             << "       4";
    QTest::newRow("msg rpt") << Reader(readMessageRepeat) << "mn005;"
                             << QByteArray("    ") + lit('6') + "SEC" << "    .6SEC";
    QTest::newRow("rpt ofs") << Reader(readRepeaterOffset) << "mn007;"
                             << QByteArray("     ") + lit('6') + "00" << "     .600";
    QTest::newRow("rx eq") << Reader(readRxEq) << "mn008;" << QByteArray(">=]^ >>>")
                           << "+0-1+1+2-2+0+0+0";
    QTest::newRow("tx eq") << Reader(readTxEq) << "mn009;" << QByteArray(">>>>>>>>")
                           << "+0+0+0+0+0+0+0+0";
    QTest::newRow("vox gn") << Reader(readVoxGain) << "mn010;" << QByteArray("      30")
                            << "      30";
    QTest::newRow("antivox") << Reader(readAntiVox) << "mn011;" << QByteArray("       0")
                             << "       0";
    QTest::newRow("mic+line") << Reader(readMicPlusLine) << "mn015;" << QByteArray("    OFF ")
                              << "    OFF";
    QTest::newRow("mic sel line in") << Reader(readMicSelect) << "mn053;"
                                     << QByteArray("LINE IN ") << "LINE IN  ";
    QTest::newRow("mic sel front") << Reader(readMicSelect) << "mn053;"
                                   << QByteArray("FP") + lit('L') + " B   " << "FP.L BIAS";
    QTest::newRow("afx md") << Reader(readAfxMode) << "mn105;" << QByteArray("   DELAY")
                            << "   DELAY";
    QTest::newRow("afx md codes") << Reader(readAfxMode) << "mn105;" << QByteArray("@@@@@QFF")
                                  << "     OFF";
}
// clang-format on

void ExchangeTests::mainReaders() {
    QFETCH(Reader, reader);
    QFETCH(QString, command);
    QFETCH(QByteArray, display);
    QFETCH(QString, result);
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer(display));
    QCOMPARE(reader(b.link), result);
    // Each reader opens its entry, reads the display and leaves the menu open.
    QCOMPARE(b.trace.writes(), QStringList({command, "ds;"}));
    QCOMPARE(b.waits(), QList<int>({100, 100}));

    // No answer at all: a harmless text, the same exchanges.
    ScriptedBench silent;
    reader(silent.link);
    QCOMPARE(silent.trace.writes(), QStringList({command, "ds;"}));
}

void ExchangeTests::readTechModeLeavesTheMenu() {
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer("     OFF"));
    QCOMPARE(readTechMode(b.link), QString("     OFF"));
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
    QCOMPARE(b.waits(), QList<int>({100, 100, 100}));
}

// clang-format off
void ExchangeTests::switchTechMode_data()
{
    QTest::addColumn<bool>("enable");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("stepped");
    QTest::newRow("enable while off") << true << dsAnswer("     OFF") << true;
    QTest::newRow("enable while on") << true << dsAnswer("      ON") << false;
    QTest::newRow("enable, no answer") << true << QByteArray() << false;
    // Compared raw: the display's own code for O is not "OFF".
    QTest::newRow("enable, coded off") << true << dsAnswer("@@@@@QFF") << false;
    QTest::newRow("disable while on") << false << dsAnswer("      ON") << true;
    QTest::newRow("disable while off") << false << dsAnswer("     OFF") << false;
    QTest::newRow("disable, no answer") << false << QByteArray() << true;
}
// clang-format on

void ExchangeTests::switchTechMode() {
    QFETCH(bool, enable);
    QFETCH(QByteArray, answer);
    QFETCH(bool, stepped);
    ScriptedBench b;
    b.radio->setAnswer("ds;", answer);
    enable ? enableTechMode(b.link) : disableTechMode(b.link);
    QStringList expected{"W mn072;", "S 100", "W ds;", "S 100", "R " + QString::fromLatin1(answer)};
    if (stepped)
        expected << "W up;"
                 << "S 100";
    expected << "W mn255;"
             << "S 100";
    QCOMPARE(b.trace.lines(), expected);
}

// clang-format off
void ExchangeTests::setAgcOff_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("sent");
    QTest::newRow("agc on") << QByteArray("GT0041;") << true;
    QTest::newRow("agc on, fast") << QByteArray("GT0021;") << true;
    QTest::newRow("agc already off") << QByteArray("GT0020;") << false;
    QTest::newRow("short form") << QByteArray("GT004;") << false;
    QTest::newRow("no answer") << QByteArray() << false;
}
// clang-format on

void ExchangeTests::setAgcOff() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, sent);
    ScriptedBench b;
    b.radio->setAnswer("k22;gt;k20;", answer);
    k3settings::setAgcOff(b.link);
    QStringList expected{"W k22;gt;k20;", "S 100", "R " + QString::fromLatin1(answer)};
    if (sent)
        expected << "W k22;gt0020;k20;"
                 << "S 100";
    QCOMPARE(b.trace.lines(), expected);
}

// clang-format off
void ExchangeTests::checkKat3_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("warned");
    QTest::newRow("not installed, plain") << dsAnswer(" NOTINST") << false;
    QTest::newRow("not installed, coded") << dsAnswer("@MQTWMST") << false;
    QTest::newRow("bypassed") << dsAnswer("    BYP ") << false;
    QTest::newRow("active") << dsAnswer("   AUTO ") << true;
    QTest::newRow("no answer") << QByteArray() << true;
}
// clang-format on

void ExchangeTests::checkKat3() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, warned);
    ScriptedBench b;
    b.radio->setAnswer("ds;", answer);
    k3settings::checkKat3(b.link, b.prompter);
    QStringList expected{"W mn023;", "S 100", "W ds;", "S 100", "R " + QString::fromLatin1(answer)};
    if (warned) {
        expected << "M KAT3 Present|KAT3 ATU is present. Recommend it be bypassed for test. "
                    "Press and hold ATU Tune on K3."
                 << "W mn255;"
                 << "S 100";
    }
    QCOMPARE(b.trace.lines(), expected);
    if (warned) QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
}

void ExchangeTests::prepareRunsKat3OnceAndSetsFlags() {
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer("     OFF"));
    TestWindowFlags flags;
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    QVERIFY(flags.kat3Checked);
    QVERIFY(flags.techModeSet);
    // The scripted display is not a tuner text, so the warning showed once.
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    QCOMPARE(b.trace.writes(), QStringList({"mn023;", "ds;", "mn255;", "mn072;", "ds;", "mn255;",
                                            "mn072;", "ds;", "up;", "mn255;"}));

    b.trace.clear();
    b.radio->setAnswer("ds;", dsAnswer("      ON"));
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    // Nothing clears the flag: the restore keeps turning TECH MD off.
    QVERIFY(flags.techModeSet);

    TestWindowFlags fresh;
    fresh.kat3Checked = true;
    b.trace.clear();
    prepareKat3AndTechMode(b.link, b.prompter, fresh);
    QVERIFY(!fresh.techModeSet);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
}

QTEST_GUILESS_MAIN(ExchangeTests)
#include "tst_radio_exchanges.moc"
