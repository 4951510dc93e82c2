// The run figures of a full test taken from the boxes: reference gain, steps, chart rows
// and gains measured, at the edges.

#include "measurements/dbvplan.h"

#include <QtTest>

using namespace corvane;

class TestDbvRules : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
};

void TestDbvRules::plan_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("refGain");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("measured");
    QTest::newRow("defaults") << QStringList{"50", "250", "1"} << 100 << 200 << 201 << 201;
    QTest::newRow("from 0") << QStringList{"0", "250", "1"} << 125 << 250 << 251 << 251;
    QTest::newRow("99.5 to even") << QStringList{"51", "250", "1"} << 100 << 199 << 200 << 200;
    QTest::newRow("98.5 to even") << QStringList{"53", "250", "1"} << 98 << 197 << 198 << 198;
    QTest::newRow("3.5 steps to 4") << QStringList{"50", "57", "2"} << 4 << 4 << 5 << 4;
    QTest::newRow("start equals stop") << QStringList{"120", "120", "3"} << 0 << 0 << 1 << 1;
    QTest::newRow("2.5 increment is 2") << QStringList{"100", "110", "2.5"} << 5 << 5 << 6 << 6;
    QTest::newRow("boxes with blanks") << QStringList{" 100", "10 2", " 1"} << 1 << 2 << 3 << 3;
    QTest::newRow("start above stop") << QStringList{"200", "100", "1"} << -50 << 100 << 101 << 0;
    QTest::newRow("300 measures nothing") << QStringList{"300", "250", "1"} << -25 << 50 << 51 << 0;
}

void TestDbvRules::plan()
{
    QFETCH(QStringList, boxes);
    const DbvFullTestPlan p = planFullTest(boxes[0], boxes[1], boxes[2]);
    QTEST(p.refGain, "refGain");
    QTEST(p.steps, "steps");
    QTEST(p.chartRows(), "rows");
    QTEST(p.measuredCount(), "measured");
    QCOMPARE(p.sendsReferenceGain(), p.refGain >= 0);
}

QTEST_GUILESS_MAIN(TestDbvRules)
#include "tst_dbvrules.moc"
