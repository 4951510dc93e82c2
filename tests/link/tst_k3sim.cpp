// The exchange convention through the real serial code path: SerialTransport on the
// pseudo-terminal that corvane-k3sim serves, on the real clock.

#include <QFile>
#include <QtTest>

#include "common/k3simprocess.h"
#include "core/prompter.h"
#include "link/clock.h"
#include "link/connection.h"
#include "link/linktrace.h"
#include "link/portnames.h"
#include "link/radiolink.h"
#include "sim/k3simulator.h"
#include "tst_link.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct SimPortLink {
    K3SimProcess simulator;
    RealClock clock;
    LinkTrace trace;
    RadioLink link{clock};

    bool start(const QStringList &arguments) {
        if (!simulator.start(arguments)) return false;
        link.setTransport(makeTransport(simulator.pty(), clock, nullptr));
        link.setTrace(&trace);
        return !link.open().isError();
    }
};

#define START_SIM_PORT(name, ...)                                    \
    SimPortLink name;                                                \
    QVERIFY2(name.start(QStringList{__VA_ARGS__}), "corvane-k3sim"); \
    QVERIFY(name.link.isConnected())

}  // namespace

void K3SimSerialTest::initTestCase() {
    QVERIFY2(QFile::exists(K3SimProcess::program()), qPrintable(K3SimProcess::program()));
}

void K3SimSerialTest::silentRadioGivesEmptyText() {
    START_SIM_PORT(p, "--silent");
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(p.trace.lines(), QStringList({"W id;", "S 100", "R "}));
    QVERIFY(!p.link.lastError().isError());
}

void K3SimSerialTest::lateAnswerLeadsTheNextRead() {
    START_SIM_PORT(p, "--late", "300");
    QCOMPARE(p.link.queryRadio(QStringLiteral("fa;"), 100), QString());
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 600), QStringLiteral("FA00014060000;ID017;"));
    QCOMPARE(p.trace.lines(),
             QStringList({"W fa;", "S 100", "R ", "W id;", "S 600", "R FA00014060000;ID017;"}));
}

void K3SimSerialTest::connectToRadioInAutoInfoOne() {
    START_SIM_PORT(p, "--ai", "1");
    ScriptedPrompter prompter;
    const ConnectOutcome outcome = identifyRadio(p.link, prompter);
    QVERIFY(outcome.identified);
    QCOMPARE(outcome.autoInfo, QStringLiteral("AI1;"));
    QCOMPARE(p.trace.lines(),
             QStringList({"W id;", "S 200", "R ID017;", "W ai;", "S 100", "R AI1;", "W ai0;"}));
    // The radio took "ai0;": it answers mode 0 now.
    QCOMPARE(p.link.queryRadio(QStringLiteral("ai;"), 200), QStringLiteral("AI0;"));
    restoreAutoInfo(p.link, prompter, outcome.autoInfo);
    QCOMPARE(p.link.queryRadio(QStringLiteral("ai;"), 200), QStringLiteral("AI1;"));
}

void K3SimSerialTest::displayBytesAbove127Kept() {
    START_SIM_PORT(p, "--no-noise");
    const QString answer = p.link.queryRadio(QStringLiteral("ds;"), 200);
    QCOMPARE(answer.size(), 13);
    QCOMPARE(answer.left(10).toLatin1(), "DS" + sim::K3Simulator().vfoADisplay());
    QVERIFY(answer.at(10).unicode() >= 128 && answer.at(10).unicode() <= 255);
    QVERIFY(answer.at(11).unicode() >= 128 && answer.at(11).unicode() <= 255);
    QCOMPARE(answer.right(1), QStringLiteral(";"));
}

void K3SimSerialTest::tcpPort() {
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--no-pty", "--tcp", "0"}, false, true));
    RealClock clock;
    RadioLink link(clock);
    link.setTransport(makeTransport(simulator.tcp(), clock, nullptr));
    QVERIFY(!link.open().isError());
    ScriptedPrompter prompter;
    const ConnectOutcome outcome = identifyRadio(link, prompter);
    QVERIFY(outcome.identified);
    QCOMPARE(outcome.autoInfo, QStringLiteral("AI0;"));
}

void K3SimSerialTest::unpluggedPortReportsAndCloses() {
    START_SIM_PORT(p, "--vanish-after", "1000");
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 100), QStringLiteral("ID017;"));
    p.clock.sleep(1500);
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::Other));
    QVERIFY(!p.link.isConnected());
}
