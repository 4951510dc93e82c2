// The connection dialog over the simulator: what Connect, Test Communications and Send
// Command exchange and show, and the four port errors caused for real.

#include <QSerialPort>

#include "shellbench.h"

using namespace corvane;
using corvane::test::Pty;
using corvane::test::ScriptedTransport;

class TestConnect : public QObject {
    Q_OBJECT
private slots:
    void states_data();
    void states();
    void autoInfoAtConnect_data();
    void autoInfoAtConnect();
    void identityMustBeExact_data();
    void identityMustBeExact();
    void secondConnectSendsNothing();
    void exchanges_data();
    void exchanges();
    void portErrors_data();
    void portErrors();
};

void TestConnect::states_data() {
    QTest::addColumn<QString>("port");  // picked item, or empty for no selection
    QTest::addColumn<QString>("baud");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QStringList>("labels");  // port number, settings, port open
    QTest::addColumn<bool>("buttonsOn");
    const QString ok = QStringLiteral("M K3 Status|K3 is connected and communicating at: ");
    QTest::newRow("at load") << "-"
                             << "" << false << QStringList()
                             << QStringList{"Com Port Number: xxxx", "Port Settings: xxxx",
                                            "Port Open? xxxx"}
                             << false;
    QTest::newRow("no selection") << ""
                                  << "" << false
                                  << QStringList{"W id;", "S 200", "R ID017;", ok + "38400,N,8,1",
                                                 "W ai;", "S 100", "R AI0;"}
                                  << QStringList{"Port: COM 1", "Settings: 38400,N,8,1",
                                                 "Port Open? True"}
                                  << true;
    QTest::newRow("simulator at 9600")
        << "K3 Simulator (built in)"
        << "9600" << false
        << QStringList{"W id;", "S 200", "R ID017;", ok + "9600,N,8,1", "W ai;", "S 100", "R AI0;"}
        << QStringList{"Port: K3 Simulator (built in)", "Settings: 9600,N,8,1", "Port Open? True"}
        << true;
    QTest::newRow("silent radio") << ""
                                  << "" << true
                                  << QStringList{"W id;", "S 200", "R ",
                                                 "M K3 Status|Unable to communicate with K3"}
                                  << QStringList{"Port: COM 1", "Settings: 38400,N,8,1",
                                                 "Port Open? False"}
                                  << false;
}

void TestConnect::states() {
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(bool, silent);
    QFETCH(QStringList, trace);
    QFETCH(QStringList, labels);
    QFETCH(bool, buttonsOn);
    ShellBench b;
    QCOMPARE(b.dialog().windowTitle(), QStringLiteral("Connection Interface"));
    QVERIFY(b.control<QPushButton>("cmdSend")->isDefault());  // Enter sends the command
    b.radio().faults().silent = silent;
    QStringList duringMessage;
    b.prompter.setHook([&](const PromptMessage &) {
        duringMessage << b.label("lblPortOpen") << QString::number(b.enabled("cmdTestComm"));
    });
    if (port != QLatin1String("-")) {
        b.pick("cboComPort", port);
        b.pick("cboBaudRate", baud);
        b.click("cmdConnect");
    }
    QCOMPARE(b.trace.lines(), trace);
    if (!trace.isEmpty()) {  // the port is open at the message, the buttons come on after it
        QCOMPARE(duringMessage, (QStringList{"Port Open? True", "0"}));
        QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
    }
    QCOMPARE(
        (QStringList{b.label("lblPortNumber"), b.label("lblPortSettings"), b.label("lblPortOpen")}),
        labels);
    QCOMPARE(b.connected(), buttonsOn);
    QCOMPARE(b.enabled("cmdTestComm"), buttonsOn);
    QCOMPARE(b.enabled("cmdSend"), buttonsOn);
    QVERIFY(b.enabled("cmdConnect"));
}

void TestConnect::autoInfoAtConnect_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("switchedOff");
    QTest::newRow("AI0") << 0 << false;
    QTest::newRow("AI1") << 1 << true;
    QTest::newRow("AI2") << 2 << false;
    QTest::newRow("AI3") << 3 << false;
}

void TestConnect::autoInfoAtConnect() {
    QFETCH(int, mode);
    QFETCH(bool, switchedOff);
    ShellBench b;
    b.radio().state().autoInfo = mode;
    b.click("cmdConnect");
    QCOMPARE(b.connection.autoInfo(), QStringLiteral("AI%1;").arg(mode));
    QCOMPARE(b.trace.writes().last(), switchedOff ? QStringLiteral("ai0;") : QStringLiteral("ai;"));
    QCOMPARE(b.radio().state().autoInfo, switchedOff ? 0 : mode);
}

void TestConnect::identityMustBeExact_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("report in front") << QByteArray("IF00014060000     -000000 0002000011 ;ID017;");
    QTest::newRow("twice") << QByteArray("ID017;ID017;");
    QTest::newRow("blank in front") << QByteArray(" ID017;");
    QTest::newRow("no semicolon") << QByteArray("ID017");
    QTest::newRow("another radio") << QByteArray("ID019;");
}

void TestConnect::identityMustBeExact() {
    QFETCH(QByteArray, answer);
    ShellBench b;
    b.com1 = [answer] {
        return std::make_unique<ScriptedTransport>(
            QMap<QByteArray, QByteArray>{{"id;", answer}, {"ai;", "AI1;"}});
    };
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(), QStringList{"K3 Status|Unable to communicate with K3"});
    QCOMPARE(b.trace.writes(), QStringList{"id;"});
    QVERIFY(!b.connected());
}

void TestConnect::secondConnectSendsNothing() {
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.pick("cboComPort", QStringLiteral("COM 7"));
    b.pick("cboBaudRate", QStringLiteral("4800"));
    b.click("cmdConnect");
    QVERIFY(b.trace.isEmpty());
    QVERIFY(b.prompter.messages().empty());
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Port: COM 1"));
    QVERIFY(b.connected());
}

void TestConnect::exchanges_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QString>("shown");  // in lblResponse after Send, lblInput after Test
    QTest::newRow("Send, empty box")
        << "cmdSend"
        << "" << false << QStringList{"W id;", "S 400", "R ID017;"} << "K3 Response: ID017;";
    QTest::newRow("Send fa") << "cmdSend"
                             << "fa" << false << QStringList{"W fa;", "S 400", "R FA00014060000;"}
                             << "K3 Response: FA00014060000;";
    QTest::newRow("Test") << "cmdTestComm"
                          << "" << false
                          << QStringList{"W id;", "S 100", "R ID017;", "M K3 Status|K3 is present"}
                          << "K3 Response: ID017;";
    QTest::newRow("Test, silent") << "cmdTestComm"
                                  << "" << true
                                  << QStringList{"W id;", "S 100", "R ",
                                                 "M K3 Status|Unable to communicate with K3"}
                                  << "K3 Response: ";
}

void TestConnect::exchanges() {
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(bool, silent);
    QFETCH(QStringList, trace);
    QFETCH(QString, shown);
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.radio().faults().silent = silent;
    b.control<QLineEdit>("txtCommand")->setText(typed);
    b.click(qPrintable(button));
    QCOMPARE(b.trace.lines(), trace);
    QCOMPARE(b.label(button == QLatin1String("cmdSend") ? "lblResponse" : "lblInput"), shown);
    if (button == QLatin1String("cmdSend"))
        QCOMPARE(b.control<QLineEdit>("txtCommand")->text(), QString());
    QVERIFY(b.connected());  // neither closes the port
}

void TestConnect::portErrors_data() {
    QTest::addColumn<QString>("port");  // a device path, a COM item, or how the port went away
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");  // ending in a blank: the platform's words follow
    const QString invalid = QStringLiteral("Invalid COM port number. Select another COM port");
    QTest::newRow("no such device") << "/dev/corvane-no-such-port"
                                    << "cmdConnect" << invalid;
    QTest::newRow("COM 20") << "COM 20"
                            << "cmdConnect" << invalid;
    QTest::newRow("closed under us") << "closed"
                                     << "cmdSend"
                                     << "Port is closed. Be sure you are connected to the K3";
    QTest::newRow("not a serial device") << "/dev/null"
                                         << "cmdConnect"
                                         << "Serial port error ";
    QTest::newRow("unplugged") << "vanish"
                               << "cmdSend"
                               << "Serial port error ";
    QTest::newRow("in use") << "pty"
                            << "cmdConnect"
                            << "Port is already open. Close other applications using ";
}

void TestConnect::portErrors() {
    QFETCH(QString, port);
    QFETCH(QString, button);
    QFETCH(QString, message);
    if (port == QLatin1String("COM 20") && QFileInfo::exists(comPortDevice(20)))
        QSKIP("this machine has a COM 20");
    Pty pty;
    QSerialPort holder(pty.slavePath());  // another program holding the port
    ShellBench b;
    if (port == QLatin1String("pty")) {
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        b.detect(pty.slavePath());
    } else if (port.startsWith(u'/')) {
        b.detect(port);
    } else if (port.startsWith(QLatin1String("COM"))) {
        b.pick("cboComPort", port);
    } else {
        QVERIFY(b.connectQuietly());
        if (port == QLatin1String("vanish"))
            b.radio().faults().vanished = true;
        else
            b.connection.link().transport()->close();
    }
    const QString labelBefore = b.label("lblPortOpen");
    b.click(qPrintable(button));
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    const PromptMessage shown = b.prompter.messages().front();
    QCOMPARE(shown.title, QStringLiteral("Serial Port Error"));
    QCOMPARE(shown.icon, MessageIcon::Critical);
    if (port == QLatin1String("pty"))
        QCOMPARE(shown.text, message + pty.slavePath());
    else if (message.endsWith(u' '))
        QVERIFY2(shown.text.startsWith(message) && shown.text.size() > message.size(),
                 qPrintable(shown.text));
    else
        QCOMPARE(shown.text, message);
    QCOMPARE(b.label("lblPortOpen"), labelBefore);  // the action stopped before it
    if (button == QLatin1String("cmdConnect")) QVERIFY(!b.connected() && !b.enabled("cmdSend"));
}

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
