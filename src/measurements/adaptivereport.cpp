#include "measurements/adaptivereport.h"

#include <algorithm>
#include <vector>

#include "core/numtext.h"
#include "files/chartfiles.h"

namespace corvane {

namespace {

const QString kFixedLine = QStringLiteral("Test settings of K3 ") + QString(15, u'=');
// As wide as the rule above the column heading (39 characters).
const QString kAdaptiveLine =
    QStringLiteral("Test settings of K3 (adaptive run) ") + QString(4, u'=');
// The report ends with its column heading at this line of the list (from 1).
constexpr int kReportLines = 26;

}  // namespace

QString adaptiveReportLine() {
    return kAdaptiveLine;
}

void markAdaptiveReport(QStringList &report) {
    const qsizetype at = report.indexOf(kFixedLine);
    if (at >= 0) report[at] = kAdaptiveLine;
}

bool isAdaptiveList(const QStringList &lines) {
    // Four header lines (more when the comment spans several) and the report.
    const qsizetype before = std::min<qsizetype>(lines.size(), kReportLines + 8);
    for (qsizetype i = 0; i < before; ++i)
        if (lines.at(i) == kAdaptiveLine) return true;
    return false;
}

QStringList resultsListInFileOrder(const QStringList &listLines) {
    if (listLines.size() <= kReportLines || !isAdaptiveList(listLines)) return listLines;
    std::vector<std::pair<double, QString>> data;
    data.reserve(size_t(listLines.size() - kReportLines));
    for (qsizetype i = kReportLines; i < listLines.size(); ++i)
        data.emplace_back(numericValue(listLines.at(i).section(u'\t', 0, 0)), listLines.at(i));
    std::stable_sort(data.begin(), data.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList lines = listLines.mid(0, kReportLines);
    for (const auto &line : data) lines << line.second;
    return lines;
}

}  // namespace corvane
