// SerialTransport over a pseudo-terminal that the test creates and plays the radio on.

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"
#include "ptyradio.h"
#include "tst_link.h"

using namespace corvane;

namespace {

// A link over the pty on the real clock, with its trace.
struct PtyLink {
    PtyRadio radio;
    RealClock clock;
    LinkTrace trace;
    RadioLink link{clock};
    SerialTransport *port = nullptr;

    PortError open() {
        auto transport = std::make_unique<SerialTransport>(radio.slavePath());
        port = transport.get();
        link.setTransport(std::move(transport));
        link.setTrace(&trace);
        return link.open();
    }
};

#define OPEN_PTY_LINK(name)                                    \
    PtyLink name;                                              \
    QVERIFY2(name.radio.isValid(), "no pseudo-terminal");      \
    QCOMPARE(int(name.open().kind), int(PortErrorKind::None)); \
    QVERIFY(name.link.isConnected())

}  // namespace

int holdPortUntilInputCloses(const QString &device) {
    SerialTransport port(device);
    const PortError error = port.open(38400);
    std::printf("%s\n", error.isError() ? "error" : "held");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return error.isError() ? 1 : 0;
}

void SerialTransportTest::silentRadioGivesEmptyText() {
    OPEN_PTY_LINK(p);
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(p.trace.lines(), QStringList({"W id;", "S 100", "R "}));
    QCOMPARE(p.radio.received(), QByteArray("id;"));
    QVERIFY(!p.link.lastError().isError());
}

void SerialTransportTest::lateAnswerLeadsTheNextRead() {
    OPEN_PTY_LINK(p);
    p.radio.setAnswer("id;", "ID017;");
    QCOMPARE(p.link.queryRadio(QStringLiteral("fa;"), 100), QString());
    // The radio answers after the wait has ended.
    p.radio.send("FA00014060000;");
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 200), QStringLiteral("FA00014060000;ID017;"));
    QCOMPARE(p.trace.lines(),
             QStringList({"W fa;", "S 100", "R ", "W id;", "S 200", "R FA00014060000;ID017;"}));
}

void SerialTransportTest::autoInfoAnswerKeptWhole() {
    OPEN_PTY_LINK(p);
    p.radio.setAnswer("ai;", "AI1;");
    const QString answer = p.link.queryRadio(QStringLiteral("ai;"), 200);
    QCOMPARE(answer, QStringLiteral("AI1;"));
    QCOMPARE(answer.size(), 4);
}

void SerialTransportTest::bytesAbove127KeptBothWays() {
    OPEN_PTY_LINK(p);
    QByteArray high;
    for (int code = 128; code <= 255; ++code) high.append(char(code));
    p.radio.setAnswer("ds;", "DS" + high + ";");
    const QString answer = p.link.queryRadio(QStringLiteral("ds;"), 200);
    QCOMPARE(answer.size(), 2 + 128 + 1);
    for (int code = 128; code <= 255; ++code) QCOMPARE(answer.at(2 + code - 128).unicode(), code);

    // Written text is one byte per character as well.
    p.link.sendCommand(QString::fromLatin1("\xb0\xff;"), 100);
    QCOMPARE(p.radio.received(), QByteArray("ds;\xb0\xff;"));
}

void SerialTransportTest::dropsDtrAndRtsAfterOpen() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    SerialTransport port(radio.slavePath());
    QVERIFY(port.modemLineCalls().isEmpty());
    QVERIFY(!port.open(38400).isError());
    // A pty has no modem lines: both calls are made, both fail, and the port stays usable.
    QCOMPARE(port.modemLineCalls(), QStringList({"DTR off failed", "RTS off failed"}));
    QVERIFY(port.isOpen());
    QVERIFY(!port.write("id;").isError());
}

void SerialTransportTest::portSettings_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("speed");
    QTest::newRow("4800") << 4800 << int(B4800);
    QTest::newRow("9600") << 9600 << int(B9600);
    QTest::newRow("19200") << 19200 << int(B19200);
    QTest::newRow("38400") << 38400 << int(B38400);
}

void SerialTransportTest::portSettings() {
    QFETCH(int, baud);
    QFETCH(int, speed);
    PtyRadio radio;
    QVERIFY(radio.isValid());
    SerialTransport port(radio.slavePath());
    QVERIFY(!port.open(baud).isError());
    // The terminal settings are shared by every descriptor of the device.
    const int fd = ::open(radio.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios tio{};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE(int(cfgetispeed(&tio)), speed);
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(tio.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void SerialTransportTest::missingDeviceIsNoSuchPort() {
    SerialTransport port(QStringLiteral("/dev/corvane-no-such-device"));
    const PortError error = port.open(38400);
    QCOMPARE(int(error.kind), int(PortErrorKind::NoSuchPort));
    QVERIFY(!port.isOpen());
    QVERIFY(port.modemLineCalls().isEmpty());
}

void SerialTransportTest::portHeldInThisProcessIsInUse() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    SerialTransport first(radio.slavePath());
    QVERIFY(!first.open(38400).isError());
    SerialTransport second(radio.slavePath());
    const PortError error = second.open(38400);
    QCOMPARE(int(error.kind), int(PortErrorKind::InUse));
    QVERIFY(!second.isOpen());
    QVERIFY(first.isOpen());

    // Once the first lets go, the port opens again.
    first.close();
    QVERIFY(!second.open(38400).isError());
}

void SerialTransportTest::portHeldByChildProcessIsInUse() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kHoldPortVariable), radio.slavePath());
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(20000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    SerialTransport port(radio.slavePath());
    QCOMPARE(int(port.open(38400).kind), int(PortErrorKind::InUse));
    QVERIFY(!port.isOpen());

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(20000));
    QCOMPARE(holder.exitCode(), 0);
    QVERIFY(!port.open(38400).isError());
}

void SerialTransportTest::exchangeOnClosedPortIsNotOpen() {
    PtyRadio radio;
    QVERIFY(radio.isValid());
    SerialTransport port(radio.slavePath());
    QCOMPARE(int(port.write("id;").kind), int(PortErrorKind::NotOpen));
    PortError error;
    QCOMPARE(port.readAll(&error), QByteArray());
    QCOMPARE(int(error.kind), int(PortErrorKind::NotOpen));

    QVERIFY(!port.open(38400).isError());
    port.close();
    QCOMPARE(int(port.write("id;").kind), int(PortErrorKind::NotOpen));
    QVERIFY(radio.received().isEmpty());
}

void SerialTransportTest::vanishedDeviceIsOtherAndCloses() {
    OPEN_PTY_LINK(p);
    p.radio.setAnswer("id;", "ID017;");
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 200), QStringLiteral("ID017;"));
    p.radio.vanish();
    // The next exchange meets the missing device: an error of its own kind, and the port
    // is closed without a crash.
    const QString answer = p.link.queryRadio(QStringLiteral("id;"), 100);
    QCOMPARE(answer, QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::Other));
    QVERIFY(!p.link.lastError().description.isEmpty());
    QVERIFY(!p.port->isOpen());
    QVERIFY(!p.link.isConnected());
    // Nothing more happens on the gone port.
    p.link.clearError();
    QCOMPARE(p.link.queryRadio(QStringLiteral("id;"), 100), QString());
    QCOMPARE(int(p.link.lastError().kind), int(PortErrorKind::NotOpen));
}

void SerialTransportTest::errorMapping_data() {
    QTest::addColumn<int>("qtError");
    QTest::addColumn<bool>("accessible");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("dialoutHint");
    QTest::newRow("none") << int(QSerialPort::NoError) << true << int(PortErrorKind::None) << false;
    QTest::newRow("not found") << int(QSerialPort::DeviceNotFoundError) << true
                               << int(PortErrorKind::NoSuchPort) << false;
    QTest::newRow("locked by another")
        << int(QSerialPort::PermissionError) << true << int(PortErrorKind::InUse) << false;
    QTest::newRow("no permission")
        << int(QSerialPort::PermissionError) << false << int(PortErrorKind::Other) << true;
    QTest::newRow("already open") << int(QSerialPort::OpenError) << true
                                  << int(PortErrorKind::InUse) << false;
    QTest::newRow("not open") << int(QSerialPort::NotOpenError) << true
                              << int(PortErrorKind::NotOpen) << false;
    QTest::newRow("removed") << int(QSerialPort::ResourceError) << true << int(PortErrorKind::Other)
                             << false;
    QTest::newRow("write") << int(QSerialPort::WriteError) << true << int(PortErrorKind::Other)
                           << false;
    QTest::newRow("unknown") << int(QSerialPort::UnknownError) << true << int(PortErrorKind::Other)
                             << false;
}

void SerialTransportTest::errorMapping() {
    QFETCH(int, qtError);
    QFETCH(bool, accessible);
    QFETCH(int, kind);
    QFETCH(bool, dialoutHint);
    const QString description = QStringLiteral("what Qt says");
    const PortError error =
        portErrorFrom(QSerialPort::SerialPortError(qtError), description, accessible);
    QCOMPARE(int(error.kind), kind);
    if (error.isError()) QVERIFY(error.description.startsWith(description));
    QCOMPARE(error.description.contains(QStringLiteral("dialout")), dialoutHint);
}
