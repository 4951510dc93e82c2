// Cost of a simulator exchange: write, carry out, answer, read. Prints the median time per
// command over several runs in one process.
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "sim/k3simulator.h"

namespace {
constexpr int kRuns = 9;
constexpr int kRounds = 2000;
constexpr int kWaitMs = 100;
}  // namespace

int main() {
    using corvane::sim::K3Simulator;
    static const char *const kCommands[] = {
        "rg125;",      "rg;",        "db;", "ra01;",          "db;",        "ra00;",
        "k30;mn038;",  "db;",        "ds;", "k31;swt29;k30;", "k30;mn255;", "FA00014060100;",
        "k22;gt;k20;", "k31;fw;k30;"};
    std::vector<double> perCommand;
    for (int run = 0; run < kRuns; ++run) {
        K3Simulator sim;
        sim.receive("mn072;up;mn255;k22;gt0020;k20;db10;db11;", 0);
        qint64 now = 0;
        int commands = 0;
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < kRounds; ++round) {
            for (const char *command : kCommands) {
                sim.receive(command, now);
                now += kWaitMs;
                sim.takeOutput(now);
                ++commands;
            }
        }
        perCommand.push_back(double(timer.nsecsElapsed()) / 1000.0 / commands);
    }
    std::sort(perCommand.begin(), perCommand.end());
    std::printf("%d runs of %d commands each (dBV reads, filter menu reads, sweep steps)\n", kRuns,
                kRounds * int(std::size(kCommands)));
    std::printf("sim_exchange: %.2f us/command\n", perCommand[perCommand.size() / 2]);
    return 0;
}
