// bench_mds_wait: how closely `corvane-cli mds` keeps to the MDS test's documented waits on
// a real serial line. corvane-k3sim serves a pseudo-terminal; corvane-cli runs the test with
// --yes --trace, and the waits of its trace (after its connect step) must be exactly those of the
// test's exact run on the simulator (tests/mds/data/mds-preamp.trace). Each run's elapsed time over
// the sum of those waits; the last line is the median ratio.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "realclockwait.h"

namespace {

// The "S <ms>" lines of a trace, in order ("   12345 S 100" on corvane-cli's stderr), from
// the test's first exchange ("ag;") on: corvane-cli's connect step comes before it.
QList<int> waitsOf(const QList<QByteArray> &lines, bool fromTheTest = true) {
    QList<int> waits;
    bool started = !fromTheTest;
    for (const QByteArray &line : lines) {
        QList<QByteArray> words = line.simplified().split(' ');
        bool stamped = false;
        if (words.size() > 2) words.first().toLongLong(&stamped);
        if (stamped) words.removeFirst();
        started = started || words == QList<QByteArray>{"W", "ag;"};
        if (started && words.size() == 2 && words.first() == "S") waits << words.last().toInt();
    }
    return waits;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : corvane::bench::kWaitBenchRuns;
    QFile golden(QStringLiteral(CORVANE_MDS_GOLDEN_TRACE));
    if (!golden.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_mds_wait: cannot read %s\n", CORVANE_MDS_GOLDEN_TRACE);
        return 1;
    }
    const QList<int> documented = waitsOf(golden.readAll().split('\n'));

    QProcess simulator;
    const QString device = corvane::bench::startK3Sim(simulator);
    if (device.isEmpty()) {
        std::fprintf(stderr, "bench_mds_wait: corvane-k3sim did not start\n");
        return 1;
    }
    std::vector<double> ratios;
    for (int run = 1; run <= runs; ++run) {
        QProcess cli;
        QElapsedTimer elapsed;
        elapsed.start();
        cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-cli"),
                  {QStringLiteral("--port"), device, QStringLiteral("--yes"),
                   QStringLiteral("--trace"), QStringLiteral("mds")});
        if (!cli.waitForFinished(300000) || cli.exitCode() != 0) {
            std::fprintf(stderr, "bench_mds_wait: run %d failed\n%s", run,
                         cli.readAllStandardError().constData());
            return 1;
        }
        const double ms = double(elapsed.nsecsElapsed()) / 1e6;
        const QList<QByteArray> trace = cli.readAllStandardError().split('\n');
        const QList<int> waits = waitsOf(trace);
        if (waits != documented) {
            std::fprintf(stderr, "bench_mds_wait: run %d: %lld waits, not the %lld documented\n",
                         run, qint64(waits.size()), qint64(documented.size()));
            return 1;
        }
        // Nobody switches corvane-k3sim's generator: the MDS figure itself means nothing here.
        const qint64 listed = cli.readAllStandardOutput().trimmed().count('\n') + 1;
        // The connect step's waits count too: they are documented as well.
        qint64 allWaitsMs = 0;
        for (const int wait : waitsOf(trace, false)) allWaitsMs += wait;
        ratios.push_back(ms / double(allWaitsMs));
        std::printf(
            "run %d: %lld waits as documented, %lld list lines, %.1f ms elapsed, %lld ms of waits, "
            "%.4f\n",
            run, qint64(waits.size()), listed, ms, allWaitsMs, ms / double(allWaitsMs));
        std::fflush(stdout);
    }
    simulator.terminate();
    simulator.waitForFinished(3000);
    std::sort(ratios.begin(), ratios.end());
    std::printf("mds_wait: %.4f ratio\n", ratios[ratios.size() / 2]);
    return 0;
}
