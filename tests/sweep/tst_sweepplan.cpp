// Sweep figures that cannot be swept are refused with the box's message, without a radio.

#include <QtTest>

#include "measurements/sweeplimits.h"
#include "measurements/sweepplan.h"

using namespace corvane;

class TestSweepPlan : public QObject {
    Q_OBJECT

private slots:
    void refusesValuesThatDoNotFit_data();
    void refusesValuesThatDoNotFit();
};

void TestSweepPlan::refusesValuesThatDoNotFit_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("box");

    QTest::newRow("start beyond 32 bits") << "9999999"
                                          << "14060"
                                          << "100" << int(SweepBox::KHzStart);
    QTest::newRow("negative stop") << "14060"
                                   << "-1"
                                   << "100" << int(SweepBox::KHzStop);
    QTest::newRow("step zero") << "14060"
                               << "14061"
                               << "0" << int(SweepBox::FreqStep);
    QTest::newRow("step rounds to nothing") << " 1800"
                                            << "1801"
                                            << "0.5" << int(SweepBox::FreqStep);
    QTest::newRow("negative step") << "14060"
                                   << "14061"
                                   << "-100" << int(SweepBox::FreqStep);
    QTest::newRow("step beyond 16 bits") << "14060"
                                         << "14061"
                                         << "40000" << int(SweepBox::FreqStep);
    QTest::newRow("step not a number") << "14060"
                                       << "14061"
                                       << "abc" << int(SweepBox::FreqStep);
}

void TestSweepPlan::refusesValuesThatDoNotFit() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(int, box);
    const SweepPlanResult result = planSweep({start, stop, step, QStringLiteral("200")});
    QVERIFY(!result.plan);
    QVERIFY(result.refusal);
    QCOMPARE(int(result.refusal->box), box);
    const PromptMessage expected = sweepBoxLimits(SweepBox(box)).outsideMessage();
    QCOMPARE(result.refusal->message.title, expected.title);
    QCOMPARE(result.refusal->message.text, expected.text);
}

QTEST_GUILESS_MAIN(TestSweepPlan)
#include "tst_sweepplan.moc"
