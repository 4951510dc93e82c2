// The sweep's arithmetic, result lines, box limits and results file, without a radio.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "core/linefile.h"
#include "measurements/sweeplimits.h"
#include "measurements/sweepplan.h"
#include "measurements/sweepresultsfile.h"

using namespace corvane;

class TestSweepPlan : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void refusesTooManyPoints_data();
    void refusesTooManyPoints();
    void refusesValuesThatDoNotFit_data();
    void refusesValuesThatDoNotFit();
    void emptyBoxesInOrder();
    void frequencyCommand_data();
    void frequencyCommand();
    void reading_data();
    void reading();
    void resultLine_data();
    void resultLine();
    void boxLimits_data();
    void boxLimits();
    void fileLines();
    void fileBytes();
    void fileEmptyList();
    void fileUnwritable();
};

void TestSweepPlan::plan_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("startHz");
    QTest::addColumn<int>("stopHz");
    QTest::addColumn<int>("stepHz");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("measured");
    QTest::addColumn<int>("lastHz");

    QTest::newRow("eleven steps") << "14060"
                                  << "14061"
                                  << "100" << 14060000 << 14061000 << 100 << 11 << 11 << 14061000;
    // 2.5 rounds to 2: three rows, and 14060300 would pass the stop.
    QTest::newRow("stop between steps")
        << "14060"
        << "14060.25"
        << "100" << 14060000 << 14060250 << 100 << 3 << 3 << 14060200;
    // 3.5 rounds to 4: five rows for four measured steps.
    QTest::newRow("half up to even") << "14060"
                                     << "14060.35"
                                     << "100" << 14060000 << 14060350 << 100 << 5 << 4 << 14060300;
    QTest::newRow("start equals stop") << "7040"
                                       << "7040"
                                       << "50" << 7040000 << 7040000 << 50 << 1 << 1 << 7040000;
    QTest::newRow("start above stop") << "14061"
                                      << "14060"
                                      << "100" << 14061000 << 14060000 << 100 << 11 << 0 << 0;
    QTest::newRow("step rounds to nothing") << " 1800"
                                            << "1801"
                                            << "0.5" << 1800000 << 1801000 << 0 << 0 << 0 << 0;
    QTest::newRow("step rounds halves to even")
        << "3500"
        << "3501"
        << "2.5" << 3500000 << 3501000 << 2 << 501 << 501 << 3501000;
    QTest::newRow("widest range within the chart")
        << "1800"
        << "18183"
        << "500" << 1800000 << 18183000 << 500 << 32767 << 32767 << 18183000;
}

void TestSweepPlan::plan() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(int, startHz);
    QFETCH(int, stopHz);
    QFETCH(int, stepHz);
    QFETCH(int, count);
    QFETCH(int, measured);
    QFETCH(int, lastHz);

    const SweepPlanResult result = planSweep({start, stop, step, QStringLiteral("200")});
    if (stepHz == 0) {  // a step that rounds to nothing cannot sweep
        QVERIFY(!result.plan);
        QVERIFY(result.refusal);
        QCOMPARE(int(result.refusal->box), int(SweepBox::FreqStep));
        QCOMPARE(result.refusal->message.title,
                 QStringLiteral("Frequency Increment Outside Bounds"));
        return;
    }
    QVERIFY(result.plan);
    QVERIFY(!result.refusal);
    const SweepPlan &p = *result.plan;
    QCOMPARE(int(p.startHz), startHz);
    QCOMPARE(int(p.stopHz), stopHz);
    QCOMPARE(int(p.stepHz), stepHz);
    QCOMPARE(int(p.count), count);
    QCOMPARE(p.stepsMeasured(), measured);
    QVERIFY(p.stepsMeasured() <= p.count);
    if (measured > 0) QCOMPARE(int(p.frequencyOfStep(measured - 1)), lastHz);
}

void TestSweepPlan::refusesTooManyPoints_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole band in 1 Hz steps")
        << "1800"
        << "30000"
        << "1"
        << "This sweep would measure 28200001 points; a sweep can measure at most 32767. Use a "
           "narrower frequency range: at 500 Hz steps a sweep can cover at most 16383 kHz.";
    QTest::newRow("a larger step fits")
        << "14000"
        << "14100"
        << "1"
        << "This sweep would measure 100001 points; a sweep can measure at most 32767. Use a "
           "frequency step of at least 4 Hz, or a narrower frequency range.";
    // Downwards counts the same points: the chart is sized from the absolute span.
    QTest::newRow("downwards")
        << "14100"
        << "14000"
        << "3"
        << "This sweep would measure 33334 points; a sweep can measure at most 32767. Use a "
           "frequency step of at least 4 Hz, or a narrower frequency range.";
    QTest::newRow("one point over")
        << "1800"
        << "18183.5"
        << "500"
        << "This sweep would measure 32768 points; a sweep can measure at most 32767. Use a "
           "narrower frequency range: at 500 Hz steps a sweep can cover at most 16383 kHz.";
}

void TestSweepPlan::refusesTooManyPoints() {
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, step);
    QFETCH(QString, text);
    const SweepPlanResult result = planSweep({start, stop, step, QStringLiteral("200")});
    QVERIFY(!result.plan);
    QVERIFY(result.refusal);
    QCOMPARE(result.refusal->message.title, QStringLiteral("Too Many Sweep Points"));
    QCOMPARE(result.refusal->message.icon, MessageIcon::Exclamation);
    QCOMPARE(int(result.refusal->box), int(SweepBox::FreqStep));
    QCOMPARE(result.refusal->message.text, text);
}

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

void TestSweepPlan::emptyBoxesInOrder() {
    SweepInputs inputs;
    const QStringList expected{"Start Frequency Null Error|Enter an appropriate start frequency",
                               "Stop Frequency Null Error|Enter an appropriate stop frequency",
                               "Frequency Step Null Error|Enter an appropriate frequency increment",
                               "RF Gain Null Error|Enter an appropriate RF Gain setting"};
    QString *boxes[] = {&inputs.kHzStart, &inputs.kHzStop, &inputs.freqStep, &inputs.rfGain};
    for (int i = 0; i < 4; ++i) {
        const std::optional<SweepRefusal> refusal = firstEmptyBox(inputs);
        QVERIFY(refusal);
        QCOMPARE(int(refusal->box), i);
        QCOMPARE(refusal->message.title + u'|' + refusal->message.text, expected.at(i));
        QCOMPARE(refusal->message.icon, MessageIcon::Critical);
        *boxes[i] = QStringLiteral("1");
    }
    QVERIFY(!firstEmptyBox(inputs));
    // A blank is not an empty box: it is left to the box's own check.
    QVERIFY(!firstEmptyBox({" ", " ", " ", " "}));
}

void TestSweepPlan::frequencyCommand_data() {
    QTest::addColumn<int>("hz");
    QTest::addColumn<QString>("command");
    QTest::newRow("20 m") << 14060000 << "FA00014060000;";
    QTest::newRow("160 m, seven digits") << 1800000 << "FA00001800000;";
    QTest::newRow("top of the range") << 30000000 << "FA00030000000;";
    QTest::newRow("odd hertz") << 14060123 << "FA00014060123;";
}

void TestSweepPlan::frequencyCommand() {
    QFETCH(int, hz);
    QFETCH(QString, command);
    QCOMPARE(corvane::frequencyCommand(hz), command);
}

void TestSweepPlan::reading_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<double>("value");
    QTest::newRow("dBV readout") << "DB-23.5dBV;"
                                 << "-23.5" << -23.5;
    QTest::newRow("leading blank") << "DB -5.3dBV;"
                                   << " -5.3" << -5.3;
    QTest::newRow("zero") << "DB  0.0dBV;"
                          << "  0.0" << 0.0;
    QTest::newRow("normal display, not a number") << "DB14060.00;"
                                                  << "14060" << 14060.0;
    QTest::newRow("busy") << "?;"
                          << "" << 0.0;
    QTest::newRow("nothing") << ""
                             << "" << 0.0;
    QTest::newRow("six characters") << "DBxDB;"
                                    << "" << 0.0;
    QTest::newRow("seven characters") << "DB-dBV;"
                                      << "-" << 0.0;
    QTest::newRow("stale answer in front") << "?;DB-23.5dBV;"
                                           << "DB-23.5" << 0.0;
}

void TestSweepPlan::reading() {
    QFETCH(QString, reply);
    QFETCH(QString, reading);
    QFETCH(double, value);
    QCOMPARE(readingFromReply(reply), reading);
    QCOMPARE(readingValue(readingFromReply(reply)), value);
}

void TestSweepPlan::resultLine_data() {
    QTest::addColumn<int>("hz");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("label");
    QTest::newRow("example") << 14060000 << "-25.3"
                             << "14060.000\t\t-25.3"
                             << "14060";
    QTest::newRow("half kHz") << 14060500 << "-3.0"
                              << "14060.500\t\t-3.0"
                              << "14060.5";
    QTest::newRow("leading blank") << 14060100 << " -5.3"
                                   << "14060.100\t\t-5.3"
                                   << "14060.1";
    QTest::newRow("whole reading") << 7040000 << "  -12"
                                   << "7040.000\t\t-12.0"
                                   << "7040";
    // Single precision keeps seven significant digits above 10 MHz.
    QTest::newRow("seven digits") << 14060123 << "-1.0"
                                  << "14060.120\t\t-1.0"
                                  << "14060.12";
    QTest::newRow("below 10 MHz keeps hertz") << 7040123 << "-1.0"
                                              << "7040.123\t\t-1.0"
                                              << "7040.123";
    QTest::newRow("160 m") << 1800000 << "-60.2"
                           << "1800.000\t\t-60.2"
                           << "1800";
    QTest::newRow("normal display") << 14060000 << "14060"
                                    << "14060.000\t\t14060.0"
                                    << "14060";
    QTest::newRow("garbled reading") << 14060000 << "-2x.5"
                                     << "14060.000\t\t-2x.5"
                                     << "14060";
    QTest::newRow("no reading") << 14060000 << ""
                                << "14060.000\t\t"
                                << "14060";
}

void TestSweepPlan::resultLine() {
    QFETCH(int, hz);
    QFETCH(QString, reading);
    QFETCH(QString, line);
    QFETCH(QString, label);
    QCOMPARE(sweepResultLine(hz, reading), line);
    QCOMPARE(kHzLabel(hz), label);
}

void TestSweepPlan::boxLimits_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    const int start = int(SweepBox::KHzStart);
    const int stop = int(SweepBox::KHzStop);
    const int step = int(SweepBox::FreqStep);
    const int gain = int(SweepBox::RFGain);
    QTest::newRow("start in range") << start << "14060" << true;
    QTest::newRow("start lower end") << start << "1800" << true;
    QTest::newRow("start upper end") << start << "30000" << true;
    QTest::newRow("start just below") << start << "1799.99" << false;
    QTest::newRow("start just above") << start << "30000.01" << false;
    QTest::newRow("start empty") << start << "" << false;
    QTest::newRow("start trailing letters") << start << "14060abc" << false;
    QTest::newRow("start blanks around") << start << " 14060.5 " << true;
    QTest::newRow("start sign") << start << "+14060" << true;
    QTest::newRow("start negative") << start << "-14060" << false;
    // A number as a whole, but its value is read from the start of the text: 1.8.
    QTest::newRow("start exponent") << start << "1.8e3" << false;
    QTest::newRow("stop in range") << stop << "14061" << true;
    QTest::newRow("stop lower end") << stop << "1800" << true;
    QTest::newRow("stop upper end") << stop << "30000" << true;
    QTest::newRow("stop below") << stop << "1799" << false;
    QTest::newRow("stop above") << stop << "30001" << false;
    QTest::newRow("stop empty") << stop << "" << false;
    QTest::newRow("stop two points") << stop << "14.060.1" << false;
    QTest::newRow("step in range") << step << "100" << true;
    QTest::newRow("step lower end") << step << "1" << true;
    QTest::newRow("step upper end") << step << "500" << true;
    QTest::newRow("step half") << step << "0.5" << false;
    QTest::newRow("step above") << step << "501" << false;
    QTest::newRow("step empty") << step << "" << false;
    QTest::newRow("step letters") << step << "ten" << false;
    QTest::newRow("step exponent") << step << "5e1" << true;
    QTest::newRow("gain in range") << gain << "200" << true;
    QTest::newRow("gain lower end") << gain << "1" << true;
    QTest::newRow("gain upper end") << gain << "250" << true;
    QTest::newRow("gain zero") << gain << "0" << false;
    QTest::newRow("gain above") << gain << "251" << false;
    QTest::newRow("gain empty") << gain << "" << false;
    QTest::newRow("gain blank") << gain << "  " << false;
    QTest::newRow("gain comma") << gain << "2,5" << false;
}

void TestSweepPlan::boxLimits() {
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    const std::optional<PromptMessage> refusal = checkSweepBox(SweepBox(box), text);
    QCOMPARE(!refusal, accepted);
    if (refusal) {
        static const QStringList expected{
            "Frequency Outside Bounds|Please insert a frequency in kHz between 1800 and 30000.",
            "Frequency Outside Bounds|Please insert a frequency in kHz between 1800 and 30000.",
            "Frequency Increment Outside Bounds|Please insert a frequency in Hz between 1 and 500.",
            "RF Gain Outside Bounds|Please insert a number between 1 and 250."};
        QCOMPARE(refusal->title + u'|' + refusal->text, expected.at(box));
        QCOMPARE(refusal->icon, MessageIcon::Exclamation);
    }
}

void TestSweepPlan::fileLines() {
    const QDateTime when(QDate(2024, 3, 9), QTime(0, 0, 0));
    const QStringList lines =
        sweepResultsFileLines({"a", "b"}, QStringLiteral("first\r\nsecond\nthird"), when);
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.at(2), QStringLiteral("User Comments: first"));
    QCOMPARE(lines.at(3), QStringLiteral("second"));
    QCOMPARE(lines.at(4), QStringLiteral("third"));
    QVERIFY(lines.at(5).startsWith(QStringLiteral("Date run: ")));
    QCOMPARE(lines.mid(6), QStringList({"a", "b"}));
}

void TestSweepPlan::fileBytes() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("FilterSweep.txt"));
    const QDateTime when(QDate(2024, 3, 9), QTime(0, 0, 0));
    // An older, longer file of that name is replaced, not overwritten in part.
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(4096, 'x'));
    old.close();

    QVERIFY(writeSweepResultsFile(path, {QStringLiteral("14060.000\t\t-25.3")},
                                  QString::fromLatin1("Caf\xe9 FL3"), when));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "K3 Crystal Filter Sweep Results\r\n"
        "By Quill Ashby, N0CALL\r\n"
        "User Comments: Caf\xe9 FL3\r\n"
        "Date run: " +
        generalDateText(when).toLatin1() +
        "\r\n"
        "14060.000\t\t-25.3\r\n";
    QCOMPARE(file.readAll(), expected);
}

void TestSweepPlan::fileEmptyList() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(writeSweepResultsFile(path, {}, QString(), QDateTime::currentDateTime()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 5);  // four lines and the empty rest after the last line end
    QCOMPARE(lines.at(2), QByteArray("User Comments: \r"));
    QVERIFY(lines.last().isEmpty());
}

void TestSweepPlan::fileUnwritable() {
    QTemporaryDir dir;
    QVERIFY(!writeSweepResultsFile(dir.filePath(QStringLiteral("missing/folder/x.txt")), {"a"},
                                   QString(), QDateTime::currentDateTime()));
}

QTEST_GUILESS_MAIN(TestSweepPlan)
#include "tst_sweepplan.moc"
