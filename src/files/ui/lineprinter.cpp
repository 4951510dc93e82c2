#include "files/ui/lineprinter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "core/ui/resultslist.h"
#include "files/atomicfile.h"
#include "files/filecheck.h"

namespace corvane {

namespace {

constexpr int kPdfResolution = 1200;

}  // namespace

QFont printoutFont() {
    QFont font = QGuiApplication::font();
    // A hair of letter spacing keeps the shaper from joining letters into ligatures ("ff"
    // of "Off" would otherwise come out of the PDF as one character); so does asking for no
    // shaping, which the PDF writer needs.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.01);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QString cutLineNote(int lineNumber, qsizetype length) {
    return QStringLiteral("[line %1 is cut here: it has %2 characters, the first %3 are printed]")
        .arg(lineNumber)
        .arg(groupedNumber(length), groupedNumber(kMaxPrintedChars));
}

bool printLines(QPagedPaintDevice &device, const QStringList &lines, const QFont &font) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setFont(font);
    const QFontMetrics metrics(painter.font(), &device);
    const int pageHeight = device.pageLayout().paintRectPixels(device.logicalDpiY()).height();
    const int lineHeight = metrics.lineSpacing();
    int y = 0;
    const auto printLine = [&](const QString &line) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!device.newPage()) return false;
            y = 0;
        }
        // Each field on its tab stop, as the list lines the columns up.
        const QStringList fields = line.split(u'\t');
        const QVector<int> positions = ResultsList::fieldPositions(line, metrics);
        for (int i = 0; i < fields.size() && i < positions.size(); ++i)
            if (!fields.at(i).isEmpty())
                painter.drawText(positions.at(i), y + metrics.ascent(), fields.at(i));
        y += lineHeight;
        return true;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const bool cut = line.size() > kMaxPrintedChars;
        if (!printLine(cut ? line.left(kMaxPrintedChars) : line) ||
            (cut && !printLine(cutLineNote(i + 1, line.size())))) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

bool printLinesToPdf(const QString &path, const QStringList &lines, QString *error,
                     const QPageLayout &layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason = QStringLiteral("the printout could not be made");
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfResolution);
        pdf.setTitle(QFileInfo(path).completeBaseName());
        pdf.setCreator(QStringLiteral("Corvane"));
        pdf.setPageLayout(layout.isValid()
                              ? layout
                              : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                            QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        if (!printLines(pdf, lines)) {
            if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
            return false;
        }
    }
    if (writeFileAtomically(path, bytes, &reason)) return true;
    if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
    return false;
}

}  // namespace corvane
