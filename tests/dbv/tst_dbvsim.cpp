// The dBV tests against the built-in K3 simulator: the linear range the physics gives and
// the quick test finding its top.

#include <QtTest>

#include "dbvbench.h"
#include "measurements/dbvlinearity.h"
#include "measurements/dbvquick.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Step {
    int gain;
    double diff;
};

QList<Step> fullTestSteps(const QStringList &lines) {
    QList<Step> steps;
    for (const QString &line : lines.mid(26))
        steps.push_back({line.section(u'\t', 0, 0).toInt(), line.section(u'\t', 3, 3).toDouble()});
    return steps;
}

}  // namespace

class TestDbvSim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void linearRangeAndCompression();
    void quickTestFindsTheTopOfTheRange();

private:
    QList<Step> m_fullTest;
    int m_top = -1;  // the highest gain of the linear range around the middle
};

void TestDbvSim::initTestCase() {
    DbvBench bench;
    bench.useSimulator();
    RecordingSink sink;
    DbvFullTest test(bench.link, bench.prompter, bench.state, sink);
    QVERIFY(test.run({"0", "250", "1"}));
    m_fullTest = fullTestSteps(sink.lines);
    QCOMPARE(m_fullTest.size(), 251);
    for (const Step &s : m_fullTest) {
        if (s.gain >= 125 && s.diff < 10) break;
        if (s.gain >= 125) m_top = s.gain;
    }
    QCOMPARE(sink.chartRows, 251);
    QCOMPARE(bench.prompter.summary().last(),
             QString("Test Status|Test is complete. Check results in Listbox."));
}

void TestDbvSim::linearRangeAndCompression() {
    // Linear across the middle: the attenuator's full 10 dB (give or take the noise).
    for (const Step &s : m_fullTest) {
        if (s.gain >= 50 && s.gain <= 180)
            QVERIFY2(qAbs(s.diff - 10) <= 0.5, qPrintable(QString::number(s.gain)));
    }
    QVERIFY2(m_top >= 150 && m_top < 250, qPrintable(QString::number(m_top)));
    // Compressing at the top: the difference shrinks as the gain rises.
    const double atTop = m_fullTest[m_top].diff;
    const double at250 = m_fullTest.last().diff;
    QVERIFY(at250 < atTop - 3);
    for (int g = m_top + 10; g <= 250; g += 10)
        QVERIFY2(m_fullTest[g].diff < m_fullTest[g - 10].diff, qPrintable(QString::number(g)));
}

void TestDbvSim::quickTestFindsTheTopOfTheRange() {
    DbvBench bench;
    bench.useSimulator();
    RecordingSink sink;
    DbvQuickTest test(bench.link, bench.prompter, bench.state, sink);
    test.run();
    QCOMPARE(sink.lines.size(), 9);
    int highestLinear = -1;
    int last = -1;
    for (const QString &line : sink.lines.mid(2)) {
        last = line.section(u'\t', 0, 0).toInt();
        if (line.section(u'\t', 3, 3).toDouble() >= 10) highestLinear = qMax(highestLinear, last);
    }
    // The last step is 2: the search ends within a few steps of the full test's answer.
    QVERIFY2(qAbs(highestLinear - m_top) <= 4,
             qPrintable(QStringLiteral("%1 vs %2").arg(highestLinear).arg(m_top)));
    QVERIFY2(qAbs(last - m_top) <= 4, qPrintable(QStringLiteral("%1 vs %2").arg(last).arg(m_top)));
}

QTEST_GUILESS_MAIN(TestDbvSim)
#include "tst_dbvsim.moc"
