// The survey's run under faults: answers it must not take, the put-back after Stop and lost
// ports, reports, a stop within 2 s, option and plan tables, the -o folder refused.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "common/golden.h"
#include "surveybench.h"

using namespace corvane;
using namespace corvane::test;

namespace {

SurveyOptions slots34(bool sub = false) {
    SurveyOptions o;
    o.receiver = sub ? Receiver::Sub : Receiver::Main;
    o.slotNumbers = {3, 4};
    return o;
}

// Every message, slot end, note and table row of a run, one a line.
QString everythingTold(const SurveyBench &b, const SurveyResult &r) {
    return (b.prompter.summary() + b.sink.finished + r.notes + surveyCsvLines(r)).join(u'\n');
}

}  // namespace

class TestSurveyRun : public QObject {
    Q_OBJECT

private slots:
    void answersNotTaken_data() {
        addRows("answers.tsv", {"receiver", "query", "nth", "answer", "told", "never"});
    }
    void answersNotTaken();
    void putBackAfterStopAndLostPort_data() {
        addRows("putbacks.tsv", {"receiver", "loseAt", "ending", "notRestored"});
    }
    void putBackAfterStopAndLostPort();
    void reportsNeverReadings_data() {
        addRows("reports.tsv", {"receiver", "autoInfo", "ifEveryMs", "points"});
    }
    void reportsNeverReadings();
    void stopActedOnWithinTwoSeconds();
    void settlingSaidAfterAQuickReference();
    void optionChecks_data() { addRows("options.tsv", {"check", "text", "refusal"}); }
    void optionChecks();
    void planTimes_data() {
        addRows("plans.tsv",
                {"receiver", "slotList", "step", "adaptive", "points", "exact", "line"});
    }
    void planTimes();
    void stepRefusedBeforeTheFirstSweep();
    void putBackOrder();
    void folderRefusedBeforeAnyCommand();
};

void TestSurveyRun::answersNotTaken() {
    QFETCH(QString, receiver);
    QFETCH(QString, never);
    SurveyBench b;
    QFETCH(QString, query);
    QFETCH(QString, nth);
    QFETCH(QString, answer);
    b.port->query = bytesOf(query);
    b.port->occurrence = nth.section(u'-', 0, 0).toInt();
    b.port->onward = nth.endsWith(u'-');
    b.port->answer = bytesOf(answer);
    const SurveyResult r = b.survey.run(slots34(receiver == "sub"));
    QVERIFY(b.port->occurrence <= 0);
    QFETCH(QString, told);
    QVERIFY2(everythingTold(b, r).contains(told), qPrintable(everythingTold(b, r)));
    if (!never.isEmpty()) QVERIFY(!b.trace.writes().contains(never, Qt::CaseInsensitive));
}

void TestSurveyRun::putBackAfterStopAndLostPort() {
    QFETCH(QString, receiver);
    QFETCH(QString, loseAt);
    QFETCH(QString, ending);
    const bool sub = receiver == "sub";
    const bool lose = ending == "lost";
    SurveyBench b;
    b.state().mainFilters[3].rxEnabled[3] = b.state().subFilters[3].rxEnabled[3] = false;
    const QString before = b.radio();
    bool puttingBack = false;
    const auto act = [&] {
        if (!lose) return b.survey.stop();
        b.simulator->faults().vanished = true;
    };
    b.sink.onProgress = [&](const SurveyProgress &p) {
        if (loseAt.isEmpty() && p.slot == 4 && p.point == 20) act();
    };
    b.sink.onPhase = [&](SurveyPhase p) { puttingBack = p == SurveyPhase::PuttingBack; };
    b.trace.setObserver([&](const TraceEvent &e) {
        if (puttingBack && !loseAt.isEmpty() && e.kind == TraceEvent::Kind::Write &&
            e.text.startsWith(loseAt))
            act();
    });
    const SurveyResult r = b.survey.run(slots34(sub));
    b.trace.setObserver({});
    QCOMPARE(int(r.end), int(lose ? SurveyEnd::PortLost : SurveyEnd::Stopped));
    QCOMPARE(b.sink.finished.first(), QStringLiteral("FL3 measured"));
    if (lose) {
        QFETCH(QString, notRestored);
        const QString last = b.prompter.summary().last();
        QVERIFY2(last.startsWith("K3 Not Restored|") && last.contains(notRestored),
                 qPrintable(last));
        QVERIFY(!b.link.isConnected() && b.radio() != before);
        // Connected again, Reset K3 puts it all back.
        b.simulator->faults().vanished = false;
        b.link.clearError();
        QVERIFY(!b.link.open().isError());
        b.survey.resetK3();
    }
    QCOMPARE(b.radio(), before);
}

void TestSurveyRun::reportsNeverReadings() {
    QFETCH(QString, receiver);
    QFETCH(QString, autoInfo);
    QFETCH(QString, ifEveryMs);
    SurveyBench b;
    b.state().autoInfo = autoInfo.toInt();
    b.simulator->faults().unsolicitedIfEveryMs = ifEveryMs.toInt();
    const QString before = b.radio();
    SurveyOptions o;
    o.receiver = receiver == "sub" ? Receiver::Sub : Receiver::Main;
    const SurveyResult r = b.survey.run(o);
    QCOMPARE(int(r.end), int(SurveyEnd::Completed));
    // The figures of the survey without reports, and no more points than its plan.
    CORVANE_COMPARE_GOLDEN(surveyCsvLines(r), receiver + ".csv");
    QFETCH(QString, points);
    QCOMPARE(b.sink.points, points.toInt());
    QCOMPARE(b.radio(), before);
}

void TestSurveyRun::stopActedOnWithinTwoSeconds() {
    // A stop asked at any time from the first readout to the last point: the put-back starts
    // within 2 s of it (the prompt answered at once, as corvane-cli's is on Ctrl-C), and
    // the radio is as found.
    qint64 from = 0;
    qint64 to = 0;
    {
        SurveyBench b;
        b.trace.setObserver([&](const TraceEvent &e) {
            if (from == 0 && e.text == u"k30;mn038;") from = e.at;
        });
        b.sink.onPhase = [&](SurveyPhase p) {
            if (p == SurveyPhase::PuttingBack) to = b.clock.now();
        };
        b.survey.run(slots34());
    }
    QVERIFY(from > 0 && to > from + 600000);
    for (qint64 at = from; at < to; at += 15013) {
        SurveyBench b;
        b.prompter.setHook({});
        const QString before = b.radio();
        b.survey.setStopCheck([&] { return b.clock.now() >= at; });
        qint64 acted = -1;
        b.sink.onPhase = [&](SurveyPhase p) {
            if (p == SurveyPhase::PuttingBack) acted = b.clock.now();
        };
        // A stop during the last point's closing wait finds the survey complete.
        const SurveyEnd end = b.survey.run(slots34()).end;
        QVERIFY(end == SurveyEnd::Stopped || end == SurveyEnd::Completed);
        QVERIFY2(acted - at <= 2000,
                 qPrintable(QStringLiteral("stop at %1 ms acted on at %2 ms").arg(at).arg(acted)));
        QCOMPARE(b.radio(), before);
    }
}

void TestSurveyRun::settlingSaidAfterAQuickReference() {
    // The AFV reference prompt answered at once: the survey says it lets the readout settle,
    // and selects the reference no sooner than 3 s after the set-up's last command.
    SurveyBench b;
    b.prompter.setHook({});
    QList<SurveyPhase> phases;
    qint64 lastSetUp = -1;
    qint64 selected = -1;
    b.sink.onPhase = [&](SurveyPhase p) { phases << p; };
    b.trace.setObserver([&](const TraceEvent &e) {
        if (e.kind == TraceEvent::Kind::Write && e.text == u"db10;") lastSetUp = e.at;
        if (e.kind == TraceEvent::Kind::Write && e.text == u"db11;" && selected < 0)
            selected = e.at;
    });
    b.survey.run(slots34());
    b.trace.setObserver({});
    QVERIFY(phases.mid(0, 4) ==
            (QList<SurveyPhase>{SurveyPhase::ReadingSettings, SurveyPhase::SettingUp,
                                SurveyPhase::Settling, SurveyPhase::ReadoutCheck}));
    QCOMPARE(surveyPhaseText(SurveyPhase::Settling),
             QStringLiteral("Letting the readout settle..."));
    QVERIFY2(
        lastSetUp > 0 && selected - lastSetUp >= 3000,
        qPrintable(QStringLiteral("db10; at %1 ms, db11; at %2 ms").arg(lastSetUp).arg(selected)));
}

void TestSurveyRun::optionChecks() {
    QFETCH(QString, check);
    QFETCH(QString, text);
    QString refusal;
    if (check == "rf-gain") refusal = checkSurveyRfGain(text);
    if (check == "step") refusal = checkSurveyStep(text);
    if (check == "centre") refusal = checkSurveyCentre(text);
    if (check == "step-slots") {
        std::vector<SlotWidth> widths;
        for (const QString &slot : text.section(u' ', 1).split(u','))
            widths.push_back({slot.section(u':', 0, 0).toInt(), slot.section(u':', 1).toInt()});
        refusal = surveyStepProblem(text.section(u' ', 0, 0).toInt(), widths);
    }
    QTEST(refusal, "refusal");
}

void TestSurveyRun::planTimes() {
    QFETCH(QString, receiver);
    QFETCH(QString, slotList);
    QFETCH(QString, step);
    QFETCH(QString, adaptive);
    QFETCH(QString, points);
    QFETCH(QString, exact);
    SurveyOptions o;
    o.receiver = receiver == "sub" ? Receiver::Sub : Receiver::Main;
    o.slotNumbers = *parseSlotList(slotList, nullptr);
    if (!step.isEmpty()) o.stepHz = step.toInt();
    o.adaptive = adaptive == "yes";
    QTEST(surveyPlanText(o, points.toInt(), exact == "yes").last(), "line");
}

void TestSurveyRun::stepRefusedBeforeTheFirstSweep() {
    // FL4 is 0.25 kHz: 63 Hz is more than a quarter of it (the limits are in options.tsv).
    SurveyBench b;
    const QString before = b.radio();
    SurveyOptions o;
    o.slotNumbers = {4};
    o.stepHz = 63;
    QCOMPARE(int(b.survey.run(o).end), int(SurveyEnd::StepTooCoarse));
    QVERIFY(!b.trace.writes().contains("k30;k22;fw00004;k20;"));
    QCOMPARE(b.radio(), before);
    QCOMPARE(b.prompter.summary().last(),
             QStringLiteral("Step Too Coarse|A step of 63 Hz is more than a quarter of the "
                            "configured width of FL4 (0.25 kHz), too coarse to show its "
                            "passband: use a step of at most 62 Hz, or no step (each slot's "
                            "width / 40). Nothing was swept; the K3's settings are put back."));
}

void TestSurveyRun::putBackOrder() {
    // Found in USB (GT0041, FL1 at 2.60 kHz) on a radio whose CW memories differ (GT0021, FL4
    // at 0.50 kHz), FL5 off for CW: the flag goes back first, then CW's own memories in CW,
    // then USB and the capture; TECH MD, switched on for the survey, off last.
    SurveyBench b;
    b.simulator->seedDistinctModeMemories();
    b.simulator->setMode(2);
    b.state().mainFilters[4].rxEnabled[3] = false;
    const QStringList before = b.simulator->stateLines();
    int from = -1;
    b.sink.onPhase = [&](SurveyPhase p) {
        if (p == SurveyPhase::PuttingBack) from = int(b.trace.writes().size());
    };
    SurveyOptions o;
    o.slotNumbers = {5};
    o.stepHz = 50;
    b.survey.run(o);
    const QStringList putBack = b.trace.writes().mid(from);
    QCOMPARE(putBack.mid(0, 3), QStringList({"md3;", "k30;mn038;", "db;"}));
    const int cw = int(putBack.indexOf("md3;", 1));
    QCOMPARE(putBack.mid(cw - 2, 8),
             QStringList({"dn;", "k30;mn255;", "md3;", "k22;GT0021;k20;", "k22;FW005040;k20;",
                          "k31;FW0050;k30;", "MD2;", "k22;GT0041;k20;"}));
    QCOMPARE(putBack.mid(putBack.size() - 6),
             QStringList({"k31;FW0260;k30;", "db00;", "mn072;", "ds;", "up;", "mn255;"}));
    QCOMPARE(b.simulator->stateLines(), before);
}

void TestSurveyRun::folderRefusedBeforeAnyCommand() {
    // Each refused with one line on stderr and no exchange traced: the radio is not touched.
    QTemporaryDir dir;
    QFile::link(dir.filePath("loop"), dir.filePath("loop"));
    QFile::link(dir.filePath("nowhere"), dir.filePath("gone"));
    QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
    const QString deep = dir.filePath(QString(4090, u'x').replace(200, 1, u'/'));
    const QList<QPair<QString, QString>> rows{
        {dir.filePath("loop/out"), dir.filePath("loop") + " is a loop of symbolic links"},
        {dir.filePath("gone"), dir.filePath("gone") + " is a symbolic link to " +
                                   dir.filePath("nowhere") + ", which does not exist"},
        {dir.filePath("file/out"), dir.filePath("file") + " is not a folder"},
        {dir.filePath("file"), dir.filePath("file") + " is a file, not a folder"},
        {deep, QStringLiteral(
                   "its path is %1 characters long; the survey's files need it to be at most 4060")
                   .arg(deep.size())},
    };
    for (const auto &[folder, why] : rows) {
        QProcess cli;
        cli.start(qEnvironmentVariable("CORVANE_BUILD_DIR") + "/bin/corvane-cli",
                  {"--port", "sim", "--yes", "--trace", "survey", "-o", folder});
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(cli.readAllStandardError()),
                 "corvane-cli: cannot write into " + folder + ": " + why + "\n");
    }
}

QTEST_MAIN(TestSurveyRun)
#include "tst_surveyrun.moc"
