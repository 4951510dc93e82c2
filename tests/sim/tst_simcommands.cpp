// The simulator's answers, command modes, displays and menus, checked the way the program
// reads them.
#include <QtTest>

#include "common/bench.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/simtransport.h"

using corvane::sim::K3Simulator;
using corvane::sim::VfoBReadout;
using corvane::test::decodeDisplay;
using corvane::test::SimHarness;

class SimCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void settings_data();
    void settings();
    void severalCommandsInOneWriteRunInOrder();
    void partialCommandWaitsForItsSemicolon();
    void lateAnswerLandsInTheNextRead();
    void frequencyDisplayDecodes();
    void menuValues_data();
    void menuValues();
    void everyMenuEntryShowsEightBytesAndItsName();
    void rawMenuForms();
    void menuStepping();
    void filterEntries();
    void filterEntriesOnTheSubReceiver();
    void switchTapsNeedK31();
    void filterSlotFollowsModeAndBandwidth();
    void restoreFormsPutTheRadioBack();
    void agcAndBandwidthAreKeptPerMode();
    void autoInfoReports();
    void readoutsNeedTechMode();
};

void SimCommandsTest::answers_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("id") << QByteArray("id;") << QByteArray("ID017;");
    QTest::newRow("ai") << QByteArray("ai;") << QByteArray("AI0;");
    QTest::newRow("ag") << QByteArray("ag;") << QByteArray("AG030;");
    QTest::newRow("rg") << QByteArray("rg;") << QByteArray("RG250;");
    QTest::newRow("md") << QByteArray("md;") << QByteArray("MD3;");
    QTest::newRow("fa") << QByteArray("fa;") << QByteArray("FA00014060000;");
    QTest::newRow("gt basic") << QByteArray("gt;") << QByteArray("GT004;");
    QTest::newRow("gt k22") << QByteArray("k22;gt;k20;") << QByteArray("GT0041;");
    QTest::newRow("pc basic") << QByteArray("pc;") << QByteArray("PC050;");
    QTest::newRow("pc k22") << QByteArray("k22;pc;k20;") << QByteArray("PC0501;");
    QTest::newRow("fw k31") << QByteArray("k31;fw;k30;") << QByteArray("FW0050;");
    QTest::newRow("fw k22") << QByteArray("k22;fw;k20;") << QByteArray("FW005030;");
    QTest::newRow("rvm") << QByteArray("rvm;") << QByteArray("RVM04.45;");
    QTest::newRow("mn none") << QByteArray("mn;") << QByteArray("MN255;");
    QTest::newRow("sub rf gain") << QByteArray("rg$;") << QByteArray("RG$250;");
    QTest::newRow("s-meter S9") << QByteArray("smh;") << QByteArray("SMH054;");
    QTest::newRow("unknown") << QByteArray("zz;") << QByteArray("?;");
    QTest::newRow("rf gain too high") << QByteArray("rg251;") << QByteArray("?;");
    QTest::newRow("k22 gt form in k20") << QByteArray("GT0041;") << QByteArray("?;");
    QTest::newRow("blank before command") << QByteArray("\r\n id;") << QByteArray("ID017;");
    QTest::newRow("lone semicolons") << QByteArray(";;;;;") << QByteArray();
}

void SimCommandsTest::answers() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    SimHarness h;
    QCOMPARE(h.ask(command), expected);
}

void SimCommandsTest::settings_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("af gain") << QByteArray("ag005;") << QByteArray("ag;") << QByteArray("AG005;");
    QTest::newRow("attenuator") << QByteArray("ra01;") << QByteArray("ra;") << QByteArray("RA01;");
    QTest::newRow("rf gain") << QByteArray("rg005;") << QByteArray("rg;") << QByteArray("RG005;");
    QTest::newRow("rf gain two digits")
        << QByteArray("rg75;") << QByteArray("rg;") << QByteArray("RG075;");
    QTest::newRow("mode") << QByteArray("md2;") << QByteArray("md;") << QByteArray("MD2;");
    QTest::newRow("vfo a") << QByteArray("FA00007100000;") << QByteArray("fa;")
                           << QByteArray("FA00007100000;");
    QTest::newRow("agc off") << QByteArray("k22;gt0020;k20;") << QByteArray("k22;gt;k20;")
                             << QByteArray("GT0020;");
    QTest::newRow("power tenths") << QByteArray("k22;PC0050;k20;") << QByteArray("k22;pc;k20;")
                                  << QByteArray("PC0050;");
    QTest::newRow("bandwidth") << QByteArray("k31;FW0240;k30;") << QByteArray("k31;fw;k30;")
                               << QByteArray("FW0240;");
    QTest::newRow("auto info") << QByteArray("ai2;") << QByteArray("ai;") << QByteArray("AI2;");
    QTest::newRow("menu entry") << QByteArray("mn072;") << QByteArray("mn;")
                                << QByteArray("MN072;");
    QTest::newRow("sub af gain") << QByteArray("AG$010;") << QByteArray("ag$;")
                                 << QByteArray("AG$010;");
}

void SimCommandsTest::settings() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, expected);
    SimHarness h;
    QCOMPARE(h.ask(command), QByteArray());  // a setting is carried out silently
    QCOMPARE(h.ask(query), expected);
}

void SimCommandsTest::severalCommandsInOneWriteRunInOrder() {
    SimHarness h;
    QCOMPARE(h.ask("id;ag;RG;rg100;rg;"), QByteArray("ID017;AG030;RG250;RG100;"));
    QCOMPARE(h.sim.commandLog().mid(0, 3), QStringList({"id", "ag", "RG"}));
}

void SimCommandsTest::partialCommandWaitsForItsSemicolon() {
    SimHarness h;
    QCOMPARE(h.ask("i"), QByteArray());
    QCOMPARE(h.ask("d;a"), QByteArray("ID017;"));
    QCOMPARE(h.ask("g;"), QByteArray("AG030;"));
}

void SimCommandsTest::lateAnswerLandsInTheNextRead() {
    // Over the program's own link: a 100 ms wait misses a 150 ms answer, which then sits
    // in front of the next one.
    auto sim = std::make_shared<K3Simulator>();
    sim->setLatencyMs(150);
    corvane::VirtualClock clock;
    corvane::RadioLink link(clock);
    link.setTransport(std::make_unique<corvane::SimTransport>(sim, clock));
    QVERIFY(!link.open().isError());
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(link.queryRadio(QStringLiteral("ag;"), 100), QStringLiteral("ID017;"));
    QCOMPARE(link.queryRadio(QStringLiteral("rg;"), 200), QStringLiteral("AG030;RG250;"));

    sim->setLatencyMs(5);
    sim->faults().lateMs = 300;
    QCOMPARE(link.queryRadio(QStringLiteral("md;"), 100), QString());
    QCOMPARE(link.queryRadio(QStringLiteral("pa;"), 300), QStringLiteral("MD3;"));
}

void SimCommandsTest::frequencyDisplayDecodes() {
    SimHarness h;
    const QByteArray ds = h.ask("ds;");
    QCOMPARE(ds.size(), 13);
    QVERIFY(ds.startsWith("DS") && ds.endsWith(';'));
    QVERIFY(uchar(ds[10]) & 0x80);
    QVERIFY(uchar(ds[11]) & 0x80);
    QCOMPARE(decodeDisplay(ds.mid(2, 8)), QStringLiteral(" 14060.00"));
    h.ask("FA00003500500;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("  3500.50"));
    const QByteArray db = h.ask("db;");
    QCOMPARE(db.size(), 11);
    QCOMPARE(decodeDisplay(db.mid(2, 8)), QStringLiteral(" 14060.00"));
}

void SimCommandsTest::menuValues_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("TECH MD") << 72 << QStringLiteral("     OFF");
    QTest::newRow("KAT3") << 23 << QStringLiteral(" NOTINST");
    QTest::newRow("ADC REF") << 34 << QStringLiteral("     5.00");
    QTest::newRow("REF CAL") << 62 << QStringLiteral("49.380.000");
    QTest::newRow("PB CTRL") << 109 << QStringLiteral("Shift=.05");
    QTest::newRow("EXT ALC") << 22 << QStringLiteral("OFF t-4.0");
    QTest::newRow("XV1 PWR") << 92 << QStringLiteral("     L.01");
    QTest::newRow("RX EQ") << 8 << QStringLiteral("--------");
}

void SimCommandsTest::menuValues() {
    QFETCH(int, entry);
    QFETCH(QString, decoded);
    SimHarness h;
    h.send("mn" + QByteArray::number(entry).rightJustified(3, '0') + ';');
    QCOMPARE(decodeDisplay(h.displayA()), decoded);
    h.send("mn255;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral(" 14060.00"));
}

void SimCommandsTest::everyMenuEntryShowsEightBytesAndItsName() {
    SimHarness h;
    for (int entry = 0; entry <= 115; ++entry) {
        h.send("mn" + QByteArray::number(entry).rightJustified(3, '0') + ';');
        const QByteArray ds = h.ask("ds;");
        QVERIFY2(ds.size() == 13 && ds.startsWith("DS"), qPrintable(QString::number(entry)));
        const QByteArray db = h.ask("db;");
        QVERIFY2(db.size() == 11 && db.mid(2, 8).trimmed().size() > 1,
                 qPrintable(QString::number(entry)));
        QVERIFY(!h.sim.menuChoices(entry).isEmpty());
        for (const QString &choice : h.sim.menuChoices(entry)) QCOMPARE(choice.size(), 8);
    }
    QVERIFY(h.sim.menuChoices(116).isEmpty());
}

void SimCommandsTest::rawMenuForms() {
    SimHarness h;
    h.send("mn026;", 1500);
    QCOMPARE(h.ask("ds;").mid(5, 5), QByteArray("05321"));
    h.send("mn000;");
    const QByteArray alarm = h.displayA();
    QCOMPARE(alarm.left(4), QByteArray("OFF "));
    QCOMPARE(alarm.mid(4, 2), QByteArray("06"));
    QCOMPARE(uchar(alarm[6]), uchar('3' | 0x80));
    QCOMPARE(alarm[7], '0');
    h.send("mn053;");
    const QByteArray mic = h.displayA();
    QCOMPARE(mic.left(2), QByteArray("FP"));
    QCOMPARE(uchar(mic[2]), uchar('L' | 0x80));
    QVERIFY(mic[4] != 'B');
    h.send("up;");  // bias on
    QCOMPARE(h.displayA()[4], 'B');
    h.send("mn009;");
    QCOMPARE(h.displayA(), QByteArray(">>>>>>>>"));
    h.send("mn072;");
    QCOMPARE(h.ask("ds;").left(10).right(3), QByteArray("OFF"));
}

void SimCommandsTest::menuStepping() {
    SimHarness h;
    h.send("mn072;");
    h.send("up;");
    QVERIFY(h.sim.state().techMode);
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("      ON"));
    h.send("dn;");
    QVERIFY(!h.sim.state().techMode);

    h.send("mn023;");
    h.send("up;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("    BYP "));
    h.send("up;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("   AUTO "));
    QVERIFY(h.sim.state().kat3Installed && !h.sim.state().kat3Bypassed);

    h.send("mn014;");
    h.send("up;");
    QCOMPARE(h.sim.state().afvTimeMs, 2000);
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("    2000"));

    // Two-valued entries flip either way; longer lists wrap round.
    h.send("mn013;dn;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("      ON"));
    h.send("mn001;up;up;");
    QCOMPARE(decodeDisplay(h.displayA()), QStringLiteral("       A"));

    // The line input as microphone makes MIC+LIN not applicable.
    h.send("mn053;dn;mn015;");
    QCOMPARE(h.displayA(), QByteArray("NOT APPL"));
}

void SimCommandsTest::filterEntries() {
    SimHarness h;
    h.send("k30;mn038;");
    QCOMPARE(h.ask("db;", 200).left(5), QByteArray("DBFL1"));
    QCOMPARE(decodeDisplay(h.displayA().mid(4, 4)), QStringLiteral(" 2.80"));
    h.send("k31;swt29;k30;");
    QCOMPARE(h.ask("db;", 200).left(5), QByteArray("DBFL2"));
    QCOMPARE(h.displayA().mid(4, 4), QByteArray("@2\xb7"
                                                "0"));
    h.send("k30;mn039;");
    QCOMPARE(h.displayA().mid(4, 4), QByteArray(">0\xb9"
                                                "1"));
    h.send("k31;swt29;k30;k30;mn040;");
    QCOMPARE(h.ask("db;").left(5), QByteArray("DBFL3"));
    QCOMPARE(h.displayA()[4], '2');
    h.send("k30;mn038;");
    QCOMPARE(decodeDisplay(h.displayA().mid(4, 4)), QStringLiteral(" 0.40"));

    // Receive enable: FL3 is a CW filter, FL1 is not; "dn;" flips it for the current mode.
    h.send("k30;mn041;");
    QCOMPARE(h.ask("ds;").mid(7, 3), QByteArray("YES"));
    h.send("k31;swt29;k30;k31;swt29;k30;k31;swt29;k30;");
    QCOMPARE(h.ask("db;").left(5), QByteArray("DBFL1"));  // FL5 wraps to FL1
    QCOMPARE(h.ask("ds;").mid(7, 3), QByteArray(" NO"));
    h.send("dn;");
    QCOMPARE(h.ask("ds;").mid(7, 3), QByteArray("YES"));
    QVERIFY(h.sim.state().mainFilters[0].rxEnabled[3]);
    h.send("md2;");
    QCOMPARE(h.ask("ds;").mid(7, 3), QByteArray("YES"));
    h.send("k30;mn255;");
}

void SimCommandsTest::filterEntriesOnTheSubReceiver() {
    SimHarness h;
    h.send("k30;mn038;", 200);
    h.send("k31;swt48;k30;");
    QCOMPARE(h.ask("db;", 500).left(5), QByteArray("DBFL1"));
    h.send("k31;swt29;k30;");
    QCOMPARE(decodeDisplay(h.displayA().mid(4, 4)), QStringLiteral(" 2.10"));  // sub FL2
    // Opening an entry goes back to the main receiver, on the slot shown last.
    h.send("k30;mn038;", 200);
    QCOMPARE(h.ask("db;", 500).left(5), QByteArray("DBFL2"));
    QCOMPARE(decodeDisplay(h.displayA().mid(4, 4)), QStringLiteral(" 2.70"));
    h.send("k30;mn041;k31;swt48;k30;dn;");
    QVERIFY(!h.sim.state().subFilters[1].installed || h.sim.state().subFilters[1].rxEnabled[3]);
    QVERIFY(!h.sim.state().mainFilters[1].rxEnabled[3]);
}

void SimCommandsTest::switchTapsNeedK31() {
    SimHarness h;
    h.send("k30;mn038;swt29;");
    QCOMPARE(h.ask("db;").left(5), QByteArray("DBFL1"));
    h.send("k31;swt29;");
    QCOMPARE(h.ask("db;").left(5), QByteArray("DBFL2"));
    QCOMPARE(h.ask("k3;"), QByteArray("K31;"));
}

void SimCommandsTest::filterSlotFollowsModeAndBandwidth() {
    SimHarness h;
    QCOMPARE(h.sim.state().selectedSlot, 2);  // CW, 500 Hz: the 400 Hz filter
    h.send("md2;");
    QCOMPARE(h.ask("k22;fw;k20;"), QByteArray("FW027020;"));  // USB: the 2.7 kHz filter
    h.send("k31;FW0280;k30;");
    QCOMPARE(h.ask("k22;fw;k20;"), QByteArray("FW028010;"));
    h.send("k22;FW027020;k20;");
    QCOMPARE(h.sim.state().selectedSlot, 1);
    h.send("md3;");
    QCOMPARE(h.ask("k22;fw;k20;"), QByteArray("FW005030;"));
    // XFIL outside the menu steps through the slots enabled for the mode.
    h.send("k31;swt29;k30;");
    QCOMPARE(h.ask("k22;fw;k20;"), QByteArray("FW005040;"));
}

void SimCommandsTest::restoreFormsPutTheRadioBack() {
    SimHarness h;
    h.send("md2;ag010;rg200;pa1;");
    const QByteArray agc = h.ask("k22;gt;k20;");
    const QByteArray mode = h.ask("md;");
    const QByteArray vfo = h.ask("fa;");
    const QByteArray bw = h.ask("k31;fw;k30;");
    const QByteArray number = h.ask("k22;fw;k20;");
    const int slot = h.sim.state().selectedSlot;

    // What a test does to the radio (in the same mode, as the dBV tests do).
    h.send("ag005;k22;gt0020;k20;ra01;pa0;rg050;FA00014000000;k31;swt29;k30;db11;");
    QVERIFY(h.sim.state().selectedSlot != slot);

    auto restore = [&](const QByteArray &prefix, const QByteArray &answer,
                       const QByteArray &suffix) {
        h.send(prefix + answer.left(answer.size() - 1) + ';' + suffix);
    };
    restore("k22;", agc, "k20;");
    h.send("AG010;RA00;PA1;RG200;");
    restore("", mode, "");
    restore("", vfo, "");
    restore("k22;", number, "k20;");
    restore("k31;", bw, "k30;");
    h.send("db00;");
    QCOMPARE(h.ask("k22;gt;k20;"), agc);
    QCOMPARE(h.ask("md;"), mode);
    QCOMPARE(h.ask("fa;"), vfo);
    QCOMPARE(h.ask("k31;fw;k30;"), bw);
    QCOMPARE(h.ask("k22;fw;k20;"), number);
    QCOMPARE(h.sim.state().selectedSlot, slot);
    QCOMPARE(h.ask("ag;rg;pa;ra;"), QByteArray("AG010;RG200;PA1;RA00;"));
}

void SimCommandsTest::agcAndBandwidthAreKeptPerMode() {
    SimHarness h;
    h.send("md2;k22;gt0020;k20;k31;FW0240;k30;md3;");
    QCOMPARE(h.ask("k22;gt;k20;k31;fw;k30;"), QByteArray("GT0041;FW0050;"));
    h.send("md2;");
    QCOMPARE(h.ask("k22;gt;k20;k31;fw;k30;"), QByteArray("GT0020;FW0240;"));
}

void SimCommandsTest::autoInfoReports() {
    SimHarness h;
    h.send("ai1;");
    const QByteArray report = h.ask("FA00007012340;");
    QCOMPARE(report.size(), 38);
    QCOMPARE(report, QByteArray("IF00007012340     +000000 0003000001 ;"));
    QCOMPARE(h.ask("md2;").mid(29, 1), QByteArray("2"));
    QCOMPARE(h.ask("md2;"), QByteArray());  // no change, no report
    h.send("ai0;");
    QCOMPARE(h.ask("FA00007000000;"), QByteArray());

    h.sim.faults().unsolicitedIfEveryMs = 500;
    h.ask("id;", 0);
    const QByteArray reports = h.ask("ag;", 1000);
    QCOMPARE(reports.count("IF00007000000"), 2);
    QVERIFY(reports.contains("AG030;"));
}

void SimCommandsTest::readoutsNeedTechMode() {
    SimHarness h;
    h.sim.setNoiseEnabled(false);
    h.send("db10;");
    QCOMPARE(decodeDisplay(h.ask("db;").mid(2, 8)), QStringLiteral(" 14060.00"));
    h.send("mn072;up;mn255;db10;");
    const QByteArray afv = h.ask("db;");
    QVERIFY2(afv.startsWith("DBAF ") && afv.size() == 11, afv.constData());
    QVERIFY(afv.mid(5, 5).trimmed().toDouble() > 0);
    h.send("k22;gt0020;k20;rg150;pa0;", 2000);
    h.send("db11;", 4000);
    QCOMPARE(h.ask("db;"), QByteArray("DB  0.0dBV;"));
    h.send("ra01;", 2500);
    QCOMPARE(h.ask("db;", 2500), QByteArray("DB-10.2dBV;"));
    // A reading soon after a change blends the old and new levels.
    h.send("ra00;", 300);
    const double blended = h.ask("db;").mid(2, 5).trimmed().toDouble();
    QVERIFY2(blended < -3 && blended > -10, qPrintable(QString::number(blended)));
    h.send("db00;");
    QCOMPARE(decodeDisplay(h.ask("db;").mid(2, 8)), QStringLiteral(" 14060.00"));
    QCOMPARE(h.sim.state().vfoBReadout, VfoBReadout::Normal);
}

QTEST_GUILESS_MAIN(SimCommandsTest)
#include "tst_simcommands.moc"
