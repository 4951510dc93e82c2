// corvane-k3sim as other programs meet it: a pseudo-terminal (or TCP port) that answers
// like a K3, a link to it, and a clean end on SIGTERM. Also Hamlib's rigctl against it.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

namespace {

// Generous bounds on how long to wait for the far end, not timing checks.
constexpr int kStartMs = 10000;
constexpr int kAnswerMs = 3000;

QString simulatorPath() {
    const QByteArray dir = qgetenv("CORVANE_BUILD_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-k3sim")
                         : QString::fromLocal8Bit(dir) + QStringLiteral("/bin/corvane-k3sim");
}

// Starts the simulator and returns the first line it prints ("PTY ..." or "TCP ...").
QString start(QProcess &process, const QStringList &arguments) {
    process.start(simulatorPath(), arguments);
    if (!process.waitForStarted(kStartMs)) return QString();
    while (!process.canReadLine())
        if (!process.waitForReadyRead(kStartMs)) return QString();
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

bool stop(QProcess &process, int signal = SIGTERM) {
    ::kill(pid_t(process.processId()), signal);
    return process.waitForFinished(kStartMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Reads from fd until the text read ends in ";" (or nothing more comes).
QByteArray readAnswer(int fd) {
    QByteArray out;
    pollfd p{fd, POLLIN, 0};
    while (!out.endsWith(';') && ::poll(&p, 1, kAnswerMs) > 0) {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, int(n));
    }
    return out;
}

QByteArray exchange(int fd, const QByteArray &command) {
    if (::write(fd, command.constData(), size_t(command.size())) != command.size()) return {};
    return readAnswer(fd);
}

int openRaw(const QString &path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) return -1;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

}  // namespace

class SimServerTest : public QObject {
    Q_OBJECT
private slots:
    void servesAPtyAndEndsCleanly();
    void refusesBadOptions();
    void rigctlReadsAndSetsVfoAndMode();
};

void SimServerTest::servesAPtyAndEndsCleanly() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("k3"));
    QProcess sim;
    const QString line = start(sim, {QStringLiteral("--no-noise"), QStringLiteral("--link"), link});
    QVERIFY2(line.startsWith(QStringLiteral("PTY /dev/")), qPrintable(line));
    const QString pty = line.mid(4);
    QCOMPARE(QFileInfo(link).symLinkTarget(), pty);

    const int fd = openRaw(link);
    QVERIFY(fd >= 0);
    QCOMPARE(exchange(fd, "id;"), QByteArray("ID017;"));
    QCOMPARE(exchange(fd, "rg100;rg;"), QByteArray("RG100;"));
    const QByteArray ds = exchange(fd, "mn072;ds;");
    QCOMPARE(ds.size(), 13);
    QVERIFY(uchar(ds[10]) & 0x80);  // bytes above 127 cross the pty unchanged
    ::close(fd);

    QVERIFY(stop(sim));
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void SimServerTest::refusesBadOptions() {
    for (const QStringList &args : {QStringList{QStringLiteral("--ai"), QStringLiteral("7")},
                                    QStringList{QStringLiteral("--kat3"), QStringLiteral("maybe")},
                                    QStringList{QStringLiteral("--no-pty")}}) {
        QProcess sim;
        sim.start(simulatorPath(), args);
        QVERIFY(sim.waitForFinished(kStartMs));
        QCOMPARE(sim.exitCode(), 2);
    }
}

void SimServerTest::rigctlReadsAndSetsVfoAndMode() {
    const QString rigctl = QStandardPaths::findExecutable(QStringLiteral("rigctl"));
    if (rigctl.isEmpty())
        QSKIP("Hamlib's rigctl is not installed (Debian package libhamlib-utils)");
    QTemporaryDir dir;
    QProcess sim;
    const QString line = start(sim, {QStringLiteral("--link"), dir.filePath(QStringLiteral("k3"))});
    QVERIFY2(line.startsWith(QStringLiteral("PTY ")), qPrintable(line));
    const QString pty = line.mid(4);

    QProcess client;
    client.start(rigctl, {QStringLiteral("-m"), QStringLiteral("2029"), QStringLiteral("-r"), pty,
                          QStringLiteral("-s"), QStringLiteral("38400"), QStringLiteral("f"),
                          QStringLiteral("F"), QStringLiteral("7100000"), QStringLiteral("m"),
                          QStringLiteral("M"), QStringLiteral("USB"), QStringLiteral("0"),
                          QStringLiteral("f")});
    QVERIFY(client.waitForFinished(30000));
    const QStringList out =
        QString::fromLocal8Bit(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(client.exitCode(), 0);
    QVERIFY2(out.size() >= 4, qPrintable(out.join(u'|')));
    QCOMPARE(out.at(0), QStringLiteral("14060000"));
    QCOMPARE(out.at(1), QStringLiteral("CW"));
    QCOMPARE(out.at(3), QStringLiteral("7100000"));

    // What rigctl set, read back from the radio itself.
    const int fd = openRaw(pty);
    QVERIFY(fd >= 0);
    QCOMPARE(exchange(fd, "fa;"), QByteArray("FA00007100000;"));
    QCOMPARE(exchange(fd, "md;"), QByteArray("MD2;"));
    ::close(fd);
    QVERIFY(stop(sim));
}

QTEST_GUILESS_MAIN(SimServerTest)
#include "tst_simserver.moc"
