#include "charts/chartsetup.h"

#include "charts/resultchart.h"
#include "core/numtext.h"

namespace corvane {

namespace {

void setTexts(ResultChart &chart, const QString &title, const QString &xTitle,
              const QString &yTitle) {
    chart.setTitle(title);
    chart.setXAxisTitle(xTitle);
    chart.setYAxisTitle(yTitle);
}

constexpr auto kSweepYTitle = QLatin1String("Audio Response K3 dBV Function (dB)");
constexpr auto kDialSettingTitle = QLatin1String("K3 Dial Setting (KHz)");

}  // namespace

void applyInitialTexts(ResultChart &chart, ChartWindowKind kind) {
    switch (kind) {
        case ChartWindowKind::Sweep:
            setTexts(chart, QStringLiteral("K3 Filter Sweep Results"),
                     QStringLiteral("K3 Dial Frequency (KHz)"), kSweepYTitle);
            break;
        case ChartWindowKind::LinearRange:
            setTexts(chart, QString(), QStringLiteral("K3 RF Gain Setting"),
                     QStringLiteral("K3 dBV Response, dB"));
            break;
        case ChartWindowKind::SweepFile:
            // The trailing blank belongs to the caption.
            setTexts(chart, QString(), QStringLiteral("K3 Dial Setting, kHz"),
                     QStringLiteral("Audio Response K3 dBV Function, dB "));
            break;
        case ChartWindowKind::DbvFile:
            setTexts(chart, QString(), QStringLiteral("K3 RF Gain Setting"),
                     QStringLiteral("Audio Response K3 dBV Function, dB"));
            break;
    }
}

SweepSpacing sweepSpacing(const QString &startKHz, const QString &stopKHz, const QString &stepHz) {
    SweepSpacing s;
    s.startHz = numericValue(startKHz) * 1000.0;
    s.stopHz = numericValue(stopKHz) * 1000.0;
    s.stepHz = numericValue(stepHz);
    s.perLabel = (s.stopHz - s.startHz) / s.stepHz / 10.0;
    s.perTick = (s.stopHz - s.startHz) / s.stepHz / 20.0;
    return s;
}

void applySweepScales(ResultChart &chart, const SweepSpacing &spacing) {
    chart.setXValueScale(ValueScale{false, spacing.startHz, spacing.stopHz});

    CategoryScale category = chart.xCategoryScale();
    category.labelTick = true;
    const std::optional<int16_t> perLabel = toInt16(spacing.perLabel);
    const std::optional<int16_t> perTick = toInt16(spacing.perTick);
    if (perLabel && perTick) {
        category.automatic = false;
        category.divisionsPerLabel = *perLabel;
        category.divisionsPerTick = *perTick;
    } else {
        category.automatic = true;
    }
    chart.setXCategoryScale(category);
}

bool applySweepSetup(ResultChart &chart, const QString &startKHz, const QString &stopKHz,
                     const QString &stepHz) {
    if (chart.isSetUp()) return false;
    chart.markSetUp();
    if (startKHz.isEmpty() || stopKHz.isEmpty() || stepHz.isEmpty()) return false;

    chart.setKind(ChartKind::Line2D);
    setTexts(chart, QStringLiteral("K3 Filter Sweep Results"), kDialSettingTitle, kSweepYTitle);
    chart.setLabelTick(true);
    applySweepScales(chart, sweepSpacing(startKHz, stopKHz, stepHz));
    return true;
}

void applyLinearRangeTexts(ResultChart &chart) {
    chart.setKind(ChartKind::Line2D);
    setTexts(chart, QStringLiteral("K3 DBV Function Linear Range"),
             QStringLiteral("RF Gain Setting"), QStringLiteral("DBV Difference (dB)"));
    chart.setLabelTick(true);
}

void applyAutomaticScales(ResultChart &chart) {
    chart.setValueAutomatic(true);
    chart.setCategoryAutomatic(true);
}

void applyLinearRangePresentation(ResultChart &chart) {
    applyLinearRangeTexts(chart);
    applyAutomaticScales(chart);
}

void applySweepFileTexts(ResultChart &chart) {
    chart.setKind(ChartKind::Line2D);
    setTexts(chart, QStringLiteral("K3 Filter Sweep Chart"), kDialSettingTitle, kSweepYTitle);
    chart.setLabelTick(true);
}

}  // namespace corvane
