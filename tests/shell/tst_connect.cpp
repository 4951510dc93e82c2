// The connection dialog over the simulator: what Connect, Test Communications and Send
// Command exchange and show, its states, the four port errors caused for real, and the
// simulator's control window.

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSerialPort>

#include "link/ui/frmk3simulator.h"
#include "shellbench.h"

using namespace corvane;

class TestConnect : public QObject {
    Q_OBJECT
private slots:
    void dialogAtLoad();
    void portListHoldsDetectedPortsAndSimulator();
    void connectWithNoSelection();
    void connectAtChosenBaud();
    void autoInfoAtConnect_data();
    void autoInfoAtConnect();
    void portWithNothingBehindIt();
    void identityMustBeExact_data();
    void identityMustBeExact();
    void secondConnectSendsNothing();
    void testCommunications();
    void sendCommand_data();
    void sendCommand();
    void enterSendsTheCommand();
    void portErrors_data();
    void portErrors();
    void portInUseByAnotherProgram();
    void inUseNamesTheComPort();
    void closeKeepsTheLink();
    void simulatorWindowFollowsThePick();
};

void TestConnect::dialogAtLoad() {
    ShellBench b;
    frmConnect &d = b.dialog();
    QCOMPARE(d.objectName(), QStringLiteral("frmConnect"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Connection Interface"));
    QCOMPARE(b.label("lblComPort"), QStringLiteral("Select COM Port:"));
    QCOMPARE(b.label("Label1"), QStringLiteral("Select Baud Rate:"));
    QCOMPARE(b.label("lblInstructions"),
             QStringLiteral("Set K3 CONFIG:RS232 to desired baud rate. Select same baud rate in "
                            "drop down control."));
    QCOMPARE(b.label("lblDefault"),
             QStringLiteral("The default communications settings are COM 1, 38400 baud, no "
                            "parity, 8 data bits, 1 stop bit."));
    QCOMPARE(b.label("lblSendCmd"),
             QStringLiteral("To send a command to the K3 enter it in textbox and press Enter. Do "
                            "not include the \";\" character at the end of the command."));
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Com Port Number: xxxx"));
    QCOMPARE(b.label("lblPortSettings"), QStringLiteral("Port Settings: xxxx"));
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? xxxx"));
    QCOMPARE(b.label("lblInput"), QStringLiteral("K3 Response"));
    QCOMPARE(b.label("lblResponse"), QStringLiteral("K3 Response"));

    const struct {
        const char *name, *text, *tip;
    } buttons[] = {
        {"cmdConnect", "Connect", "Click to connect to K3"},
        {"cmdTestComm", "Test Communications", "Click to test communications with K3"},
        {"cmdSend", "Send Command", "Click to send a command to K3, or press Enter"},
        {"cmdClose", "Close", "Click to hide this form"},
    };
    for (const auto &button : buttons) {
        auto *w = b.control<QPushButton>(button.name);
        QVERIFY2(w, button.name);
        QCOMPARE(w->text(), QLatin1String(button.text));
        QCOMPARE(w->toolTip(), QLatin1String(button.tip));
    }
    QCOMPARE(b.control<QLineEdit>("txtCommand")->toolTip(),
             QStringLiteral("Enter command to send to K3. Do not include semicolon."));
    QVERIFY(b.control<QPushButton>("cmdSend")->isDefault());
    QVERIFY(!b.control<QPushButton>("cmdTestComm")->isEnabled());
    QVERIFY(!b.control<QPushButton>("cmdSend")->isEnabled());
    QVERIFY(b.control<QPushButton>("cmdConnect")->isEnabled());

    auto *ports = b.control<QComboBox>("cboComPort");
    auto *bauds = b.control<QComboBox>("cboBaudRate");
    QCOMPARE(ports->currentIndex(), -1);
    QCOMPARE(ports->placeholderText(), QStringLiteral("Select Port"));
    QCOMPARE(bauds->currentIndex(), -1);
    QCOMPARE(bauds->placeholderText(), QStringLiteral("Select kBPS"));
    QVERIFY(!ports->isEditable() && !bauds->isEditable());  // typed text cannot count
    QCOMPARE(b.control<QLabel>("lblComPort")->buddy(), ports);
    QCOMPARE(b.control<QLabel>("Label1")->buddy(), bauds);
    QStringList baudTexts;
    for (int i = 0; i < bauds->count(); ++i) {
        baudTexts << bauds->itemText(i);
        QCOMPARE(bauds->itemData(i).toInt(), bauds->itemText(i).toInt());
    }
    QCOMPARE(baudTexts, (QStringList{"4800", "9600", "19200", "38400"}));
    QVERIFY(b.trace.isEmpty());  // loading talks to nobody
}

void TestConnect::portListHoldsDetectedPortsAndSimulator() {
    ShellBench b;
    b.detected = {{QStringLiteral("/dev/ttyUSB3"), QStringLiteral("/dev/ttyUSB3")},
                  {QStringLiteral("/tmp/corvane-k3sim-1"), QStringLiteral("/tmp/corvane-k3sim-1")}};
    b.dialog().refreshDetectedPorts();
    auto *ports = b.control<QComboBox>("cboComPort");
    QCOMPARE(ports->count(), 23);
    for (int n = 1; n <= 20; ++n) {
        QCOMPARE(ports->itemText(n - 1), QStringLiteral("COM %1").arg(n));
        QCOMPARE(ports->itemData(n - 1).toInt(), n);
    }
    QCOMPARE(ports->itemText(20), QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(ports->itemData(21).toString(), QStringLiteral("/tmp/corvane-k3sim-1"));
    QCOMPARE(ports->itemText(22), QStringLiteral("K3 Simulator (built in)"));

    // A refresh keeps the pick; a port that went away is no longer picked.
    b.pickPort(QStringLiteral("K3 Simulator (built in)"));
    b.detected.removeFirst();
    b.dialog().refreshDetectedPorts();
    QCOMPARE(ports->count(), 22);
    QCOMPARE(ports->currentText(), QStringLiteral("K3 Simulator (built in)"));
    b.pickPort(QStringLiteral("/tmp/corvane-k3sim-1"));
    b.detected.clear();
    b.dialog().refreshDetectedPorts();
    QCOMPARE(ports->currentIndex(), -1);
    QCOMPARE(b.dialog().chosenPortSpec(), QStringLiteral("COM 1"));
}

void TestConnect::connectWithNoSelection() {
    ShellBench b;
    bool buttonsDuringMessage = true;
    QString openLabelDuringMessage;
    b.prompter.setHook([&](const PromptMessage &) {
        buttonsDuringMessage = b.control<QPushButton>("cmdTestComm")->isEnabled();
        openLabelDuringMessage = b.label("lblPortOpen");
    });
    b.click("cmdConnect");
    QCOMPARE(b.trace.lines(),
             (QStringList{"W id;", "S 200", "R ID017;",
                          "M K3 Status|K3 is connected and communicating at: 38400,N,8,1", "W ai;",
                          "S 100", "R AI0;"}));
    QCOMPARE(b.prompter.messages().front().icon, MessageIcon::Information);
    QVERIFY2(!buttonsDuringMessage, "the buttons come on after the message is closed");
    QCOMPARE(openLabelDuringMessage, QStringLiteral("Port Open? True"));
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Port: COM 1"));
    QCOMPARE(b.label("lblPortSettings"), QStringLiteral("Settings: 38400,N,8,1"));
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? True"));
    QVERIFY(b.connection.link().isConnected());
    QCOMPARE(b.connection.link().portNumber(), 1);
    QVERIFY(b.control<QPushButton>("cmdTestComm")->isEnabled());
    QVERIFY(b.control<QPushButton>("cmdSend")->isEnabled());
    QCOMPARE(b.connection.autoInfo(), QStringLiteral("AI0;"));
}

void TestConnect::connectAtChosenBaud() {
    ShellBench b;
    b.pickPort(QStringLiteral("K3 Simulator (built in)"));
    b.pickBaud(QStringLiteral("9600"));
    b.click("cmdConnect");
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Port: K3 Simulator (built in)"));
    QCOMPARE(b.label("lblPortSettings"), QStringLiteral("Settings: 9600,N,8,1"));
    QCOMPARE(b.connection.link().baudRate(), 9600);
    QCOMPARE(b.prompter.summary().front(),
             QStringLiteral("K3 Status|K3 is connected and communicating at: 9600,N,8,1"));
}

void TestConnect::autoInfoAtConnect_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("switchedOff");
    QTest::newRow("AI0") << 0 << "AI0;" << false;
    QTest::newRow("AI1") << 1 << "AI1;" << true;
    QTest::newRow("AI2") << 2 << "AI2;" << false;
    QTest::newRow("AI3") << 3 << "AI3;" << false;
}

void TestConnect::autoInfoAtConnect() {
    QFETCH(int, mode);
    QFETCH(QString, answer);
    QFETCH(bool, switchedOff);
    ShellBench b;
    b.radio().state().autoInfo = mode;
    b.click("cmdConnect");
    QCOMPARE(b.connection.autoInfo(), answer);
    QCOMPARE(b.dialog().strAutoInf(), answer);
    QCOMPARE(b.trace.writes().contains(QStringLiteral("ai0;")), switchedOff);
    QCOMPARE(b.trace.writes().last(), switchedOff ? QStringLiteral("ai0;") : QStringLiteral("ai;"));
    QCOMPARE(b.radio().state().autoInfo, switchedOff ? 0 : mode);
}

void TestConnect::portWithNothingBehindIt() {
    ShellBench b;
    b.radio().faults().silent = true;
    QString openLabelDuringMessage;
    bool openDuringMessage = false;
    b.prompter.setHook([&](const PromptMessage &) {
        openLabelDuringMessage = b.label("lblPortOpen");
        openDuringMessage = b.connection.link().isConnected();
    });
    b.click("cmdConnect");
    QCOMPARE(b.trace.lines(),
             (QStringList{"W id;", "S 200", "R ", "M K3 Status|Unable to communicate with K3"}));
    QCOMPARE(openLabelDuringMessage, QStringLiteral("Port Open? True"));
    QVERIFY(openDuringMessage);
    QVERIFY(!b.connection.link().isConnected());
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? False"));
    QVERIFY(!b.control<QPushButton>("cmdTestComm")->isEnabled());
    QVERIFY(!b.control<QPushButton>("cmdSend")->isEnabled());
    QCOMPARE(b.connection.autoInfo(), QString());

    // The user can try again once the radio answers.
    b.radio().faults().silent = false;
    b.click("cmdConnect");
    QVERIFY(b.connection.link().isConnected());
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? True"));
}

void TestConnect::identityMustBeExact_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("report in front") << QByteArray("IF00014060000     -000000 0002000011 ;ID017;");
    QTest::newRow("twice") << QByteArray("ID017;ID017;");
    QTest::newRow("blank in front") << QByteArray(" ID017;");
    QTest::newRow("no semicolon") << QByteArray("ID017");
    QTest::newRow("lower case") << QByteArray("id017;");
    QTest::newRow("another radio") << QByteArray("ID019;");
}

void TestConnect::identityMustBeExact() {
    QFETCH(QByteArray, answer);
    ShellBench b;
    b.ports[QStringLiteral("COM 1")] = [answer] {
        return std::make_unique<ScriptedTransport>(
            QMap<QByteArray, QByteArray>{{"id;", answer}, {"ai;", "AI1;"}});
    };
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(), QStringList{"K3 Status|Unable to communicate with K3"});
    QCOMPARE(b.trace.writes(), QStringList{"id;"});
    QVERIFY(!b.connection.link().isConnected());
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? False"));
}

void TestConnect::secondConnectSendsNothing() {
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.pickPort(QStringLiteral("COM 7"));
    b.pickBaud(QStringLiteral("4800"));
    b.click("cmdConnect");
    QVERIFY(b.trace.isEmpty());
    QVERIFY(b.prompter.messages().empty());
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Port: COM 1"));
    QCOMPARE(b.connection.link().settings(), QStringLiteral("38400,N,8,1"));
    QVERIFY(b.connection.link().isConnected());
}

void TestConnect::testCommunications() {
    ShellBench b;
    QVERIFY(b.connectQuietly());
    QString labelDuringMessage;
    b.prompter.setHook([&](const PromptMessage &) { labelDuringMessage = b.label("lblInput"); });
    b.click("cmdTestComm");
    QCOMPARE(b.trace.lines(),
             (QStringList{"W id;", "S 100", "R ID017;", "M K3 Status|K3 is present"}));
    QCOMPARE(labelDuringMessage, QStringLiteral("K3 Response: ID017;"));

    b.trace.clear();
    b.radio().faults().silent = true;
    b.click("cmdTestComm");
    QCOMPARE(b.trace.lines(),
             (QStringList{"W id;", "S 100", "R ", "M K3 Status|Unable to communicate with K3"}));
    QCOMPARE(b.label("lblInput"), QStringLiteral("K3 Response: "));
    QVERIFY(b.connection.link().isConnected());  // the test never closes the port
}

void TestConnect::sendCommand_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty box") << ""
                               << "id;"
                               << "K3 Response: ID017;";
    QTest::newRow("fa") << "fa"
                        << "fa;"
                        << "K3 Response: FA00014060000;";
    QTest::newRow("upper case kept") << "MD"
                                     << "MD;"
                                     << "K3 Response: MD3;";
    QTest::newRow("a setting: no answer") << "ag010"
                                          << "ag010;"
                                          << "K3 Response: ";
}

void TestConnect::sendCommand() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, shown);
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.control<QLineEdit>("txtCommand")->setText(typed);
    b.click("cmdSend");
    QCOMPARE(b.trace.lines(), (QStringList{"W " + written, "S 400", "R " + shown.mid(13)}));
    QCOMPARE(b.label("lblResponse"), shown);
    QCOMPARE(b.control<QLineEdit>("txtCommand")->text(), QString());
    QVERIFY(b.prompter.messages().empty());
}

void TestConnect::enterSendsTheCommand() {
    ShellBench b;
    QVERIFY(b.connectQuietly());
    b.dialog().showForm();
    auto *box = b.control<QLineEdit>("txtCommand");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("fa"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(b.trace.writes(), QStringList{"fa;"});
    QCOMPARE(b.label("lblResponse"), QStringLiteral("K3 Response: FA00014060000;"));
    b.dialog().hideForm();
}

void TestConnect::portErrors_data() {
    QTest::addColumn<QString>("port");  // a detected port path, or empty for the simulator
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("device that does not exist")
        << "/dev/corvane-no-such-port"
        << "cmdConnect"
        << "Invalid COM port number. Select another COM port";
    QTest::newRow("COM 20: no such port here")
        << "COM 20"
        << "cmdConnect"
        << "Invalid COM port number. Select another COM port";
    QTest::newRow("exchange on a closed port")
        << ""
        << "cmdSend"
        << "Port is closed. Be sure you are connected to the K3";
    QTest::newRow("test on a closed port") << ""
                                           << "cmdTestComm"
                                           << "Port is closed. Be sure you are connected to the K3";
    QTest::newRow("not a serial device") << "/dev/null"
                                         << "cmdConnect"
                                         << "Serial port error ";
    QTest::newRow("adapter unplugged while connected") << "vanish"
                                                       << "cmdSend"
                                                       << "Serial port error ";
}

void TestConnect::portErrors() {
    QFETCH(QString, port);
    QFETCH(QString, action);
    QFETCH(QString, message);
    if (port == QLatin1String("COM 20") && QFileInfo::exists(comPortDevice(20)))
        QSKIP("this machine has a COM 20");
    ShellBench b;
    if (port.startsWith(u'/')) {
        b.detected = {{port, port}};
        b.dialog().refreshDetectedPorts();
        b.pickPort(port);
    } else if (port.startsWith(QLatin1String("COM"))) {
        b.pickPort(port);
    } else {
        QVERIFY(b.connectQuietly());
        if (port == QLatin1String("vanish"))
            b.radio().faults().vanished = true;
        else
            b.connection.link().transport()->close();  // the port went away under us
    }
    const QString labelBefore = b.label("lblPortOpen");
    b.click(action.toLatin1().constData());
    QCOMPARE(b.prompter.messages().size(), size_t(1));
    const PromptMessage shown = b.prompter.messages().front();
    QCOMPARE(shown.title, QStringLiteral("Serial Port Error"));
    QCOMPARE(shown.icon, MessageIcon::Critical);
    if (message.endsWith(u' ')) {
        QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text));
        QVERIFY2(shown.text.size() > message.size(), "the platform's description follows");
    } else {
        QCOMPARE(shown.text, message);
    }
    QCOMPARE(b.label("lblPortOpen"), labelBefore);  // the action stopped before it
    if (action == QLatin1String("cmdConnect")) {
        QVERIFY(!b.connection.link().isConnected());
        QVERIFY(!b.control<QPushButton>("cmdSend")->isEnabled());
        QVERIFY(b.label("lblPortNumber").startsWith(QLatin1String("Port: ")));
    }
}

void TestConnect::portInUseByAnotherProgram() {
    Pty pty;
    if (!pty.isValid()) QSKIP("no pseudo-terminals here");
    QSerialPort holder(pty.slavePath());  // another program holding the port
    QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
    ShellBench b;
    b.detected = {{pty.slavePath(), pty.slavePath()}};
    b.dialog().refreshDetectedPorts();
    b.pickPort(pty.slavePath());
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(),
             QStringList{"Serial Port Error|Port is already open. Close other applications "
                         "using " +
                         pty.slavePath()});
    QVERIFY(!b.connection.link().isConnected());

    // Once the other program lets go, the same port opens (and nobody answers on it).
    holder.close();
    b.prompter.clear();
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(), QStringList{"K3 Status|Unable to communicate with K3"});
}

void TestConnect::inUseNamesTheComPort() {
    ShellBench b;
    b.ports[QStringLiteral("COM 3")] = [] {
        return std::make_unique<ScriptedTransport>(
            QMap<QByteArray, QByteArray>{},
            PortError{PortErrorKind::InUse, QStringLiteral("Device or resource busy")});
    };
    b.pickPort(QStringLiteral("COM 3"));
    b.click("cmdConnect");
    QCOMPARE(b.prompter.summary(),
             QStringList{"Serial Port Error|Port is already open. Close other applications "
                         "using COM 3"});
    QCOMPARE(b.label("lblPortNumber"), QStringLiteral("Port: COM 3"));
    QCOMPARE(b.label("lblPortOpen"), QStringLiteral("Port Open? xxxx"));
}

void TestConnect::closeKeepsTheLink() {
    ShellBench b;
    QVERIFY(b.connectQuietly());
    QPointer<frmConnect> dialog = &b.dialog();
    dialog->showForm();
    b.click("cmdClose");
    QVERIFY(dialog->isHidden());
    dialog->showForm();
    QVERIFY(dialog->close());  // the frame's close box
    QCoreApplication::processEvents();
    QVERIFY(dialog);  // still the same dialog
    QVERIFY(dialog->isHidden());
    QVERIFY(b.connection.link().isConnected());
    QCOMPARE(b.connection.autoInfo(), QStringLiteral("AI0;"));
    QVERIFY(b.trace.isEmpty());
}

void TestConnect::simulatorWindowFollowsThePick() {
    ShellBench b;
    QVERIFY(!b.connection.simulatorWindow());
    b.pickPort(QStringLiteral("COM 2"));
    auto *ports = b.control<QComboBox>("cboComPort");
    ports->setFocus();
    QTest::keyClick(ports, Qt::Key_End);  // the user picks the last item, the simulator
    QCOMPARE(ports->currentText(), QStringLiteral("K3 Simulator (built in)"));
    frmK3Simulator *window = b.connection.simulatorWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("K3 Simulator"));

    auto *generator = window->findChild<QCheckBox *>(QStringLiteral("chkGenerator"));
    auto *level = window->findChild<QDoubleSpinBox *>(QStringLiteral("spnLevel"));
    auto *frequency = window->findChild<QDoubleSpinBox *>(QStringLiteral("spnFrequency"));
    auto *kat3 = window->findChild<QComboBox *>(QStringLiteral("cboKat3"));
    auto *noise = window->findChild<QCheckBox *>(QStringLiteral("chkNoise"));
    auto *autoInfo = window->findChild<QComboBox *>(QStringLiteral("cboAutoInfo"));
    QVERIFY(generator && level && frequency && kat3 && noise && autoInfo);
    QCOMPARE(generator->isChecked(), b.radio().generator().on);
    QCOMPARE(level->value(), b.radio().generator().levelDbm);

    generator->setChecked(!b.radio().generator().on);
    QCOMPARE(b.radio().generator().on, generator->isChecked());
    level->setValue(-107.0);
    QCOMPARE(b.radio().generator().levelDbm, -107.0);
    frequency->setValue(7040.5);
    QCOMPARE(b.radio().generator().frequencyHz, 7040500.0);
    kat3->setCurrentIndex(2);
    QVERIFY(b.radio().state().kat3Installed && !b.radio().state().kat3Bypassed);
    kat3->setCurrentIndex(1);
    QVERIFY(b.radio().state().kat3Installed && b.radio().state().kat3Bypassed);
    kat3->setCurrentIndex(0);
    QVERIFY(!b.radio().state().kat3Installed);
    noise->setChecked(false);
    QVERIFY(!b.radio().noiseEnabled());
    autoInfo->setCurrentIndex(1);
    QCOMPARE(b.radio().state().autoInfo, 1);

    // What the simulator does meanwhile shows when the window is shown again.
    window->hideForm();
    b.radio().generator().on = true;
    b.radio().generator().levelDbm = -73.0;
    QCOMPARE(b.connection.showSimulatorWindow(), window);
    QVERIFY(generator->isChecked());
    QCOMPARE(level->value(), -73.0);

    // Picking it connects to the same simulator the window drives.
    b.click("cmdConnect");
    QVERIFY(b.connection.link().isConnected());
    QCOMPARE(b.connection.autoInfo(), QStringLiteral("AI1;"));
}

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
