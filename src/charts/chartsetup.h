#pragma once
// The texts and scale settings the program puts into its charts: the initial texts of each
// chart window, the sweep chart's one set-up per run, the linear range presentation that
// the dBV full test applies after its last step, and the pieces the charts read back from
// results files use.

#include <QString>

namespace corvane {

class ResultChart;

enum class ChartWindowKind {
    Sweep,        // the running filter sweep
    LinearRange,  // the running dBV full test
    SweepFile,    // a filter sweep results file charted later
    DbvFile,      // a dBV results file charted later
};

// The texts a chart window shows until the program sets its own.
void applyInitialTexts(ResultChart &chart, ChartWindowKind kind);

// X axis spacing of a sweep from the three boxes' texts (start and stop in kHz, step in Hz).
struct SweepSpacing {
    double startHz = 0.0;
    double stopHz = 0.0;
    double stepHz = 0.0;
    double perLabel = 0.0;  // rows between X labels, before rounding
    double perTick = 0.0;   // rows between tick marks, before rounding
};
SweepSpacing sweepSpacing(const QString &startKHz, const QString &stopKHz, const QString &stepHz);

// X value scale from startHz to stopHz, and the category scale with labels every perLabel
// and ticks every perTick rows (halves to even). Spacings that do not fit a 16-bit field
// (a zero step, say) leave the category scale automatic so that the labels stay readable.
void applySweepScales(ResultChart &chart, const SweepSpacing &spacing);

// The sweep chart's set-up, done at most once per chart: the first call decides. It applies
// the sweep texts and scales only when all three texts are non-empty; with an empty box the
// chart keeps its initial texts for good. Returns whether the set-up was applied now.
bool applySweepSetup(ResultChart &chart, const QString &startKHz, const QString &stopKHz,
                     const QString &stepHz);

// Line kind, the linear range title and axis titles, labels on the tick marks.
void applyLinearRangeTexts(ResultChart &chart);
// X value scale and category scale both automatic.
void applyAutomaticScales(ResultChart &chart);
// Both of the above: what the dBV full test applies after its last step.
void applyLinearRangePresentation(ResultChart &chart);

// Line kind, the title and axis titles of a sweep charted from a file, labels on the ticks.
void applySweepFileTexts(ResultChart &chart);

}  // namespace corvane
