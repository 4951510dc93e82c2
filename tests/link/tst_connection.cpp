// The connection dialog's radio steps and File, Exit's auto-info step, on a scripted radio
// and a virtual clock: exact writes, waits, reads and messages.

#include <QtTest>
#include <memory>

#include "common/scriptedtransport.h"
#include "core/prompter.h"
#include "link/clock.h"
#include "link/connection.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "tst_link.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kConnected =
    QStringLiteral("M K3 Status|K3 is connected and communicating at: 38400,N,8,1");
const QString kUnable = QStringLiteral("M K3 Status|Unable to communicate with K3");

// A radio link on a scripted port, with messages recorded in the trace in order.
struct Bench {
    VirtualClock clock;
    LinkTrace trace;
    RadioLink link{clock};
    ScriptedTransport *radio = nullptr;
    ScriptedPrompter prompter;

    Bench() {
        auto transport = std::make_unique<ScriptedTransport>();
        radio = transport.get();
        link.setTransport(std::move(transport));
        link.setTrace(&trace);
        prompter.setObserver([this](const PromptMessage &m) {
            trace.addMessage(clock.now(), m.title + u'|' + m.text);
        });
        radio->setAnswer("id;", "ID017;");
        radio->setAnswer("ai;", "AI0;");
    }
    void open() { QVERIFY(!link.open().isError()); }
};

}  // namespace

void ConnectionTest::identifiedRadio() {
    Bench b;
    b.open();
    int linesAtHook = -1;
    const ConnectOutcome outcome =
        identifyRadio(b.link, b.prompter, [&] { linesAtHook = b.trace.lines().size(); });
    QVERIFY(outcome.identified);
    QVERIFY(!outcome.error.isError());
    QCOMPARE(outcome.autoInfo, QStringLiteral("AI0;"));
    QCOMPARE(b.trace.lines(),
             QStringList({"W id;", "S 200", "R ID017;", kConnected, "W ai;", "S 100", "R AI0;"}));
    // The dialog's buttons come on after the message is closed and before "ai;".
    QCOMPARE(linesAtHook, 4);
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
    QVERIFY(b.link.isConnected());
}

void ConnectionTest::autoInfoModeOneIsSwitchedOff() {
    Bench b;
    b.radio->setAnswer("ai;", "AI1;");
    b.link.setSettings(QStringLiteral("9600,N,8,1"));
    b.open();
    const ConnectOutcome outcome = identifyRadio(b.link, b.prompter);
    QVERIFY(outcome.identified);
    QCOMPARE(outcome.autoInfo, QStringLiteral("AI1;"));
    QCOMPARE(b.trace.lines(),
             QStringList({"W id;", "S 200", "R ID017;",
                          "M K3 Status|K3 is connected and communicating at: 9600,N,8,1", "W ai;",
                          "S 100", "R AI1;", "W ai0;"}));
    QCOMPARE(b.clock.now(), 300);
}

void ConnectionTest::otherIdentityAnswers_data() {
    QTest::addColumn<QByteArray>("leftover");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("read");
    QTest::newRow("nothing") << QByteArray() << QByteArray() << "";
    QTest::newRow("text in front") << QByteArray() << QByteArray("xID017;") << "xID017;";
    QTest::newRow("text behind") << QByteArray() << QByteArray("ID017;;") << "ID017;;";
    QTest::newRow("lower case") << QByteArray() << QByteArray("id017;") << "id017;";
    QTest::newRow("other radio") << QByteArray() << QByteArray("ID019;") << "ID019;";
    QTest::newRow("no semicolon") << QByteArray() << QByteArray("ID017") << "ID017";
    QTest::newRow("leftover report")
        << QByteArray("IF00014060000     -000000 0002000011 ;") << QByteArray("ID017;")
        << "IF00014060000     -000000 0002000011 ;ID017;";
}

void ConnectionTest::otherIdentityAnswers() {
    QFETCH(QByteArray, leftover);
    QFETCH(QByteArray, answer);
    QFETCH(QString, read);
    Bench b;
    b.radio->setAnswer("id;", answer);
    b.open();
    b.radio->inject(leftover);
    bool hookRan = false;
    const ConnectOutcome outcome = identifyRadio(b.link, b.prompter, [&] { hookRan = true; });
    QVERIFY(!outcome.identified);
    QVERIFY(!outcome.error.isError());
    QCOMPARE(outcome.autoInfo, QString());
    QVERIFY(!hookRan);
    QCOMPARE(b.trace.lines(), QStringList({"W id;", "S 200", "R " + read, kUnable}));
    // The port is closed again so that the user can pick another one.
    QVERIFY(!b.link.isConnected());
}

void ConnectionTest::otherAutoInfoAnswers_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("mode 0") << QByteArray("AI0;");
    QTest::newRow("mode 2") << QByteArray("AI2;");
    QTest::newRow("mode 3") << QByteArray("AI3;");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("lower case") << QByteArray("ai1;");
    QTest::newRow("mode 1 twice") << QByteArray("AI1;AI1;");
    QTest::newRow("busy") << QByteArray("?;");
}

void ConnectionTest::otherAutoInfoAnswers() {
    QFETCH(QByteArray, answer);
    Bench b;
    b.radio->setAnswer("ai;", answer);
    b.open();
    const ConnectOutcome outcome = identifyRadio(b.link, b.prompter);
    QVERIFY(outcome.identified);
    QCOMPARE(outcome.autoInfo, QString::fromLatin1(answer));
    QCOMPARE(b.radio->written(), QStringList({"id;", "ai;"}));
}

void ConnectionTest::portErrorStopsConnectAtOnce() {
    for (int failing = 1; failing <= 3; ++failing) {
        Bench b;
        b.radio->setAnswer("ai;", "AI1;");
        b.open();
        const PortError fault{PortErrorKind::Other, QStringLiteral("device unplugged")};
        b.radio->failWrite(failing, fault);
        const ConnectOutcome outcome = identifyRadio(b.link, b.prompter);
        QCOMPARE(int(outcome.error.kind), int(PortErrorKind::Other));
        QCOMPARE(outcome.error.description, fault.description);
        // Nothing after the failed write: no wait, no read, no more writes.
        QCOMPARE(b.trace.lines().last(), QStringList({"W id;", "W ai;", "W ai0;"}).at(failing - 1));
        QCOMPARE(b.radio->written().size(), failing - 1);
        // The identified flag tells how far it got; the port is left as it was.
        QCOMPARE(outcome.identified, failing > 1);
        QVERIFY(b.link.isConnected());
    }

    Bench closed;  // never opened: the exchange meets a closed port
    const ConnectOutcome outcome = identifyRadio(closed.link, closed.prompter);
    QCOMPARE(int(outcome.error.kind), int(PortErrorKind::NotOpen));
    QVERIFY(closed.prompter.messages().empty());
    QVERIFY(closed.trace.isEmpty());
}

void ConnectionTest::testCommunications_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");
    QTest::newRow("K3") << QByteArray("ID017;") << "M K3 Status|K3 is present";
    QTest::newRow("nothing") << QByteArray() << kUnable;
    QTest::newRow("report in front") << QByteArray("AI0;ID017;") << kUnable;
}

void ConnectionTest::testCommunications() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);
    Bench b;
    b.radio->setAnswer("id;", answer);
    b.open();
    PortError error;
    QCOMPARE(corvane::testCommunications(b.link, b.prompter, &error), QString::fromLatin1(answer));
    QVERIFY(!error.isError());
    QCOMPARE(b.trace.lines(),
             QStringList({"W id;", "S 100", "R " + QString::fromLatin1(answer), message}));
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
    QVERIFY(b.link.isConnected());

    Bench closed;
    QCOMPARE(corvane::testCommunications(closed.link, closed.prompter, &error), QString());
    QCOMPARE(int(error.kind), int(PortErrorKind::NotOpen));
    QVERIFY(closed.prompter.messages().empty());
}

void ConnectionTest::consoleCommand_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("answer");
    QTest::newRow("empty box") << ""
                               << "id;"
                               << "ID017;";
    QTest::newRow("fa") << "fa"
                        << "fa;"
                        << "FA00014060000;";
    QTest::newRow("case kept") << "Fa"
                               << "Fa;"
                               << "";
    QTest::newRow("blanks kept") << " ai"
                                 << " ai;"
                                 << "";
    QTest::newRow("several commands") << "k31;swt48;k30"
                                      << "k31;swt48;k30;"
                                      << "";
}

void ConnectionTest::consoleCommand() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, answer);
    Bench b;
    b.radio->setAnswer("fa;", "FA00014060000;");
    b.open();
    PortError error;
    QCOMPARE(sendConsoleCommand(b.link, typed, &error), answer);
    QVERIFY(!error.isError());
    QCOMPARE(b.trace.lines(), QStringList({"W " + written, "S 400", "R " + answer}));
    QVERIFY(b.prompter.messages().empty());
}

void ConnectionTest::consoleOnClosedPort() {
    Bench b;
    b.open();
    b.link.close();
    PortError error;
    QCOMPARE(sendConsoleCommand(b.link, QStringLiteral("fa"), &error), QString());
    QCOMPARE(int(error.kind), int(PortErrorKind::NotOpen));
    QVERIFY(b.radio->written().isEmpty());

    // An error of an earlier action does not stick to the next one.
    b.open();
    QCOMPARE(sendConsoleCommand(b.link, QString(), &error), QStringLiteral("ID017;"));
    QVERIFY(!b.link.lastError().isError());
}

void ConnectionTest::restoreAutoInfo_data() {
    QTest::addColumn<QString>("atConnect");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("mode 1") << "AI1;"
                            << QStringList({"W ai1;", "M AutoInf Status|AutoInf is Auto 1"});
    QTest::newRow("never connected") << "" << QStringList();
    QTest::newRow("mode 0") << "AI0;" << QStringList();
    QTest::newRow("mode 2") << "AI2;" << QStringList();
    QTest::newRow("without semicolon") << "AI1" << QStringList();
}

void ConnectionTest::restoreAutoInfo() {
    QFETCH(QString, atConnect);
    QFETCH(QStringList, lines);
    Bench b;
    b.open();
    corvane::restoreAutoInfo(b.link, b.prompter, atConnect);
    QCOMPARE(b.trace.lines(), lines);
    QCOMPARE(b.clock.now(), 0);
    for (const auto &m : b.prompter.messages()) QCOMPARE(m.icon, MessageIcon::Information);
}
