// End to end on the simulator's physics: a sweep across a crystal filter shows its passband
// as the radio would, and the -6 dB width read from the list lines matches the filter's.

#include <QtTest>
#include <cmath>

#include "core/numtext.h"
#include "sweepbench.h"

using namespace corvane;

namespace {

struct Point {
    double kHz;
    double dB;
};

std::vector<Point> pointsOf(const QStringList &dataLines) {
    std::vector<Point> points;
    for (const QString &line : dataLines) {
        const QStringList fields = line.split(u'\t');
        points.push_back({fields.value(0).toDouble(), fields.value(2).toDouble()});
    }
    return points;
}

// Where the response crosses `level` dB walking out from index `from` in direction `dir`,
// interpolated between the two list lines around it; NaN when it never does.
double crossing(const std::vector<Point> &p, int from, int dir, double level) {
    for (int i = from; i + dir >= 0 && i + dir < int(p.size()); i += dir) {
        const Point &a = p[size_t(i)];
        const Point &b = p[size_t(i + dir)];
        if (a.dB >= level && b.dB < level)
            return a.kHz + (b.kHz - a.kHz) * (a.dB - level) / (a.dB - b.dB);
    }
    return std::nan("");
}

}  // namespace

class TestSweepPhysics : public QObject {
    Q_OBJECT

private slots:
    void passband_data();
    void passband();
};

void TestSweepPhysics::passband_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("dspBandwidthHz");
    QTest::addColumn<int>("spanHz");
    QTest::addColumn<int>("stepHz");
    // The DSP passband is opened wider than the crystal filter so that the crystal filter
    // is what the sweep sees.
    QTest::newRow("FL2 2.7 kHz, USB") << 1 << 2 << 4000 << 4000 << 50;
    QTest::newRow("FL3 400 Hz, CW") << 2 << 3 << 1000 << 800 << 10;
}

void TestSweepPhysics::passband() {
    QFETCH(int, slot);
    QFETCH(int, mode);
    QFETCH(int, dspBandwidthHz);
    QFETCH(int, spanHz);
    QFETCH(int, stepHz);

    SweepBench bench;
    sim::K3State &s = bench.sim->state();
    s.mode = mode;
    s.dspBandwidthHz = dspBandwidthHz;
    s.selectedSlot = slot;
    // A strong signal at an RF gain well inside the linear range: more than 70 dB above the
    // receiver's noise at the middle of the passband, yet below the audio's compression.
    bench.sim->generator().levelDbm = -45.0;
    const QString rfGain = QStringLiteral("80");

    // The user tunes VFO A so that the tone sits in the middle of the passband.
    double centreOffset = 0;
    double best = -1e9;
    for (int offset = -6000; offset <= 6000; ++offset) {
        const double response = bench.sim->receiveResponseDb(offset);
        if (response > best) {
            best = response;
            centreOffset = offset;
        }
    }
    const qint64 centreHz = qint64(bench.sim->generator().frequencyHz - centreOffset);
    s.vfoAHz = centreHz;
    bench.sim->markChanged(bench.clock.now());
    const sim::CrystalFilter filter = bench.sim->filterInUse();

    const SweepOutcome outcome =
        bench.run({shortestText((centreHz - spanHz) / 1000.0),
                   shortestText((centreHz + spanHz) / 1000.0), QString::number(stepHz), rfGain});
    QCOMPARE(outcome.end, SweepEnd::Completed);
    const std::vector<Point> p = pointsOf(bench.sink.dataLines());
    QCOMPARE(int(p.size()), 2 * spanHz / stepHz + 1);

    int peak = 0;
    for (int i = 0; i < int(p.size()); ++i)
        if (p[size_t(i)].dB > p[size_t(peak)].dB) peak = i;
    const double top = p[size_t(peak)].dB;
    // The reference was taken at the middle of the passband.
    QVERIFY2(std::fabs(top) <= 0.5, qPrintable(QString::number(top)));

    const double low6 = crossing(p, peak, -1, top - 6.0);
    const double high6 = crossing(p, peak, +1, top - 6.0);
    QVERIFY(!std::isnan(low6) && !std::isnan(high6));
    const double width6 = (high6 - low6) * 1000.0;
    qInfo("slot FL%d: -6 dB width %.0f Hz from the list, %.0f Hz in the simulator", slot + 1,
          width6, filter.width6dBHz);
    QVERIFY2(std::fabs(width6 - filter.width6dBHz) <= 0.05 * filter.width6dBHz,
             qPrintable(QString::number(width6)));

    // Flat top: the middle half of the -6 dB passband within 1 dB of the peak.
    const double middle = (low6 + high6) / 2.0;
    for (const Point &pt : p)
        if (std::fabs(pt.kHz - middle) * 1000.0 <= width6 / 4.0)
            QVERIFY2(pt.dB >= top - 1.0, qPrintable(QString::number(pt.kHz, 'f', 3)));

    // Skirts: falling on both sides from the -6 dB points, through several steps, to more
    // than 60 dB of rejection at both ends of the sweep.
    for (const int dir : {-1, +1}) {
        int onSkirt = 0;
        for (int i = peak; i + dir >= 0 && i + dir < int(p.size()); i += dir) {
            const double here = p[size_t(i)].dB;
            const double next = p[size_t(i + dir)].dB;
            if (here < top - 3.0) QVERIFY2(next <= here, "the skirt rises again");
            if (here < top - 6.0 && here > top - 50.0) ++onSkirt;
        }
        QVERIFY(onSkirt >= 2);
        const double end = dir < 0 ? p.front().dB : p.back().dB;
        QVERIFY2(end < top - 60.0, qPrintable(QString::number(end)));
    }
    QCOMPARE(s.vfoAHz, centreHz);
}

QTEST_GUILESS_MAIN(TestSweepPhysics)
#include "tst_sweepphysics.moc"
