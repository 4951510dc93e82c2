// Faults the simulator injects on request, and input it must survive whatever it is.
#include <QtTest>
#include <random>

#include "common/bench.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/simtransport.h"

using corvane::sim::Faults;
using corvane::sim::K3Simulator;
using corvane::test::SimHarness;

class SimFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void silentRadioStillCarriesOutCommands();
    void busyRadioRefusesEverything();
    void garbledAnswersKeepTheirLength();
    void truncatedAnswersLoseTheirSecondHalf();
    void unsolicitedReportsArriveOnTime();
    void vanishedPortFailsAtTheLink();
    void byteSoupNeverCrashes();
    void hugeWriteWithoutSemicolon();
};

void SimFaultsTest::silentRadioStillCarriesOutCommands() {
    SimHarness h;
    h.sim.faults().silent = true;
    h.sim.faults().unsolicitedIfEveryMs = 100;
    QCOMPARE(h.ask("id;rg100;rg;", 1000), QByteArray());
    QCOMPARE(h.sim.state().rfGain, 100);
    h.sim.faults().silent = false;
    h.sim.faults().unsolicitedIfEveryMs = 0;
    QCOMPARE(h.ask("rg;"), QByteArray("RG100;"));
}

void SimFaultsTest::busyRadioRefusesEverything() {
    SimHarness h;
    h.sim.faults().busy = true;
    QCOMPARE(h.ask("id;rg100;mn072;"), QByteArray("?;?;?;"));
    QCOMPARE(h.sim.state().rfGain, 250);
    QCOMPARE(h.sim.state().openMenuEntry, -1);
    QCOMPARE(h.sim.commandLog(), QStringList({"id", "rg100", "mn072"}));
}

void SimFaultsTest::garbledAnswersKeepTheirLength() {
    SimHarness h;
    h.sim.faults().garbled = true;
    int changed = 0;
    for (int i = 0; i < 20; ++i) {
        const QByteArray answer = h.ask("fa;");
        QCOMPARE(answer.size(), 14);
        if (answer != "FA00014060000;") ++changed;
    }
    QVERIFY(changed >= 15);
}

void SimFaultsTest::truncatedAnswersLoseTheirSecondHalf() {
    SimHarness h;
    h.sim.faults().truncated = true;
    QCOMPARE(h.ask("id;"), QByteArray("ID0"));
    QCOMPARE(h.ask("ds;").size(), 6);
}

void SimFaultsTest::unsolicitedReportsArriveOnTime() {
    SimHarness h;
    h.ask("id;");
    h.sim.faults().unsolicitedIfEveryMs = 250;
    h.ask("ai;", 0);
    QCOMPARE(h.sim.nextOutputTime(), h.now + 5);  // the answer first, then the report
    const QByteArray out = h.ask("rg;", 1000);
    QCOMPARE(out.count("IF00014060000"), 4);
    QVERIFY(out.startsWith("AI0;"));
    QVERIFY(h.sim.nextOutputTime() > h.now);
}

void SimFaultsTest::vanishedPortFailsAtTheLink() {
    auto sim = std::make_shared<K3Simulator>();
    corvane::VirtualClock clock;
    corvane::RadioLink link(clock);
    link.setTransport(std::make_unique<corvane::SimTransport>(sim, clock));
    QVERIFY(!link.open().isError());
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 100), QStringLiteral("ID017;"));
    link.sendCommand(QStringLiteral("rg;"), 0);
    sim->faults().vanished = true;
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 100), QString());
    QVERIFY(link.lastError().isError());
    sim->receive("rg100;", clock.now());
    QCOMPARE(sim->state().rfGain, 250);
    QCOMPARE(sim->takeOutput(clock.now() + 1000), QByteArray());
}

void SimFaultsTest::byteSoupNeverCrashes() {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> coin(0, 9);
    static const char *const kPieces[] = {
        "mn", "038", "041", "swt", "29", "48", "k31",         "k22", "fw", "gt", "db", "11",
        "10", "up",  "dn",  ";",   "$",  "FA", "99999999999", "rg",  "pc", "md", "ds"};
    K3Simulator sim;
    qint64 now = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray soup;
        const int n = length(rng);
        for (int i = 0; i < n; ++i) {
            if (coin(rng) < 4)
                soup += kPieces[size_t(byte(rng)) % std::size(kPieces)];
            else
                soup += char(byte(rng));
        }
        Faults &f = sim.faults();
        f.garbled = coin(rng) == 0;
        f.truncated = coin(rng) == 0;
        f.busy = coin(rng) == 0;
        f.silent = coin(rng) == 0;
        f.lateMs = coin(rng) == 0 ? byte(rng) : 0;
        f.unsolicitedIfEveryMs = coin(rng) == 0 ? 1 + byte(rng) : 0;
        sim.setLatencyMs(coin(rng));
        sim.receive(soup, now);
        now += coin(rng) * 50;
        sim.takeOutput(now);
        sim.vfoBDisplay(now);
    }
    sim.faults() = corvane::sim::Faults();
    sim.setLatencyMs(5);
    sim.takeOutput(now + 100000);
    sim.receive(";id;", now + 100000);
    QVERIFY(sim.takeOutput(now + 100100).endsWith("ID017;"));
}

void SimFaultsTest::hugeWriteWithoutSemicolon() {
    SimHarness h;
    h.ask(QByteArray(1 << 20, 'A'));
    QCOMPARE(h.ask(";id;"), QByteArray("?;ID017;"));
}

QTEST_GUILESS_MAIN(SimFaultsTest)
#include "tst_simfaults.moc"
