// bench_dbv_wait: how closely a real-clock dBV full test keeps to its documented waits.
// Runs a short full test (a few RF gain steps) against corvane-k3sim on a pseudo-terminal
// through the serial port code and the real clock, answers the AFV prompt at once, and
// compares the elapsed time with the sum of the waits the procedure asked for. Several runs
// in one process; the median ratio is the figure (goal: at most 1.01).

#include "link/clock.h"
#include "link/linktrace.h"
#include "link/radiolink.h"
#include "link/serialtransport.h"
#include "measurements/dbvlinearity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace corvane;

constexpr int kRuns = 3;
const DbvGainBoxes kBoxes{QStringLiteral("100"), QStringLiteral("102"), QStringLiteral("1")};

// Confirms every message at once, as a user who clicks OK without delay.
class ConfirmingPrompter : public Prompter {
public:
    using Prompter::message;
    void message(const PromptMessage &) override {}
};

class CountingSink : public DbvResultSink {
public:
    int lines = 0;
    void clearLines() override { lines = 0; }
    void appendLine(const QString &) override { ++lines; }
};

struct Outcome {
    bool ok = false;
    qint64 elapsedMs = 0;
    qint64 waitsMs = 0;
    int lines = 0;
};

Outcome runOnce(const QString &device)
{
    RealClock clock;
    RadioLink link(clock);
    LinkTrace trace;
    link.setTrace(&trace);
    link.setTransport(std::make_unique<SerialTransport>(device));
    if (link.open().isError()) return {};
    ConfirmingPrompter prompter;
    DbvWindowState state;
    CountingSink sink;
    DbvFullTest test(link, prompter, state, sink);
    QElapsedTimer timer;
    timer.start();
    const bool ran = test.run(kBoxes);
    const qint64 elapsed = timer.elapsed();
    link.close();
    return {ran && !link.lastError().isError(), elapsed, trace.totalWaitMs(), sink.lines};
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QProcess simulator;
    simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-k3sim"),
                    {QStringLiteral("--no-link")});
    if (!simulator.waitForReadyRead(10000)) {
        std::fprintf(stderr, "bench_dbv_wait: corvane-k3sim did not start\n");
        return 1;
    }
    const QByteArray where = simulator.readLine().trimmed();
    if (!where.startsWith("PTY ")) {
        std::fprintf(stderr, "bench_dbv_wait: unexpected simulator output: %s\n",
                     where.constData());
        return 1;
    }
    const QString device = QString::fromLatin1(where.mid(4));

    std::printf("dBV full test, RF gain %s..%s step %s, over %s (real clock)\n",
                qPrintable(kBoxes.start), qPrintable(kBoxes.stop), qPrintable(kBoxes.inc),
                qPrintable(device));
    std::vector<double> ratios;
    for (int run = 1; run <= kRuns; ++run) {
        const Outcome o = runOnce(device);
        if (!o.ok) {
            std::fprintf(stderr, "bench_dbv_wait: run %d failed\n", run);
            return 1;
        }
        const double ratio = double(o.elapsedMs) / double(o.waitsMs);
        ratios.push_back(ratio);
        std::printf(
            "run %d: %d list lines, elapsed %lld ms, documented waits %lld ms, "
            "ratio %.4f\n",
            run, o.lines, static_cast<long long>(o.elapsedMs), static_cast<long long>(o.waitsMs),
            ratio);
        std::fflush(stdout);
    }
    simulator.terminate();
    simulator.waitForFinished();
    std::sort(ratios.begin(), ratios.end());
    std::printf("dbv_wait: %.4f ratio\n", ratios[ratios.size() / 2]);
    return 0;
}
