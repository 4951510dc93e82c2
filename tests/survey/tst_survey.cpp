// The filter survey on the simulator: every main and sub-receiver slot swept, the mis-set
// offset found and nothing else; the radio as it was after a run, after Stop and after a lost
// port (once reconnected, with Reset K3); one slot's selection and sweep in the trace; the
// disagreement rules at their limits; the slot list; corvane-cli writing every file.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "common/golden.h"
#include "survey/filtersurvey.h"
#include "survey/surveyfindings.h"
#include "survey/surveyoutputs.h"
#include "surveybench.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The simulator behind a port that loses the survey's selection of slot 4, as a radio would
// that will not select it.
class NoSlot4Transport : public SimTransport {
public:
    using SimTransport::SimTransport;
    PortError write(const QByteArray &bytes) override {
        QByteArray kept = bytes;
        return SimTransport::write(kept.replace("fw00004;", ""));
    }
};

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
    void disagreementsAtTheirLimits_data();
    void disagreementsAtTheirLimits();
    void slotLists_data();
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
    // Only the 250 Hz filter disagrees: it sits 150 Hz above its offset (and is wider).
    QCOMPARE(surveyFindings(r),
             QStringList({"FL4 is 370 Hz wide at -6 dB, 48 % wider than its configured "
                          "bandwidth of 0.25 kHz.",
                          "FL4's passband centre is 150 Hz below the carrier, where its offset "
                          "of 0.00 kHz should put it: the filter really sits at about 0.15 kHz."}));
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
        QStringList({"FL4 is 370 Hz wide at -6 dB, 48 % wider than its configured "
                     "bandwidth of 0.25 kHz.",
                     "FL4's passband centre is 120 Hz above the carrier, where its offset "
                     "of 0.00 kHz should put it: the filter really sits at about -0.12 kHz."}));
    QCOMPARE(b.radio(), before);
}

void TestSurvey::slotsNotInstalledOrNotSelectable() {
    SurveyBench b;
    b.link.setTransport(std::make_unique<NoSlot4Transport>(b.simulator, b.clock));
    QVERIFY(!b.link.open().isError());
    b.state().mainFilters[1].installed = false;
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

void TestSurvey::disagreementsAtTheirLimits_data() {
    QTest::addColumn<double>("bw6");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("peak");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all within") << 459.0 << 50.0 << -3.0 << QStringList();
    QTest::newRow("narrow") << 339.0 << -50.0 << -1.0
                            << QStringList({"FL3 is 339 Hz wide at -6 dB, 15 % narrower than its "
                                            "configured bandwidth of 0.40 kHz."});
    QTest::newRow("centre, loss")
        << 400.0 << 51.0 << -3.2
        << QStringList({"FL3's passband centre is 51 Hz above the carrier, where its offset of "
                        "0.05 kHz should put it: the filter really sits at about 0.00 kHz.",
                        "FL3's peak is 3.2 dB below the widest filter's, but its loss "
                        "compensation is 2 dB: 1.2 dB of loss not made up."});
}

void TestSurvey::disagreementsAtTheirLimits() {
    QFETCH(double, bw6);
    QFETCH(double, offset);
    QFETCH(double, peak);
    SlotResult s;
    s.slot = 3;
    s.configuredBw = "0.40";
    s.configuredOffset = "0.05";
    s.lossComp = "2";
    s.points = {{14060000, 0}};
    s.figures.width6.lowHz = 0;
    s.figures.width6.highHz = bw6;
    s.figures.offsetHz = offset;
    s.peakRelWidestDb = peak;
    QTEST(slotDisagreements(s), "expected");
}

void TestSurvey::slotLists_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("slots");
    QTest::newRow("list and range") << "1,3-5"
                                    << "1 3 4 5";
    QTest::newRow("repeats, order") << "4, 2,2"
                                    << "2 4";
    QTest::newRow("slot 0") << "0"
                            << "";
    QTest::newRow("backward") << "5-3"
                              << "";
    QTest::newRow("empty item") << "1,,2"
                                << "";
    QTest::newRow("slot 6") << "2-6"
                            << "";
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
              {"--port", "sim", "--yes", "survey", "--slots", "3-5", "-o", out});
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(QDir(out).entryList(QDir::Files),
             QStringList({"survey-FL3.txt", "survey-FL4.txt", "survey-FL5.txt",
                          "survey-overlay.png", "survey-overlay.svg", "survey.csv", "survey.pdf"}));
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

    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "survey", "--slots", "6", "-o", out});
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitCode(), 2);
    // A file where the folder should be: refused before the radio is touched.
    const QString file = QDir(out).filePath("survey.csv");
    cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
              {"--port", "sim", "--yes", "--trace", "survey", "-o", file});
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(cli.readAllStandardError()),
             "corvane-cli: cannot write into " + file + ": " + file + " is a file, not a folder\n");
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
             QStringList({"survey-overlay.png", "survey-overlay.svg", "survey.csv", "survey.pdf"}));
    const QList<QByteArray> rows = cli.readAllStandardOutput().split('\n');
    QCOMPARE(rows.at(2), QByteArray("FL4,0.25,0.00,4,yes,,,,,,,,"));
}

QTEST_MAIN(TestSurvey)
#include "tst_survey.moc"
