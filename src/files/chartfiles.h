#pragma once
// Charts read back from saved results files: the filter sweep file and the dBV file. Both
// readers rely on the files' fixed layout: lines 26 to 28 hold the report's three parameter
// lines, 29 and 30 the separator and column heading, and the data runs from line 31 to an
// empty line or the end of the file. A data line is read by its tab-separated fields, so
// readings of any width (-5.3, 24.8, -23.5) are read whole.
//
// A reader reads the whole file into a ChartFileData first and touches no chart: a file
// that is not what it expects comes back as one message naming the file and saying what is
// wrong and on which line, and the chart on screen stays as it was. A file that ends inside
// its data is charted as far as it goes, with a warning naming its last line.

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
    // The chart's rows, so that its X axis spans the file's first to last frequency (or
    // gain): one per data line; for an adaptive run's file one per step of its grid from
    // its first point to its last. A file without data lines gets the rows its parameter
    // lines announce, from their start to their stop.
    int rowCount = 0;
    std::vector<ChartFileRow> rows;  // the data lines, first to last
    // Sweep files: the start, stop (kHz) and step (Hz) texts of lines 26 to 28.
    QString startText;
    QString stopText;
    QString stepText;
    // An adaptive run's file: the data lines are the points measured, in frequency or gain
    // order, each on the grid of the start and the step (or increment) of lines 26 to 28.
    bool adaptive = false;
    // Set when the file ends inside its data: cut off inside its last line (which has no
    // line end and is left out), or at a whole line before its stop frequency or gain (the
    // run was stopped, or the file was cut there). The rows read are charted all the same.
    QString warning;
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

// The readers, from a file on disk or from its lines. `path` names the file in the messages
// ("The file P is not ..."; without one: "This is not ..."); `lastLineEnded` is false for a
// file whose last line has no line end (readTextLines).
ChartFileResult readChartFile(ChartFileKind kind, const QString &path);
ChartFileResult parseSweepChartLines(const QStringList &lines, const QString &path = QString(),
                                     bool lastLineEnded = true);
ChartFileResult parseDbvChartLines(const QStringList &lines, const QString &path = QString(),
                                   bool lastLineEnded = true);
// A file of either kind, told by its first line (or its line 26); a file of neither kind
// gets a message that names both first lines.
ChartFileResult readAnyChartFile(const QString &path);

// The kind a file says it is: its first line, or failing that its line 26.
std::optional<ChartFileKind> chartFileKindOf(const QStringList &lines);

}  // namespace corvane
