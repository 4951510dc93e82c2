// The radio area: decoders over every answer form, the menu readers and pre-test checks on a
// scripted radio (exact writes, waits and messages), the settings capture and restore
// against a golden trace, and the restore putting the simulator back as it was.

#include <QtTest>

#include "common/bench.h"
#include "common/golden.h"
#include "radio/k3settings.h"
#include "radio/settingscapture.h"

using namespace corvane;
using namespace corvane::k3settings;
using namespace corvane::test;

namespace {

void scriptTypicalRadio(ScriptedTransport &radio) {
    const char *const answers[][2] = {{"ag;", "AG030;"},
                                      {"k22;gt;k20;", "GT0041;"},
                                      {"ra;", "RA00;"},
                                      {"pa;", "PA1;"},
                                      {"rg;", "RG250;"},
                                      {"md;", "MD2;"},
                                      {"k22;pc;k20;", "PC0501;"},
                                      {"fa;", "FA00014060000;"},
                                      {"k31;fw;k30;", "FW0240;"},
                                      {"k22;fw;k20;", "FW005030;"},
                                      {"ds;", "DS   05321\x80\x80;"},
                                      {"rvm;", "RVM04.45;"},
                                      {"rvd;", "RVD02.80;"},
                                      {"rvf;", "RVF01.21;"}};
    for (const auto &a : answers) radio.setAnswer(a[0], a[1]);
}

// The capture, its report with each tail, and two restores, as one trace.
QStringList captureRun(ScriptedBench &b) {
    SettingsCapture capture;
    capture.restoreInitialSettings(b.link, {});  // nothing captured: sends nothing
    capture.readInitialSettings(b.link);
    capture.readRadioIdentity(b.link);
    QStringList out = b.trace.lines();
    out << QStringLiteral("= report")
        << capture.listInitialSettings(dbvReportTail("10", "250", " 5"));
    // The other tails after the same 19 lines.
    for (const ReportTail &tail :
         {sweepReportTail("14058", "14062.5", "0.01"), mdsReportTail(true), mdsReportTail(false)})
        out << QStringLiteral("= tail") << capture.listInitialSettings(tail).mid(19);
    b.trace.clear();
    capture.restoreInitialSettings(b.link, {});
    out << QStringLiteral("= restore") << b.trace.lines();
    b.radio->setAnswer("ds;", dsAnswer("      ON"));
    TestWindowFlags flags;
    flags.techModeSet = true;
    b.trace.clear();
    capture.restoreInitialSettings(b.link, flags);
    out << QStringLiteral("= restore with TECH MD set") << b.trace.lines();
    // A TECH MD display that cannot be read is not switched, and the user is told.
    b.radio->setAnswer("ds;", "?;");
    b.trace.clear();
    capture.restoreAndTell(b.link, flags, b.prompter);
    const QStringList lines = b.trace.lines();
    out << QStringLiteral("= restore, TECH MD unreadable") << lines.mid(lines.indexOf("W db00;"));
    return out;
}

}  // namespace

class TestRadio : public QObject {
    Q_OBJECT

private slots:
    void decoders_data() { addRows("decoders.tsv", {"decoder", "text", "result", "left"}); }
    void decoders();
    void readers_data() { addRows("readers.tsv", {"reader", "entry", "display", "result"}); }
    void readers();
    void checks_data() { addRows("checks.tsv", {"check", "answer", "trace"}); }
    void checks();
    void prepareChecksKat3OncePerWindow();
    void techModeOnALateDisplay();
    void captureReportAndRestore();
    void captureOfASilentRadio();
    void captureChecksRanges_data() {
        addRows("ranges.tsv", {"query", "answer", "unread", "restored"});
    }
    void captureChecksRanges();
    void restorePutsTheSimulatorBack();
};

void TestRadio::decoders() {
    QFETCH(QString, decoder);
    QFETCH(QString, text);
    QFETCH(QString, result);
    using Cut = QString (*)(QString &);
    using Word = QString (*)(const QString &);
    const QMap<QString, Cut> cutting{{"power", decodePower},
                                     {"vfo", decodeVfoFrequency},
                                     {"bw", decodeBandwidth},
                                     {"flt", decodeFilterNumber}};
    const QMap<QString, Word> words{{"cut", displayTextOf},    {"display", decodeDisplayText},
                                    {"eq", decodeEqBars},      {"alarm", alarmText},
                                    {"micsel", micSelectText}, {"micline", micPlusLineText},
                                    {"agc", decodeAgc},        {"att", decodeAttenuator},
                                    {"pre", decodePreamp},     {"mode", decodeMode}};
    QVERIFY(cutting.contains(decoder) || words.contains(decoder) || decoder == "whole");
    if (decoder == "whole") {
        QCOMPARE(displayAnswerText(text).value_or("(none)"), result);
    } else if (cutting.contains(decoder)) {
        QString argument = text;
        QCOMPARE(cutting[decoder](argument), result);
        QTEST(argument, "left");
    } else {
        QCOMPARE(words[decoder](text), result);
    }
}

void TestRadio::readers() {
    QFETCH(QString, reader);
    QFETCH(QString, entry);
    QFETCH(QString, display);
    using Reader = MenuValue (*)(RadioLink &);
    const QMap<QString, Reader> readers{{"alarm", readAlarm},
                                        {"lcdadj", readLcdAdjust},
                                        {"lcdbrt", readLcdBrightness},
                                        {"ledbrt", readLedBrightness},
                                        {"msgrpt", readMessageRepeat},
                                        {"rptofs", readRepeaterOffset},
                                        {"rxeq", readRxEq},
                                        {"txeq", readTxEq},
                                        {"voxgn", readVoxGain},
                                        {"antivox", readAntiVox},
                                        {"micline", readMicPlusLine},
                                        {"micsel", readMicSelect},
                                        {"afxmd", readAfxMode}};
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer(display.toLatin1()));
    QTEST(readers.value(reader)(b.link).value_or("(not read)"), "result");
    QCOMPARE(b.trace.writes(), QStringList({entry, "ds;"}));
    QCOMPARE(b.waits(), QList<int>({100, 100}));
}

void TestRadio::checks() {
    QFETCH(QString, check);
    QFETCH(QString, answer);
    ScriptedBench b;
    b.radio->setAnswer(check == "agcoff" ? "k22;gt;k20;" : "ds;", answer.toLatin1());
    if (check == "techon")
        enableTechMode(b.link);
    else if (check == "techoff")
        disableTechMode(b.link);
    else if (check == "agcoff")
        setAgcOff(b.link);
    else if (check == "prepare") {
        TestWindowFlags flags{true, false};
        QVERIFY(!prepareKat3AndTechMode(b.link, b.prompter, flags) && !flags.techModeSet);
    } else
        checkKat3(b.link, b.prompter);
    QTEST(b.trace.lines().join(" | "), "trace");
}

void TestRadio::prepareChecksKat3OncePerWindow() {
    ScriptedBench b;
    b.radio->setAnswer("ds;", dsAnswer("     OFF"));
    TestWindowFlags flags;
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    QVERIFY(flags.kat3Checked && flags.techModeSet);
    QCOMPARE(b.trace.writes(), QStringList({"mn023;", "ds;", "mn255;", "mn072;", "ds;", "mn255;",
                                            "mn072;", "ds;", "up;", "mn255;"}));
    // Checked already, TECH MD on: only the TECH MD read; the flag stays for the restore.
    b.trace.clear();
    b.radio->setAnswer("ds;", dsAnswer("      ON"));
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
    QVERIFY(flags.techModeSet);
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
}

void TestRadio::techModeOnALateDisplay() {
    // Every answer 150 ms late, after its 100 ms wait: entry 072's first read is empty and the
    // one asked again holds the late display, OFF. TECH MD is switched on, once.
    SimBench b;
    b.simulator->faults().lateMs = 150;
    TestWindowFlags flags;
    flags.kat3Checked = true;
    QVERIFY(prepareKat3AndTechMode(b.link, b.prompter, flags) && flags.techModeSet);
    QCOMPARE(b.trace.writes(),
             QStringList({"mn072;", "ds;", "ds;", "mn255;", "mn072;", "ds;", "up;", "mn255;"}));
    QVERIFY(b.state().techMode && b.prompter.messages().empty());
}

void TestRadio::captureReportAndRestore() {
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    CORVANE_COMPARE_GOLDEN(captureRun(b), "capture.trace");
}

void TestRadio::captureOfASilentRadio() {
    // Empty fields, a report of the same length saying "not read", and only the fixed
    // "db00;" of the restore: nothing is built from answers that never came.
    ScriptedBench b;
    CORVANE_COMPARE_GOLDEN(captureRun(b), "capture-silent.trace");
}

void TestRadio::captureChecksRanges() {
    QFETCH(QString, query);
    QFETCH(QString, answer);
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    b.radio->setAnswer(bytesOf(query), bytesOf(answer));
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    QFETCH(QString, restored);
    QTEST(capture.unreadSettings().join(','), "unread");
    b.trace.clear();
    capture.restoreInitialSettings(b.link, {});
    // The command built from the answer, or (unread) nothing of the answer.
    QVERIFY(restored.isEmpty() ? !b.trace.writes().join('|').contains(answer.chopped(1))
                               : b.trace.writes().contains(restored));
}

void TestRadio::restorePutsTheSimulatorBack() {
    SimBench b;
    sim::K3State &s = b.state();
    s.afGain = 30;
    s.agcOn = true;
    s.agcTimeConstant = 4;
    s.preamp = true;
    s.mode = 2;
    s.dspBandwidthHz = 2400;
    s.vfoAHz = 7040500;
    s.techMode = false;
    const auto settings = [&s] {
        return QStringLiteral("AG%1 RG%2 MD%3 BW%4 FL%5 RA%6 PA%7 AGC%8/%9 TECH%10 FA%11 B%12")
            .arg(s.afGain)
            .arg(s.rfGain)
            .arg(s.mode)
            .arg(s.dspBandwidthHz)
            .arg(s.selectedSlot + 1)
            .arg(s.attenuator)
            .arg(s.preamp)
            .arg(s.agcOn)
            .arg(s.agcTimeConstant)
            .arg(s.techMode)
            .arg(s.vfoAHz)
            .arg(int(s.vfoBReadout));
    };
    const QString before = settings();
    SettingsCapture capture;
    TestWindowFlags flags;
    capture.readInitialSettings(b.link);
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    setAgcOff(b.link);
    QVERIFY(s.techMode && !s.agcOn);
    // Everything else a test may touch.
    s.afGain = 5;
    s.rfGain = 120;
    s.mode = 1;
    s.attenuator = true;
    s.preamp = false;
    s.vfoAHz = 14030000;
    s.dspBandwidthHz = 500;
    s.selectedSlot = 0;
    s.vfoBReadout = sim::VfoBReadout::Dbv;
    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(settings(), before);
    // Reset K3 again: the same state.
    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(settings(), before);
}

QTEST_GUILESS_MAIN(TestRadio)
#include "tst_radio.moc"
