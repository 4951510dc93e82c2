#pragma once
// How the list and the results file of an adaptive run differ from a fixed run's: the
// report's "Test settings of K3" line says the run was adaptive (the report keeps its length,
// so the parameter lines, with the finest step or increment, stay at lines 26 to 28 of the
// file), and the file holds the data lines in frequency or gain order while the list shows
// them in the order they were measured. Fixed runs' lists and files are not touched.

#include <QString>
#include <QStringList>

namespace corvane {

// "Test settings of K3 (adaptive run) ====", in place of the report's
// "Test settings of K3 ===============".
QString adaptiveReportLine();
void markAdaptiveReport(QStringList &report);

// Whether a results list (or file: its header lines come first) is an adaptive run's: the
// marked line stands before the first data line.
bool isAdaptiveList(const QStringList &lines);

// The list as its results file holds it: an adaptive run's data lines (those after the
// column heading, which ends the 26-line report) ordered by the number they start with,
// the frequency or gain; lines with the same number keep their order. Any other list comes
// back as it is.
QStringList resultsListInFileOrder(const QStringList &listLines);

}  // namespace corvane
