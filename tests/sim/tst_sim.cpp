// The K3 simulator: a command script and the exact bytes it answers; its faults, the input it
// survives, its physics, and corvane-k3sim as Hamlib's K3 driver meets it (rigctl.tsv).

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <memory>
#include <random>

#include "common/bench.h"
#include "common/golden.h"
#include "common/k3simprocess.h"

using namespace corvane;
using namespace corvane::test;
using sim::K3Simulator;

namespace {

QString escaped(const QByteArray &bytes) {
    QString out;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if (u >= 0x80 || u < 0x20)
            out +=
                QStringLiteral("\\x%1").arg(u, 2, 16, QChar(u'0')).toUpper().replace("\\X", "\\x");
        else
            out += QChar(u);
    }
    return out;
}

QByteArray exchange(int fd, const QByteArray &command) {
    if (::write(fd, command.constData(), size_t(command.size())) != command.size()) return {};
    QByteArray out;
    pollfd p{fd, POLLIN, 0};
    char buffer[256];
    while (!out.endsWith(';') && ::poll(&p, 1, 3000) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, int(n));
    }
    return out;
}

int openRaw(const QString &path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void script();
    void everyMenuEntryShowsEightBytes();
    void faults();
    void byteSoupNeverCrashes();
    void filterShapes_data();
    void filterShapes();
    void noiseIsSeededAndCanBeSwitchedOff();
    void k3simServesAPtyAndEndsCleanly();
    void rigctl_data() { addRows("rigctl.tsv", {"commands", "output", "radio", "answers"}); }
    void rigctl();
};

void TestSim::script() {
    auto h = std::make_unique<SimHarness>();
    QStringList actual;
    for (const QString &line : dataLines("script.tsv")) {
        const QStringList fields = line.split(u'\t');
        if (line.startsWith(u'#') || fields.size() < 2) {
            actual << line;
            continue;
        }
        if (fields[0] == "reset") h = std::make_unique<SimHarness>();
        h->sim.setNoiseEnabled(false);
        const QByteArray answer = fields[0] == "reset"
                                      ? QByteArray()
                                      : h->ask(unescape(fields[0]).toLatin1(), fields[1].toInt());
        actual << fields[0] + u'\t' + fields[1] + u'\t' + escaped(answer);
    }
    CORVANE_COMPARE_GOLDEN(actual, "script.tsv");
}

void TestSim::everyMenuEntryShowsEightBytes() {
    SimHarness h;
    for (int entry = 0; entry <= 115; ++entry) {
        const QByteArray ds =
            h.ask("mn" + QByteArray::number(entry).rightJustified(3, '0') + ";ds;");
        const QByteArray db = h.ask("db;");
        QVERIFY2(ds.size() == 13 && ds.startsWith("DS"), qPrintable(QString::number(entry)));
        QVERIFY2(db.size() == 11 && db.mid(2, 8).trimmed().size() > 1,
                 qPrintable(QString::number(entry)));
        for (const QString &choice : h.sim.menuChoices(entry)) QCOMPARE(choice.size(), 8);
    }
    QVERIFY(h.sim.menuChoices(116).isEmpty());
}

void TestSim::faults() {
    SimHarness h;
    h.sim.faults().silent = true;  // answers nothing, yet carries out what it is told
    QCOMPARE(h.ask("id;rg100;rg;", 1000), QByteArray());
    QCOMPARE(h.sim.state().rfGain, 100);
    h.sim.faults().silent = false;
    h.sim.faults().busy = true;  // refuses everything
    QCOMPARE(h.ask("id;rg200;mn072;"), QByteArray("?;?;?;"));
    QCOMPARE(h.sim.state().rfGain, 100);
    QCOMPARE(h.sim.state().openMenuEntry, -1);
    h.sim.faults().busy = false;
    h.sim.faults().truncated = true;  // the second half of every answer is lost
    QCOMPARE(h.ask("id;"), QByteArray("ID0"));
    h.sim.faults().truncated = false;
    h.sim.faults().garbled = true;  // the length kept, the bytes changed
    int changed = 0;
    for (int i = 0; i < 20; ++i) {
        const QByteArray answer = h.ask("fa;");
        QCOMPARE(answer.size(), 14);
        changed += answer != "FA00014060000;";
    }
    QVERIFY(changed >= 15);
    h.sim.faults().garbled = false;
    h.sim.faults().unsolicitedIfEveryMs = 250;  // the answer first, then the reports on time
    const QByteArray out = h.ask("ai;", 1000);
    QVERIFY(out.startsWith("AI0;"));
    QCOMPARE(out.count("IF00014060000"), 4);
    h.sim.faults().unsolicitedIfEveryMs = 0;
    h.sim.faults().vanished = true;  // nothing is carried out any more
    QCOMPARE(h.ask("rg250;rg;", 1000), QByteArray());
    QCOMPARE(h.sim.state().rfGain, 100);
    // A megabyte without a semicolon is refused as one command.
    SimHarness big;
    big.ask(QByteArray(1 << 20, 'A'));
    QCOMPARE(big.ask(";id;"), QByteArray("?;ID017;"));
}

void TestSim::byteSoupNeverCrashes() {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 300), coin(0, 9);
    static const char *const pieces[] = {
        "mn", "038", "041", "swt", "29", "48", "k31",         "k22", "fw", "gt", "db", "11",
        "10", "up",  "dn",  ";",   "$",  "FA", "99999999999", "rg",  "pc", "md", "ds"};
    K3Simulator sim;
    qint64 now = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray soup;
        for (int i = length(rng); i > 0; --i)
            soup += coin(rng) < 4 ? QByteArray(pieces[size_t(byte(rng)) % std::size(pieces)])
                                  : QByteArray(1, char(byte(rng)));
        sim::Faults &f = sim.faults();
        f.garbled = coin(rng) == 0;
        f.truncated = coin(rng) == 0;
        f.busy = coin(rng) == 0;
        f.silent = coin(rng) == 0;
        f.lateMs = coin(rng) == 0 ? byte(rng) : 0;
        f.unsolicitedIfEveryMs = coin(rng) == 0 ? 1 + byte(rng) : 0;
        sim.setLatencyMs(coin(rng));
        sim.receive(soup, now);
        now += coin(rng) * 50;
        sim.takeOutput(now);
        sim.vfoBDisplay(now);
    }
    sim.faults() = sim::Faults();
    sim.setLatencyMs(5);
    sim.takeOutput(now + 100000);
    sim.receive(";id;", now + 100000);
    QVERIFY(sim.takeOutput(now + 100100).endsWith("ID017;"));
}

void TestSim::filterShapes_data() {
    QTest::addColumn<int>("slot");
    for (int slot = 0; slot < 5; ++slot) QTest::addRow("FL%d", slot + 1) << slot;
}

void TestSim::filterShapes() {
    // Each slot's shape meets its -6 and -60 dB widths, flat on top, about 100 dB down far out.
    QFETCH(int, slot);
    K3Simulator sim;
    const sim::CrystalFilter f = sim.state().mainFilters[size_t(slot)];
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, 0)) < 1e-6);
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, f.width6dBHz / 2) + 6) < 0.01);
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, -f.width60dBHz / 2) + 60) < 0.05);
    QVERIFY(K3Simulator::filterResponseDb(f, f.width6dBHz / 4) > -0.5);
    const double ultimate = K3Simulator::filterResponseDb(f, 20000);
    QVERIFY(ultimate < -95 && ultimate > -105);
    if (slot != 2) return;
    // The 400 Hz filter with its offset misplaced by 150 Hz: the passband moves with it.
    sim.state().selectedSlot = slot;
    const double centred = sim.receiveResponseDb(150);
    sim.state().mainFilters[2].offsetHz = 150;
    QVERIFY(sim.receiveResponseDb(150) < centred - 3);
    QVERIFY(qAbs(sim.receiveResponseDb(-150)) < 0.5);
}

void TestSim::noiseIsSeededAndCanBeSwitchedOff() {
    const auto readings = [](bool noise, quint32 seed) {
        SimHarness h(seed);
        h.sim.setNoiseEnabled(noise);
        h.sim.generator().on = false;
        h.send("mn072;up;mn255;db10;", 2000);
        QByteArrayList out;
        for (int i = 0; i < 5; ++i) out << h.ask("db;", 2100);
        return out;
    };
    QCOMPARE(readings(true, 7), readings(true, 7));
    QVERIFY(readings(true, 7) != readings(true, 8));
    const QByteArrayList exact = readings(false, 7);
    QCOMPARE(exact, readings(false, 8));
    QCOMPARE(exact.count(exact.first()), 5);
}

void TestSim::k3simServesAPtyAndEndsCleanly() {
    QTemporaryDir dir;
    const QString link = dir.filePath("k3");
    QProcess simulator;
    simulator.start(K3SimProcess::program(), {"--link", link});
    QVERIFY(simulator.waitForReadyRead(10000));
    const QString line = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    QVERIFY2(line.startsWith("PTY /dev/"), qPrintable(line));
    QCOMPARE(QFileInfo(link).symLinkTarget(), line.mid(4));
    const int fd = openRaw(link);
    QCOMPARE(exchange(fd, "id;"), QByteArray("ID017;"));
    QCOMPARE(exchange(fd, "rg100;rg;"), QByteArray("RG100;"));
    const QByteArray ds = exchange(fd, "mn072;ds;");
    QCOMPARE(ds.size(), 13);
    QVERIFY(uchar(ds[10]) & 0x80);  // bytes above 127 cross the pty unchanged
    ::close(fd);
    ::kill(pid_t(simulator.processId()), SIGTERM);
    QVERIFY(simulator.waitForFinished(10000));
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());  // the link goes with it
}

void TestSim::rigctl() {
    QFETCH(QString, commands);
    const QString rigctl = QStandardPaths::findExecutable("rigctl");
    if (rigctl.isEmpty())
        QSKIP("Hamlib's rigctl is not installed (Debian package libhamlib-utils)");
    K3SimProcess simulator;
    QVERIFY(simulator.start({"--no-noise"}));
    QProcess client;
    client.start(rigctl, QStringList{"-m", "2029", "-r", simulator.pty(), "-s", "38400"} +
                             commands.split(u' '));
    QVERIFY(client.waitForFinished(30000));
    QCOMPARE(client.exitCode(), 0);
    const QStringList out =
        QString::fromLocal8Bit(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QTEST(out.join(u'|'), "output");
    // What Hamlib set, read back from the radio itself.
    QFETCH(QString, radio);
    const int fd = openRaw(simulator.pty());
    QByteArray answers;
    for (const QString &query : radio.split(u' ', Qt::SkipEmptyParts))
        answers += exchange(fd, query.toLatin1());
    ::close(fd);
    QTEST(QString::fromLatin1(answers), "answers");
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
