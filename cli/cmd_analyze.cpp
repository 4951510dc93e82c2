// corvane-cli analyze: the filter figures of saved sweep files - peak, -3/-6/-60 dB widths,
// shape factor, centre and its offset, ripple and floor - as an aligned table or as CSV; or,
// when the first file is a dBV results file (its line 1 says so), the linear range of each
// dBV file, full or adaptive.

#include <algorithm>

#include "analysis/filterfigures.h"
#include "analysis/linearrange.h"
#include "charts/chartfromfile.h"
#include "core/numtext.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kCsvOption = QStringLiteral("csv");
const QString kToleranceOption = QStringLiteral("tolerance");

// A file read as the chart window reads it, or nothing with the reader's message (which
// names the file). A file cut off inside its data is analysed as far as it goes, after its
// warning.
std::optional<ChartFileData> readFile(ChartFileKind kind, const QString &path, QString *error) {
    ChartFileResult result = readChartFile(kind, path);
    if (!result.data) {
        *error = result.error;
        return std::nullopt;
    }
    if (!result.data->warning.isEmpty())
        printError(QStringLiteral("corvane-cli: warning: ") + result.data->warning);
    return std::move(result.data);
}

// The linear range of a dBV file, or the reader's message.
std::optional<LinearRange> linearRangeOfFile(const QString &path, double toleranceDb,
                                             QString *error) {
    const std::optional<ChartFileData> data = readFile(ChartFileKind::Dbv, path, error);
    if (!data) return std::nullopt;
    std::vector<GainDiff> measured;
    for (size_t i = 0; i < data->rows.size(); ++i) {
        const ChartFileRow &row = data->rows[i];
        if (!row.diffDb) {
            *error = QStringLiteral("%1: line %2 has no difference in its fourth field")
                         .arg(path)
                         .arg(31 + int(i));
            return std::nullopt;
        }
        measured.push_back({int(row.gain), *row.diffDb});
    }
    return findLinearRange(measured, toleranceDb);
}

bool isDbvFile(const QString &path) {
    QString error;
    const std::optional<QStringList> lines = readTextLines(path, &error);
    return lines && !lines->isEmpty() && lines->first() == chartFileTitleLine(ChartFileKind::Dbv);
}

// The figures of a sweep file, or the reader's message.
std::optional<FilterFigures> figuresOfFile(const QString &path, QString *error) {
    const std::optional<ChartFileData> data = readFile(ChartFileKind::Sweep, path, error);
    if (!data) return std::nullopt;
    return analyseSweep(sweepPointsOf(*data));
}

// The CSV fields as table columns, right-aligned under their names.
QStringList alignedTable(const QList<QStringList> &records) {
    std::vector<int> widths;
    for (const QStringList &record : records)
        for (int i = 0; i < record.size(); ++i) {
            if (size_t(i) >= widths.size()) widths.push_back(0);
            widths[size_t(i)] = std::max(widths[size_t(i)], int(record.at(i).size()));
        }
    QStringList lines;
    for (const QStringList &record : records) {
        QStringList cells;
        for (int i = 0; i < record.size(); ++i)
            cells << (i == 0 ? record.at(i).leftJustified(widths[0])
                             : record.at(i).rightJustified(widths[size_t(i)]));
        lines << cells.join(QStringLiteral("  ")).trimmed();
    }
    return lines;
}

int runAnalyzeDbv(CliSession &session, const QStringList &arguments, bool csv, double toleranceDb) {
    QList<QStringList> records{linearRangeCsvHeader().split(u',')};
    QStringList notes;
    bool failed = false;
    if (csv) session.printLatin1(linearRangeCsvHeader());
    for (const QString &path : arguments) {
        QString error;
        const std::optional<LinearRange> range = linearRangeOfFile(path, toleranceDb, &error);
        if (!range) {
            printError(error);
            failed = true;
            continue;
        }
        if (csv) {
            session.printLatin1(linearRangeCsvRecord(path, *range));
            continue;
        }
        QStringList record =
            QStringList{path} + linearRangeCsvRecord(QString(), *range).split(u',').mid(1);
        for (QString &cell : record)
            if (cell.isEmpty()) cell = QStringLiteral("-");
        records << record;
        if (!range->found())
            notes << QStringLiteral(
                         "%1: no linear range (no two neighbouring gains within %2 dB "
                         "of the median difference)")
                         .arg(path)
                         .arg(toleranceDb);
    }
    if (!csv && records.size() > 1) {
        for (const QString &line : alignedTable(records)) session.printLatin1(line);
        for (const QString &note : notes) session.printLatin1(note);
    }
    return failed ? kExitFailed : kExitDone;
}

int runAnalyze(CliSession &session, const QStringList &arguments) {
    if (arguments.isEmpty()) return session.usageError(QStringLiteral("analyze takes FILE..."));
    const bool csv = session.parser().isSet(kCsvOption);
    double toleranceDb = kDefaultLinearToleranceDb;
    if (session.parser().isSet(kToleranceOption)) {
        const QString text = session.parser().value(kToleranceOption);
        if (!isNumber(text) || numericValue(text) < 0)
            return session.usageError(
                QStringLiteral("--tolerance takes a number of dB, 0 or more"));
        toleranceDb = numericValue(text);
    }
    if (isDbvFile(arguments.first())) return runAnalyzeDbv(session, arguments, csv, toleranceDb);
    QList<QStringList> records{figuresCsvHeader().split(u',')};
    QStringList notes;
    bool failed = false;
    if (csv) session.printLatin1(figuresCsvHeader());
    for (const QString &path : arguments) {
        QString error;
        const std::optional<FilterFigures> figures = figuresOfFile(path, &error);
        if (!figures) {
            printError(error);
            failed = true;
            continue;
        }
        if (csv) {
            session.printLatin1(figuresCsvRecord(path, *figures));
            continue;
        }
        // The file name as given (even with a comma in it), then the figures.
        const QStringList fields = figuresCsvRecord(QString(), *figures).split(u',');
        QStringList record = QStringList{path} + fields.mid(1);
        for (QString &cell : record)
            if (cell.isEmpty()) cell = QStringLiteral("-");
        records << record;
        for (const BandWidth *width : {&figures->width3, &figures->width6, &figures->width60})
            if (!width->missing.isEmpty())
                notes << QStringLiteral("%1: -%2 dB width %3")
                             .arg(path)
                             .arg(width->belowPeakDb)
                             .arg(width->missing);
    }
    if (csv) return failed ? kExitFailed : kExitDone;
    if (records.size() > 1) {
        for (const QString &line : alignedTable(records)) session.printLatin1(line);
        for (const QString &note : notes) session.printLatin1(note);
    }
    return failed ? kExitFailed : kExitDone;
}

}  // namespace

CliCommand command_analyze() {
    CliCommand command{
        QStringLiteral("analyze"),
        QStringLiteral("FILE..."),
        QStringLiteral("The filter figures of saved sweep files: peak, -3/-6/-60 dB widths, "
                       "shape factor, centre, ripple, floor; or the linear range of dBV "
                       "files."),
        {QCommandLineOption(kCsvOption,
                            QStringLiteral("Write CSV with a header line instead of a table.")),
         QCommandLineOption(kToleranceOption,
                            QStringLiteral("dBV files: how far (dB) a difference may stand "
                                           "from the median and count as linear (default "
                                           "0.5)."),
                            QStringLiteral("DB"))},
        runAnalyze};
    command.radio = false;
    return command;
}

}  // namespace corvane::cli
