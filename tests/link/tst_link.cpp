// The radio link: the exchange convention on the simulator (virtual clock) and through the
// real serial code path (a pty played by the test, corvane-k3sim, TCP), the port errors met
// for real, port names, and the connection procedures against a table of radio answers.

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include "common/bench.h"
#include "common/golden.h"
#include "common/k3simprocess.h"
#include "common/ptyradio.h"
#include "link/connection.h"
#include "link/portnames.h"
#include "link/serialtransport.h"
#include "link/tcptransport.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// A link over a port on the real clock.
struct RealLink {
    RealClock clock;
    LinkTrace trace;
    RadioLink link{clock};
    explicit RealLink(const QString &spec) {
        link.setTransport(makeTransport(spec, clock, nullptr));
        link.setTrace(&trace);
        link.open();
    }
};

// A radio behind a TCP port: answers commands from a table as they arrive.
class TcpRadio : public QObject {
public:
    QMap<QByteArray, QByteArray> answers;
    QTcpServer server;
    QTcpSocket *client = nullptr;
    TcpRadio() {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            client = server.nextPendingConnection();
            connect(client, &QTcpSocket::readyRead, this, [this] {
                for (const QByteArray &c : client->readAll().split(';'))
                    if (!c.isEmpty()) client->write(answers.value(c + ';'));
            });
        });
    }
    QString spec() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()); }
};

QByteArray highBytes() {
    QByteArray high;
    for (int code = 128; code <= 255; ++code) high.append(char(code));
    return high;
}

}  // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void exchangesOnTheSimulator();
    void serialPortOnAPty();
    void portSettings_data();
    void portSettings();
    void openErrors();
    void k3simOverPtyAndTcp();
    void tcpPort();
    void portNames_data() { addRows("portnames.tsv", {"what", "typed", "meaning"}); }
    void portNames();
    void simulatorLinks();
    void connection_data() { addRows("connection.tsv", {"action", "input", "id", "ai", "trace"}); }
    void connection();
    void portErrorStopsConnectAtOnce();
};

void TestLink::exchangesOnTheSimulator() {
    // Silent, late, left unread, settled, the display's high bytes, then a vanished port:
    // what each read takes and when, with the virtual times.
    SimBench b;
    QStringList out;
    b.simulator->faults().silent = true;
    out << b.link.queryRadio("id;", 100);
    b.simulator->faults().silent = false;
    b.simulator->faults().lateMs = 150;
    out << b.link.queryRadio("fa;", 100);
    b.simulator->faults().lateMs = 0;
    out << b.link.queryRadio("id;", 100);
    b.link.sendCommand("ai;", 100);
    out << b.link.queryRadio("rg;", 100, 100) << b.link.queryRadio("ds;", 100);
    b.simulator->faults().vanished = true;
    out << b.link.queryRadio("id;", 100) << QString::number(int(b.link.lastError().kind));
    QStringList lines;
    for (const TraceEvent &e : b.trace.events())
        lines << QString::number(e.at) + u' ' + LinkTrace::lineOf(e);
    CORVANE_COMPARE_GOLDEN(lines << "= answers" << out, "sim-exchanges.trace");

    // A port never opened: nothing sent, no time spent.
    VirtualClock clock;
    RadioLink closed(clock);
    QCOMPARE(closed.queryRadio("id;", 100), QString());
    QCOMPARE(int(closed.lastError().kind), int(PortErrorKind::NotOpen));
    QCOMPARE(clock.now(), 0);
}

void TestLink::serialPortOnAPty() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    // A report the radio sent before the port was opened is dropped at the open.
    radio.send("IF00014060000     +000000 0003000001 ;");
    RealLink p(radio.slavePath());
    QVERIFY(p.link.isConnected());
    auto *port = static_cast<SerialTransport *>(p.link.transport());
    // A pty has no modem lines: both calls are made, both fail, the port stays usable.
    QCOMPARE(port->modemLineCalls(), QStringList({"DTR off failed", "RTS off failed"}));
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ds;", "DS" + highBytes() + ";");
    QCOMPARE(p.link.queryRadio("fa;", 100), QString());
    radio.send("FA00014060000;");  // late: after the wait ended
    QCOMPARE(p.link.queryRadio("id;", 200), QString("FA00014060000;ID017;"));
    QCOMPARE(p.link.queryRadio("ds;", 200).toLatin1(), "DS" + highBytes() + ";");
    p.link.sendCommand(QString::fromLatin1("\xb0\xff;"), 100);
    QCOMPARE(radio.received(), QByteArray("fa;id;ds;\xb0\xff;"));
    QCOMPARE(p.trace.lines().mid(0, 6),
             QStringList({"W fa;", "S 100", "R ", "W id;", "S 200", "R FA00014060000;ID017;"}));

    // Pulled out: an error of its own kind, the port closed, nothing more sent.
    radio.vanish();
    QCOMPARE(p.link.queryRadio("id;", 100), QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::Other));
    QVERIFY(!p.link.lastError().description.isEmpty());
    QVERIFY(!p.link.isConnected());
    p.link.clearError();
    p.link.queryRadio("id;", 100);
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::NotOpen));
}

void TestLink::portSettings_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("speed");
    QTest::newRow("4800") << 4800 << int(B4800);
    QTest::newRow("9600") << 9600 << int(B9600);
    QTest::newRow("19200") << 19200 << int(B19200);
    QTest::newRow("38400") << 38400 << int(B38400);
}

void TestLink::portSettings() {
    QFETCH(int, baud);
    QFETCH(int, speed);
    PtyRadio radio;
    SerialTransport port(radio.slavePath());
    QVERIFY(!port.open(baud).isError());
    // The terminal settings are shared by every descriptor of the device: 8N1, no handshake.
    const int fd = ::open(radio.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE(int(cfgetispeed(&tio)), speed);
    QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestLink::openErrors() {
    SerialTransport missing(QStringLiteral("/dev/corvane-no-such-device"));
    const PortError notThere = missing.open(38400);
    QCOMPARE(int(notThere.kind), int(PortErrorKind::NoSuchPort));
    QCOMPARE(int(notThere.cause), int(PortOpenCause::MissingDevice));
    QCOMPARE(notThere.location, QString("/dev/corvane-no-such-device"));
    QVERIFY(missing.modemLineCalls().isEmpty());

    // The same pty under another name (a link, as /dev/serial/by-id makes them) is the same
    // device: refused while the first holds it.
    PtyRadio radio;
    QTemporaryDir dir;
    const QString alias = dir.filePath("k3-by-id");
    QVERIFY(QFile::link(radio.slavePath(), alias));
    SerialTransport first(radio.slavePath());
    SerialTransport second(alias);
    QCOMPARE(int(first.write("id;").kind), int(PortErrorKind::NotOpen));
    QVERIFY(!first.open(38400).isError());
    const PortError inUse = second.open(38400);
    QCOMPARE(int(inUse.kind), int(PortErrorKind::InUse));
    QCOMPARE(inUse.location, alias);
    QVERIFY(!second.isOpen() && first.isOpen());
    first.close();  // once the first lets go, the port opens again
    QVERIFY(!second.open(38400).isError());
    QCOMPARE(int(first.open(38400).kind), int(PortErrorKind::InUse));
    QVERIFY(radio.received().isEmpty());

    // A port that refuses this user is not "in use": the text says what to do.
    const PortError denied = portErrorFrom(QSerialPort::PermissionError, "denied", false);
    QCOMPARE(int(denied.kind), int(PortErrorKind::Other));
    QCOMPARE(int(denied.cause), int(PortOpenCause::PermissionDenied));
}

void TestLink::k3simOverPtyAndTcp() {
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--ai", "1", "--vanish-after", "4000"}));
    RealLink p(simulator.pty());
    ScriptedPrompter prompter;
    const ConnectOutcome outcome = identifyRadio(p.link, prompter);
    QCOMPARE(p.trace.lines(),
             QStringList({"W id;", "S 200", "R ID017;", "W ai;", "S 100", "R AI1;", "W ai0;"}));
    QCOMPARE(p.link.queryRadio("ai;", 200), QString("AI0;"));  // the radio took "ai0;"
    restoreAutoInfo(p.link, prompter, outcome.autoInfo);
    QCOMPARE(p.link.queryRadio("ai;", 200), QString("AI1;"));
    p.clock.sleep(4000);  // the pty vanishes
    QCOMPARE(p.link.queryRadio("id;", 100), QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::Other));

    K3SimProcess tcp;
    QVERIFY(tcp.start({"--no-pty", "--tcp", "0"}, false, true));
    RealLink t(tcp.tcp());
    QCOMPARE(identifyRadio(t.link, prompter).autoInfo, QString("AI0;"));
}

void TestLink::tcpPort() {
    TcpRadio radio;
    radio.answers = {{"id;", "ID017;"}, {"ds;", "DS" + highBytes() + ";"}};
    RealLink p(radio.spec());
    QCOMPARE(p.link.queryRadio("id;", 200), QString("ID017;"));
    QCOMPARE(p.link.queryRadio("ds;", 200).toLatin1(), "DS" + highBytes() + ";");
    radio.client->close();  // the far end hangs up
    QCOMPARE(p.link.queryRadio("id;", 200), QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::Other));
    QVERIFY(!p.link.isConnected());

    const quint16 freePort = radio.server.serverPort();
    radio.server.close();
    TcpTransport nobody(QStringLiteral("tcp://127.0.0.1:%1").arg(freePort));
    const PortError refused = nobody.open(38400);
    QCOMPARE(int(refused.kind), int(PortErrorKind::NoSuchPort));
    QCOMPARE(int(refused.cause), int(PortOpenCause::ConnectionRefused));
    QCOMPARE(refused.location, QStringLiteral("tcp://127.0.0.1:%1").arg(freePort));
}

void TestLink::portNames() {
    QFETCH(QString, what);
    QFETCH(QString, typed);
    QFETCH(QString, meaning);
    if (what == "com") {
        QCOMPARE(comPortNumber(typed).value_or(0), meaning.toInt());
    } else if (what == "make") {
        VirtualClock clock;
        const auto transport = makeTransport(typed, clock, nullptr);
        const QString kind = dynamic_cast<SimTransport *>(transport.get())   ? "sim"
                             : dynamic_cast<TcpTransport *>(transport.get()) ? "tcp"
                                                                             : "serial";
        QCOMPARE(kind + u' ' + transport->name(), meaning);
        QVERIFY(!transport->isOpen());
    } else if (what == "tcp") {
        QString host;
        quint16 port = 0;
        const bool valid = TcpTransport::parseSpec(typed, &host, &port);
        QCOMPARE(valid ? host + u':' + QString::number(port) : QString("-"), meaning);
    } else {
        // "errorK" or "errorK.C": kind K, open cause C; typed "spec>location".
        const QStringList kindCause = what.mid(5).split(u'.');
        const PortError error{PortErrorKind(kindCause.first().toInt()), "Input/output error",
                              PortOpenCause(kindCause.value(1).toInt()), typed.section(u'>', 1)};
        QCOMPARE(portErrorText(error, typed.section(u'>', 0, 0)), meaning);
    }
}

void TestLink::simulatorLinks() {
    // Links named corvane-k3sim-N to something that exists, in order; others left out.
    QTemporaryDir dir;
    const QString target = dir.filePath("pts");
    QFile(target).open(QIODevice::WriteOnly);
    QFile::link(target, dir.filePath("corvane-k3sim-2"));
    QFile::link(target, dir.filePath("corvane-k3sim-1"));
    QFile::link(dir.filePath("gone"), dir.filePath("corvane-k3sim-3"));
    QFile::link(target, dir.filePath("other-link"));
    QFile(dir.filePath("corvane-k3sim-4")).open(QIODevice::WriteOnly);
    QStringList names;
    for (const auto &link : corvane::simulatorLinks(dir.path())) names << link.name;
    QCOMPARE(names,
             QStringList({dir.filePath("corvane-k3sim-1"), dir.filePath("corvane-k3sim-2")}));
    // The detected list ends with them (from ${TMPDIR:-/tmp}) and leaves COM 1..20 out.
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const auto detected = detectedPorts();
    qunsetenv("TMPDIR");
    QCOMPARE(detected.last().name, names.last());
    for (const auto &port : detected)
        QVERIFY2(!QRegularExpression("^/dev/ttyS(\\d|1\\d)$").match(port.location).hasMatch(),
                 qPrintable(port.location));
}

void TestLink::connection() {
    QFETCH(QString, action);
    QFETCH(QString, input);
    ScriptedBench b;
    QFETCH(QString, id);
    QFETCH(QString, ai);
    b.radio->setAnswer("id;", id.toLatin1());
    b.radio->setAnswer("ai;", ai.toLatin1());
    b.radio->setAnswer("fa;", "FA00014060000;");
    PortError error;
    if (action == "identify") {
        if (!input.isEmpty()) b.link.setSettings(input);
        const ConnectOutcome outcome =
            identifyRadio(b.link, b.prompter, [&] { b.trace.addMessage(0, "hook"); });
        QCOMPARE(outcome.identified, b.link.isConnected());  // closed when not a K3
        QCOMPARE(outcome.autoInfo, outcome.identified ? ai : QString());
        error = outcome.error;
    } else if (action == "test") {
        QCOMPARE(testCommunications(b.link, b.prompter, &error), id);
    } else if (action == "console") {
        sendConsoleCommand(b.link, input, &error);
    } else {
        restoreAutoInfo(b.link, b.prompter, input);
    }
    QVERIFY(!error.isError());
    QTEST(b.trace.lines().join(" | "), "trace");
    for (const auto &m : b.prompter.messages()) QCOMPARE(m.icon, MessageIcon::Information);
}

void TestLink::portErrorStopsConnectAtOnce() {
    // A write that fails ends the procedure there: no wait, no read, no further write.
    const QStringList writes{"W id;", "W ai;", "W ai0;"};
    for (int failing = 1; failing <= 3; ++failing) {
        ScriptedBench b;
        b.radio->setAnswer("id;", "ID017;");
        b.radio->setAnswer("ai;", "AI1;");
        b.radio->failWrite(failing, {PortErrorKind::Other, "device unplugged"});
        const ConnectOutcome outcome = identifyRadio(b.link, b.prompter);
        QCOMPARE(outcome.error.description, QString("device unplugged"));
        QCOMPARE(b.trace.lines().last(), writes.at(failing - 1));
        QCOMPARE(b.radio->written().size(), failing - 1);
        QCOMPARE(outcome.identified, failing > 1);
    }
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
