// The measurement physics, read back through the radio's own readouts with the program's
// commands and waits: a linear range of the dBV readout, crystal filter passbands seen by a
// sweep, and the receiver's MDS.
#include <QtTest>
#include <cmath>

#include "common/bench.h"

using corvane::sim::CrystalFilter;
using corvane::sim::K3Simulator;
using corvane::test::SimHarness;

namespace {

double reading(const QByteArray &answer) {
    return answer.mid(2, 5).trimmed().toDouble();
}

// The dBV test configuration and the AFV reference at refGain.
void prepareDbv(SimHarness &h, int refGain) {
    h.send("mn072;");
    if (h.ask("ds;").left(10).right(3) == "OFF") h.send("up;");
    h.send("mn255;ag005;", 1000);
    h.send("k22;gt0020;k20;ra00;pa0;");
    h.send("rg" + QByteArray::number(refGain).rightJustified(3, '0') + ';');
    h.send("k31;swt08;k30;db10;");
    h.send("db11;", 4000);
}

// One step of the linearity test: dBV with the attenuator off and on.
double attenuatorDifference(SimHarness &h, int gain) {
    h.send("rg" + QByteArray::number(gain).rightJustified(3, '0') + ';');
    h.ask("rg;");
    h.wait(2500);
    const double off = reading(h.ask("db;", 2500));
    h.wait(100);
    h.send("ra01;", 2500);
    const double on = reading(h.ask("db;", 2500));
    h.wait(100);
    h.send("ra00;");
    return off - on;
}

struct Sweep {
    std::vector<double> offsetHz;  // VFO A relative to the start
    std::vector<double> db;
};

// A sweep of VFO A from centre - span to centre + span, the reference taken at the centre.
Sweep sweep(SimHarness &h, qint64 centreHz, int spanHz, int stepHz, int rfGain) {
    h.send("mn072;");
    if (h.ask("ds;").left(10).right(3) == "OFF") h.send("up;");
    h.send("mn255;ag005;", 1000);
    h.send("k22;gt0020;k20;ra00;pa0;k31;swt08;k30;");
    h.send("rg" + QByteArray::number(rfGain) + ';');
    h.send("FA" + QByteArray::number(centreHz).rightJustified(11, '0') + ';', 4000);
    h.send("db10;");
    h.send("db11;", 1000);
    Sweep s;
    for (int f = -spanHz; f <= spanHz; f += stepHz) {
        h.send("FA" + QByteArray::number(centreHz + f).rightJustified(11, '0') + ';', 4000);
        s.offsetHz.push_back(f);
        s.db.push_back(reading(h.ask("db;", 2500)));
        h.wait(100);
    }
    return s;
}

// Width between the outermost crossings of `level` dB, interpolated between steps.
double widthAt(const Sweep &s, double level) {
    const size_t n = s.db.size();
    size_t first = n, last = 0;
    for (size_t i = 0; i < n; ++i)
        if (s.db[i] >= level) {
            first = std::min(first, i);
            last = i;
        }
    if (first == n || first == 0 || last + 1 >= n) return -1;
    auto cross = [&](size_t a, size_t b) {
        const double t = (level - s.db[a]) / (s.db[b] - s.db[a]);
        return s.offsetHz[a] + t * (s.offsetHz[b] - s.offsetHz[a]);
    };
    return cross(last, last + 1) - cross(first - 1, first);
}

double mds(SimHarness &h, bool preamp) {
    h.send("mn072;");
    if (h.ask("ds;").left(10).right(3) == "OFF") h.send("up;");
    h.send("mn255;ag005;", 1000);
    h.send("k22;gt0020;k20;ra00;");
    h.send(preamp ? "pa1;" : "pa0;");
    h.send("k31;swt08;k30;rg250;md3;db10;");
    h.sim.generator().on = true;
    h.sim.generator().levelDbm = -107;
    h.sim.generator().frequencyHz = double(h.sim.state().vfoAHz);
    auto average = [&] {
        double sum = 0;
        for (int i = 0; i < 10; ++i) {
            sum += h.ask("db;").mid(5, 5).trimmed().toDouble();
            h.wait(2000);
        }
        return sum / 10;
    };
    const double signal = average();
    h.sim.generator().on = false;
    const double noise = average();
    return -107 - 20 * std::log10(signal / noise);
}

}  // namespace

class SimPhysicsTest : public QObject {
    Q_OBJECT
private slots:
    void dbvReadoutHasALinearRange();
    void filterShapesMeetPublishedWidths_data();
    void filterShapesMeetPublishedWidths();
    void sweepShowsPassbandAndRejection_data();
    void sweepShowsPassbandAndRejection();
    void everySlotSweepsToItsWidths_data();
    void everySlotSweepsToItsWidths();
    void mdsNearPublishedFigures_data();
    void mdsNearPublishedFigures();
    void noiseIsSeededAndCanBeSwitchedOff();
    void misplacedFilterOffsetShiftsThePassband();
};

void SimPhysicsTest::dbvReadoutHasALinearRange() {
    SimHarness h;
    prepareDbv(h, 100);
    QString table;
    for (int gain = 0; gain <= 250; gain += 10) {
        const double diff = attenuatorDifference(h, gain);
        table += QStringLiteral(" %1:%2").arg(gain).arg(diff, 0, 'f', 1);
        if (gain >= 40 && gain <= 190) QVERIFY2(diff >= 10.0 && diff <= 10.5, qPrintable(table));
        if (gain == 250) QVERIFY2(diff < 8.0, qPrintable(table));
        if (gain == 0) QVERIFY2(diff < 9.5, qPrintable(table));
    }
    qInfo("attenuator difference by RF gain:%s", qPrintable(table));
}

void SimPhysicsTest::filterShapesMeetPublishedWidths_data() {
    QTest::addColumn<int>("slot");
    for (int slot = 0; slot < 5; ++slot) QTest::addRow("FL%d", slot + 1) << slot;
}

void SimPhysicsTest::filterShapesMeetPublishedWidths() {
    QFETCH(int, slot);
    const CrystalFilter f = K3Simulator().state().mainFilters[size_t(slot)];
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, 0)) < 1e-6);
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, f.width6dBHz / 2) + 6) < 0.01);
    QVERIFY(qAbs(K3Simulator::filterResponseDb(f, -f.width60dBHz / 2) + 60) < 0.05);
    QVERIFY(K3Simulator::filterResponseDb(f, f.width6dBHz / 4) > -0.5);  // flat top
    const double ultimate = K3Simulator::filterResponseDb(f, 20000);
    QVERIFY(ultimate < -95 && ultimate > -105);
}

void SimPhysicsTest::sweepShowsPassbandAndRejection_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("bandwidthHz");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("spanHz");
    QTest::addColumn<int>("stepHz");
    QTest::newRow("2.7 kHz 5-pole, USB") << 2 << 4000 << 1 << 3500 << 50;
    QTest::newRow("400 Hz 8-pole, CW") << 3 << 2000 << 2 << 900 << 10;
}

void SimPhysicsTest::sweepShowsPassbandAndRejection() {
    QFETCH(int, mode);
    QFETCH(int, bandwidthHz);
    QFETCH(int, slot);
    QFETCH(int, spanHz);
    QFETCH(int, stepHz);
    SimHarness h;
    h.sim.setNoiseEnabled(false);
    h.send("md" + QByteArray::number(mode) + ";k31;FW" +
           QByteArray::number(bandwidthHz / 10).rightJustified(4, '0') + ";k30;");
    h.sim.state().selectedSlot = slot;
    const CrystalFilter &f = h.sim.filterInUse();
    h.sim.generator().levelDbm = -40;
    const qint64 gen = 14060000;
    h.sim.generator().frequencyHz = double(gen);
    // The tone sits mid-passband with VFO A below it in USB, at it in CW.
    const qint64 centre = gen - (mode == 2 ? 1500 : 0);
    const Sweep s = sweep(h, centre, spanHz, stepHz, 45);
    const double top = *std::max_element(s.db.begin(), s.db.end());
    const double bottom = *std::min_element(s.db.begin(), s.db.end());
    const double w6 = widthAt(s, -6);
    qInfo("slot FL%d: -6 dB %.0f Hz (published %.0f), rejection %.1f dB", slot + 1, w6,
          f.width6dBHz, top - bottom);
    QVERIFY(qAbs(top) < 0.5);
    QVERIFY2(top - bottom > 60, qPrintable(QString::number(top - bottom)));
    QVERIFY2(qAbs(w6 - f.width6dBHz) < 0.05 * f.width6dBHz, qPrintable(QString::number(w6)));
}

void SimPhysicsTest::everySlotSweepsToItsWidths_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("stepHz");
    QTest::newRow("FL1 2.8 kHz 8-pole") << 0 << 20;
    QTest::newRow("FL2 2.7 kHz 5-pole") << 1 << 40;
    QTest::newRow("FL3 400 Hz 8-pole") << 2 << 5;
    QTest::newRow("FL4 250 Hz 8-pole") << 3 << 5;
    QTest::newRow("FL5 200 Hz 5-pole") << 4 << 5;
}

void SimPhysicsTest::everySlotSweepsToItsWidths() {
    // AM with the widest DSP passband, so that the crystal filter alone shapes the sweep.
    QFETCH(int, slot);
    QFETCH(int, stepHz);
    SimHarness h;
    h.sim.setNoiseEnabled(false);
    h.send("md5;k31;FW1300;k30;");
    h.sim.state().selectedSlot = slot;
    const CrystalFilter f = h.sim.filterInUse();
    h.sim.generator().levelDbm = -35;
    h.sim.generator().frequencyHz = 14060000;
    const Sweep s = sweep(h, 14060000, int(f.width60dBHz * 0.65), stepHz, 45);
    const double w6 = widthAt(s, -6);
    const double w60 = widthAt(s, -60);
    qInfo(
        "FL%d swept: -6 dB %.0f Hz (published %.0f), -60 dB %.0f Hz (published %.0f), "
        "shape factor %.2f",
        slot + 1, w6, f.width6dBHz, w60, f.width60dBHz, w60 / w6);
    QVERIFY2(qAbs(w6 - f.width6dBHz) < 0.05 * f.width6dBHz, qPrintable(QString::number(w6)));
    QVERIFY2(qAbs(w60 - f.width60dBHz) < 0.05 * f.width60dBHz, qPrintable(QString::number(w60)));
}

void SimPhysicsTest::mdsNearPublishedFigures_data() {
    QTest::addColumn<bool>("preamp");
    QTest::addColumn<double>("expected");
    QTest::newRow("preamp on") << true << -136.0;
    QTest::newRow("preamp off") << false << -130.0;
}

void SimPhysicsTest::mdsNearPublishedFigures() {
    QFETCH(bool, preamp);
    QFETCH(double, expected);
    SimHarness h;
    const double measured = mds(h, preamp);
    qInfo("MDS with preamp %s: %.2f dBm", preamp ? "on" : "off", measured);
    QVERIFY2(qAbs(measured - expected) < 1.5, qPrintable(QString::number(measured)));
}

void SimPhysicsTest::noiseIsSeededAndCanBeSwitchedOff() {
    auto readings = [](bool noise, quint32 seed) {
        SimHarness h(seed);
        h.sim.setNoiseEnabled(noise);
        h.sim.generator().on = false;
        h.send("mn072;up;mn255;db10;", 2000);
        QByteArrayList out;
        for (int i = 0; i < 5; ++i) out << h.ask("db;", 2100);
        return out;
    };
    QCOMPARE(readings(true, 7), readings(true, 7));
    QVERIFY(readings(true, 7) != readings(true, 8));
    const QByteArrayList exact = readings(false, 7);
    QCOMPARE(exact, readings(false, 8));
    QCOMPARE(exact.count(exact.first()), 5);
}

void SimPhysicsTest::misplacedFilterOffsetShiftsThePassband() {
    K3Simulator sim;
    sim.state().selectedSlot = 2;
    const double centred = sim.receiveResponseDb(150);
    sim.state().mainFilters[2].offsetHz = 150;  // the menu says 0.15 kHz, the filter sits at 0
    QVERIFY(sim.receiveResponseDb(150) < centred - 3);
    QVERIFY(qAbs(sim.receiveResponseDb(-150)) < 0.5);
}

QTEST_GUILESS_MAIN(SimPhysicsTest)
#include "tst_simphysics.moc"
