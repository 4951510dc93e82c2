#include "surveyoutputs.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "core/numtext.h"
#include "files/atomicfile.h"
#include "files/drawnfiles.h"
#include "files/filecheck.h"
#include "measurements/sweepresultsfile.h"
#include "survey/surveyfindings.h"

namespace corvane {

namespace {

constexpr QSize kOverlayImageSize(1200, 700);

double niceStep(double range, int wanted) {
    const double raw = range / std::max(1, wanted);
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) return m * power;
    return 10.0 * power;
}

QString receiverName(const SurveyResult &r) {
    return r.options.receiver == Receiver::Sub ? QStringLiteral("Sub-receiver")
                                               : QStringLiteral("Main receiver");
}

// The report's pages are A4 landscape in points (1/72 inch).
class ReportWriter {
public:
    ReportWriter(QPdfWriter &pdf, QPainter &painter) : m_pdf(pdf), m_p(painter) {}
    QRectF page() const { return QRectF(0, 0, m_width, m_height); }
    void newPage() {
        m_pdf.newPage();
        m_y = 0;
    }
    void text(const QString &line, double size, bool bold = false) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(size);
        font.setBold(bold);
        m_p.setFont(font);
        const QRectF box(0, m_y, m_width, m_height - m_y);
        const QRectF used = m_p.boundingRect(box, Qt::TextWordWrap, line);
        m_p.drawText(box, Qt::TextWordWrap, line);
        m_y += used.height() + size * 0.3;
    }
    void gap(double points) { m_y += points; }
    double y() const { return m_y; }
    void setY(double y) { m_y = y; }
    double width() const { return m_width; }
    QPainter &painter() { return m_p; }

private:
    QPdfWriter &m_pdf;
    QPainter &m_p;
    double m_y = 0;
    double m_width = 770;  // inside the margins
    double m_height = 523;
};

void drawTable(ReportWriter &w, const SurveyResult &result) {
    const QStringList heads{"Slot",  "BW kHz", "Offset kHz", "Loss comp", "Enabled",
                            "-3 dB", "-6 dB",  "-60 dB",     "Shape",     "Centre",
                            "Peak",  "Ripple", "Floor"};
    const QStringList units{"",   "",   "",       "dB", "in mode",        "Hz",
                            "Hz", "Hz", "factor", "Hz", "dB rel. widest", "dB",
                            "dB"};
    QPainter &p = w.painter();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8);
    p.setFont(font);
    const double col = w.width() / heads.size();
    const double row = 13;
    double y = w.y();
    for (int i = 0; i < heads.size(); ++i) {
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(i * col, y, col, row), Qt::AlignCenter, heads[i]);
        font.setBold(false);
        p.setFont(font);
        p.drawText(QRectF(i * col, y + row, col, row), Qt::AlignCenter, units[i]);
    }
    y += 2 * row + 2;
    p.drawLine(QPointF(0, y), QPointF(w.width(), y));
    for (const SlotResult &s : result.slotResults) {
        const QStringList cells = surveyCsvRow(s).split(u',');
        for (int i = 0; i < cells.size() && i < heads.size(); ++i)
            p.drawText(QRectF(i * col, y + 2, col, row), Qt::AlignCenter,
                       cells[i].isEmpty() ? QStringLiteral("-") : cells[i]);
        y += row + 2;
    }
    w.setY(y + 8);
}

}  // namespace

QColor surveySlotColour(int slot) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x7e, 0x22),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd)};
    return colours[std::clamp(slot, 1, 5) - 1];
}

std::vector<SurveyCurve> surveyCurves(const SurveyResult &result) {
    std::vector<SurveyCurve> curves;
    for (const SlotResult &s : result.slotResults) {
        if (s.points.empty()) continue;
        SurveyCurve c;
        c.slot = s.slot;
        for (const SweepPoint &pt : s.points) c.points.emplace_back(pt.hz - result.centreHz, pt.db);
        curves.push_back(std::move(c));
    }
    return curves;
}

void drawSurveyChart(QPainter &p, const QRectF &area, const std::vector<SurveyCurve> &curves,
                     const QString &title, double spanHz) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The font size in the painter's units: readable on a small window, in proportion on a
    // page or a large image.
    const double unit = std::max(11.0, area.height() / 45.0);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(std::lround(unit)));
    p.setFont(font);
    p.fillRect(area, Qt::white);

    double half = spanHz;
    double low = 0, high = -1e9;
    bool any = false;
    for (const SurveyCurve &c : curves)
        for (const QPointF &pt : c.points) {
            if (spanHz <= 0) half = std::max(half, std::abs(pt.x()));
            low = std::min(low, pt.y());
            high = std::max(high, pt.y());
            any = true;
        }
    if (half <= 0) half = 1000;
    low = std::floor(std::min(low, -60.0) / 10.0) * 10.0;
    high = any ? std::ceil((high + 1.0) / 10.0) * 10.0 : 10.0;
    if (high <= low) high = low + 10;

    const QRectF plot(area.left() + unit * 5, area.top() + unit * 3, area.width() - unit * 6.5,
                      area.height() - unit * 7);
    const auto xOf = [&](double hz) {
        return plot.left() + (hz + half) / (2 * half) * plot.width();
    };
    const auto yOf = [&](double db) {
        return plot.bottom() - (db - low) / (high - low) * plot.height();
    };

    p.setPen(Qt::black);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(area.left(), area.top() + unit * 0.5, area.width(), unit * 1.6),
               Qt::AlignCenter, title);
    p.setFont(font);

    const QPen grid(QColor(220, 220, 220), 0);
    const QPen axis(Qt::black, 0);
    const double xStep = niceStep(2 * half, 8);
    for (double x = std::ceil(-half / xStep) * xStep; x <= half + 1e-6; x += xStep) {
        p.setPen(grid);
        p.drawLine(QPointF(xOf(x), plot.top()), QPointF(xOf(x), plot.bottom()));
        p.setPen(axis);
        p.drawText(QRectF(xOf(x) - unit * 4, plot.bottom() + unit * 0.3, unit * 8, unit * 1.4),
                   Qt::AlignHCenter | Qt::AlignTop, shortestText(std::round(x)));
    }
    for (double y = low; y <= high + 1e-6; y += 10) {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), yOf(y)), QPointF(plot.right(), yOf(y)));
        p.setPen(axis);
        p.drawText(QRectF(area.left(), yOf(y) - unit * 0.7, unit * 4.6, unit * 1.4),
                   Qt::AlignRight | Qt::AlignVCenter, shortestText(y));
    }
    p.setPen(axis);
    p.drawRect(plot);
    p.drawText(QRectF(plot.left(), plot.bottom() + unit * 1.8, plot.width(), unit * 1.5),
               Qt::AlignCenter, QStringLiteral("Hz from the carrier"));
    p.save();
    p.translate(area.left() + unit * 0.2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), unit * 1.5), Qt::AlignCenter,
               QStringLiteral("dBV reading, dB"));
    p.restore();

    p.setClipRect(plot);
    for (const SurveyCurve &c : curves) {
        QPolygonF line;
        for (const QPointF &pt : c.points) line << QPointF(xOf(pt.x()), yOf(pt.y()));
        p.setPen(QPen(surveySlotColour(c.slot), std::max(1.0, unit / 6.0)));
        p.drawPolyline(line);
    }
    p.setClipping(false);
    if (!any) {
        p.setPen(Qt::gray);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No points yet"));
    }
    // The legend, top right inside the plot.
    double ly = plot.top() + unit * 0.6;
    for (const SurveyCurve &c : curves) {
        const double lx = plot.right() - unit * 5;
        p.setPen(QPen(surveySlotColour(c.slot), std::max(1.5, unit / 4.0)));
        p.drawLine(QPointF(lx, ly + unit * 0.6), QPointF(lx + unit * 1.8, ly + unit * 0.6));
        p.setPen(axis);
        p.drawText(QRectF(lx + unit * 2.2, ly, unit * 3, unit * 1.3),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("FL%1").arg(c.slot));
        ly += unit * 1.4;
    }
    p.restore();
}

namespace {

bool drawSurveyReport(QIODevice &device, const SurveyResult &result, const QDateTime &when,
                      QString *error) {
    QPdfWriter pdf(&device);
    pdf.setResolution(72);
    pdf.setTitle(QStringLiteral("K3 Crystal Filter Survey"));
    pdf.setCreator(QStringLiteral("Corvane"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        *error = QStringLiteral("the PDF could not be started");
        return false;
    }
    ReportWriter w(pdf, painter);
    const RadioIdentity &id = result.identity;
    w.text(QStringLiteral("K3 Crystal Filter Survey"), 18, true);
    w.text(
        QStringLiteral("K3 serial number %1; firmware MCU %2, DSP %3, front panel %4.")
            .arg(id.serialNumber.trimmed(), id.mcuRevision, id.dspRevision, id.frontPanelRevision),
        10);
    w.text(QStringLiteral("Run %1. %2, %3 mode, carrier at %4 kHz, RF gain %5.")
               .arg(QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm")),
                    receiverName(result), surveyModeName(result.options.modeNumber),
                    formatFixed(result.centreHz / 1000.0, 3), result.options.rfGain),
           10);
    if (result.attenuatorStepDb)
        w.text(QStringLiteral("Readout check at the carrier: the K3's 10 dB attenuator moved the "
                              "dBV reading %1 dB, so the readout is %2 at this RF gain.")
                   .arg(formatFixed(*result.attenuatorStepDb, 1),
                        result.readoutLinear() ? QStringLiteral("linear")
                                               : QStringLiteral("not linear")),
               10);
    if (result.end == SurveyEnd::Stopped)
        w.text(QStringLiteral("The survey was stopped before its end: the slots measured so far "
                              "are shown."),
               10, true);
    else if (result.end == SurveyEnd::PortLost)
        w.text(QStringLiteral("The connection to the K3 was lost during the survey: the slots "
                              "measured until then are shown."),
               10, true);
    w.gap(4);
    drawSurveyChart(painter, QRectF(0, w.y(), w.width(), 523 - w.y()), surveyCurves(result),
                    QStringLiteral("All slots"));

    w.newPage();
    w.text(QStringLiteral("The slots"), 14, true);
    drawTable(w, result);
    w.text(QStringLiteral("What the measurement says about the configuration"), 14, true);
    const QStringList findings = surveyFindings(result);
    if (findings.isEmpty())
        w.text(QStringLiteral("Every slot measured agrees with its configuration: -6 dB widths "
                              "within 15 % of the configured bandwidth, centres within 50 Hz of "
                              "the carrier, losses made up by the loss compensation within 1 dB."),
               10);
    for (const QString &line : findings) w.text(QStringLiteral("\u2022 ") + line, 10);
    for (const QString &note : result.notes) w.text(note, 9);
    w.gap(6);
    w.text(QStringLiteral("Centres are measured from the carrier: the K3 moves its IF by each "
                          "slot's offset (FLx FRQ) so that a filter whose offset is right is "
                          "centred on the tuned frequency. Peaks are relative to the widest "
                          "slot measured; a slot's loss compensation (FLx GN) should make up "
                          "its loss."),
           8);

    for (const SlotResult &s : result.slotResults) {
        if (!s.hasSweep()) continue;
        w.newPage();
        w.text(QStringLiteral("FL%1: configured %2 kHz, offset %3 kHz, loss compensation %4 dB "
                              "(%5)")
                   .arg(s.slot)
                   .arg(s.configuredBw, s.configuredOffset, s.lossComp, slotStatusText(s.status)),
               13, true);
        const double top = w.y();
        SurveyResult one;
        one.centreHz = result.centreHz;
        one.slotResults.push_back(s);
        drawSurveyChart(painter, QRectF(0, top, w.width() * 0.66, 523 - top), surveyCurves(one),
                        QStringLiteral("FL%1").arg(s.slot));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(9);
        painter.setFont(font);
        double y = top + 10;
        const double x = w.width() * 0.68;
        auto figures = figureTexts(s.figures);
        if (s.peakRelWidestDb)
            figures.push_back({QStringLiteral("Peak beside the widest"),
                               formatFixed(*s.peakRelWidestDb, 1) + QStringLiteral(" dB")});
        for (const auto &[label, value] : figures) {
            painter.drawText(QRectF(x, y, w.width() - x, 14), Qt::AlignLeft, label + u':');
            painter.drawText(QRectF(x, y + 12, w.width() - x, 14), Qt::AlignLeft,
                             QStringLiteral("   ") + value);
            y += 28;
        }
        for (const QString &line : slotDisagreements(s)) {
            const QRectF box(x, y, w.width() - x, 200);
            const QRectF used = painter.boundingRect(box, Qt::TextWordWrap, line);
            painter.drawText(box, Qt::TextWordWrap, line);
            y += used.height() + 6;
        }
    }
    if (!painter.end()) {
        *error = QStringLiteral("the PDF could not be finished");
        return false;
    }
    return true;
}

}  // namespace

bool writeSurveyReport(const QString &path, const SurveyResult &result, const QDateTime &when,
                       QString *error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!drawSurveyReport(buffer, result, when, error)) return false;
    buffer.close();
    return writeFileAtomically(path, bytes, error);
}

bool writeSurveyFiles(const QString &folder, const SurveyResult &result, const QDateTime &when,
                      QStringList *problems) {
    QStringList failed;
    if (const QString problem = folderTargetProblem(folder); !problem.isEmpty()) {
        if (problems) *problems << QStringLiteral("cannot write into %1: %2").arg(folder, problem);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        if (problems)
            *problems
                << QStringLiteral("cannot write into %1: the folder could not be made").arg(folder);
        return false;
    }
    const QDir dir(folder);
    const auto note = [&](const QString &name, const QString &why) {
        failed << QStringLiteral("cannot write ") + dir.filePath(name) + QStringLiteral(": ") + why;
    };
    for (const SlotResult &s : result.slotResults) {
        if (!s.hasSweep()) continue;
        const QString name = QStringLiteral("survey-FL%1.txt").arg(s.slot);
        QString error;
        const QString comment =
            QStringLiteral("Filter survey, FL%1, %2, %3 mode")
                .arg(s.slot)
                .arg(receiverName(result).toLower(), surveyModeName(result.options.modeNumber));
        if (!writeSweepResultsFile(dir.filePath(name), s.listLines, comment, when, &error))
            note(name, error);
    }
    QString error;
    if (!writeFileAtomically(dir.filePath(QStringLiteral("survey.csv")),
                             (surveyCsvLines(result).join(u'\n') + u'\n').toUtf8(), &error))
        note(QStringLiteral("survey.csv"), error);

    const std::vector<SurveyCurve> curves = surveyCurves(result);
    const QString title =
        QStringLiteral("K3 crystal filters, %1").arg(receiverName(result).toLower());
    const auto draw = [&](QPainter &p) {
        drawSurveyChart(p, QRectF(QPointF(0, 0), QSizeF(kOverlayImageSize)), curves, title);
    };
    QImage image(kOverlayImageSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        draw(p);
    }
    for (const QString &message :
         {writeImageFile(image, dir.filePath(QStringLiteral("survey-overlay.png"))),
          writeSvgFile(dir.filePath(QStringLiteral("survey-overlay.svg")), kOverlayImageSize, title,
                       QStringLiteral("Corvane filter survey"), draw)})
        if (!message.isEmpty()) failed << message;
    if (!writeSurveyReport(dir.filePath(QStringLiteral("survey.pdf")), result, when, &error))
        note(QStringLiteral("survey.pdf"), error);
    if (problems) *problems << failed;
    return failed.isEmpty();
}

}  // namespace corvane
