// Port names, the port factory, the port error texts, and the TCP port.

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/portnames.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"
#include "link/simtransport.h"
#include "link/tcptransport.h"
#include "tst_link.h"

using namespace corvane;

namespace {

// A radio behind a TCP port: answers commands from a table as they arrive.
class TcpRadio : public QObject {
public:
    explicit TcpRadio(QObject *parent = nullptr) : QObject(parent) {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_client = m_server.nextPendingConnection();
            connect(m_client, &QTcpSocket::readyRead, this, [this] {
                m_pending += m_client->readAll();
                for (int end = m_pending.indexOf(';'); end >= 0; end = m_pending.indexOf(';')) {
                    const QByteArray command = m_pending.left(end + 1);
                    m_pending.remove(0, end + 1);
                    m_client->write(m_answers.value(command));
                }
            });
        });
    }
    QString spec() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_server.serverPort()); }
    void setAnswer(const QByteArray &command, const QByteArray &answer) {
        m_answers[command] = answer;
    }
    void hangUp() {
        if (m_client) m_client->close();
    }

private:
    QTcpServer m_server;
    QTcpSocket *m_client = nullptr;
    QMap<QByteArray, QByteArray> m_answers;
    QByteArray m_pending;
};

}  // namespace

void PortNamesTest::comPortNumbers_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<int>("number");  // 0: not a COM port
    QTest::newRow("COM 1") << "COM 1" << 1;
    QTest::newRow("no blank") << "COM3" << 3;
    QTest::newRow("blanks around") << "  COM 5 " << 5;
    QTest::newRow("leading zero is decimal") << "COM 08" << 8;
    QTest::newRow("zero") << "COM 0" << 0;
    QTest::newRow("device path") << "/dev/ttyS0" << 0;
    QTest::newRow("trailing text") << "COM 1x" << 0;
}

void PortNamesTest::comPortNumbers() {
    QFETCH(QString, spec);
    QFETCH(int, number);
    const auto found = comPortNumber(spec);
    QCOMPARE(found.value_or(0), number);
}

void PortNamesTest::comPortDevices() {
#ifdef Q_OS_WIN
    QCOMPARE(comPortDevice(1), QStringLiteral("COM1"));
#else
    QCOMPARE(comPortDevice(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(comPortDevice(20), QStringLiteral("/dev/ttyS19"));
#endif
}

void PortNamesTest::simulatorLinks() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("pts-standin"));
    QFile standIn(target);
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    standIn.close();
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("corvane-k3sim-2"))));
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("corvane-k3sim-1"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                        dir.filePath(QStringLiteral("corvane-k3sim-3"))));
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("other-link"))));
    QFile plain(dir.filePath(QStringLiteral("corvane-k3sim-4")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    const auto links = corvane::simulatorLinks(dir.path());
    QStringList names;
    for (const auto &link : links) names << link.name;
    QCOMPARE(names, QStringList({dir.filePath(QStringLiteral("corvane-k3sim-1")),
                                 dir.filePath(QStringLiteral("corvane-k3sim-2"))}));

    // The detected list looks in ${TMPDIR:-/tmp}.
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const auto detected = detectedPorts();
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);
    QStringList detectedNames;
    for (const auto &port : detected) detectedNames << port.name;
    QVERIFY(detectedNames.endsWith(names.last()));
    QVERIFY(detectedNames.contains(names.first()));
}

void PortNamesTest::detectedPortsLeaveOutNumberedPorts() {
    const QRegularExpression numbered(QStringLiteral(R"(^/dev/ttyS(\d|1\d)$)"));
    for (const auto &port : detectedPorts()) {
        QVERIFY2(!numbered.match(port.location).hasMatch(), qPrintable(port.location));
        QCOMPARE(port.name, port.location);
    }
}

void PortNamesTest::factory_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("sim") << "sim"
                         << "sim"
                         << "K3 Simulator (built in)";
    QTest::newRow("SIM") << " SIM "
                         << "sim"
                         << "K3 Simulator (built in)";
    QTest::newRow("tcp") << "tcp://localhost:7373"
                         << "tcp"
                         << "tcp://localhost:7373";
    QTest::newRow("COM 3") << "COM 3"
                           << "serial" << comPortDevice(3);
    QTest::newRow("device") << "/dev/ttyUSB0"
                            << "serial"
                            << "/dev/ttyUSB0";
    QTest::newRow("link") << "/tmp/corvane-k3sim-1"
                          << "serial"
                          << "/tmp/corvane-k3sim-1";
}

void PortNamesTest::factory() {
    QFETCH(QString, spec);
    QFETCH(QString, kind);
    QFETCH(QString, name);
    VirtualClock clock;
    auto simulator = std::make_shared<sim::K3Simulator>();
    const auto transport = makeTransport(spec, clock, simulator);
    QVERIFY(transport);
    QCOMPARE(transport->name(), name);
    QString made;
    if (auto *simPort = dynamic_cast<SimTransport *>(transport.get())) {
        made = QStringLiteral("sim");
        QCOMPARE(&simPort->simulator(), simulator.get());
    } else if (dynamic_cast<TcpTransport *>(transport.get())) {
        made = QStringLiteral("tcp");
    } else if (dynamic_cast<SerialTransport *>(transport.get())) {
        made = QStringLiteral("serial");
    }
    QCOMPARE(made, kind);
    QVERIFY(!transport->isOpen());

    // Without a simulator of the caller's, "sim" brings its own.
    if (kind == QLatin1String("sim")) {
        const auto own = makeTransport(spec, clock, nullptr);
        QVERIFY(!own->open(38400).isError());
    }
}

void PortNamesTest::errorTexts_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << int(PortErrorKind::None) << "COM 1"
                          << "";
    QTest::newRow("no such port") << int(PortErrorKind::NoSuchPort) << "COM 7"
                                  << "Invalid COM port number. Select another COM port";
    QTest::newRow("in use COM") << int(PortErrorKind::InUse) << "COM 7"
                                << "Port is already open. Close other applications using COM 7";
    QTest::newRow("in use device") << int(PortErrorKind::InUse) << "/dev/ttyUSB0"
                                   << "Port is already open. Close other applications using "
                                      "/dev/ttyUSB0";
    QTest::newRow("not open") << int(PortErrorKind::NotOpen) << "COM 1"
                              << "Port is closed. Be sure you are connected to the K3";
    QTest::newRow("other") << int(PortErrorKind::Other) << "COM 1"
                           << "Serial port error Input/output error";
}

void PortNamesTest::errorTexts() {
    QFETCH(int, kind);
    QFETCH(QString, spec);
    QFETCH(QString, text);
    const PortError error{PortErrorKind(kind), QStringLiteral("Input/output error")};
    QCOMPARE(portErrorText(error, spec), text);
}

void PortNamesTest::tcpSpecs_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("name") << "tcp://localhost:7373" << true << "localhost" << 7373;
    QTest::newRow("upper case scheme") << "TCP://radio:23" << true << "radio" << 23;
    QTest::newRow("no port") << "tcp://localhost" << false << "" << 0;
    QTest::newRow("other scheme") << "udp://localhost:7373" << false << "" << 0;
    QTest::newRow("bad port") << "tcp://localhost:99999" << false << "" << 0;
}

void PortNamesTest::tcpSpecs() {
    QFETCH(QString, spec);
    QFETCH(bool, valid);
    QFETCH(QString, host);
    QFETCH(int, port);
    QString foundHost;
    quint16 foundPort = 0;
    QCOMPARE(TcpTransport::parseSpec(spec, &foundHost, &foundPort), valid);
    if (valid) {
        QCOMPARE(foundHost, host);
        QCOMPARE(int(foundPort), port);
    } else {
        QCOMPARE(int(TcpTransport(spec).open(38400).kind), int(PortErrorKind::NoSuchPort));
    }
}

void PortNamesTest::tcpExchange() {
    TcpRadio radio;
    QByteArray high;
    for (int code = 128; code <= 255; ++code) high.append(char(code));
    radio.setAnswer("id;", "ID017;");
    radio.setAnswer("ds;", "DS" + high + ";");
    RealClock clock;
    LinkTrace trace;
    RadioLink link(clock);
    link.setTrace(&trace);
    link.setTransport(makeTransport(radio.spec(), clock, nullptr));
    QVERIFY(!link.open().isError());
    QVERIFY(link.isConnected());
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 200), QStringLiteral("ID017;"));
    const QString display = link.queryRadio(QStringLiteral("ds;"), 200);
    QCOMPARE(display.toLatin1(), "DS" + high + ";");
    QCOMPARE(trace.lines(), QStringList({"W id;", "S 200", "R ID017;", "W ds;", "S 200",
                                         "R " + QString::fromLatin1("DS" + high + ";")}));
    link.close();
    QVERIFY(!link.isConnected());
}

void PortNamesTest::tcpNothingListening() {
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    TcpTransport transport(QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    const PortError error = transport.open(38400);
    QCOMPARE(int(error.kind), int(PortErrorKind::NoSuchPort));
    QVERIFY(!error.description.isEmpty());
    QVERIFY(!transport.isOpen());
}

void PortNamesTest::tcpFarEndCloses() {
    TcpRadio radio;
    radio.setAnswer("id;", "ID017;");
    RealClock clock;
    RadioLink link(clock);
    link.setTransport(makeTransport(radio.spec(), clock, nullptr));
    QVERIFY(!link.open().isError());
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 200), QStringLiteral("ID017;"));
    radio.hangUp();
    QCOMPARE(link.queryRadio(QStringLiteral("id;"), 200), QString());
    QCOMPARE(int(link.lastError().kind), int(PortErrorKind::Other));
    QVERIFY(!link.isConnected());
}
