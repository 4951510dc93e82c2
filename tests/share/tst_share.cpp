// Sharing the radio: each rigctl request's reply and the K3 commands it sends
// (requests.tsv), a Corvane procedure holding the link, the server's lines and clients, and
// Hamlib's own rigctl -m 2 as the client of corvane-cli share and of the Connect dialog's box.

#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>

#include "common/bench.h"
#include "common/golden.h"
#include "link/procedurefaults.h"
#include "link/simtransport.h"
#include "link/ui/connectioncontroller.h"
#include "share/rigctlserver.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Shared : SimBench {
    share::SharedRadio radio{link};
    share::Vfo vfo = share::Vfo::A;
    // The replies to request lines given one a line, as a client sends them.
    QString ask(const QString &lines) {
        QByteArray out;
        for (const QString &line : lines.split(u'\n')) out += radio.answer(line.toLatin1(), vfo);
        return QString::fromLatin1(out);
    }
    QString writes() const { return trace.writes().join(u' '); }
};

// Hamlib's rigctl -m 2 against `address`, the event loop running meanwhile (the server may be
// in this process): its standard output, "|" between lines.
QString rigctl(const QString &address, const QStringList &commands) {
    QProcess client;
    QEventLoop loop;
    QObject::connect(&client, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    client.start(QStringLiteral("rigctl"), QStringList{"-m", "2", "-r", address} + commands);
    loop.exec();
    // An error is printed as "set_ptt: error = ", the client's debug lines (the last ends
    // "returning(-11) Feature not available") and Hamlib's words again on a line of their own:
    // kept as "set_ptt: Feature not available".
    const QStringList lines = QString::fromLocal8Bit(client.readAllStandardOutput()).split(u'\n');
    QStringList out;
    for (int i = 0; i < lines.size(); ++i) {
        const int error = lines[i].indexOf(QLatin1String(": error = "));
        if (error < 0) {
            if (!lines[i].isEmpty()) out << lines[i];
            continue;
        }
        const QString command = lines[i].left(error);
        QString words;
        while (++i < lines.size() && (words.isEmpty() || lines[i] != words)) {
            const int returning = lines[i].lastIndexOf(QLatin1String("returning(-"));
            if (returning >= 0) words = lines[i].mid(lines[i].indexOf(u')', returning) + 2);
        }
        out << command + QStringLiteral(": ") + words;
    }
    return out.join(u'|');
}

// A virtual clock whose waits let the event loop run, as the real clock's do, so that a
// client's request can arrive while an exchange waits; `onWait` runs at each wait.
struct WaitingClock : VirtualClock {
    std::function<void()> onWait;
    void sleep(int ms) override {
        VirtualClock::sleep(ms);
        if (onWait) onWait();
        QTest::qWait(20);
    }
};

bool haveRigctl() {
    return !QStandardPaths::findExecutable(QStringLiteral("rigctl")).isEmpty();
}

}  // namespace

class TestShare : public QObject {
    Q_OBJECT
private slots:
    void requests_data() { addRows("requests.tsv", {"request", "reply", "writes"}); }
    void requests();
    void duringAProcedure();
    void linesAndClients();
    void cliShareWithRigctl();
    void rigctlDuringAProcedure();
    void requestsArrivingDuringAWait();
    void listenAddresses_data() { addRows("addresses.tsv", {"text", "address"}); }
    void listenAddresses();
    void cliShareRefusals();
    void connectDialogShareBox();
};

void TestShare::requests() {
    QFETCH(QString, request);
    Shared s;
    QTEST(s.ask(request), "reply");
    QTEST(s.writes(), "writes");
}

void TestShare::duringAProcedure() {
    Shared s;
    QCOMPARE(s.ask("f\nm"), QString("14060000\nCW\n500\n"));
    s.trace.clear();
    {
        const LinkHold hold(s.link, "Full Test", "Determine dBV Linear Range");
        s.link.sendCommand("fa00007000000;", 100);  // the procedure's own exchange
        // The values read before it; nothing read yet: bus busy; every set refused.
        QCOMPARE(s.ask("f\nm\nl AF\nF 7100000\nM USB 0\nV VFOB\nT 0"),
                 QString("14060000\nCW\n500\nRPRT -14\nRPRT -9\nRPRT -9\nRPRT -9\nRPRT -11\n"));
    }
    QCOMPARE(s.writes(), QString("fa00007000000;"));
    QCOMPARE(s.ask("f"), QString("7000000\n"));  // asked again once it has let go
}

void TestShare::linesAndClients() {
    Shared s;
    share::RigctlServer server(s.link);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket a;
    QTcpSocket b;
    a.connectToHost(QHostAddress::LocalHost, server.port());
    b.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(a.waitForConnected(5000) && b.waitForConnected(5000));
    // An oversized line in two pieces: one error, the rest of it dropped, then served again.
    a.write(QByteArray(300, 'F'));
    QTRY_COMPARE(a.bytesAvailable(), qint64(8));
    a.write("7000000\nf\n");
    b.write("f\xff\n+\\get_vfo\nq\n");
    QTRY_VERIFY(b.state() == QAbstractSocket::UnconnectedState);
    QTRY_COMPARE(a.bytesAvailable(), qint64(17));
    QCOMPARE(a.readAll(), QByteArray("RPRT -1\n14060000\n"));
    QCOMPARE(b.readAll(), QByteArray("RPRT -1\nget_vfo:\nVFO: VFOA\nRPRT 0\n"));
    QCOMPARE(s.writes(), QString("fa;"));
    QTRY_COMPARE(server.clientCount(), 1);
}

void TestShare::cliShareWithRigctl() {
    if (!haveRigctl()) QSKIP("Hamlib's rigctl is not installed (Debian package libhamlib-utils)");
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "--yes", "--trace", "share", "--listen", "127.0.0.1:0"});
    QVERIFY(cli.waitForReadyRead(10000));
    const QString banner = QString::fromLocal8Bit(cli.readLine()).trimmed();
    const QRegularExpressionMatch address =
        QRegularExpression(R"(^Sharing the K3 as Hamlib NET rigctl on (127\.0\.0\.1:\d+); )"
                           R"(Ctrl-C ends\.$)")
            .match(banner);
    QVERIFY2(address.hasMatch(), qPrintable(banner));
    QCOMPARE(rigctl(address.captured(1),
                    {"f", "F", "7100000", "f", "M", "USB", "2400", "m", "T", "1", "t"}),
             QString("14060000|7100000|USB|2400|set_ptt: Feature not available|0"));
    ::kill(pid_t(cli.processId()), SIGTERM);
    QVERIFY(cli.waitForFinished(10000));
    QCOMPARE(cli.exitCode(), 128 + SIGTERM);
    const QStringList writes = QString::fromLatin1(cli.readAllStandardError())
                                   .split(u'\n')
                                   .filter(" W ")
                                   .replaceInStrings(QRegularExpression("^.* W "), "");
    // Connected first, auto-info put back last; PTT never reached the radio.
    QCOMPARE(writes.mid(0, 2), QStringList({"id;", "ai;"}));
    QVERIFY(writes.contains("fa00007100000;") && writes.contains("bw0240;"));
    QVERIFY(!writes.contains("tx;"));
    QCOMPARE(writes.count("tq;"), 1);
}

void TestShare::rigctlDuringAProcedure() {
    if (!haveRigctl()) QSKIP("Hamlib's rigctl is not installed (Debian package libhamlib-utils)");
    Shared s;
    share::RigctlServer server(s.link);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QCOMPARE(rigctl(server.addressText(), {"f", "m"}), QString("14060000|CW|500"));
    s.trace.clear();
    {
        const LinkHold hold(s.link, "Filter Sweep", "Sweep Filter");
        s.link.sendCommand("fa00014059000;", 100);
        QCOMPARE(rigctl(server.addressText(), {"f", "F", "7000000", "m"}),
                 QString("14060000|set_freq: Command rejected by the rig|CW|500"));
        s.link.sendCommand("fa00014059050;", 100);
    }
    // The procedure's exchange as it is, nothing between.
    QCOMPARE(s.writes(), QString("fa00014059000; fa00014059050;"));
}

void TestShare::requestsArrivingDuringAWait() {
    WaitingClock clock;
    RadioLink link(clock);
    LinkTrace trace;
    link.setTrace(&trace);
    auto simulator = std::make_shared<sim::K3Simulator>();
    link.setTransport(std::make_unique<SimTransport>(simulator, clock));
    link.open();
    share::RigctlServer server(link);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket a;
    QTcpSocket b;
    a.connectToHost(QHostAddress::LocalHost, server.port());
    b.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(a.waitForConnected(5000) && b.waitForConnected(5000));
    // b asks while a's "fa;" waits: served after it, never between its write and its read.
    clock.onWait = [&b] {
        if (b.bytesToWrite() == 0 && b.property("asked").isNull()) {
            b.setProperty("asked", true);
            b.write("m\n");
        }
    };
    a.write("f\n");
    QTRY_COMPARE(b.bytesAvailable(), qint64(7));
    QCOMPARE(a.readAll() + b.readAll(), QByteArray("14060000\nCW\n500\n"));
    QCOMPARE(trace.lines(), QStringList({"W fa;", "S 100", "R FA00014060000;", "W md;", "S 100",
                                         "R MD3;", "W bw;", "S 100", "R BW0050;"}));
    // Another window's exchange waiting (the console's 400 ms): answered from what was read.
    clock.onWait = {};
    trace.clear();
    a.write("f\n");
    QVERIFY(a.waitForBytesWritten(5000));
    QCOMPARE(link.queryRadio("id;", 400), QString("ID017;"));
    QTRY_COMPARE(a.bytesAvailable(), qint64(9));
    QCOMPARE(a.readAll(), QByteArray("14060000\n"));
    QCOMPARE(trace.lines(), QStringList({"W id;", "S 400", "R ID017;"}));
}

void TestShare::listenAddresses() {
    QFETCH(QString, text);
    QHostAddress address;
    quint16 port = 1;
    const bool ok = share::RigctlServer::parseAddress(text, &address, &port);
    QTEST(ok ? address.toString() + u' ' + QString::number(port) : QString(), "address");
}

void TestShare::cliShareRefusals() {
    const QString cli = qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli";
    QProcess bad;
    bad.start(cli, {"--port", "sim", "--yes", "share", "--listen", "radio:4532"});
    QVERIFY(bad.waitForFinished(10000));
    QCOMPARE(bad.exitCode(), 2);
    QVERIFY(bad.readAllStandardError().startsWith(
        "corvane-cli: --listen takes HOST:PORT with an IP address or localhost"));
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::LocalHost, 0));
    QProcess taken;
    taken.start(cli, {"--port", "sim", "--yes", "share", "--listen",
                      "127.0.0.1:" + QString::number(other.serverPort())});
    QVERIFY(taken.waitForFinished(10000));
    QCOMPARE(taken.exitCode(), 1);
    QVERIFY(QString::fromLocal8Bit(taken.readAllStandardError())
                .endsWith(QString("corvane-cli: cannot listen on 127.0.0.1:%1: The bound address "
                                  "is already in use\n")
                              .arg(other.serverPort())));
}

void TestShare::connectDialogShareBox() {
    ScriptedPrompter prompter;
    VirtualClock clock;
    ConnectionController connection{clock, prompter};
    connection.setShareAddress(QHostAddress::LocalHost, 0);
    auto *box = connection.dialog().findChild<QCheckBox *>("chkShare");
    QVERIFY(box && !box->isChecked() && !connection.shareServer());
    QCOMPARE(box->text(),
             QString("Share the radio with other programs (Hamlib NET rigctl on 127.0.0.1:4532)"));
    connection.dialog().findChild<QComboBox *>("cboComPort")->setEditText("sim");
    connection.dialog().findChild<QPushButton *>("cmdConnect")->click();
    box->click();
    QVERIFY(connection.shareServer() && connection.shareServer()->isListening());
    if (haveRigctl())
        QCOMPARE(rigctl(connection.shareServer()->addressText(), {"f"}), QString("14060000"));
    box->click();
    QVERIFY(!connection.shareServer());
    // A port another program holds: told, and the box cleared.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::LocalHost, 0));
    connection.setShareAddress(QHostAddress::LocalHost, other.serverPort());
    prompter.clear();
    box->click();
    QVERIFY(!box->isChecked() && !connection.shareServer());
    QCOMPARE(prompter.summary(),
             QStringList(QString("Share the Radio|The radio cannot be shared on 127.0.0.1:%1: The "
                                 "bound address is already in use. Another program (rigctld, or a "
                                 "second Corvane) may be using that port.")
                             .arg(other.serverPort())));
}

QTEST_MAIN(TestShare)
#include "tst_share.moc"
