#include "files/chartfiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/numtext.h"
#include "files/linefile.h"

namespace corvane {

namespace {

// Line numbers as a text editor shows them (from 1).
constexpr int kStartLine = 26;
constexpr int kHeadingLine = 30;
// Readings in dB and frequencies in kHz are far below this; a larger number is damage.
constexpr double kMaxDataMagnitude = 1e9;

constexpr auto kSweepTitle = QLatin1String("K3 Crystal Filter Sweep Results");
constexpr auto kDbvTitle = QLatin1String("K3 dBV Linear Range Test Results");
constexpr auto kQuickTestHeader =
    QLatin1String("==============Half-Interval Search Results===================");

// One parameter line: its label, how many characters the reader cuts off the front (the
// label and its blank), and what the number stands for in a message.
struct ParameterLine {
    QLatin1String label;
    int cut;
    QLatin1String meaning;
};

const ParameterLine kSweepParameters[] = {
    {QLatin1String("Frequency Start:"), 17, QLatin1String("start frequency")},
    {QLatin1String("Frequency Stop:"), 16, QLatin1String("stop frequency")},
    {QLatin1String("Frequency Step:"), 16, QLatin1String("frequency step")},
};
const ParameterLine kDbvParameters[] = {
    {QLatin1String("RF Gain Start:"), 15, QLatin1String("start RF gain")},
    {QLatin1String("RF Gain Stop:"), 14, QLatin1String("stop RF gain")},
    {QLatin1String("RF Gain Increment:"), 19, QLatin1String("RF gain increment")},
};

// Blanks (not tabs) off both ends, as the readers trim their lines.
QString trimBlanks(const QString &text) {
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin) == u' ') ++begin;
    while (end > begin && text.at(end - 1) == u' ') --end;
    return text.mid(begin, end - begin);
}

QString quoted(const QString &text) {
    return u'"' + text + u'"';
}

// A line of the file in a message: at most 40 characters, quoted.
QString quotedLine(const QString &line) {
    constexpr int kShown = 40;
    return quoted(line.size() > kShown ? line.left(kShown) + QStringLiteral("...") : line);
}

class Reader {
public:
    Reader(ChartFileKind kind, const QStringList &lines, const QString &path, bool lastLineEnded)
        : m_kind(kind), m_lines(lines), m_path(path) {
        m_data.kind = kind;
        // A last line without its line end was cut off: it is not read, only named.
        if (!lastLineEnded && !m_lines.isEmpty()) {
            m_cutLine = int(m_lines.size());
            m_cutText = m_lines.takeLast();
        }
    }

    ChartFileResult read() {
        if (!readParameters() || !readRows()) return {std::nullopt, m_error};
        // The report (lines 5 to 25) says whether the run was adaptive.
        for (int i = 0; i < kStartLine - 1; ++i)
            if (m_lines.at(i) == adaptiveRunLine()) m_data.adaptive = true;
        m_data.rowCount = rowCount();
        return {m_data, QString()};
    }

private:
    bool isSweep() const { return m_kind == ChartFileKind::Sweep; }
    int lineCount() const { return int(m_lines.size()); }
    const ParameterLine *parameters() const {
        return isSweep() ? kSweepParameters : kDbvParameters;
    }

    QString theFile() const {
        return m_path.isEmpty() ? QStringLiteral("The file") : QStringLiteral("The file ") + m_path;
    }

    bool fail(const QString &reason) {
        const QString kindText = isSweep() ? QStringLiteral("a filter sweep results file: ")
                                           : QStringLiteral("a dBV full test results file: ");
        m_error = (m_path.isEmpty() ? QStringLiteral("This") : theFile()) +
                  QStringLiteral(" is not ") + kindText + reason;
        return false;
    }

    // The file stops before `line`.
    bool failEndsBefore(int line, const QString &expected) {
        QString reason;
        if (m_lines.isEmpty())
            reason = QStringLiteral("the file is empty");
        else if (!isSweep() && m_lines.contains(kQuickTestHeader))
            reason = QStringLiteral("it holds the results of a quick test, which have no chart");
        else if (m_cutLine)
            reason = QStringLiteral("it is cut off inside line %1").arg(m_cutLine);
        else
            reason = QStringLiteral("it ends at line %1").arg(lineCount());
        return fail(reason + QStringLiteral("; line %1 should %2").arg(line).arg(expected));
    }

    // A number of the file, or nullopt after naming the line and the field: a text that
    // is not a number, and a number too large for a chart (1e308, 1e999), are refused alike.
    std::optional<double> dataNumber(int lineNumber, const QString &meaning, const QString &text) {
        if (!isNumber(text)) {
            fail(QStringLiteral("line %1: the %2 %3 is not a number")
                     .arg(lineNumber)
                     .arg(meaning, quoted(text)));
            return std::nullopt;
        }
        const double value = text.trimmed().toDouble();
        if (!std::isfinite(value) || std::abs(value) > kMaxDataMagnitude) {
            fail(QStringLiteral("line %1: the %2 %3 is too large for a chart")
                     .arg(lineNumber)
                     .arg(meaning, quoted(text)));
            return std::nullopt;
        }
        return value;
    }

    // The number of parameter line `index` (0 to 2), cut as the reader cuts it; nullopt
    // after saying what is wrong.
    std::optional<double> parameter(int index, QString *text) {
        const ParameterLine &p = parameters()[index];
        const int lineNumber = kStartLine + index;
        const QString raw = m_lines.at(lineNumber - 1);
        // The sweep file's lines are trimmed before the cut, the dBV file's are not.
        const QString line = isSweep() ? trimBlanks(raw) : raw;
        if (!line.startsWith(p.label)) {
            fail(QStringLiteral("line %1 should start with %2").arg(lineNumber).arg(p.label));
            return std::nullopt;
        }
        *text = line.mid(p.cut);
        if (text->isEmpty()) {
            fail(QStringLiteral("line %1 has no %2 after %3")
                     .arg(lineNumber)
                     .arg(p.meaning, p.label));
            return std::nullopt;
        }
        return dataNumber(lineNumber, p.meaning, *text);
    }

    // A parameter as a 16-bit whole number (halves to even).
    std::optional<int16_t> wholeParameter(int index, double value) {
        const std::optional<int16_t> whole = toInt16(value);
        if (!whole)
            fail(QStringLiteral("line %1: the %2 does not fit a chart (-32768 to 32767)")
                     .arg(kStartLine + index)
                     .arg(parameters()[index].meaning));
        return whole;
    }

    bool readParameters() {
        if (lineCount() < kStartLine)
            return failEndsBefore(kStartLine,
                                  QStringLiteral("start with ") + parameters()[0].label);
        if (lineCount() < kStartLine + 2) {
            const int missing = lineCount() + 1;
            return failEndsBefore(
                missing, QStringLiteral("start with ") + parameters()[missing - kStartLine].label);
        }
        QString texts[3];
        double values[3] = {};
        for (int i = 0; i < 3; ++i) {
            const std::optional<double> value = parameter(i, &texts[i]);
            if (!value) return false;
            values[i] = *value;
        }
        const std::optional<int16_t> start = wholeParameter(0, values[0]);
        if (!start) return false;
        const std::optional<int16_t> stop = wholeParameter(1, values[1]);
        if (!stop) return false;

        // Sweep: kHz to Hz over a step in Hz; dBV: over the increment as a whole number.
        double divisor = values[2];
        double span = std::abs(int(*start) - int(*stop));
        if (isSweep()) {
            span *= 1000.0;
        } else {
            const std::optional<int16_t> increment = wholeParameter(2, values[2]);
            if (!increment) return false;
            divisor = *increment;
        }
        if (divisor <= 0)
            return fail(QStringLiteral("line %1: the %2 should be more than 0")
                            .arg(kStartLine + 2)
                            .arg(parameters()[2].meaning));
        const std::optional<int16_t> count = toInt16(span / divisor);
        if (!count || *count + 1 > kMaxChartFileRows)
            return fail(QStringLiteral("lines %1 to %2 give more points than a chart holds (%3)")
                            .arg(kStartLine)
                            .arg(kStartLine + 2)
                            .arg(kMaxChartFileRows));
        // The rows from start to stop as the texts give them, for a file without data lines.
        m_announcedRows = int(std::min<double>(
            kMaxChartFileRows,
            std::round(std::abs(values[1] - values[0]) * (isSweep() ? 1000.0 : 1.0) / divisor) +
                1));
        m_start = values[0];
        m_stop = values[1];
        m_step = divisor;
        m_data.startText = texts[0];
        m_data.stopText = texts[1];
        m_data.stepText = texts[2];
        if (lineCount() < kHeadingLine)
            return failEndsBefore(
                lineCount() + 1,
                QStringLiteral("hold the %1")
                    .arg(lineCount() + 1 < kHeadingLine ? QStringLiteral("separator line")
                                                        : QStringLiteral("column heading")));
        return true;
    }

    // A data line read by its tab-separated fields. Sweep: the frequency (kHz), two tabs,
    // the reading; dBV: the RF gain, the two readings and the difference.
    bool readRow(int lineNumber, const QString &line, ChartFileRow *row) {
        const QStringList fields = line.split(u'\t');
        std::optional<double> value;
        if (isSweep()) {
            const QString reading = fields.size() > 1 ? fields.last() : QString();
            if (reading.isEmpty())
                return fail(QStringLiteral("line %1 should hold a frequency and a reading "
                                           "separated by tabs")
                                .arg(lineNumber));
            const std::optional<double> kHz =
                dataNumber(lineNumber, QStringLiteral("frequency"), fields.first());
            if (!kHz) return false;
            row->label = fields.first();
            row->kHz = *kHz;
            row->valueText = reading;
            value = dataNumber(lineNumber, QStringLiteral("reading"), reading);
        } else {
            if (fields.size() < 4)
                return fail(QStringLiteral("line %1 should hold the RF gain, two readings and "
                                           "the difference separated by tabs")
                                .arg(lineNumber));
            const std::optional<double> gain =
                dataNumber(lineNumber, QStringLiteral("RF gain"), fields.first());
            if (!gain) return false;
            row->label = fields.first();
            row->gain = *gain;
            row->valueText = fields.at(3);
            value = dataNumber(lineNumber, QStringLiteral("difference"), fields.at(3));
            row->diffDb = value;
        }
        if (!value) return false;
        row->value = *value;
        return true;
    }

    bool readRows() {
        m_data.rows.reserve(size_t(std::max(0, lineCount() - kHeadingLine)));
        for (int index = kHeadingLine; index < lineCount(); ++index) {
            const int lineNumber = index + 1;
            const QString line = trimBlanks(m_lines.at(index));
            if (line.isEmpty()) return true;  // the data ends at an empty line
            if (int(m_data.rows.size()) >= kMaxChartFileRows)
                return fail(QStringLiteral("line %1: more points than a chart holds (%2)")
                                .arg(lineNumber)
                                .arg(kMaxChartFileRows));
            ChartFileRow row;
            if (!readRow(lineNumber, line, &row)) return false;
            m_data.rows.push_back(row);
        }
        noteEnd();
        return true;
    }

    // The data ran to the end of the file: a cut last line, or a last point short of the
    // stop by a step or more, is worth a warning.
    void noteEnd() {
        const QString shows = m_data.rows.empty()
                                  ? QStringLiteral("the chart has no points")
                                  : QStringLiteral("the chart shows lines %1 to %2")
                                        .arg(kHeadingLine + 1)
                                        .arg(kHeadingLine + int(m_data.rows.size()));
        if (m_cutLine && !trimBlanks(m_cutText).isEmpty()) {
            m_data.warning = QStringLiteral(
                                 "%1 is cut off inside line %2, its last line (%3 has "
                                 "no line end); %4.")
                                 .arg(theFile())
                                 .arg(m_cutLine)
                                 .arg(quotedLine(m_cutText), shows);
            return;
        }
        if (m_data.rows.empty()) return;
        const ChartFileRow &last = m_data.rows.back();
        const double scale = isSweep() ? 1000.0 : 1.0;
        const double at = isSweep() ? last.kHz : last.gain;
        const double direction = m_stop >= m_start ? 1.0 : -1.0;
        // A whole run's last point is less than a step from its stop.
        if ((m_stop - at) * direction * scale < m_step * (1.0 - 1e-6)) return;
        m_data.warning =
            QStringLiteral(
                "%1 ends at line %2 (%3), before its %4 %5: the run was "
                "stopped there, or the file is cut off.")
                .arg(theFile())
                .arg(kHeadingLine + int(m_data.rows.size()))
                .arg(last.label + unit(), parameters()[1].meaning, m_data.stopText + unit());
    }

    QString unit() const { return isSweep() ? QStringLiteral(" kHz") : QString(); }

    // One row per data line; an adaptive run's points on their grid, first to last.
    int rowCount() const {
        if (m_data.rows.empty()) return m_announcedRows;
        if (!m_data.adaptive) return int(m_data.rows.size());
        const auto [low, high] = std::minmax_element(
            m_data.rows.begin(), m_data.rows.end(), [this](const auto &a, const auto &b) {
                return (isSweep() ? a.kHz : a.gain) < (isSweep() ? b.kHz : b.gain);
            });
        const double span = isSweep() ? (high->kHz - low->kHz) * 1000.0 : high->gain - low->gain;
        const double step = isSweep() ? m_step : std::max(1.0, m_step);
        return int(std::min<double>(kMaxChartFileRows, std::round(span / step) + 1));
    }

    ChartFileKind m_kind;
    QStringList m_lines;
    QString m_path;
    int m_cutLine = 0;  // the line number of a last line without its line end, else 0
    QString m_cutText;
    int m_announcedRows = 0;
    double m_start = 0.0, m_stop = 0.0, m_step = 1.0;  // kHz and Hz, or gains
    ChartFileData m_data;
    QString m_error;
};

}  // namespace

QString adaptiveRunLine() {
    return QStringLiteral("Test settings of K3 (adaptive run) ====");
}

QString chartFileTitleLine(ChartFileKind kind) {
    return kind == ChartFileKind::Sweep ? QString(kSweepTitle) : QString(kDbvTitle);
}

ChartFileResult parseSweepChartLines(const QStringList &lines, const QString &path,
                                     bool lastLineEnded) {
    return Reader(ChartFileKind::Sweep, lines, path, lastLineEnded).read();
}

ChartFileResult parseDbvChartLines(const QStringList &lines, const QString &path,
                                   bool lastLineEnded) {
    return Reader(ChartFileKind::Dbv, lines, path, lastLineEnded).read();
}

namespace {

ChartFileResult readChartFileOf(std::optional<ChartFileKind> kind, const QString &path) {
    QString error;
    bool ended = true;
    const std::optional<QStringList> lines = readTextLines(path, &error, &ended);
    if (!lines)
        return {std::nullopt, QStringLiteral("The file %1 cannot be read: %2").arg(path, error)};
    if (!kind) kind = chartFileKindOf(*lines);
    if (!kind)
        return {std::nullopt,
                QStringLiteral("The file %1 is not a dBV or filter sweep results file: line 1 "
                               "should read %2 or %3")
                    .arg(path, kDbvTitle, kSweepTitle)};
    return Reader(*kind, *lines, path, ended).read();
}

}  // namespace

ChartFileResult readChartFile(ChartFileKind kind, const QString &path) {
    return readChartFileOf(kind, path);
}

ChartFileResult readAnyChartFile(const QString &path) {
    return readChartFileOf(std::nullopt, path);
}

std::optional<ChartFileKind> chartFileKindOf(const QStringList &lines) {
    if (lines.isEmpty()) return std::nullopt;
    if (lines.first() == kSweepTitle) return ChartFileKind::Sweep;
    if (lines.first() == kDbvTitle) return ChartFileKind::Dbv;
    if (lines.size() >= kStartLine) {
        const QString line = lines.at(kStartLine - 1);
        if (trimBlanks(line).startsWith(kSweepParameters[0].label)) return ChartFileKind::Sweep;
        if (line.startsWith(kDbvParameters[0].label)) return ChartFileKind::Dbv;
    }
    return std::nullopt;
}

}  // namespace corvane
