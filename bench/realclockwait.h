#pragma once
// The real-clock wait benchmarks of the measurement procedures: corvane-k3sim on a
// pseudo-terminal, the procedure run a few times through the serial port code and the real
// clock, each run's elapsed time over the sum of the waits it asked for. Every wait is a
// minimum and nothing else may add time, so the ratio should stay at or just above 1. The
// last line printed is "<name>: <median ratio> ratio".

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"

namespace corvane::bench {

constexpr int kWaitBenchRuns = 3;

// Starts the simulator beside this program and returns the pty it serves, or empty.
inline QString startK3Sim(QProcess &process) {
    process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-k3sim"));
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

// Runs the procedure once on `link`; what to print about the run ("12 list lines"), or
// nothing when it failed.
using WaitBenchProcedure = std::function<std::optional<QString>(RadioLink &link)>;

inline int runWaitBench(const char *name, const WaitBenchProcedure &procedure) {
    QProcess simulator;
    const QString device = startK3Sim(simulator);
    if (device.isEmpty()) {
        std::fprintf(stderr, "bench_%s: corvane-k3sim did not start\n", name);
        return 1;
    }
    std::vector<double> ratios;
    for (int run = 1; run <= kWaitBenchRuns; ++run) {
        RealClock clock;
        RadioLink link(clock);
        LinkTrace trace;
        link.setTrace(&trace);
        link.setTransport(std::make_unique<SerialTransport>(device));
        if (const PortError error = link.open(); error.isError()) {
            std::fprintf(stderr, "bench_%s: cannot open %s: %s\n", name, qPrintable(device),
                         qPrintable(error.description));
            return 1;
        }
        QElapsedTimer elapsed;
        elapsed.start();
        const std::optional<QString> detail = procedure(link);
        const double ms = double(elapsed.nsecsElapsed()) / 1e6;
        const bool portFailed = link.lastError().isError();
        link.close();
        if (!detail || portFailed) {
            std::fprintf(stderr, "bench_%s: run %d failed\n", name, run);
            return 1;
        }
        const double waits = double(trace.totalWaitMs());
        ratios.push_back(ms / waits);
        std::printf("run %d: %s, %.1f ms elapsed, %.0f ms of waits, %.4f\n", run,
                    qPrintable(*detail), ms, waits, ms / waits);
        std::fflush(stdout);
    }
    simulator.terminate();
    simulator.waitForFinished(3000);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%s: %.4f ratio\n", name, ratios[ratios.size() / 2]);
    return 0;
}

}  // namespace corvane::bench
