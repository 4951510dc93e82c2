// Draws the program's pictures from the built-in simulator's physics, so that they show
// what the program itself measures:
//   pictures/sweep-sample.png  424x449  a 400 Hz crystal filter swept by VFO A
//   pictures/applied-rf.png    640x558  the dBV readout against the applied signal level
//   icons/corvane-<size>.png            the program icon in the hicolor theme's sizes
//                                       (icons/corvane.svg is its scalable twin, by hand)
// Usage: corvane_drawpictures <resources folder>. Run by hand when the pictures change;
// the results are committed.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <vector>

#include "sim/k3simulator.h"

using corvane::sim::K3Simulator;

namespace {

struct Axis {
    double min, max, step;
    QString title;
    int decimals = 0;
};

struct Chart {
    QString title;
    Axis x, y;
    std::vector<QPointF> points;
};

constexpr double kSettleMs = 5000;  // past the AFV integration time: a steady reading

double toDb(double volts, double reference) {
    return 20.0 * std::log10(std::max(volts, 1e-12) / reference);
}

// Draws the chart into `area`; returns the plot rectangle and its mapping for annotations.
QRectF drawChart(QPainter &p, const QRect &area, const Chart &chart,
                 std::function<QPointF(QPointF)> *map = nullptr) {
    p.fillRect(area, QColor(0xfb, 0xfb, 0xf8));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    const QFontMetrics fm(font);
    QFont titleFont = font;
    titleFont.setPixelSize(15);
    titleFont.setBold(true);

    const QRectF plot(area.left() + 62, area.top() + 40, area.width() - 62 - 30,
                      area.height() - 40 - 58);
    const auto toScreen = [&](QPointF v) {
        const double fx = (v.x() - chart.x.min) / (chart.x.max - chart.x.min);
        const double fy = (v.y() - chart.y.min) / (chart.y.max - chart.y.min);
        return QPointF(plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height());
    };
    if (map) *map = toScreen;

    p.setPen(QPen(QColor(0xdd, 0xdd, 0xd5), 1));
    for (double x = chart.x.min; x <= chart.x.max + 1e-9; x += chart.x.step)
        p.drawLine(toScreen({x, chart.y.min}), toScreen({x, chart.y.max}));
    for (double y = chart.y.min; y <= chart.y.max + 1e-9; y += chart.y.step)
        p.drawLine(toScreen({chart.x.min, y}), toScreen({chart.x.max, y}));

    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
    p.drawRect(plot);
    for (double x = chart.x.min; x <= chart.x.max + 1e-9; x += chart.x.step) {
        const QString label = QString::number(x, 'f', chart.x.decimals);
        const QPointF at = toScreen({x, chart.y.min});
        p.drawText(QRectF(at.x() - 40, at.y() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop, label);
    }
    for (double y = chart.y.min; y <= chart.y.max + 1e-9; y += chart.y.step) {
        const QString label = QString::number(y, 'f', chart.y.decimals);
        const QPointF at = toScreen({chart.x.min, y});
        p.drawText(QRectF(at.x() - 52, at.y() - 8, 46, 16), Qt::AlignRight | Qt::AlignVCenter,
                   label);
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + 24, plot.width(), 20), Qt::AlignCenter,
               chart.x.title);
    p.save();
    p.translate(area.left() + 14, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -8, plot.height(), 18), Qt::AlignCenter, chart.y.title);
    p.restore();
    p.setFont(titleFont);
    p.drawText(QRectF(area.left(), area.top() + 8, area.width(), 24), Qt::AlignCenter, chart.title);
    p.setFont(font);

    QPainterPath path;
    for (size_t i = 0; i < chart.points.size(); ++i) {
        QPointF v = chart.points[i];
        v.setY(std::clamp(v.y(), chart.y.min, chart.y.max));
        if (i == 0)
            path.moveTo(toScreen(v));
        else
            path.lineTo(toScreen(v));
    }
    p.save();
    p.setClipRect(plot.adjusted(0, -1, 0, 1));
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.restore();
    return plot;
}

// VFO A stepped across a 400 Hz filter with the generator fixed: what the sweep measures.
Chart sweepChart() {
    K3Simulator sim;
    sim.setNoiseEnabled(false);
    auto &state = sim.state();
    state.selectedSlot = 2;
    state.techMode = true;
    state.afGain = 5;
    state.agcOn = false;
    state.preamp = false;
    const double centreHz = 14060000.0;
    sim.generator().frequencyHz = centreHz;
    sim.generator().levelDbm = -73.0;
    Chart chart{QStringLiteral("K3 Filter Sweep Results"),
                {14059.0, 14061.0, 0.5, QStringLiteral("K3 Dial Frequency (KHz)"), 1},
                {-80, 0, 10, QStringLiteral("Audio Response K3 dBV Function (dB)")},
                {}};
    qint64 now = 0;
    std::vector<std::pair<double, double>> raw;
    double peak = 0;
    for (double f = chart.x.min * 1000; f <= chart.x.max * 1000 + 1e-6; f += 10) {
        state.vfoAHz = qRound64(f);
        now += kSettleMs;
        const double volts = sim.audioVolts(now);
        raw.emplace_back(f / 1000.0, volts);
        peak = std::max(peak, volts);
    }
    for (const auto &[kHz, volts] : raw) chart.points.emplace_back(kHz, toDb(volts, peak));
    return chart;
}

struct AppliedRf {
    Chart chart;
    double linearFrom = 0, linearTo = 0;  // dBm, where the slope stays within 0.5 dB/dB
};

// The generator level stepped with the radio set as for a dBV test.
AppliedRf appliedRfChart() {
    K3Simulator sim;
    sim.setNoiseEnabled(false);
    auto &state = sim.state();
    state.techMode = true;
    state.afGain = 5;
    state.agcOn = false;
    state.preamp = false;
    state.attenuator = false;
    state.rfGain = 250;
    sim.generator().frequencyHz = double(state.vfoAHz);
    AppliedRf out{{QStringLiteral("K3 dBV Response versus Applied RF"),
                   {-140, 0, 20, QStringLiteral("Applied RF at the antenna input (dBm)")},
                   {-70, 30, 10, QStringLiteral("K3 dBV readout (dB, 0 dB at -100 dBm)")},
                   {}},
                  0,
                  0};
    qint64 now = 0;
    std::vector<std::pair<double, double>> raw;
    double reference = 0;
    for (double dbm = -140; dbm <= 0.0001; dbm += 1) {
        sim.generator().levelDbm = dbm;
        now += kSettleMs;
        const double volts = sim.audioVolts(now);
        raw.emplace_back(dbm, volts);
        if (std::abs(dbm + 100) < 0.5) reference = volts;
    }
    if (reference <= 0) reference = raw.back().second;
    for (const auto &[dbm, volts] : raw) out.chart.points.emplace_back(dbm, toDb(volts, reference));
    // The linear range: the longest run of 1 dB steps whose response is 1 dB +- 0.1.
    int bestStart = 0, bestLen = 0, start = 0;
    for (size_t i = 1; i < out.chart.points.size(); ++i) {
        const double slope = out.chart.points[i].y() - out.chart.points[i - 1].y();
        if (std::abs(slope - 1.0) > 0.1)
            start = int(i);
        else if (int(i) - start > bestLen) {
            bestLen = int(i) - start;
            bestStart = start;
        }
    }
    out.linearFrom = out.chart.points[bestStart].x();
    out.linearTo = out.chart.points[bestStart + bestLen].x();
    return out;
}

bool save(const QImage &image, const QString &path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

QImage drawSweep() {
    QImage image(424, 449, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawChart(p, image.rect(), sweepChart());
    QFont note(QStringLiteral("DejaVu Sans"));
    note.setPixelSize(11);
    p.setFont(note);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QRect(0, 427, 424, 18), Qt::AlignCenter,
               QStringLiteral("400 Hz 8-pole filter, generator at 14060.000 kHz"));
    return image;
}

QImage drawAppliedRf() {
    QImage image(640, 558, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const AppliedRf data = appliedRfChart();
    std::function<QPointF(QPointF)> map;
    const QRectF plot = drawChart(p, image.rect(), data.chart, &map);
    // Shade the linear range and name the three regions.
    const double left = map({data.linearFrom, 0}).x();
    const double right = map({data.linearTo, 0}).x();
    p.fillRect(QRectF(left, plot.top() + 1, right - left, plot.height() - 2),
               QColor(0x3c, 0xa0, 0x5a, 40));
    QFont note(QStringLiteral("DejaVu Sans"));
    note.setPixelSize(12);
    p.setFont(note);
    p.setPen(QColor(0x2a, 0x6e, 0x3c));
    const double labelTop = map({0, -36}).y();
    p.drawText(QRectF(left, labelTop, right - left, 54), Qt::AlignCenter,
               QStringLiteral("linear range\n1 dB per dB\n%1 to %2 dBm")
                   .arg(data.linearFrom)
                   .arg(data.linearTo));
    p.setPen(QColor(0x66, 0x66, 0x66));
    p.drawText(QRectF(plot.left() + 6, plot.bottom() - 40, left - plot.left() - 8, 34),
               Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, QStringLiteral("noise floor"));
    if (plot.right() - right > 60)
        p.drawText(QRectF(right + 4, plot.top() + 44, plot.right() - right - 8, 34),
                   Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("audio\ncompresses"));
    return image;
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient background(0, 0, 0, 256);
    background.setColorAt(0, QColor(0x22, 0x4a, 0x7a));
    background.setColorAt(1, QColor(0x10, 0x26, 0x44));
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    // Grid of a chart.
    p.setPen(QPen(QColor(255, 255, 255, 50), 3));
    for (int x = 48; x <= 208; x += 40) p.drawLine(x, 44, x, 212);
    for (int y = 52; y <= 212; y += 40) p.drawLine(36, y, 220, y);
    // A filter passband: flat top, steep skirts (the shape the sweep draws).
    QPainterPath pass;
    pass.moveTo(30, 206);
    for (int i = 0; i <= 196; ++i) {
        const double x = 30 + i;
        const double u = (x - 128) / 46.0;
        const double response = 1.0 / std::sqrt(1.0 + std::pow(u, 16));
        pass.lineTo(x, 206 - 150 * response);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xff, 0xb8, 0x3a), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(pass);
    return image;
}

}  // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    bool ok =
        resources.mkpath(QStringLiteral("pictures")) && resources.mkpath(QStringLiteral("icons"));
    ok = ok && save(drawSweep(), resources.filePath(QStringLiteral("pictures/sweep-sample.png")));
    ok = ok && save(drawAppliedRf(), resources.filePath(QStringLiteral("pictures/applied-rf.png")));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = ok && save(drawIcon(size),
                        resources.filePath(QStringLiteral("icons/corvane-%1.png").arg(size)));
    return ok ? 0 : 1;
}
