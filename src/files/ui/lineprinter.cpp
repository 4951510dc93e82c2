#include "files/ui/lineprinter.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

#include "core/ui/resultslist.h"

namespace corvane {

QFont printoutFont() {
    QFont font = QGuiApplication::font();
    // A hair of letter spacing keeps the shaper from joining letters into ligatures ("ff"
    // of "Off" would otherwise come out of the PDF as one character).
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.01);
    return font;
}

bool printLines(QPrinter &printer, const QStringList &lines, const QFont &font) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(font);
    const QFontMetrics metrics(painter.font(), &printer);
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    const int lineHeight = metrics.lineSpacing();
    int y = 0;
    for (const QString &line : lines) {
        if (y > 0 && y + lineHeight > page.height()) {
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
            y = 0;
        }
        // Each field on its tab stop, as the list lines the columns up.
        const QStringList fields = line.split(u'\t');
        const QVector<int> positions = ResultsList::fieldPositions(line, metrics);
        for (int i = 0; i < fields.size() && i < positions.size(); ++i)
            if (!fields.at(i).isEmpty())
                painter.drawText(positions.at(i), y + metrics.ascent(), fields.at(i));
        y += lineHeight;
    }
    return painter.end();
}

bool printLinesToPdf(const QString &path, const QStringList &lines, QString *error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(QFileInfo(path).completeBaseName());
    if (printLines(printer, lines)) return true;
    if (error) *error = QStringLiteral("cannot write ") + path;
    return false;
}

}  // namespace corvane
