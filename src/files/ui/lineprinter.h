#pragma once
// The printout of a list of text lines: one line of the page per entry, in order, with the
// tab-separated columns on the tab stops the list box shows them on, new pages as needed.
// A line longer than a printout can use is cut after kMaxPrintedChars characters, with a
// note saying so, so that the job takes memory for what fits on the pages, not for the
// line. The viewer prints through it and corvane-cli print writes PDF files with it.

#include <QFont>
#include <QPageLayout>
#include <QStringList>

class QPagedPaintDevice;

namespace corvane {

constexpr int kMaxPrintedChars = 10000;

// The font of the printout: the program's ordinary text font, as the list shows it.
QFont printoutFont();

// "[line N is cut here: it has M characters, the first 10,000 are printed]"
QString cutLineNote(int lineNumber, qsizetype length);

// Prints the lines on the device (a printer or a PDF writer) as one job. An empty list
// gives a job with one empty page. False when the job failed.
bool printLines(QPagedPaintDevice &device, const QStringList &lines,
                const QFont &font = printoutFont());

// The lines as a PDF file at `path` (on `layout`'s pages; A4 portrait by default), written
// whole through the checked writer, so a failure leaves any old file as it was; false after
// putting the message into `error`.
bool printLinesToPdf(const QString &path, const QStringList &lines, QString *error = nullptr,
                     const QPageLayout &layout = QPageLayout());

}  // namespace corvane
