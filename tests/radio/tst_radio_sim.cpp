// The radio area against the built-in simulator: the display and menu readouts it sends,
// the checks changing its state, and a full capture / change / restore round trip.

#include <QRegularExpression>
#include <QtTest>

#include "common/bench.h"
#include "radio/k3settings.h"
#include "radio/settingscapture.h"

using namespace corvane;
using namespace corvane::k3settings;
using corvane::test::SimBench;

namespace {

// The settings a test changes and the restore puts back.
struct Settings {
    int afGain, rfGain, mode, dspBandwidthHz, selectedSlot;
    bool attenuator, preamp, agcOn, techMode;
    int agcTimeConstant;
    qint64 vfoAHz;
    sim::VfoBReadout readout;

    static Settings of(const sim::K3State &s) {
        return {s.afGain, s.rfGain, s.mode,     s.dspBandwidthHz,  s.selectedSlot, s.attenuator,
                s.preamp, s.agcOn,  s.techMode, s.agcTimeConstant, s.vfoAHz,       s.vfoBReadout};
    }
    QString text() const {
        return QStringLiteral("AG%1 RG%2 MD%3 BW%4 FL%5 RA%6 PA%7 AGC%8/%9 TECH%10 FA%11 B%12")
            .arg(afGain)
            .arg(rfGain)
            .arg(mode)
            .arg(dspBandwidthHz)
            .arg(selectedSlot + 1)
            .arg(attenuator)
            .arg(preamp)
            .arg(agcOn)
            .arg(agcTimeConstant)
            .arg(techMode)
            .arg(vfoAHz)
            .arg(int(readout));
    }
};

void setKnownRadio(sim::K3State &s) {
    s.afGain = 30;
    s.agcOn = true;
    s.agcTimeConstant = 4;
    s.attenuator = false;
    s.preamp = true;
    s.rfGain = 250;
    s.mode = 3;
    s.powerWatts = 50.0;
    s.vfoAHz = 14060000;
    s.dspBandwidthHz = 2400;
    s.selectedSlot = 2;
    s.serialNumber = QStringLiteral("05321");
    s.mcuRevision = QStringLiteral("04.45");
    s.dspRevision = QStringLiteral("02.80");
    s.fpRevision = QStringLiteral("01.21");
}

}  // namespace

class SimTests : public QObject {
    Q_OBJECT

private slots:
    void techModeReadAndSwitch();
    void agcOff();
    void kat3_data();
    void kat3();
    void reportOfAKnownRadio();
    void restoreRoundTrip();
};

void SimTests::techModeReadAndSwitch() {
    SimBench b;
    b.state().techMode = false;
    QCOMPARE(readTechMode(b.link), QString("     OFF"));
    QCOMPARE(readMenuValue(b.link, "mn072"), QString("     OFF"));
    b.link.sendCommand(kLeaveMenuCommand, kMenuLeaveWaitMs);

    b.trace.clear();
    enableTechMode(b.link);
    QVERIFY(b.state().techMode);
    QCOMPARE(b.state().openMenuEntry, -1);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "up;", "mn255;"}));
    QCOMPARE(readTechMode(b.link), QString("      ON"));

    b.trace.clear();
    enableTechMode(b.link);
    QVERIFY(b.state().techMode);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));

    b.trace.clear();
    disableTechMode(b.link);
    QVERIFY(!b.state().techMode);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "up;", "mn255;"}));

    b.trace.clear();
    disableTechMode(b.link);
    QVERIFY(!b.state().techMode);
    QCOMPARE(b.trace.writes(), QStringList({"mn072;", "ds;", "mn255;"}));
}

void SimTests::agcOff() {
    SimBench b;
    b.state().agcOn = true;
    b.state().agcTimeConstant = 4;
    setAgcOff(b.link);
    QCOMPARE(b.trace.lines(),
             QStringList({"W k22;gt;k20;", "S 100", "R GT0041;", "W k22;gt0020;k20;", "S 100"}));
    QVERIFY(!b.state().agcOn);
    QCOMPARE(b.state().agcTimeConstant, 2);

    b.trace.clear();
    setAgcOff(b.link);
    QCOMPARE(b.trace.lines(), QStringList({"W k22;gt;k20;", "S 100", "R GT0020;"}));
}

void SimTests::kat3_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("bypassed");
    QTest::addColumn<bool>("warned");
    QTest::newRow("no KAT3") << false << true << false;
    QTest::newRow("bypassed") << true << true << false;
    QTest::newRow("active") << true << false << true;
}

void SimTests::kat3() {
    QFETCH(bool, installed);
    QFETCH(bool, bypassed);
    QFETCH(bool, warned);
    SimBench b;
    b.state().kat3Installed = installed;
    b.state().kat3Bypassed = bypassed;
    checkKat3(b.link, b.prompter);
    QStringList writes{"mn023;", "ds;"};
    if (warned) writes << "mn255;";
    QCOMPARE(b.trace.writes(), writes);
    QCOMPARE(b.prompter.messages().size(), size_t(warned ? 1 : 0));
    if (warned) {
        QCOMPARE(b.trace.lines().at(5), QString("M KAT3 Present|") + kKat3PresentText);
        QCOMPARE(b.state().openMenuEntry, -1);
    } else {
        // Left open for the TECH MD read that follows.
        QCOMPARE(b.state().openMenuEntry, 23);
    }
}

void SimTests::reportOfAKnownRadio() {
    SimBench b;
    setKnownRadio(b.state());
    SettingsCapture capture;
    capture.readInitialSettings(b.link);
    capture.readRadioIdentity(b.link);
    const QStringList expected{"K3 Serial Number:   \t05321",
                               "K3 MCU Revision:    \t04.45",
                               "K3 DSP Revision:    \t02.80",
                               "K3 Front Panel Rev: \t01.21",
                               "Initial settings of K3 ===============",
                               "AF Gain:\t\t030",
                               "AGC:\t\tSlow",
                               "Attenuator:\tOff",
                               "Preamp:\t\tOn",
                               "RF Gain:\t\t250",
                               "Mode:\t\tCW",
                               "Power:\t\t50 watts",
                               "VFO A Frequency:   14060 kHz",
                               "Filter BW:\t2.4 kHz",
                               "Filter Nbr: \tFL3",
                               "Test settings of K3 ===============",
                               "AF Gain: 005",
                               "AGC: Off",
                               "Attenuator: Off",
                               "Preamp: Off",
                               "Power: \t50 watts",
                               "RF Gain Start: 100",
                               "RF Gain Stop: 250",
                               "RF Gain Increment: 10",
                               QString(39, u'='),
                               "RF Gain\tdBV 1\tdBV 2\tDiff"};
    QCOMPARE(capture.listInitialSettings(dbvReportTail("100", "250", "10")), expected);
    QCOMPARE(capture.snapshot().power, QString("PC0501"));
    // The identity read leaves the menu.
    QCOMPARE(b.state().openMenuEntry, -1);
}

void SimTests::restoreRoundTrip() {
    SimBench b;
    setKnownRadio(b.state());
    b.state().techMode = false;
    const Settings before = Settings::of(b.state());

    SettingsCapture capture;
    TestWindowFlags flags;
    capture.readInitialSettings(b.link);
    prepareKat3AndTechMode(b.link, b.prompter, flags);
    setAgcOff(b.link);
    QVERIFY(flags.techModeSet);
    QVERIFY(b.state().techMode);
    QVERIFY(!b.state().agcOn);

    // Everything else a test may touch.
    sim::K3State &s = b.state();
    s.afGain = 5;
    s.rfGain = 120;
    s.mode = 1;
    s.attenuator = true;
    s.preamp = false;
    s.vfoAHz = 7030000;
    s.dspBandwidthHz = 500;
    s.selectedSlot = 0;
    s.vfoBReadout = sim::VfoBReadout::Dbv;
    QVERIFY(Settings::of(s).text() != before.text());

    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(Settings::of(b.state()).text(), before.text());

    // Reset K3 again: the same commands, the same state.
    b.trace.clear();
    capture.restoreInitialSettings(b.link, flags);
    const QStringList first = b.trace.writes();
    b.trace.clear();
    capture.restoreInitialSettings(b.link, flags);
    QCOMPARE(b.trace.writes(), first);
    QCOMPARE(Settings::of(b.state()).text(), before.text());
}

QTEST_GUILESS_MAIN(SimTests)
#include "tst_radio_sim.moc"
