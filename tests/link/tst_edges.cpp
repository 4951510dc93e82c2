// The exchange convention on the built-in simulator and a virtual clock: what a read takes,
// when, and what stays behind for the next read.

#include <QtTest>
#include <memory>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/connection.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "sim/k3simulator.h"
#include "tst_link.h"

using namespace corvane;

namespace {

struct SimLink {
    VirtualClock clock;
    std::shared_ptr<sim::K3Simulator> sim = std::make_shared<sim::K3Simulator>();
    LinkTrace trace;
    RadioLink link{clock};

    SimLink() {
        link.setTransport(std::make_unique<SimTransport>(sim, clock));
        link.setTrace(&trace);
    }
    void open() { QVERIFY(!link.open().isError()); }
};

QStringList timedLines(const LinkTrace &trace) {
    QStringList out;
    for (const TraceEvent &e : trace.events())
        out << QString::number(e.at) + u' ' + LinkTrace::lineOf(e);
    return out;
}

}  // namespace

void LinkEdgeCasesTest::silentRadioGivesEmptyTextAfterTheWait() {
    SimLink s;
    s.open();
    s.sim->faults().silent = true;
    QCOMPARE(s.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(s.clock.now(), 100);
    QCOMPARE(timedLines(s.trace), QStringList({"0 W id;", "0 S 100", "100 R "}));
    QVERIFY(!s.link.lastError().isError());
}

void LinkEdgeCasesTest::lateAnswerLeadsTheNextRead() {
    SimLink s;
    s.open();
    s.sim->faults().lateMs = 150;
    QCOMPARE(s.link.queryRadio(QStringLiteral("fa;"), 100), QString());
    s.sim->faults().lateMs = 0;
    QCOMPARE(s.link.queryRadio(QStringLiteral("id;"), 100), QStringLiteral("FA00014060000;ID017;"));
    QCOMPARE(timedLines(s.trace), QStringList({"0 W fa;", "0 S 100", "100 R ", "100 W id;",
                                               "100 S 100", "200 R FA00014060000;ID017;"}));
    // The buffer is empty after a read.
    QCOMPARE(s.link.queryRadio(QStringLiteral("ai;"), 100), QStringLiteral("AI0;"));
}

void LinkEdgeCasesTest::autoInfoAnswerKeptWhole() {
    SimLink s;
    s.open();
    s.sim->state().autoInfo = 1;
    ScriptedPrompter prompter;
    const ConnectOutcome outcome = identifyRadio(s.link, prompter);
    QVERIFY(outcome.identified);
    QCOMPARE(outcome.autoInfo, QStringLiteral("AI1;"));
    QCOMPARE(outcome.autoInfo.size(), 4);
    QCOMPARE(s.trace.lines(),
             QStringList({"W id;", "S 200", "R ID017;", "W ai;", "S 100", "R AI1;", "W ai0;"}));
    QCOMPARE(prompter.summary(),
             QStringList({"K3 Status|K3 is connected and communicating at: 38400,N,8,1"}));
    // The radio's reports are off now; Exit turns them back on.
    QCOMPARE(s.sim->state().autoInfo, 0);
    restoreAutoInfo(s.link, prompter, outcome.autoInfo);
    s.clock.sleep(100);
    QCOMPARE(s.sim->state().autoInfo, 1);
}

void LinkEdgeCasesTest::displayBytesAbove127Kept() {
    SimLink s;
    s.open();
    const QByteArray display = s.sim->vfoADisplay();
    const QString answer = s.link.queryRadio(QStringLiteral("ds;"), 100);
    QCOMPARE(answer.size(), 13);
    QCOMPARE(answer.left(10).toLatin1(), "DS" + display);
    QCOMPARE(answer.right(1), QStringLiteral(";"));
    // The decimal point of the frequency and both status bytes carry bit 7.
    int high = 0;
    for (const QChar c : answer) high += c.unicode() >= 128 && c.unicode() <= 255;
    QVERIFY2(high >= 3, qPrintable(answer));
    QVERIFY(answer.at(10).unicode() >= 128);
    QVERIFY(answer.at(11).unicode() >= 128);
}

void LinkEdgeCasesTest::sendCommandReadsNothing() {
    SimLink s;
    s.open();
    s.link.sendCommand(QStringLiteral("fa;"), 100);
    QCOMPARE(s.link.queryRadio(QStringLiteral("id;"), 100), QStringLiteral("FA00014060000;ID017;"));
    QCOMPARE(s.trace.lines(),
             QStringList({"W fa;", "S 100", "W id;", "S 100", "R FA00014060000;ID017;"}));
}

void LinkEdgeCasesTest::settleTimeAfterTheRead() {
    SimLink s;
    s.open();
    QCOMPARE(s.link.queryRadio(QStringLiteral("rg;"), 100, 100), QStringLiteral("RG250;"));
    QCOMPARE(timedLines(s.trace), QStringList({"0 W rg;", "0 S 100", "100 R RG250;", "100 S 100"}));
    QCOMPARE(s.clock.now(), 200);
    QCOMPARE(s.trace.totalWaitMs(), 200);
}

void LinkEdgeCasesTest::exchangeOnClosedPortFailsHarmlessly() {
    SimLink s;
    QCOMPARE(s.link.queryRadio(QStringLiteral("id;"), 100), QString());
    s.link.sendCommand(QStringLiteral("ai1;"), 100);
    QCOMPARE(int(s.link.lastError().kind), int(PortErrorKind::NotOpen));
    QVERIFY(s.trace.isEmpty());
    QVERIFY(s.sim->commandLog().isEmpty());
    QCOMPARE(s.clock.now(), 0);

    // A port that vanishes: the exchange reports it, nothing is carried out.
    s.open();
    s.link.clearError();
    s.sim->faults().vanished = true;
    QCOMPARE(s.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(int(s.link.lastError().kind), int(PortErrorKind::Other));
    QCOMPARE(s.trace.lines(), QStringList({"W id;"}));
    QCOMPARE(s.clock.now(), 0);
}
