// bench_wait_overhead: a procedure of 50 exchanges with documented waits (settings sent with
// a 100 ms wait, queries read after 100 ms, some with a 100 ms settle time), run on the real
// clock over SerialTransport to corvane-k3sim on a pty. Prints the ratio of the elapsed time
// to the sum of the waits (the goal is at most 1.01), then the real time the same procedure
// takes on the virtual clock with the built-in simulator.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"
#include "link/simtransport.h"
#include "sim/k3simulator.h"

using namespace corvane;

namespace {

constexpr int kExchanges = 50;
constexpr int kRuns = 3;
constexpr int kSettingWaitMs = 100;
constexpr int kQueryWaitMs = 100;
constexpr int kSettleMs = 100;

// The procedure: settings and queries in turn, every other query with a settle time.
void procedure(RadioLink &link) {
    for (int i = 0; i < kExchanges; ++i) {
        if (i % 2 == 0)
            link.sendCommand(QStringLiteral("ag030;"), kSettingWaitMs);
        else
            link.queryRadio(QStringLiteral("rg;"), kQueryWaitMs, i % 4 == 1 ? kSettleMs : 0);
    }
}

struct Timed {
    double elapsedMs = 0;
    qint64 waitsMs = 0;
    bool ok = false;
};

Timed timeProcedure(RadioLink &link) {
    LinkTrace trace;
    link.setTrace(&trace);
    link.clearError();
    QElapsedTimer timer;
    timer.start();
    procedure(link);
    Timed t;
    t.elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    t.waitsMs = trace.totalWaitMs();
    t.ok = !link.lastError().isError();
    link.setTrace(nullptr);
    return t;
}

QString startSimulator(QProcess &process) {
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-k3sim");
    process.start(program, {QStringLiteral("--no-link"), QStringLiteral("--no-noise")});
    if (!process.waitForStarted(10000)) return QString();
    while (process.waitForReadyRead(10000) || process.canReadLine()) {
        while (process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("PTY "))) return line.mid(4);
        }
    }
    return QString();
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);

    QProcess simulator;
    const QString pty = startSimulator(simulator);
    if (pty.isEmpty()) {
        std::fprintf(stderr, "bench_wait_overhead: corvane-k3sim did not start (%s)\n",
                     qPrintable(simulator.errorString()));
        return 1;
    }
    RealClock realClock;
    RadioLink serialLink(realClock);
    serialLink.setTransport(std::make_unique<SerialTransport>(pty));
    if (const PortError error = serialLink.open(); error.isError()) {
        std::fprintf(stderr, "bench_wait_overhead: %s: %s\n", qPrintable(pty),
                     qPrintable(error.description));
        return 1;
    }

    std::printf(
        "procedure: %d exchanges (ag030; %d ms, rg; %d ms, every other rg; + %d ms "
        "settle)\n",
        kExchanges, kSettingWaitMs, kQueryWaitMs, kSettleMs);
    std::printf("real clock, SerialTransport to corvane-k3sim on %s\n", qPrintable(pty));
    std::vector<double> ratios;
    for (int run = 1; run <= kRuns; ++run) {
        const Timed t = timeProcedure(serialLink);
        if (!t.ok) {
            std::fprintf(stderr, "bench_wait_overhead: port error: %s\n",
                         qPrintable(serialLink.lastError().description));
            return 1;
        }
        const double ratio = t.elapsedMs / double(t.waitsMs);
        ratios.push_back(ratio);
        std::printf(
            "  run %d: %.1f ms elapsed for %lld ms of waits, ratio %.4f, overhead "
            "%.3f ms per exchange\n",
            run, t.elapsedMs, static_cast<long long>(t.waitsMs), ratio,
            (t.elapsedMs - double(t.waitsMs)) / kExchanges);
    }
    serialLink.close();
    simulator.terminate();
    simulator.waitForFinished(10000);
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];

    VirtualClock virtualClock;
    RadioLink simLink(virtualClock);
    simLink.setTransport(
        std::make_unique<SimTransport>(std::make_shared<sim::K3Simulator>(), virtualClock));
    simLink.open();
    const Timed v = timeProcedure(simLink);
    std::printf("virtual clock, built-in simulator: %.3f ms real time for %lld ms of waits\n",
                v.elapsedMs, static_cast<long long>(v.waitsMs));

    std::printf("wait_overhead: %.3f ratio\n", median);
    return 0;
}
