// The settings capture against a scripted radio: the queries and their cuts, the identity
// exchange, the report lines and the restore sequence.

#include <QtTest>

#include "common/bench.h"
#include "radio/settingscapture.h"

using namespace corvane;
using corvane::test::ScriptedBench;

Q_DECLARE_METATYPE(corvane::ReportTail)

namespace {

// The answers of the data model's examples.
void scriptTypicalRadio(test::ScriptedTransport &radio) {
    radio.setAnswer("ag;", "AG030;");
    radio.setAnswer("k22;gt;k20;", "GT0041;");
    radio.setAnswer("ra;", "RA00;");
    radio.setAnswer("pa;", "PA1;");
    radio.setAnswer("rg;", "RG250;");
    radio.setAnswer("md;", "MD2;");
    radio.setAnswer("k22;pc;k20;", "PC0501;");
    radio.setAnswer("fa;", "FA00014060000;");
    radio.setAnswer("k31;fw;k30;", "FW0240;");
    radio.setAnswer("k22;fw;k20;", "FW005030;");
    radio.setAnswer("ds;", "DS   05321\x80\x80;");
    radio.setAnswer("rvm;", "RVM04.45;");
    radio.setAnswer("rvd;", "RVD02.80;");
    radio.setAnswer("rvf;", "RVF01.21;");
}

const QStringList kRestoreWrites{"k22;GT0041;k20;", "AG030;", "RA00;",          "PA1;",
                                 "RG250;",          "MD2;",   "FA00014060000;", "k22;FW005030;k20;",
                                 "k31;FW0240;k30;", "db00;"};

}  // namespace

class CaptureTests : public QObject {
    Q_OBJECT

private slots:
    void snapshotQueriesAndCuts();
    void shortAnswersLeaveEmptyFields();
    void identityExchange();
    void reportLines_data();
    void reportLines();
    void reportKeepsItsLengthOnSilence();
    void restoreSendsTheSnapshot();
    void restoreWithTechModeTurnsItOff();
    void restoreBeforeAnySnapshotSendsNothing();
};

void CaptureTests::snapshotQueriesAndCuts() {
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    const RadioSnapshot &s = capture.snapshot();
    QCOMPARE(s.afGain, QString("030"));
    QCOMPARE(s.agc, QString("GT0041"));
    QCOMPARE(s.attenuator, QString("RA00"));
    QCOMPARE(s.preamp, QString("PA1"));
    QCOMPARE(s.rfGain, QString("RG250"));
    QCOMPARE(s.rfGainNumber, QString("250"));
    QCOMPARE(s.mode, QString("MD2"));
    QCOMPARE(s.power, QString("PC0501"));
    QCOMPARE(s.vfoA, QString("FA00014060000"));
    QCOMPARE(s.filterBandwidth, QString("FW0240"));
    QCOMPARE(s.filterNumber, QString("FW005030"));
    QCOMPARE(b.trace.writes(), QStringList({"ag;", "k22;gt;k20;", "ra;", "pa;", "rg;", "md;",
                                            "k22;pc;k20;", "fa;", "k31;fw;k30;", "k22;fw;k20;"}));
    // Every query: 100 ms before the read, 100 ms after it.
    QCOMPARE(b.waits(), QList<int>(20, 100));
    QCOMPARE(b.trace.lines().mid(0, 5),
             QStringList({"W ag;", "S 100", "R AG030;", "S 100", "W k22;gt;k20;"}));
}

void CaptureTests::shortAnswersLeaveEmptyFields() {
    ScriptedBench b;
    b.radio->setAnswer("ag;", "AG;");
    b.radio->setAnswer("rg;", ";");
    b.radio->setAnswer("ra;", "R");
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    const RadioSnapshot &s = capture.snapshot();
    QCOMPARE(s.afGain, QString());
    QCOMPARE(s.rfGain, QString());
    QCOMPARE(s.rfGainNumber, QString());
    QCOMPARE(s.attenuator, QString());
    QCOMPARE(s.vfoA, QString());
    QVERIFY(capture.hasSnapshot());

    // A capture with answers overwrites the whole snapshot.
    scriptTypicalRadio(*b.radio);
    capture.readInitialSettings(b.link);
    QCOMPARE(capture.snapshot().afGain, QString("030"));
    QCOMPARE(capture.snapshot().rfGainNumber, QString("250"));
}

void CaptureTests::identityExchange() {
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    SettingsCapture capture;
    capture.readRadioIdentity(b.link);
    QCOMPARE(capture.identity().serialNumber, QString("05321"));
    QCOMPARE(capture.identity().mcuRevision, QString("04.45"));
    QCOMPARE(capture.identity().dspRevision, QString("02.80"));
    QCOMPARE(capture.identity().frontPanelRevision, QString("01.21"));
    QCOMPARE(b.trace.lines(),
             QStringList({"W mn026;", "S 1500", "W ds;", "S 100",
                          "R " + QString::fromLatin1("DS   05321\x80\x80;"), "S 100", "W mn255;",
                          "S 100", "W rvm;", "S 100", "R RVM04.45;", "S 100", "W rvd;", "S 100",
                          "R RVD02.80;", "S 100", "W rvf;", "S 100", "R RVF01.21;"}));

    ScriptedBench silent;
    SettingsCapture empty;
    empty.readRadioIdentity(silent.link);
    QCOMPARE(empty.identity().serialNumber, QString());
    QCOMPARE(empty.identity().mcuRevision, QString());
}

// clang-format off
void CaptureTests::reportLines_data()
{
    QTest::addColumn<ReportTail>("tail");
    QTest::addColumn<QStringList>("tailLines");
    QTest::newRow("dbv") << dbvReportTail("10", "250", " 5")
                         << QStringList({"Preamp: Off", "Power: \t50 watts", "RF Gain Start: 10",
                                         "RF Gain Stop: 250", "RF Gain Increment:  5",
                                         QString(39, u'='), "RF Gain\tdBV 1\tdBV 2\tDiff"});
    QTest::newRow("sweep") << sweepReportTail("14058", "14062.5", "0.01")
                           << QStringList({"Preamp: Off", "Power: \t50 watts",
                                           "Frequency Start: 14058", "Frequency Stop: 14062.5",
                                           "Frequency Step: 0.01", QString(39, u'='),
                                           "Frequency\tdBV"});
    QTest::newRow("mds preamp") << mdsReportTail(true)
                                << QStringList({"Preamp: On", "Power: \t50 watts", "Mode: CW",
                                                QString(39, u'='), "Reading\tAFV"});
    QTest::newRow("mds no preamp") << mdsReportTail(false)
                                   << QStringList({"Preamp: Off", "Power: \t50 watts",
                                                   "Mode: CW", QString(39, u'='),
                                                   "Reading\tAFV"});
}
// clang-format on

void CaptureTests::reportLines() {
    QFETCH(ReportTail, tail);
    QFETCH(QStringList, tailLines);
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    capture.readRadioIdentity(b.link);
    // The whole head is proven on the simulator; here the tails and the decoded copies.
    const QStringList lines = capture.listInitialSettings(tail);
    QCOMPARE(lines.mid(19), tailLines);
    QCOMPARE(lines.at(10), QString("Mode:\t\tUSB"));
    QCOMPARE(lines.at(14), QString("Filter Nbr: \tFL3"));
    // The report decodes copies: the snapshot still holds what the restore sends.
    QCOMPARE(capture.snapshot().power, QString("PC0501"));
    QCOMPARE(capture.snapshot().vfoA, QString("FA00014060000"));
    QCOMPARE(capture.snapshot().filterNumber, QString("FW005030"));
    QCOMPARE(capture.listInitialSettings(tail), lines);
}

void CaptureTests::reportKeepsItsLengthOnSilence() {
    ScriptedBench b;
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    capture.readRadioIdentity(b.link);
    const QStringList lines = capture.listInitialSettings(dbvReportTail("", "", ""));
    QCOMPARE(lines.size(), 26);
    QCOMPARE(lines.at(0), QString("K3 Serial Number:   \t"));
    QCOMPARE(lines.at(11), QString("Power:\t\tnot read"));
    QCOMPARE(lines.at(12), QString("VFO A Frequency:   not read"));
    QCOMPARE(lines.at(14), QString("Filter Nbr: \tnot read"));
    QCOMPARE(capture.listInitialSettings(mdsReportTail(false)).size(), 24);
}

void CaptureTests::restoreSendsTheSnapshot() {
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    b.trace.clear();
    capture.restoreInitialSettings(b.link, {});
    QCOMPARE(b.trace.writes(), kRestoreWrites);
    // 100 ms after each step but the last: nothing waits after "db00;".
    QCOMPARE(b.waits(), QList<int>(9, 100));
    QCOMPARE(b.trace.lines().last(), QString("W db00;"));

    // Reset K3 again: the same commands again; the snapshot is not used up.
    b.trace.clear();
    capture.restoreInitialSettings(b.link, {});
    QCOMPARE(b.trace.writes(), kRestoreWrites);
}

void CaptureTests::restoreWithTechModeTurnsItOff() {
    ScriptedBench b;
    scriptTypicalRadio(*b.radio);
    b.radio->setAnswer("ds;", test::dsAnswer("      ON"));
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    k3settings::TestWindowFlags flags;
    flags.techModeSet = true;
    b.trace.clear();
    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(b.trace.writes(), kRestoreWrites + QStringList({"mn072;", "ds;", "up;", "mn255;"}));

    // Already off: the flag still runs the check, which switches nothing.
    b.radio->setAnswer("ds;", test::dsAnswer("     OFF"));
    b.trace.clear();
    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(b.trace.writes(), kRestoreWrites + QStringList({"mn072;", "ds;", "mn255;"}));
}

void CaptureTests::restoreBeforeAnySnapshotSendsNothing() {
    ScriptedBench b;
    SettingsCapture capture;
    QVERIFY(!capture.hasSnapshot());
    capture.restoreInitialSettings(b.link, {});
    QVERIFY(b.trace.isEmpty());

    // After a capture the radio did not answer, only the fixed "db00;" is sent.
    capture.readInitialSettings(b.link);
    b.trace.clear();
    capture.restoreInitialSettings(b.link, {});
    QCOMPARE(b.trace.writes(), QStringList({"db00;"}));
}

QTEST_GUILESS_MAIN(CaptureTests)
#include "tst_radio_capture.moc"
