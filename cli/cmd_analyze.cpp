// corvane-cli analyze: the filter figures of saved sweep files - peak, -3/-6/-60 dB widths,
// shape factor, centre and its offset, ripple and floor - as an aligned table or as CSV.

#include <algorithm>

#include "analysis/filterfigures.h"
#include "charts/chartfromfile.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kCsvOption = QStringLiteral("csv");

// The figures of a sweep file, or the reader's message.
std::optional<FilterFigures> figuresOfFile(const QString &path, QString *error) {
    const std::optional<QStringList> lines = readTextLines(path, error);
    if (!lines) {
        *error = QStringLiteral("The file %1 cannot be read: %2").arg(path, *error);
        return std::nullopt;
    }
    const ChartFileResult result = parseSweepChartLines(*lines);
    if (!result.data) {
        *error = path + QStringLiteral(": ") + result.error;  // which of the files it was
        return std::nullopt;
    }
    return analyseSweep(sweepPointsOf(*result.data));
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

int runAnalyze(CliSession &session, const QStringList &arguments) {
    if (arguments.isEmpty()) return session.usageError(QStringLiteral("analyze takes FILE..."));
    const bool csv = session.parser().isSet(kCsvOption);
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
    return {QStringLiteral("analyze"),
            QStringLiteral("FILE..."),
            QStringLiteral("The filter figures of saved sweep files: peak, -3/-6/-60 dB widths, "
                           "shape factor, centre, ripple, floor."),
            {QCommandLineOption(
                kCsvOption, QStringLiteral("Write CSV with a header line instead of a table."))},
            runAnalyze};
}

}  // namespace corvane::cli
