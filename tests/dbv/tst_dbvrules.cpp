// The text rules of the dBV tests: RF gain command, answer cuts, the difference, list lines,
// the run figures of a full test, the quick search's decisions and the box limits.

#include "measurements/dbvlimits.h"
#include "measurements/dbvplan.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvsteps.h"

#include <QtTest>

using namespace corvane;

class TestDbvRules : public QObject {
    Q_OBJECT

private slots:
    void rfGainCommand_data();
    void rfGainCommand();
    void cuts_data();
    void cuts();
    void calculateDiff_data();
    void calculateDiff();
    void fullLine_data();
    void fullLine();
    void quickLineKeepsTexts();
    void plan_data();
    void plan();
    void measurementWaits();
    void quickDecision_data();
    void quickDecision();
    void limits_data();
    void limits();
};

void TestDbvRules::rfGainCommand_data()
{
    QTest::addColumn<int>("gain");
    QTest::addColumn<QString>("command");
    QTest::newRow("0") << 0 << "rg000;";
    QTest::newRow("5") << 5 << "rg005;";
    QTest::newRow("9") << 9 << "rg009;";
    QTest::newRow("10") << 10 << "rg010;";
    QTest::newRow("50") << 50 << "rg050;";
    QTest::newRow("99") << 99 << "rg099;";
    QTest::newRow("125") << 125 << "rg125;";
    QTest::newRow("250") << 250 << "rg250;";
    // Never a gain the radio does not know.
    QTest::newRow("negative held at 0") << -50 << "rg000;";
    QTest::newRow("too high held at 250") << 300 << "rg250;";
}

void TestDbvRules::rfGainCommand()
{
    QFETCH(int, gain);
    QFETCH(QString, command);
    QCOMPARE(corvane::rfGainCommand(gain), command);
}

void TestDbvRules::cuts_data()
{
    QTest::addColumn<QString>("rgAnswer");
    QTest::addColumn<QString>("rgText");
    QTest::addColumn<QString>("dbAnswer");
    QTest::addColumn<QString>("dbvText");
    QTest::newRow("usual") << "RG125;"
                           << "125"
                           << "DB-23.5dBV;"
                           << "-23.5";
    QTest::newRow("leading blank kept") << "RG084;"
                                        << "084"
                                        << "DB -5.3dBV;"
                                        << " -5.3";
    QTest::newRow("zero") << "RG000;"
                          << "000"
                          << "DB  0.0dBV;"
                          << "  0.0";
    QTest::newRow("no answer") << ""
                               << ""
                               << ""
                               << "";
    QTest::newRow("too short") << "RG;"
                               << ""
                               << "DB;"
                               << "";
    QTest::newRow("just enough") << "RGx;"
                                 << "x"
                                 << "DB1dBV;"
                                 << "1";
    QTest::newRow("stale answer in front") << "?;RG100;"
                                           << "RG100"
                                           << "RA00;DB-1.0dBV;"
                                           << "00;DB-1.0";
}

void TestDbvRules::cuts()
{
    QFETCH(QString, rgAnswer);
    QFETCH(QString, rgText);
    QFETCH(QString, dbAnswer);
    QFETCH(QString, dbvText);
    QCOMPARE(cutRfGainAnswer(rgAnswer), rgText);
    QCOMPARE(cutDbvAnswer(dbAnswer), dbvText);
}

void TestDbvRules::calculateDiff_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("diff");
    QTest::newRow("10.1") << "-23.5"
                          << "-33.6"
                          << "10.1";
    QTest::newRow("whole") << "-20.0"
                           << "-30.0"
                           << "10";
    QTest::newRow("negative") << "-5.3"
                              << "-4.8"
                              << "-0.5";
    QTest::newRow("leading blank") << " -5.3"
                                   << "-15.3"
                                   << "10";
    QTest::newRow("equal") << "-3.0"
                           << "-3.0"
                           << "0";
    QTest::newRow("not a number reads 0") << "ERR"
                                          << "-9.9"
                                          << "9.9";
    QTest::newRow("both empty") << ""
                                << ""
                                << "0";
    QTest::newRow("number stops at junk") << "-1.5x"
                                          << "-2"
                                          << "0.5";
    // Rounded to two places, halves to even.
    QTest::newRow("half down to even") << "0.125"
                                       << "0"
                                       << "0.12";
    QTest::newRow("half up to even") << "0.135"
                                     << "0"
                                     << "0.14";
}

void TestDbvRules::calculateDiff()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, diff);
    QCOMPARE(corvane::calculateDiff(first, second), diff);
}

void TestDbvRules::fullLine_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("line");
    QTest::newRow("example") << QStringList{"100", "-23.5", "-33.6", "10.1"}
                             << "100\t-23.5\t-33.6\t10.1";
    QTest::newRow("one decimal added")
        << QStringList{"050", "-20", "-30", "10"} << "050\t-20.0\t-30.0\t10.0";
    QTest::newRow("blank dropped, digit before point")
        << QStringList{"084", " -5.3", "  -.5", "-4.8"} << "084\t-5.3\t-0.5\t-4.8";
    QTest::newRow("two places rounded to one")
        << QStringList{"125", "0.0", "-9.0", "9.05"} << "125\t0.0\t-9.0\t9.1";
    QTest::newRow("not a number unchanged")
        << QStringList{"100", "ERR ", "-9.9", "9.9"} << "100\tERR \t-9.9\t9.9";
    QTest::newRow("nothing cut") << QStringList{"", "", "", "0"} << "\t\t\t0.0";
}

void TestDbvRules::fullLine()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, line);
    QCOMPARE(fullTestLine(texts[0], texts[1], texts[2], texts[3]), line);
}

void TestDbvRules::quickLineKeepsTexts()
{
    QCOMPARE(quickTestLine("084", " -5.3", "-15.3", "10"), QString("084\t -5.3\t-15.3\t10"));
    QCOMPARE(dbvColumnHeading(), QString("RF Gain\tdBV 1\tdBV 2\tDiff"));
}

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

void TestDbvRules::measurementWaits()
{
    // rg set, rg read, settle, db + settle, ra01, db + settle, ra00
    QCOMPARE(kMeasurementWaitMs, 100 + 100 + 2500 + 2600 + 2500 + 2600 + 100);
}

void TestDbvRules::quickDecision_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("lastGain");
    QTest::addColumn<double>("diff");
    QTest::addColumn<int>("prevGain");
    QTest::addColumn<double>("prevDiff");
    QTest::addColumn<int>("next");
    QTest::newRow("first linear") << 1 << 125 << 10.0 << 0 << 0.0 << 187;
    QTest::newRow("first compressed") << 1 << 125 << 9.99 << 0 << 0.0 << 63;
    QTest::newRow("linear moves up") << 2 << 187 << 10.0 << 125 << 12.0 << 218;
    QTest::newRow("fell while rising") << 2 << 187 << 9.2 << 125 << 10.1 << 156;
    QTest::newRow("fell while falling") << 2 << 63 << 8.0 << 125 << 9.0 << 94;
    QTest::newRow("rose while rising") << 3 << 218 << 9.5 << 187 << 9.0 << 234;
    QTest::newRow("rose while falling") << 3 << 156 << 9.5 << 187 << 9.0 << 140;
    QTest::newRow("equal keeps gain") << 3 << 156 << 9.5 << 187 << 9.5 << 156;
    QTest::newRow("same gain keeps gain") << 4 << 156 << 9.0 << 156 << 9.5 << 156;
    QTest::newRow("last step size") << 6 << 84 << 12.0 << 86 << 9.0 << 86;
}

void TestDbvRules::quickDecision()
{
    QFETCH(int, k);
    QFETCH(int, lastGain);
    QFETCH(double, diff);
    QFETCH(int, prevGain);
    QFETCH(double, prevDiff);
    QTEST(nextQuickGain(k, lastGain, diff, prevGain, prevDiff), "next");
}

void TestDbvRules::limits_data()
{
    QTest::addColumn<int>("box");  // 0 start, 1 stop, 2 inc
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    const QList<std::pair<QString, bool>> start{
        {"0", true},   {"50", true},    {"300", true}, {" 7 ", true},    {"1e2", true},
        {"-1", false}, {"-0.5", false}, {"", false},   {"12abc", false}, {"abc", false}};
    const QList<std::pair<QString, bool>> stop{{"250", true},    {"-10", true},     {"249.9", true},
                                               {"251", false},   {"250.01", false}, {"", false},
                                               {"12abc", false}, {" ", false}};
    const QList<std::pair<QString, bool>> inc{{"1", true},      {"5", true},     {"2.5", true},
                                              {"+3", true},     {"0", false},    {"0.5", false},
                                              {"6", false},     {"5.01", false}, {"", false},
                                              {"12abc", false}, {"-1", false}};
    for (const auto &[text, ok] : start)
        QTest::addRow("start '%s'", qPrintable(text)) << 0 << text << ok;
    for (const auto &[text, ok] : stop)
        QTest::addRow("stop '%s'", qPrintable(text)) << 1 << text << ok;
    for (const auto &[text, ok] : inc)
        QTest::addRow("inc '%s'", qPrintable(text)) << 2 << text << ok;
}

void TestDbvRules::limits()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    const std::optional<PromptMessage> refusal = box == 0   ? checkRfGainStart(text)
                                                 : box == 1 ? checkRfGainStop(text)
                                                            : checkRfGainInc(text);
    QCOMPARE(!refusal.has_value(), ok);
    if (refusal) {
        QCOMPARE(refusal->icon, MessageIcon::Exclamation);
        const QStringList expected[] = {
            {"RF Gain Outside Bounds", "Please insert a number greater than or equal to 0."},
            {"RF Gain Outside Bounds", "Please insert a number less than or equal to 250."},
            {"RF Gain Increment Outside Bounds", "Please insert a number between 1 and 5."}};
        QCOMPARE(refusal->title, expected[box][0]);
        QCOMPARE(refusal->text, expected[box][1]);
    }
}

QTEST_GUILESS_MAIN(TestDbvRules)
#include "tst_dbvrules.moc"
