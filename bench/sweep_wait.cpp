// How closely the filter sweep keeps to its documented waits on the real clock: a sweep of a
// few steps against corvane-k3sim on a pseudo-terminal, through the serial port code. Every
// wait is a minimum and nothing else may add time, so elapsed / sum of waits should stay at
// or just above 1. The AFV reference prompt and the final message are answered at once.
//
// Prints each run, then as its last line "sweep_wait: <ratio> ratio" (the median of the runs).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/prompter.h"
#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"
#include "measurements/filtersweep.h"

using namespace corvane;

namespace {

constexpr int kRuns = 3;
const SweepInputs kSweep{QStringLiteral("14060"), QStringLiteral("14060.3"),
                         QStringLiteral("100"), QStringLiteral("150")};

class CountingSink : public SweepSink {
public:
    void clearLines() override { lines = 0; }
    void appendLine(const QString &) override { ++lines; }
    void prepareChart(int) override {}
    void setChartRow(int, double, const QString &) override {}
    int lines = 0;
};

// Starts the simulator and returns the pty it serves, or empty.
QString startSimulator(QProcess &process) {
    process.setProgram(QStringLiteral(CORVANE_K3SIM_PATH));
    process.setArguments({QStringLiteral("--no-link"), QStringLiteral("--no-noise")});
    process.start();
    if (!process.waitForStarted(5000)) return QString();
    static const QRegularExpression ptyLine(QStringLiteral("^PTY (\\S+)"),
                                            QRegularExpression::MultilineOption);
    QByteArray out;
    while (process.waitForReadyRead(5000)) {
        out += process.readAllStandardOutput();
        const QRegularExpressionMatch m = ptyLine.match(QString::fromLocal8Bit(out));
        if (m.hasMatch()) return m.captured(1);
    }
    return QString();
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QProcess simulator;
    const QString device = startSimulator(simulator);
    if (device.isEmpty()) {
        std::fprintf(stderr, "bench_sweep_wait: could not start %s\n", CORVANE_K3SIM_PATH);
        return 1;
    }

    std::vector<double> ratios;
    for (int run = 1; run <= kRuns; ++run) {
        RealClock clock;
        RadioLink link(clock);
        LinkTrace trace;
        link.setTrace(&trace);
        link.setTransport(std::make_unique<SerialTransport>(device));
        if (const PortError error = link.open(); error.isError()) {
            std::fprintf(stderr, "bench_sweep_wait: cannot open %s: %s\n", qPrintable(device),
                         qPrintable(error.description));
            return 1;
        }
        ScriptedPrompter prompter;
        FilterSweepState state;
        CountingSink sink;
        FilterSweep sweep(link, prompter, state, sink);

        QElapsedTimer elapsed;
        elapsed.start();
        const SweepOutcome outcome = sweep.beginSweep(kSweep);
        const double ms = double(elapsed.nsecsElapsed()) / 1e6;
        link.close();
        if (outcome.end != SweepEnd::Completed) {
            std::fprintf(stderr, "bench_sweep_wait: the sweep did not complete\n");
            return 1;
        }
        const double waits = double(trace.totalWaitMs());
        ratios.push_back(ms / waits);
        std::printf("run %d: %d steps, %d list lines, %.1f ms elapsed, %.0f ms of waits, %.4f\n",
                    run, outcome.stepsMeasured, sink.lines, ms, waits, ms / waits);
        std::fflush(stdout);
    }
    simulator.terminate();
    simulator.waitForFinished(3000);

    std::sort(ratios.begin(), ratios.end());
    std::printf("sweep_wait: %.4f ratio\n", ratios[ratios.size() / 2]);
    return 0;
}
