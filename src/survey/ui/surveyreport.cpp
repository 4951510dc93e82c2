#include "survey/ui/surveyreport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "core/numtext.h"
#include "files/atomicfile.h"
#include "files/drawnfiles.h"
#include "survey/surveyfindings.h"
#include "survey/surveyoutputs.h"
#include "survey/ui/surveychart.h"

namespace corvane {

namespace {

// The overlay image; its chart drawn a quarter larger than on screen, for its text.
constexpr QSize kOverlayImageSize(1200, 700);
constexpr double kOverlayImageScale = 1.25;
// The report's charts are drawn at three quarters of the size on screen: 9 pt text.
constexpr double kReportChartScale = 0.75;
// A4 landscape in points (1/72 inch), inside 36 pt margins; the footer below the body.
constexpr double kPageWidth = 770;
constexpr double kPageHeight = 523;
constexpr double kBodyBottom = kPageHeight - 18;

QString receiverName(const SurveyResult &r) {
    return r.options.receiver == Receiver::Sub ? QStringLiteral("Sub-receiver")
                                               : QStringLiteral("Main receiver");
}

QFont reportFont(double size, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    // No ligatures: the text copied out of the PDF reads "fi", not one sign.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

// Lines down the page, a new page when the next does not fit, the footer on each.
class ReportWriter {
public:
    ReportWriter(QPdfWriter &pdf, QPainter &painter, int totalPages, QString footer)
        : m_pdf(pdf), m_p(painter), m_totalPages(totalPages), m_footer(std::move(footer)) {}
    void text(const QString &line, double size, bool bold = false, double indent = 0) {
        m_p.setFont(reportFont(size, bold));
        const QRectF box(indent, m_y, kPageWidth - indent, kBodyBottom);
        const QRectF used = m_p.boundingRect(box, Qt::TextWordWrap, line);
        ensureRoom(used.height());
        const QRectF placed(indent, m_y, kPageWidth - indent, used.height());
        m_p.drawText(placed, Qt::TextWordWrap, line);
        m_y += used.height() + size * 0.3;
    }
    void ensureRoom(double height) {
        if (m_y > 0 && m_y + height > kBodyBottom) newPage();
    }
    void newPage() {
        footer();
        m_pdf.newPage();
        ++m_page;
        m_y = 0;
    }
    void finish() { footer(); }
    void gap(double points) { m_y += points; }
    double y() const { return m_y; }
    void setY(double y) { m_y = y; }
    int pages() const { return m_page; }
    QPainter &painter() { return m_p; }

private:
    void footer() {
        m_p.setFont(reportFont(8));
        const QRectF line(0, kPageHeight - 12, kPageWidth, 12);
        m_p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, m_footer);
        if (m_totalPages > 0)
            m_p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(m_page).arg(m_totalPages));
    }

    QPdfWriter &m_pdf;
    QPainter &m_p;
    int m_totalPages;
    QString m_footer;
    int m_page = 1;
    double m_y = 0;
};

// A table of equal columns: bold headings, a unit line under them, then the rows ("-" for
// an empty cell).
void drawTable(ReportWriter &w, const QStringList &heads, const QStringList &units,
               const QList<QStringList> &rows, double width) {
    constexpr double kRow = 13;
    QPainter &p = w.painter();
    const double col = width / double(heads.size());
    w.ensureRoom(3 * kRow + 4);
    double y = w.y();
    for (int i = 0; i < heads.size(); ++i) {
        p.setFont(reportFont(8, true));
        p.drawText(QRectF(i * col, y, col, kRow), Qt::AlignCenter, heads[i]);
        p.setFont(reportFont(8));
        p.drawText(QRectF(i * col, y + kRow, col, kRow), Qt::AlignCenter, units.value(i));
    }
    y += 2 * kRow + 2;
    p.drawLine(QPointF(0, y), QPointF(width, y));
    p.setFont(reportFont(8));
    for (const QStringList &cells : rows) {
        for (int i = 0; i < cells.size() && i < heads.size(); ++i)
            p.drawText(QRectF(i * col, y + 2, col, kRow), Qt::AlignCenter,
                       cells[i].isEmpty() ? QStringLiteral("-") : cells[i]);
        y += kRow + 2;
    }
    w.setY(y + 8);
}

void drawFirstPage(ReportWriter &w, const SurveyResult &result, const QDateTime &when) {
    const RadioIdentity &id = result.identity;
    const SurveyOptions &o = result.options;
    w.text(QStringLiteral("K3 Crystal Filter Survey"), 18, true);
    w.text(
        QStringLiteral("K3 serial number %1; firmware MCU %2, DSP %3, front panel %4.")
            .arg(id.serialNumber.trimmed(), id.mcuRevision, id.dspRevision, id.frontPanelRevision),
        10);
    w.text(
        QStringLiteral("Run %1 with %2. %3, %4 mode, carrier at %5 kHz, generator set to %6 dBm, "
                       "RF gain %7, %8 steps.")
            .arg(QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm")),
                 corvaneVersionText(), receiverName(result), surveyModeName(o.modeNumber),
                 formatFixed(result.centreHz / 1000.0, 3), shortestText(o.generatorDbm), o.rfGain,
                 surveyStepsText(result)),
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
    w.text(surveySummary(result), 12, true);
    w.gap(4);
    const std::optional<double> reference = surveyPeakReferenceDb(result);
    drawSurveyChart(w.painter(), QRectF(0, w.y(), kPageWidth, kBodyBottom - w.y()),
                    kReportChartScale, QStringLiteral("All slots"), surveyCurves(result),
                    reference ? std::optional<double>(0.0) : std::nullopt, surveyHalfSpanHz(result),
                    bool(reference));
}

void drawSlotsPage(ReportWriter &w, const SurveyResult &result) {
    w.text(QStringLiteral("The slots"), 14, true);
    QList<QStringList> rows;
    for (const SlotResult &s : result.slotResults) rows << surveyCsvCells(s);
    drawTable(w,
              {"Slot", "BW kHz", "Offset kHz", "Loss comp", "Enabled", "-3 dB", "-6 dB", "-60 dB",
               "Shape", "Centre", "Peak", "Ripple", "Floor"},
              {"", "", "", "dB", "in mode", "Hz", "Hz", "Hz", "factor", "Hz", "dB rel. widest",
               "dB", "dB"},
              rows, kPageWidth);
    rows.clear();
    for (const SlotResult &s : result.slotResults) {
        if (s.plan.points <= 0) {
            rows << QStringList{QStringLiteral("FL%1").arg(s.slot)};
            continue;
        }
        rows << QStringList{QStringLiteral("FL%1").arg(s.slot),
                            QString::number(s.plan.stopHz() - s.plan.startHz),
                            QString::number(s.plan.stepHz),
                            QString::number(s.points.size()),
                            surveyStepsText(result),
                            slotStatusText(s.status)};
    }
    drawTable(w, {"Slot", "Span", "Step", "Points", "Steps", "Status"},
              {"", "Hz", "Hz", "measured", "", ""}, rows, kPageWidth * 0.6);

    const QString widest = widestSlotName(result);
    if (const QStringList losses = lossListing(result); !losses.isEmpty()) {
        w.text(QStringLiteral("Peaks beside the widest slot (%1) and each slot's loss compensation")
                   .arg(widest),
               11, true);
        w.text(losses.join(QStringLiteral("; ")) + u'.', 9);
        w.text(QStringLiteral("The public material does not say whether the K3's dBV readout "
                              "includes the loss compensation (FLx GN), so the two are listed "
                              "side by side, not compared. Only a peak more than 6 dB below the "
                              "widest slot's is reported, as a damaged or badly fitted filter "
                              "would show."),
               8);
    }
    w.gap(4);
    w.text(QStringLiteral("What the measurement says about the configuration"), 11, true);
    w.text(surveySummary(result), 10, true);
    for (const QString &line : surveyFindings(result))
        w.text(QStringLiteral("\u2022 ") + line, 9, false, 8);
    for (const SlotResult &s : result.slotResults)
        if (const QString why = width60Remedy(s, result); !why.isEmpty())
            w.text(QStringLiteral("\u2022 FL%1 has no -60 dB width (nor shape factor): %2.")
                       .arg(s.slot)
                       .arg(why),
                   9, false, 8);
    for (const QString &note : result.notes) w.text(note, 9);
    w.gap(6);
    w.text(QStringLiteral(
               "FLx BW is the width at which the K3 engages the filter, not the filter's "
               "measured width: an 8-pole 250 Hz filter measures about 370 Hz at -6 dB, and "
               "owners set FLx BW to taste. A width is reported only under 0.75 or over 1.75 "
               "times FLx BW, where another filter sits in the slot or FLx BW is wrong. Centres "
               "are measured from the carrier: the K3 moves its IF by each slot's offset (FLx "
               "FRQ) so that a filter whose offset is right is centred on the tuned frequency; "
               "one more than 50 Hz away is reported."),
           8);
}

void drawSlotPage(ReportWriter &w, const SurveyResult &result, const SlotResult &s,
                  const QString &widest) {
    w.newPage();
    w.text(QStringLiteral("FL%1: configured %2 kHz, offset %3 kHz, loss compensation %4 dB "
                          "(%5)")
               .arg(s.slot)
               .arg(s.configuredBw, s.configuredOffset, s.lossComp, slotStatusText(s.status)),
           13, true);
    const double top = w.y();
    SurveyResult one = result;
    one.slotResults = {s};
    const std::vector<SurveyCurve> curves = surveyCurves(result);
    std::vector<SurveyCurve> own;
    for (const SurveyCurve &c : curves)
        if (c.slot == s.slot) own.push_back(c);
    const bool relative = bool(surveyPeakReferenceDb(result));
    drawSurveyChart(w.painter(), QRectF(0, top, kPageWidth * 0.66, kBodyBottom - top),
                    kReportChartScale, QStringLiteral("FL%1").arg(s.slot), own,
                    own.empty() ? std::nullopt : own.front().peakDb, surveyHalfSpanHz(one),
                    relative);

    QPainter &p = w.painter();
    p.setFont(reportFont(9));
    const double x = kPageWidth * 0.68;
    const double width = kPageWidth - x;
    double y = top + 10;
    std::vector<std::pair<QString, QString>> figures;
    if (s.peakRelWidestDb)
        figures.push_back({QStringLiteral("Peak beside the widest slot (%1)").arg(widest),
                           formatFixed(*s.peakRelWidestDb, 1) + QStringLiteral(" dB")});
    for (const auto &entry : figureTexts(s.figures))
        if (entry.first != QStringLiteral("Peak") && entry.first != QStringLiteral("Floor"))
            figures.push_back(entry);
    if (s.figures.peakDb && s.figures.floorDb)
        figures.push_back(
            {QStringLiteral("Floor"), formatFixed(*s.figures.peakDb - *s.figures.floorDb, 1) +
                                          QStringLiteral(" dB below the peak")});
    figures.push_back({QStringLiteral("Swept"), slotSweepText(s, result).section(": ", 1)});
    for (const auto &[label, value] : figures) {
        p.drawText(QRectF(x, y, width, 14), Qt::AlignLeft, label + u':');
        p.drawText(QRectF(x, y + 12, width, 14), Qt::AlignLeft, QStringLiteral("   ") + value);
        y += 27;
    }
    QStringList words = slotDisagreements(s, widest);
    if (const QString why = width60Remedy(s, result); !why.isEmpty())
        words << QStringLiteral("No -60 dB width: ") + why + u'.';
    for (const QString &line : words) {
        const QRectF box(x, y, width, kBodyBottom - y);
        const QRectF used = p.boundingRect(box, Qt::TextWordWrap, line);
        p.drawText(box, Qt::TextWordWrap, line);
        y += used.height() + 6;
    }
}

// The report drawn into `device`; the pages it took, or 0 after putting the reason into
// `error`. With `totalPages` 0 the footers carry no page numbers (the first of two passes).
int drawSurveyReport(QIODevice &device, const SurveyResult &result, const QDateTime &when,
                     int totalPages, QString *error) {
    QPdfWriter pdf(&device);
    pdf.setResolution(72);
    pdf.setTitle(QStringLiteral("K3 Crystal Filter Survey"));
    pdf.setCreator(corvaneVersionText());
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        *error = QStringLiteral("the PDF could not be started");
        return 0;
    }
    ReportWriter w(pdf, painter, totalPages,
                   QStringLiteral("%1, K3 filter survey of %2")
                       .arg(corvaneVersionText(),
                            QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm"))));
    drawFirstPage(w, result, when);
    w.newPage();
    drawSlotsPage(w, result);
    const QString widest = widestSlotName(result);
    for (const SlotResult &s : result.slotResults)
        if (s.hasSweep()) drawSlotPage(w, result, s, widest);
    w.finish();
    if (!painter.end()) {
        *error = QStringLiteral("the PDF could not be finished");
        return 0;
    }
    return w.pages();
}

}  // namespace

bool writeSurveyReport(const QString &path, const SurveyResult &result, const QDateTime &when,
                       QString *error) {
    // Drawn twice: the first time to count the pages that "Page N of M" names.
    QByteArray bytes;
    int pages = 0;
    for (int pass = 0; pass < 2; ++pass) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        pages = drawSurveyReport(buffer, result, when, pages, error);
        if (pages == 0) return false;
    }
    return writeFileAtomically(path, bytes, error);
}

bool writeSurveyFiles(const QString &folder, const SurveyResult &result, const QDateTime &when,
                      QStringList *problems) {
    QStringList failed;
    if (!writeSurveyTables(folder, result, when, &failed) && !QDir(folder).exists()) {
        if (problems) *problems << failed;
        return false;
    }
    const QDir dir(folder);
    const std::vector<SurveyCurve> curves = surveyCurves(result);
    const std::optional<double> reference = surveyPeakReferenceDb(result);
    const QString title =
        QStringLiteral("K3 crystal filters, %1").arg(receiverName(result).toLower());
    const auto draw = [&](QPainter &p) {
        drawSurveyChart(p, QRectF(QPointF(0, 0), QSizeF(kOverlayImageSize)), kOverlayImageScale,
                        title, curves, reference ? std::optional<double>(0.0) : std::nullopt,
                        surveyHalfSpanHz(result), bool(reference));
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
    QString error;
    if (!writeSurveyReport(dir.filePath(QStringLiteral("survey.pdf")), result, when, &error))
        failed << QStringLiteral("cannot write ") + dir.filePath(QStringLiteral("survey.pdf")) +
                      QStringLiteral(": ") + error;
    if (problems) *problems << failed;
    return failed.isEmpty();
}

}  // namespace corvane
