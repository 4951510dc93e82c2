// corvane-k3sim: a simulated Elecraft K3 on a pseudo-terminal and/or a TCP port, for
// corvane, Hamlib's rigctl or anything else that talks to a K3 over a serial line.
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "sim/k3simulator.h"
#include "sim/server/k3simserver.h"

using corvane::sim::K3SimServer;
using corvane::sim::K3Simulator;

namespace {

constexpr int kUsageError = 2;
constexpr int kStartError = 1;

int fail(int code, const QString &message) {
    std::fprintf(stderr, "corvane-k3sim: %s\n", qPrintable(message));
    return code;
}

bool readInt(const QCommandLineParser &p, const QString &name, int lo, int hi, int *out) {
    if (!p.isSet(name)) return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok, 10);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool readDouble(const QCommandLineParser &p, const QString &name, double *out) {
    if (!p.isSet(name)) return true;
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok) return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char *argv[]) {
    // SIGINT and SIGTERM are taken through a signalfd, so they must be blocked before any
    // thread starts; the event loop then ends the program cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-k3sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(CORVANE_VERSION_MAJOR)
                                                .arg(CORVANE_VERSION_MINOR)
                                                .arg(CORVANE_VERSION_PATCH));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A simulated Elecraft K3 transceiver served on a pseudo-terminal and/or a TCP port.\n"
        "Prints \"PTY <device>\" and/or \"TCP 127.0.0.1:<port>\" on stdout, then serves until\n"
        "SIGINT or SIGTERM (exit code 0)."));
    p.addHelpOption();
    p.addVersionOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("tcp"),
         QStringLiteral("Also listen on 127.0.0.1:<port> (0 = any free port)."),
         QStringLiteral("port")},
        {QStringLiteral("no-pty"), QStringLiteral("Serve on TCP only (needs --tcp).")},
        {QStringLiteral("link"),
         QStringLiteral("Symbolic link to the pty (default ${TMPDIR:-/tmp}/corvane-k3sim-<pid>)."),
         QStringLiteral("path")},
        {QStringLiteral("no-link"), QStringLiteral("Make no link to the pty.")},
        {QStringLiteral("latency"), QStringLiteral("Reply latency in ms (default 5)."),
         QStringLiteral("ms")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the receiver noise."),
         QStringLiteral("n")},
        {QStringLiteral("no-noise"),
         QStringLiteral("Exact, repeatable readings without receiver noise.")},
        {QStringLiteral("ai"), QStringLiteral("Auto-info mode at start, 0..3 (default 0)."),
         QStringLiteral("n")},
        {QStringLiteral("kat3"), QStringLiteral("KAT3 tuner: none, bypass or auto (default none)."),
         QStringLiteral("state")},
        {QStringLiteral("tech-md"),
         QStringLiteral("CONFIG:TECH MD at start: on or off (default off)."),
         QStringLiteral("on|off")},
        {QStringLiteral("mode"),
         QStringLiteral("Mode at start, main and sub receiver, as the K3's MD numbers: 1 LSB, "
                        "2 USB, 3 CW, 4 FM, 5 AM, 6 DATA, 7 CW-REV, 9 DATA-REV (default 3)."),
         QStringLiteral("n")},
        {QStringLiteral("distinct-memories"),
         QStringLiteral("Start with different AGC, DSP width and crystal filter memories in "
                        "every mode, as a radio that has been used in each (by default every "
                        "mode has AGC slow and on).")},
        {QStringLiteral("gen-level"),
         QStringLiteral("Signal generator level in dBm (default -73)."), QStringLiteral("dbm")},
        {QStringLiteral("gen-freq"),
         QStringLiteral("Signal generator frequency in Hz (default 14060000)."),
         QStringLiteral("hz")},
        {QStringLiteral("gen-off"), QStringLiteral("Start with the signal generator off.")},
        {QStringLiteral("silent"), QStringLiteral("Fault: answer nothing.")},
        {QStringLiteral("late"), QStringLiteral("Fault: every answer this many ms late."),
         QStringLiteral("ms")},
        {QStringLiteral("garbled"), QStringLiteral("Fault: corrupt characters of every answer.")},
        {QStringLiteral("truncated"),
         QStringLiteral("Fault: send only the first half of every answer.")},
        {QStringLiteral("busy"),
         QStringLiteral("Fault: answer every command with \"?;\" and carry out none.")},
        {QStringLiteral("unsolicited-if"),
         QStringLiteral("Fault: an unsolicited IF report every <ms>."), QStringLiteral("ms")},
        {QStringLiteral("vanish-after"),
         QStringLiteral("Fault: close the pty and TCP port after <ms>, as if unplugged."),
         QStringLiteral("ms")},
        {QStringLiteral("trace"), QStringLiteral("Log every command and answer to stderr.")},
    };
    p.addOptions(options);
    p.process(app);

    K3Simulator sim(p.isSet(QStringLiteral("seed")) ? p.value(QStringLiteral("seed")).toUInt()
                                                    : 0x4b33);
    int latency = 5, ai = 0, late = 0, unsolicited = 0, vanishAfter = -1, tcpPort = -1, mode = 3;
    double genLevel = sim.generator().levelDbm, genFreq = sim.generator().frequencyHz;
    if (!readInt(p, QStringLiteral("latency"), 0, 60000, &latency) ||
        !readInt(p, QStringLiteral("ai"), 0, 3, &ai) ||
        !readInt(p, QStringLiteral("late"), 0, 600000, &late) ||
        !readInt(p, QStringLiteral("unsolicited-if"), 1, 3600000, &unsolicited) ||
        !readInt(p, QStringLiteral("vanish-after"), 0, 86400000, &vanishAfter) ||
        !readInt(p, QStringLiteral("tcp"), 0, 65535, &tcpPort) ||
        !readInt(p, QStringLiteral("mode"), 1, 9, &mode) || mode == 8 ||
        !readDouble(p, QStringLiteral("gen-level"), &genLevel) ||
        !readDouble(p, QStringLiteral("gen-freq"), &genFreq))
        return fail(kUsageError, QStringLiteral("bad option value (see --help)"));

    sim.setLatencyMs(latency);
    sim.setNoiseEnabled(!p.isSet(QStringLiteral("no-noise")));
    sim.state().autoInfo = ai;
    if (p.isSet(QStringLiteral("distinct-memories"))) sim.seedDistinctModeMemories();
    sim.setMode(mode);
    sim.setSubMode(mode);
    const QString kat3 = p.value(QStringLiteral("kat3"));
    if (kat3 == u"bypass" || kat3 == u"auto") {
        sim.state().kat3Installed = true;
        sim.state().kat3Bypassed = kat3 == u"bypass";
    } else if (!kat3.isEmpty() && kat3 != u"none") {
        return fail(kUsageError, QStringLiteral("--kat3 takes none, bypass or auto"));
    }
    const QString tech = p.value(QStringLiteral("tech-md"));
    if (!tech.isEmpty() && tech != u"on" && tech != u"off")
        return fail(kUsageError, QStringLiteral("--tech-md takes on or off"));
    sim.state().techMode = tech == u"on";
    sim.generator().levelDbm = genLevel;
    sim.generator().frequencyHz = genFreq;
    sim.generator().on = !p.isSet(QStringLiteral("gen-off"));
    sim.faults().silent = p.isSet(QStringLiteral("silent"));
    sim.faults().lateMs = late;
    sim.faults().garbled = p.isSet(QStringLiteral("garbled"));
    sim.faults().truncated = p.isSet(QStringLiteral("truncated"));
    sim.faults().busy = p.isSet(QStringLiteral("busy"));
    sim.faults().unsolicitedIfEveryMs = unsolicited;
    sim.markChanged(0);

    const bool pty = !p.isSet(QStringLiteral("no-pty"));
    if (!pty && tcpPort < 0) return fail(kUsageError, QStringLiteral("--no-pty needs --tcp"));

    K3SimServer server(sim);
    server.setTrace(p.isSet(QStringLiteral("trace")));
    QString error;
    if (pty) {
        if (!server.openPty(&error)) return fail(kStartError, error);
        std::printf("PTY %s\n", qPrintable(server.ptyPath()));
        if (!p.isSet(QStringLiteral("no-link"))) {
            const QString tmp = qEnvironmentVariableIsEmpty("TMPDIR")
                                    ? QStringLiteral("/tmp")
                                    : qEnvironmentVariable("TMPDIR");
            const QString link =
                p.isSet(QStringLiteral("link"))
                    ? p.value(QStringLiteral("link"))
                    : QDir(tmp).filePath(QStringLiteral("corvane-k3sim-%1")
                                             .arg(QCoreApplication::applicationPid()));
            if (!server.makeLink(link, &error)) return fail(kStartError, error);
        }
    }
    if (tcpPort >= 0) {
        if (!server.listenTcp(quint16(tcpPort), &error)) return fail(kStartError, error);
        std::printf("TCP 127.0.0.1:%u\n", unsigned(server.tcpPort()));
    }
    std::fflush(stdout);

    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) return fail(kStartError, QStringLiteral("cannot watch for signalFd"));
    QSocketNotifier stopNotifier(signalFd, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info{};
        while (::read(signalFd, &info, sizeof info) > 0) {
        }
        QCoreApplication::quit();
    });

    QTimer vanishTimer;
    vanishTimer.setSingleShot(true);
    QObject::connect(&vanishTimer, &QTimer::timeout, &server, &K3SimServer::vanish);
    if (vanishAfter >= 0) vanishTimer.start(vanishAfter);

    const int code = app.exec();
    ::close(signalFd);
    return code;
}
