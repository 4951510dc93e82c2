#pragma once
// Charts read back from saved results files: the filter sweep file and the dBV file. Both
// readers rely on the files' fixed layout: lines 26 to 28 hold the report's three parameter
// lines, 29 and 30 the separator and column heading, and the data runs from line 31 to an
// empty line or the end of the file. A data line is read by its tab-separated fields, so
// readings of any width (-5.3, 24.8, -23.5) are read whole.
//
// A reader reads the whole file into a ChartFileData first and touches no chart: a file
// that is not what it expects comes back as one message saying what is wrong and on which
// line, and the chart on screen stays as it was.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "files/linefile.h"

namespace corvane {

// The most rows a chart holds: its row count is a signed 16-bit field.
constexpr int kMaxChartFileRows = 32767;

enum class ChartFileKind { Sweep, Dbv };

// One data line: the first field as the row label (the frequency or the RF gain), the
// charted field (the reading or the difference) as written and as a number.
struct ChartFileRow {
    QString label;
    QString valueText;
    double value = 0.0;
    double kHz = 0.0;  // sweep files: the frequency
    // dBV files: the gain field and the difference field.
    double gain = 0.0;
    std::optional<double> diffDb;
};

struct ChartFileData {
    ChartFileKind kind = ChartFileKind::Sweep;
    // The rows the file's parameter lines announce (count + 1), or the data lines when
    // there are more of them.
    int rowCount = 0;
    std::vector<ChartFileRow> rows;  // the data lines, first to last
    // Sweep files: the start, stop (kHz) and step (Hz) texts of lines 26 to 28.
    QString startText;
    QString stopText;
    QString stepText;
    // An adaptive run's file: the data lines are the points measured, in frequency or gain
    // order, each on the grid of the start and the step (or increment) of lines 26 to 28.
    bool adaptive = false;
};

struct ChartFileResult {
    std::optional<ChartFileData> data;
    QString error;  // the message when there is no data
};

// The report line of an adaptive run, in place of "Test settings of K3 " and 15 "=" (the
// report keeps its length, so the parameter lines stay at 26 to 28).
QString adaptiveRunLine();

// The first line of each kind of results file.
QString chartFileTitleLine(ChartFileKind kind);

// The readers, from a file on disk or from its lines.
ChartFileResult readChartFile(ChartFileKind kind, const QString &path);
ChartFileResult parseSweepChartLines(const QStringList &lines);
ChartFileResult parseDbvChartLines(const QStringList &lines);

// The kind a file says it is: its first line, or failing that its line 26.
std::optional<ChartFileKind> chartFileKindOf(const QStringList &lines);

}  // namespace corvane
