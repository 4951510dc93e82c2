// The filter survey on the simulator: every main and sub-receiver slot swept, the mis-set
// offset found and nothing else; the radio as it was after a run, after Stop and after a lost
// port (once reconnected, with Reset K3); one slot's selection and sweep in the trace; the
// finding rules at their limits; the charts' axis, first point and marker lines; the window's
// prompts, phases and plan; the slot list; corvane-cli writing every file and the report.

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>
#include <csignal>
#include <tuple>

#include "common/golden.h"
#include "survey/filtersurvey.h"
#include "survey/surveyfindings.h"
#include "survey/surveyoutputs.h"
#include "survey/ui/frmfiltersurvey.h"
#include "survey/ui/surveychart.h"
#include "surveybench.h"

using namespace corvane;
using namespace corvane::test;

namespace {

SurveyOptions onSub() {
    SurveyOptions o;
    o.receiver = Receiver::Sub;
    return o;
}

}  // namespace

class TestSurvey : public QObject {
    Q_OBJECT

private slots:
    void surveysEveryMainSlot();
    void surveysEverySubSlot();
    void slotsNotInstalledOrNotSelectable();
    void traceOfOneSlot();
    void carrierTooStrongForTheGain();
    void findingsAtTheirLimits_data() {
        addRows("limits.tsv", {"bw6", "offset", "peak", "expected"});
    }
    void findingsAtTheirLimits();
    void noCarrierHeard_data() { addRows("nocarrier.tsv", {"step", "depth", "first", "summary"}); }
    void noCarrierHeard();
    void width60Remedies_data() {
        addRows("remedies.tsv", {"floor", "missing", "rfGain", "generator", "expected"});
    }
    void width60Remedies();
    void chartAxisAndFirstPoint();
    void csvCellsQuoted_data();
    void csvCellsQuoted();
    void windowPromptsPhasesAndPlan();
    void slotLists_data() { addRows("slotlists.tsv", {"text", "slots"}); }
    void slotLists();
    void commandLineWritesEveryFile();
    void commandLineStoppedBySignal();
};

void TestSurvey::surveysEveryMainSlot() {
    SurveyBench b;
    const QString before = b.radio();
    const SurveyResult r = b.survey.run({});
    QCOMPARE(int(r.end), int(SurveyEnd::Completed));
    QCOMPARE(b.sink.finished, QStringList({"FL1 measured", "FL2 measured", "FL3 measured",
                                           "FL4 measured", "FL5 measured"}));
    CORVANE_COMPARE_GOLDEN(surveyCsvLines(r), "main.csv");
    // Only the 250 Hz filter disagrees: it sits 150 Hz above its offset. Its 370 Hz at -6 dB
    // is what such a filter measures, and its 4 dB below the widest is no fault.
    QCOMPARE(surveyFindings(r),
             QStringList({"FL4's passband centre is 150 Hz below the carrier, where its offset "
                          "of 0.00 kHz should put it: the filter really sits at about 0.15 kHz."}));
    QCOMPARE(surveySummary(r), QStringLiteral("4 of 5 slots agree with their configuration."));
    QCOMPARE(width60Remedy(r.slotResults[0], r),
             QStringLiteral("the floor is only 49 dB below the peak: use about -53 dBm and RF "
                            "gain 70"));
    QCOMPARE(lossListing(r).mid(2, 2),
             QStringList({"FL3: peak -2.0 dB, FLx GN 2 dB", "FL4: peak -4.0 dB, FLx GN 4 dB"}));
    QCOMPARE(b.radio(), before);
    QCOMPARE(b.prompter.summary().last(),
             QStringLiteral("Filter Survey|The filter survey is complete."));
}

void TestSurvey::surveysEverySubSlot() {
    SurveyBench b;
    const QString before = b.radio();
    const SurveyResult r = b.survey.run(onSub());
    QCOMPARE(int(r.end), int(SurveyEnd::Completed));
    CORVANE_COMPARE_GOLDEN(surveyCsvLines(r), "sub.csv");
    QCOMPARE(
        surveyFindings(r),
        QStringList({"FL4's passband centre is 120 Hz above the carrier, where its offset "
                     "of 0.00 kHz should put it: the filter really sits at about -0.12 kHz."}));
    QCOMPARE(b.radio(), before);
}

void TestSurvey::slotsNotInstalledOrNotSelectable() {
    SurveyBench b;
    // The read-back after selecting FL4 (the capture's is the first) still shows FL3.
    b.port->query = "k22;fw;k20;";
    b.port->occurrence = 3;
    b.port->answer = "FW004030;";
    b.state().mainFilters[1].installed = false;
    for (sim::ModeMemory &m : b.state().mainMemories)
        if (m.slot == 1) m.slot = 0;                // no mode remembers a filter that is not fitted
    b.state().mainFilters[3].rxEnabled[3] = false;  // switched on for the run, then off again
    const QString before = b.radio();
    SurveyOptions o;
    o.slotNumbers = {2, 3, 4};
    const SurveyResult r = b.survey.run(o);
    QCOMPARE(b.sink.finished,
             QStringList({"FL2 not installed", "FL3 measured", "FL4 could not be selected"}));
    QVERIFY(r.anySlotFailed());
    const QStringList csv = surveyCsvLines(r);
    QCOMPARE(csv.at(1), QStringLiteral("FL2,,,,,,,,,,,,"));
    QCOMPARE(csv.at(3), QStringLiteral("FL4,0.25,0.00,4,no,,,,,,,,"));
    QVERIFY(r.notes.contains("FL4: the K3 did not report it in use after selecting it."));
    QCOMPARE(b.radio(), before);
}

void TestSurvey::traceOfOneSlot() {
    SurveyBench b;
    SurveyOptions o;
    o.slotNumbers = {3};
    o.stepHz = 100;
    b.survey.run(o);
    const QStringList lines = b.trace.lines();
    const int wide = int(lines.indexOf("W k31;fw0400;k30;"));
    const int select = int(lines.indexOf("W k30;k22;fw00003;k20;"));
    QVERIFY(wide > 0 && select > wide);
    QCOMPARE(
        lines.mid(select, 16),
        QStringList({"W k30;k22;fw00003;k20;", "S 100", "W k22;fw;k20;", "S 100", "R FW040030;",
                     "Y", "W FA00014059300;", "S 4000", "W db;", "S 2500", lines.at(select + 10),
                     "S 100", "Y", "W FA00014059400;", "S 4000", "W db;"}));
    QVERIFY(lines.at(select + 10).startsWith("R DB"));
    QStringList tuned;
    for (const QString &w : b.trace.writes())
        if (w.startsWith("FA")) tuned << w;
    QCOMPARE(tuned,
             QStringList({"FA00014060000;", "FA00014059300;", "FA00014059400;", "FA00014059500;",
                          "FA00014059600;", "FA00014059700;", "FA00014059800;", "FA00014059900;",
                          "FA00014060000;", "FA00014060100;", "FA00014060200;", "FA00014060300;",
                          "FA00014060400;", "FA00014060500;", "FA00014060600;", "FA00014060700;",
                          "FA00014060000;"}));
}

void TestSurvey::carrierTooStrongForTheGain() {
    // -40 dBm at RF gain 150 is past the readout's linear range: said first, with the step.
    SurveyBench b;
    b.simulator->generator().levelDbm = -40.0;
    SurveyOptions o;
    o.slotNumbers = {3};
    o.stepHz = 100;
    const SurveyResult r = b.survey.run(o);
    QVERIFY(r.attenuatorStepDb && *r.attenuatorStepDb < 8.5);
    QVERIFY(surveyFindings(r).first().startsWith("The dBV readout moved "));
    QVERIFY(
        surveyFindings(r).first().contains(" not 10 dB, when the K3's attenuator was switched "
                                           "in at the carrier: at RF gain 150 "));
    // The attenuator in and out at the carrier, before the first slot is selected.
    const QStringList writes = b.trace.writes();
    const int in = int(writes.indexOf("ra01;"));
    QVERIFY2(in > 0 && writes.at(in - 2) == "FA00014060000;" && writes.at(in - 1) == "db;",
             qPrintable(writes.mid(in - 3, 8).join(u' ')));
    QCOMPARE(writes.mid(in + 1, 3), QStringList({"db;", "ra00;", "k30;k22;fw00003;k20;"}));
}

void TestSurvey::findingsAtTheirLimits() {
    QFETCH(QString, bw6);
    QFETCH(QString, offset);
    QFETCH(QString, peak);
    SlotResult s;
    s.slot = 3;
    s.configuredBw = "0.40";
    s.configuredOffset = "0.05";
    s.lossComp = "2";
    s.points = {{14060000, 0}};
    s.figures.width6.lowHz = 0;
    s.figures.width6.highHz = bw6.toDouble();
    s.figures.offsetHz = offset.toDouble();
    s.peakRelWidestDb = peak.toDouble();
    QTEST(slotDisagreements(s, "FL1").join(u'|'), "expected");
}

// A survey of two slots as read: FL1 2.70 kHz and FL3 0.40 kHz around 14060 kHz, peaks
// -1 and -3 dB, floors 45 and `depth` dB under them.
static SurveyResult twoSlots(double depth = 45.0) {
    SurveyResult r;
    r.centreHz = 14060000;
    r.options.slotNumbers = {1, 3};
    for (const auto &[slot, bw, peak] :
         {std::tuple{1, "2.70", -1.0}, std::tuple{3, "0.40", -3.0}}) {
        SlotResult s;
        s.slot = slot;
        s.configuredBw = bw;
        s.status = SlotStatus::Measured;
        const double floor = peak - (slot == 3 ? depth : 45.0);
        s.points = {{14061500, floor}, {14060000, peak}, {14058500, floor - 1}};
        s.figures.peakDb = peak;
        s.figures.floorDb = floor;
        s.peakRelWidestDb = peak + 1.0;
        r.slotResults.push_back(s);
    }
    return r;
}

void TestSurvey::noCarrierHeard() {
    QFETCH(QString, step);
    QFETCH(QString, depth);
    SurveyResult r = twoSlots(depth.toDouble());
    r.attenuatorStepDb = step.toDouble();
    r.slotResults[0].figures.floorDb = -10.0;  // FL1 9 dB under its peak
    const QStringList findings = surveyFindings(r);
    QFETCH(QString, first);
    QVERIFY2(findings.value(0).startsWith(first), qPrintable(findings.value(0)));
    QTEST(surveySummary(r), "summary");
}

void TestSurvey::width60Remedies() {
    QFETCH(QString, floor);
    QFETCH(QString, missing);
    SurveyResult r;
    QFETCH(QString, rfGain);
    r.options.rfGain = rfGain;
    QFETCH(QString, generator);
    r.options.generatorDbm = generator.toDouble();
    SlotResult s;
    s.points = {{14060000, 0}};
    s.plan.startHz = 14059400;
    s.plan.stepHz = 100;
    s.plan.points = 13;
    s.figures.peakDb = 0.0;
    s.figures.floorDb = floor.toDouble();
    s.figures.width60.missing = missing;
    QTEST(width60Remedy(s, r), "expected");
    s.figures.width60.lowHz = 14059000;
    s.figures.width60.highHz = 14061000;
    QCOMPARE(width60Remedy(s, r), QString());
}

void TestSurvey::chartAxisAndFirstPoint() {
    // Above the carrier is to the right; FL3's peak 2 dB under FL1's reads -2 on the chart.
    SurveyResult r = twoSlots(58.0);
    const std::vector<SurveyCurve> curves = surveyCurves(r);
    QCOMPARE(curves.at(1).points.front(), QPointF(-1500, -61.0));
    QCOMPARE(*curves.at(1).peakDb, -2.0);
    SurveyChart chart;
    chart.setCurves(curves, 0.0, 0, true);
    QCOMPARE(chart.curve(3)->at(0), QPointF(-1500, -61.0));
    QCOMPARE(chart.curve(3)->at(1), QPointF(0, -2.0));
    QCOMPARE(chart.xAxis()->min(), -1500.0);
    QCOMPARE(chart.xAxis()->max(), 1500.0);
    QCOMPARE(chart.level6()->points(), QList<QPointF>({{-1500, -6}, {1500, -6}}));
    QCOMPARE(chart.level60()->points(), QList<QPointF>({{-1500, -60}, {1500, -60}}));
    QCOMPARE(chart.yAxis()->min(), -70.0);
    QCOMPARE(chart.yAxis()->max(), 10.0);
    // No floor 60 dB down: no -60 dB line.
    chart.setCurves(surveyCurves(twoSlots(45.0)), 0.0, 0, true);
    QVERIFY(chart.level60()->points().isEmpty());
}

void TestSurvey::csvCellsQuoted_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("record");
    QTest::newRow("plain, empty") << QStringList({"FL1", "", "2.70"}) << "FL1,,2.70";
    QTest::newRow("comma") << QStringList({"a, b", "c"}) << "\"a, b\",c";
    QTest::newRow("quote") << QStringList({"say \"9\""}) << "\"say \"\"9\"\"\"";
    QTest::newRow("line end") << QStringList({"one\ntwo"}) << "\"one\ntwo\"";
}

void TestSurvey::csvCellsQuoted() {
    QFETCH(QStringList, cells);
    QTEST(csvRecord(cells), "record");
}

void TestSurvey::windowPromptsPhasesAndPlan() {
    SurveyBench b;
    QTemporaryDir dir;
    frmFilterSurvey window(AppContext{&b.link, &b.prompter, nullptr, {}});
    window.showForm();
    // Fits a 1366x768 screen with its frame and title bar.
    QVERIFY(window.layout()->minimumSize().height() <= 700);
    QVERIFY(window.width() <= 1366 && window.height() <= 700);
    window.findChild<QLineEdit *>("txtSlots")->setText("4");
    window.findChild<QLineEdit *>("txtFolder")->setText(dir.path());
    window.findChild<QLineEdit *>("txtStep")->setText("50");
    auto *plan = window.findChild<QLabel *>("lblPlan");
    QVERIFY2(plan->text().contains("\nAt least 21 points and about "), qPrintable(plan->text()));
    QCOMPARE(plan->accessibleDescription(), plan->text());
    auto *overall = window.findChild<QLabel *>("lblOverallProgress");
    auto *begin = window.findChild<QPushButton *>("cmdBegin");
    QStringList seen;
    b.prompter.setHook([&](const PromptMessage &m) {
        if (m.title == "Set AFV Reference") b.clock.advance(3000);
        seen << QStringLiteral("%1|%2|%3|%4")
                    .arg(m.title, overall->text())
                    .arg(b.prompter.owner() == &window)
                    .arg(begin->isEnabled());
    });
    begin->click();
    QCOMPARE(seen, QStringList({"Set AFV Reference|Survey: setting up the K3 and its AFV "
                                "reference at the carrier|1|0",
                                "Filter Survey|Survey: complete, 1 of 1 slots measured.|1|0"}));
    QCOMPARE(overall->text(), QStringLiteral("Survey: complete, 1 of 1 slots measured."));
    QVERIFY(begin->isEnabled());
    QVERIFY(plan->text().contains("\n25 points in all, about "));
    QCOMPARE(plan->accessibleDescription(), plan->text());
    // A radio that does not answer: the end line says so, the slot's row has no figures.
    b.simulator->faults().silent = true;
    begin->click();
    QCOMPARE(overall->text(), QStringLiteral("Survey: not run."));
    QCOMPARE(window.findChild<QTableWidget *>("tblResults")->item(0, 5)->text(), QString("-"));
}

void TestSurvey::slotLists() {
    QFETCH(QString, text);
    QString problem;
    const std::optional<QList<int>> numbers = parseSlotList(text, &problem);
    QStringList got;
    if (numbers)
        for (int s : *numbers) got << QString::number(s);
    QTEST(got.join(u' '), "slots");
    QCOMPARE(problem.isEmpty(), bool(numbers));
}

void TestSurvey::commandLineWritesEveryFile() {
    QTemporaryDir dir;
    const QString out = dir.filePath("survey out");
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "--yes", "survey", "--slots", "3-5", "--generator-dbm", "-63", "-o",
               out});
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(
        QDir(out).entryList(QDir::Files),
        QStringList({"survey-FL3.txt", "survey-FL4.txt", "survey-FL5.txt", "survey-overlay.png",
                     "survey-overlay.svg", "survey-run.csv", "survey.csv", "survey.pdf"}));
    QFile csv(QDir(out).filePath("survey.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().split('\n').size(), 5);  // header, three rows, the last line's end
    // FL4's 6 Hz steps are listed to the hertz, finer than the sweep list's 10 Hz labels.
    QFile fl4(QDir(out).filePath("survey-FL4.txt"));
    QVERIFY(fl4.open(QIODevice::ReadOnly));
    const QList<QByteArray> fl4Lines = fl4.readAll().split('\n');
    QVERIFY(fl4Lines.at(30).startsWith("14059.376\t\t-"));
    QVERIFY(fl4Lines.at(31).startsWith("14059.382\t\t-"));
    QFile pdf(QDir(out).filePath("survey.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    // Real text: the identity and the readout check among it.
    QProcess text;
    text.start("pdftotext", {pdf.fileName(), "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString report = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY(report.contains("K3 serial number 05321;"));
    QVERIFY(report.contains(QRegularExpression(
        "the K3's 10 dB attenuator moved the dBV\\s+reading \\d+\\.\\d dB, so the readout is "
        "linear")));
    // How it was run, one peak reference, the summing-up, a reason for each missing -60 dB
    // width, every page numbered.
    const QString flat = report.simplified();
    for (const char *text :
         {"generator set to -63 dBm, RF gain 150, fixed steps.",
          "2 of 3 slots agree with their configuration.", "Page 1 of 5", "Page 5 of 5",
          "FL3 has no -60 dB width (nor shape factor): the floor is only 56 dB below the peak: "
          "use about -53 dBm and RF gain 70.",
          "FL4: peak -2.0 dB, FLx GN 4 dB", "Swept: 1248 Hz span, 6 Hz step, 209 points, fixed"})
        QVERIFY2(flat.contains(QLatin1String(text)), text);
    QVERIFY(!flat.contains("Page 6"));
    QVERIFY(flat.contains(QRegularExpression("Corvane \\d+\\.\\d+\\.\\d+, K3 filter survey of")));
    QFile run(QDir(out).filePath("survey-run.csv"));
    QVERIFY(run.open(QIODevice::ReadOnly));
    const QList<QByteArray> runLines = run.readAll().split('\n');
    for (const char *line :
         {"slot,item,value", ",generator_dbm,-63", "FL4,span_hz,1248", "FL4,step_hz,6",
          "FL4,points,209", ",summary,2 of 3 slots agree with their configuration."})
        QVERIFY2(runLines.contains(line), line);
}

void TestSurvey::commandLineStoppedBySignal() {
    // Ctrl-C at the AFV reference prompt: the prompt is answered, nothing more is set up or
    // swept, the radio is put back and the files written; the exit code tells the signal.
    QTemporaryDir dir;
    QProcess cli;
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "survey", "--slots", "3,4", "-o", dir.path()});
    QVERIFY(cli.waitForStarted());
    cli.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("K3 is connected") && cli.waitForReadyRead(30000))
        err += cli.readAllStandardError();
    cli.write("\n");
    while (!err.contains("Set AFV Reference") && cli.waitForReadyRead(30000))
        err += cli.readAllStandardError();
    QVERIFY2(err.contains("Set AFV Reference") && cli.processId() > 0, err.constData());
    QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 128 + SIGINT);
    QVERIFY(cli.readAllStandardError().contains("The filter survey was stopped."));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({"survey-overlay.png", "survey-overlay.svg", "survey-run.csv",
                          "survey.csv", "survey.pdf"}));
    const QList<QByteArray> rows = cli.readAllStandardOutput().split('\n');
    QCOMPARE(rows.at(2), QByteArray("FL4,0.25,0.00,4,yes,,,,,,,,"));
}

QTEST_MAIN(TestSurvey)
#include "tst_survey.moc"
