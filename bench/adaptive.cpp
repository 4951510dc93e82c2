// The adaptive modes against the dense fixed-step runs, on the simulator with receiver noise
// on, 20 seeds (the dense and the adaptive run of a seed each get a simulator of that seed):
//  - a sweep of each crystal filter slot over 3 x its width around the carrier, finest step
//    width / 40: points measured, and the -3 / -6 dB widths, the -6 dB centre and (where the
//    dense run reaches -60 dB) the -60 dB width, each within one finest step of the dense
//    run's (the figures of the chart's points, at their grid frequencies);
//  - the linear range test 50..250 by 1: points measured, and both ends within one gain;
//  - the filter survey of the five main-receiver slots with its defaults (the S9 carrier at
//    RF gain 150, each slot over 3 x its configured width at width / 40): the points of the
//    whole adaptive survey, and each slot's -3 / -6 dB widths and -6 dB centre within one
//    of that slot's steps of the fixed survey's.
// Prints a table; the last line is the largest share of the dense run's points any adaptive
// run took.
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/filterfigures.h"
#include "analysis/linearrange.h"
#include "core/numtext.h"
#include "link/clock.h"
#include "link/radiolink.h"
#include "link/simtransport.h"
#include "measurements/dbvlinearity.h"
#include "measurements/filtersweep.h"
#include "sim/k3simulator.h"
#include "survey/filtersurvey.h"

using namespace corvane;

namespace {

constexpr int kSeeds = 20;
constexpr int kCentreHz = 14060000;
// The report is 26 lines; the data follow.
constexpr int kReportLines = 26;

// A simulator of one seed on a virtual clock; the user confirms the AFV reference once the
// readout has settled.
struct Rig {
    VirtualClock clock;
    RadioLink link{clock};
    ScriptedPrompter prompter;
    std::shared_ptr<sim::K3Simulator> simulator;

    explicit Rig(quint32 seed) : simulator(std::make_shared<sim::K3Simulator>(seed)) {
        simulator->setNoiseEnabled(true);
        link.setTransport(std::make_unique<SimTransport>(simulator, clock));
        link.open();
        prompter.setHook([this](const PromptMessage &m) {
            if (m.title == QLatin1String("Set AFV Reference")) clock.advance(3000);
        });
    }
};

struct Lines : SweepSink, DbvResultSink {
    QStringList lines;
    void clearLines() override { lines.clear(); }
    void appendLine(const QString &line) override { lines << line; }
    void prepareChart(int) override {}
    // The sweep's chart: a row per grid point (from 1), each measured one with its reading.
    void setChartRow(int row, double value, const QString &) override { rows[row] = value; }
    std::map<int, double> rows;
    QStringList data() const { return lines.mid(kReportLines); }
};

struct SweepResult {
    int points = 0;
    FilterFigures figures;
};

SweepResult sweepSlot(quint32 seed, int slot, int widthHz, int stepHz, SweepMode mode) {
    Rig rig(seed);
    sim::K3State &s = rig.simulator->state();
    s.selectedSlot = slot;
    // A strong carrier at a low RF gain: the peak stays under the audio compression and some
    // 70 dB above the floor; the DSP passband is opened wide so the crystal filter shows.
    s.dspBandwidthHz = 20000;
    rig.simulator->generator().levelDbm = -30.0;
    rig.simulator->generator().frequencyHz = kCentreHz;
    const double half = 1.5 * widthHz;
    const SweepInputs inputs{QString::number((kCentreHz - half) / 1000.0, 'f', 3),
                             QString::number((kCentreHz + half) / 1000.0, 'f', 3),
                             QString::number(stepHz), QStringLiteral("37"), mode};
    FilterSweepState state;
    Lines sink;
    FilterSweep(rig.link, rig.prompter, state, sink).beginSweep(inputs);
    std::vector<SweepPoint> points;
    // The frequencies of the grid, to the hertz (the list's labels keep 10 Hz).
    const double startHz = std::round(kCentreHz - half);
    for (const auto &[row, db] : sink.rows) points.push_back({startHz + (row - 1) * stepHz, db});
    return {int(points.size()), analyseSweep(points)};
}

struct RangeResult {
    int points = 0;
    LinearRange range;
};

RangeResult linearRange(quint32 seed, bool adaptive) {
    Rig rig(seed);
    DbvWindowState state;
    Lines sink;
    DbvFullTest(rig.link, rig.prompter, state, sink)
        .run({QStringLiteral("50"), QStringLiteral("250"), QStringLiteral("1"), adaptive});
    std::vector<GainDiff> measured;
    for (const QString &line : sink.data())
        measured.push_back({int(numericValue(line.section(u'\t', 0, 0))),
                            numericValue(line.section(u'\t', 3, 3))});
    return {int(measured.size()), findLinearRange(measured)};
}

bool within(const std::optional<double> &a, const std::optional<double> &b, double step) {
    return a && b && std::abs(*a - *b) <= step;
}

std::vector<SlotResult> survey(quint32 seed, bool adaptive) {
    Rig rig(seed);
    SurveySink sink;
    SurveyOptions options;
    options.adaptive = adaptive;
    return FilterSurvey(rig.link, rig.prompter, sink).run(options).slotResults;
}

int pointsOf(const std::vector<SlotResult> &slotResults) {
    int points = 0;
    for (const SlotResult &slot : slotResults) points += int(slot.points.size());
    return points;
}

// The survey row: per slot, then the whole survey (a seed counts when every slot's three
// figures are within). Returns the largest share of the fixed survey's points.
double surveyRows() {
    constexpr int kSlots = 5;
    std::array<int, kSlots> dense{}, most{}, ok3{}, ok6{}, okCentre{}, steps{};
    int denseAll = 0, mostAll = 0, leastAll = 0, seedsWithin = 0;
    for (quint32 seed = 1; seed <= kSeeds; ++seed) {
        const std::vector<SlotResult> d = survey(seed, false);
        const std::vector<SlotResult> a = survey(seed, true);
        if (d.size() != kSlots || a.size() != kSlots) {
            std::printf("survey seed %u: %zu and %zu slots surveyed\n", seed, d.size(), a.size());
            return 1.0;
        }
        bool all = true;
        for (size_t i = 0; i < kSlots; ++i) {
            const FilterFigures &df = d[i].figures, &af = a[i].figures;
            const double step = d[i].plan.stepHz;
            const bool w3 = within(af.width3.widthHz(), df.width3.widthHz(), step);
            const bool w6 = within(af.width6.widthHz(), df.width6.widthHz(), step);
            const bool c = within(af.centreHz, df.centreHz, step);
            ok3[i] += w3;
            ok6[i] += w6;
            okCentre[i] += c;
            all = all && w3 && w6 && c;
            steps[i] = int(step);
            dense[i] = int(d[i].points.size());
            most[i] = std::max(most[i], int(a[i].points.size()));
        }
        seedsWithin += all;
        denseAll = pointsOf(d);
        mostAll = std::max(mostAll, pointsOf(a));
        leastAll = seed == 1 ? pointsOf(a) : std::min(leastAll, pointsOf(a));
    }
    for (size_t i = 0; i < kSlots; ++i)
        std::printf("%-22s %6d %6d %5d (%3.0f%%) %7d/%d %7d/%d %7d/%d\n",
                    qPrintable(QStringLiteral("survey FL%1").arg(i + 1)), steps[i], dense[i],
                    most[i], 100.0 * most[i] / dense[i], ok3[i], kSeeds, ok6[i], kSeeds,
                    okCentre[i], kSeeds);
    std::printf("%-22s %6s %6d %5d (%3.0f%%) least %d, all figures within on %d/%d seeds\n",
                "survey, five slots", "", denseAll, mostAll, 100.0 * mostAll / denseAll, leastAll,
                seedsWithin, kSeeds);
    std::fflush(stdout);
    return double(mostAll) / denseAll;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    double worstShare = 0.0;
    std::printf("Adaptive against dense fixed-step runs, simulator noise on, %d seeds\n\n", kSeeds);
    std::printf("%-22s %6s %6s %12s %10s %10s %10s %10s\n", "run", "step", "dense", "adaptive max",
                "-3 dB", "-6 dB", "centre", "-60 dB");
    const std::array<sim::CrystalFilter, 5> filters = sim::defaultMainFilters();
    for (int slot = 0; slot < 5; ++slot) {
        const int width = filters[size_t(slot)].bandwidthHz;
        const int step = int(roundHalfEven(width / 40.0));
        int dense = 0, most = 0, ok3 = 0, ok6 = 0, okCentre = 0, ok60 = 0, reach60 = 0;
        for (quint32 seed = 1; seed <= kSeeds; ++seed) {
            const SweepResult d = sweepSlot(seed, slot, width, step, SweepMode::Fixed);
            const SweepResult a = sweepSlot(seed, slot, width, step, SweepMode::Adaptive);
            dense = d.points;
            most = std::max(most, a.points);
            worstShare = std::max(worstShare, double(a.points) / d.points);
            ok3 += within(a.figures.width3.widthHz(), d.figures.width3.widthHz(), step);
            ok6 += within(a.figures.width6.widthHz(), d.figures.width6.widthHz(), step);
            okCentre += within(a.figures.centreHz, d.figures.centreHz, step);
            if (d.figures.width60.widthHz()) {
                ++reach60;
                ok60 += within(a.figures.width60.widthHz(), d.figures.width60.widthHz(), step);
            }
        }
        const QString name = QStringLiteral("sweep FL%1 %2 Hz").arg(slot + 1).arg(width);
        const QString sixty = reach60 ? QStringLiteral("%1/%2").arg(ok60).arg(reach60)
                                      : QStringLiteral("not reached");
        std::printf("%-22s %6d %6d %5d (%3.0f%%) %7d/%d %7d/%d %7d/%d %10s\n", qPrintable(name),
                    step, dense, most, 100.0 * most / dense, ok3, kSeeds, ok6, kSeeds, okCentre,
                    kSeeds, qPrintable(sixty));
        std::fflush(stdout);
    }
    int dense = 0, most = 0, okLow = 0, okHigh = 0;
    for (quint32 seed = 1; seed <= kSeeds; ++seed) {
        const RangeResult d = linearRange(seed, false);
        const RangeResult a = linearRange(seed, true);
        dense = d.points;
        most = std::max(most, a.points);
        worstShare = std::max(worstShare, double(a.points) / d.points);
        okLow += within(a.range.lowGain, d.range.lowGain, 1);
        okHigh += within(a.range.highGain, d.range.highGain, 1);
        std::printf("  seed %2u: dense %s..%s, adaptive %s..%s (%d points)\n", seed,
                    qPrintable(QString::number(d.range.lowGain.value_or(-1))),
                    qPrintable(QString::number(d.range.highGain.value_or(-1))),
                    qPrintable(QString::number(a.range.lowGain.value_or(-1))),
                    qPrintable(QString::number(a.range.highGain.value_or(-1))), a.points);
    }
    std::printf("%-22s %6d %6d %5d (%3.0f%%) low end %d/%d, high end %d/%d\n",
                "linear range 50..250", 1, dense, most, 100.0 * most / dense, okLow, kSeeds, okHigh,
                kSeeds);
    worstShare = std::max(worstShare, surveyRows());
    // The largest share of its dense run's points an adaptive run measured.
    std::printf("adaptive: %.3f ratio\n", worstShare);
    return 0;
}
