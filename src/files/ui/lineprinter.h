#pragma once
// The printout of a list of text lines: one line of the page per entry, in order, with the
// tab-separated columns on the tab stops the list box shows them on, new pages as needed.
// The viewer prints through it and corvane-cli print writes PDF files with it.

#include <QFont>
#include <QStringList>

class QPrinter;

namespace corvane {

// The font of the printout: the program's ordinary text font, as the list shows it.
QFont printoutFont();

// Prints the lines on the printer (any QPrinter: a real printer or PDF output) as one job.
// An empty list gives a job with one empty page. False when the job failed.
bool printLines(QPrinter &printer, const QStringList &lines, const QFont &font = printoutFont());

// The lines into a PDF file at `path`; false after putting the reason into `error`.
bool printLinesToPdf(const QString &path, const QStringList &lines, QString *error = nullptr);

}  // namespace corvane
