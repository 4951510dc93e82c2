// Saved results files read back: the chart readers on a table of small files, round trips of
// a simulated sweep and dBV full test, the chart windows and the viewer as the File menu
// opens them, the printout as PDF text, and corvane-cli chart and print.

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "charts/chartfromfile.h"
#include "charts/resultchart.h"
#include "charts/ui/chartfilewindows.h"
#include "common/scriptedfiledialogs.h"
#include "common/simruns.h"
#include "core/ui/windowregistry.h"
#include "files/ui/frmreadfile.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "measurements/sweepresultsfile.h"
#include "shell/windows.h"

using namespace corvane;

namespace {

// A results file: four header lines, the 21 report lines, then `tail` (lines 26 onward).
QByteArray resultsFile(const char *title, const QByteArray &tail) {
    QByteArray text = QByteArray(title) +
                      "\r\nBy Quill Ashby, N0CALL\r\nUser Comments: caf\xe9\r\n"
                      "Date run: 1/2/2026\r\n";
    for (int line = 5; line <= 25; ++line) text += "Report\t" + QByteArray::number(line) + "\r\n";
    return text + tail;
}
QByteArray sweepFile(const QByteArray &tail) {
    return resultsFile("K3 Crystal Filter Sweep Results", tail);
}
QByteArray dbvFile(const QByteArray &tail) {
    return resultsFile("K3 dBV Linear Range Test Results", tail);
}
const QByteArray kSweepHead =
    "Frequency Start: 14060\r\nFrequency Stop: 14061\r\n"
    "Frequency Step: 100\r\n=======================================\r\n"
    "Frequency\tdBV\r\n";
const QByteArray kDbvHead =
    "RF Gain Start: 50\r\nRF Gain Stop: 60\r\nRF Gain Increment: 5\r\n"
    "=======================================\r\n"
    "RF Gain\tdBV 1\tdBV 2\tDiff\r\n";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return QString();
    return path;
}

// "rows|label=value ..." of a chart, or the reader's message.
QString describe(const ChartFileResult &result) {
    if (!result.data) return result.error;
    ResultChart chart;
    applyChartFile(chart, *result.data);
    QStringList rows;
    for (int row = 1; row <= chart.rowCount(); ++row)
        if (chart.rowValue(row))
            rows << chart.rowLabel(row) + u'=' + QString::number(*chart.rowValue(row));
    return QString::number(chart.rowCount()) + u'|' + rows.join(u' ');
}

QString cliPath() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR") + QStringLiteral("/bin/corvane-cli");
}

struct CliRun {
    int exitCode = -1;
    QString out, err;
};
CliRun runCli(const QStringList &arguments) {
    QProcess process;
    process.start(cliPath(), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QString pdfText(const QString &path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The program's window list on scripted dialogs and messages.
struct Program {
    test::ScriptedFileDialogs dialogs;
    ScriptedPrompter prompter;
    AppContext app{nullptr, &prompter, &dialogs, {}};
    WindowRegistry windows{app, nullptr};
    Program() { registerProgramWindows(windows); }
};

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void readers_data();
    void readers();
    void sweepRoundTrip();
    void dbvRoundTrip();
    void chartWindowsFromTheMenu();
    void viewerAndPrintout();
    void cliChartAndPrint();

private:
    QTemporaryDir m_dir;
};

void TestFiles::readers_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const int sweep = int(ChartFileKind::Sweep), dbv = int(ChartFileKind::Dbv);
    QTest::newRow("sweep 11 rows") << sweep
                                   << sweepFile(kSweepHead +
                                                "14060.000\t\t-25.3\r\n14060.100\t\t-5.3\r\n14060."
                                                "200\t\t0.0\r\n\r\n14060.300\t\t-1.0\r\n")
                                   << "11|14060.000=-25.3 14060.10=-5.3 14060.2=0";
    QTest::newRow("LF, blanks, fraction start")
        << sweep
        << sweepFile(
               "  Frequency Start: 14060.5 \nFrequency Stop: 14061\nFrequency Step: "
               "100\n=\nh\n14060.500\t\t-12.5\n")
        << "11|14060.500=-12.5";
    QTest::newRow("more lines than rows")
        << sweep
        << sweepFile(
               "Frequency Start: 14060\r\nFrequency Stop: 14060.2\r\nFrequency Step: "
               "100\r\n=\r\nh\r\n14060.000\t\t-1.5\r\n14060.100\t\t-2.5\r\n14060.200\t\t-13.5\r\n")
        << "3|14060.00=-1.5 14060.10=-2.5 14060.200=-13.5";
    QTest::newRow("sweep ends at line 30") << sweep << sweepFile(kSweepHead) << "11|";
    QTest::newRow("dbv cut after 16")
        << dbv << dbvFile(kDbvHead + "050\t-23.5\t-33.6\t10.1\n100\t-5.3\t-15.6\t10.3\n")
        << "3|050=10.1 100=0.3";
    QTest::newRow("quick test")
        << dbv
        << QByteArray(
               "K3 dBV Linear Range Test Results\r\n\r\n\r\n\r\n==============Half-Interval Search "
               "Results===================\r\nRF Gain\r\n")
        << "This is not a dBV full test results file: it holds the results of a quick test, which "
           "have no chart; line 26 should start with RF Gain Start:";
    QTest::newRow("empty") << sweep << QByteArray()
                           << "This is not a filter sweep results file: the file is empty; line 26 "
                              "should start with Frequency Start:";
    QTest::newRow("binary")
        << sweep
        << QByteArray(4000, '\0').replace(QByteArray(100, '\0'), QByteArray("\xff\x01\n", 3))
        << "This is not a filter sweep results file: line 26 should start with Frequency Start:";
    QTest::newRow("dbv file as sweep")
        << sweep << dbvFile(kDbvHead)
        << "This is not a filter sweep results file: line 26 should start with Frequency Start:";
    QTest::newRow("ends at line 27") << sweep << sweepFile("Frequency Start: 14060\r\n")
                                     << "This is not a filter sweep results file: it ends at line "
                                        "26; line 27 should start with Frequency Stop:";
    QTest::newRow("not a number")
        << sweep
        << sweepFile("Frequency Start: 14060\r\nFrequency Stop: 14O61\r\nFrequency Step: 100\r\n")
        << "This is not a filter sweep results file: line 27: the stop frequency \"14O61\" is not "
           "a number";
    QTest::newRow("count too large")
        << sweep
        << sweepFile(
               "Frequency Start: 1800\r\nFrequency Stop: 30000\r\nFrequency Step: 1\r\n=\r\nh\r\n")
        << "This is not a filter sweep results file: lines 26 to 28 give more points than a chart "
           "holds (32767)";
    QTest::newRow("zero increment")
        << dbv << dbvFile("RF Gain Start: 50\r\nRF Gain Stop: 60\r\nRF Gain Increment: 0.4\r\n")
        << "This is not a dBV full test results file: line 28: the RF gain increment should be "
           "more than 0";
    QTest::newRow("short data line")
        << sweep << sweepFile(kSweepHead + "14060.000\t\t-25.3\r\n-25.3\r\n")
        << "This is not a filter sweep results file: line 32 is too short for a frequency and a "
           "reading";
    QTest::newRow("bad reading") << dbv << dbvFile(kDbvHead + "050\t-23.5\t-33.6\tERR\r\n")
                                 << "This is not a dBV full test results file: line 31: the "
                                    "difference \"ERR\" is not a number";
}

void TestFiles::readers() {
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = writeFile(m_dir, QStringLiteral("case.txt"), bytes);
    QCOMPARE(describe(readChartFile(ChartFileKind(kind), path)), expected);
}

void TestFiles::sweepRoundTrip() {
    // A full sweep and a stopped one, saved and charted again: the live chart's points.
    for (const int stopAt : {0, 6}) {
        test::SimSweep bench;
        bench.run({"14059.5", "14060.7", "20", "200"}, stopAt);
        const std::vector<test::RecordedRow> &live = bench.record.rows;
        const QString path = m_dir.filePath(QStringLiteral("sweep.txt"));
        QVERIFY(
            writeSweepResultsFile(path, bench.record.lines, "FL3", QDateTime::currentDateTime()));
        const ChartFileResult result = readChartFile(ChartFileKind::Sweep, path);
        QVERIFY2(result.data, qPrintable(result.error));
        QCOMPARE(result.data->rowCount, stopAt ? 51 : 61);
        QCOMPARE(live.size(), stopAt ? size_t(stopAt - 1) : size_t(61));
        QCOMPARE(result.data->rows.size(), live.size());
        for (size_t i = 0; i < live.size(); ++i) {
            QCOMPARE(result.data->rows[i].value, live[i].value);
            QCOMPARE(result.data->rows[i].kHz, live[i].label.toDouble());
            QVERIFY(bench.record.lines.at(int(i) + 26).startsWith(result.data->rows[i].label));
        }
    }
}

void TestFiles::dbvRoundTrip() {
    test::SimBench bench;
    DbvWindowState state;
    test::RecordingRuns sink;
    // Up to RF gain 160 every reading takes five characters, where the difference stands
    // after character 16 as the reader expects it.
    QVERIFY(DbvFullTest(bench.link, bench.prompter, state, sink).run({"50", "160", "1"}));
    const QString path = m_dir.filePath(QStringLiteral("dbv.txt"));
    QVERIFY(writeDbvResultsFile(path, sink.lines, QString(), QDateTime::currentDateTime()));
    const ChartFileResult result = readChartFile(ChartFileKind::Dbv, path);
    QVERIFY2(result.data, qPrintable(result.error));
    QCOMPARE(result.data->rowCount, 111);
    QCOMPARE(result.data->rows.size(), sink.rows.size());
    for (size_t i = 0; i < sink.rows.size(); ++i) {
        QCOMPARE(result.data->rows[i].label, sink.rows[i].label);
        QCOMPARE(result.data->rows[i].value, sink.rows[i].value);
    }
    // A quick test's file and an emptied list's file have no chart.
    sink.lines.clear();
    DbvQuickTest(bench.link, bench.prompter, state, sink).run();
    for (const QStringList &lines : {sink.lines, QStringList()}) {
        QVERIFY(writeDbvResultsFile(path, lines, QString(), QDateTime::currentDateTime()));
        QVERIFY(readChartFile(ChartFileKind::Dbv, path)
                    .error.contains("line 26 should start with RF Gain Start:"));
    }
}

void TestFiles::chartWindowsFromTheMenu() {
    Program program;
    const QString good =
        writeFile(m_dir, "good.txt", sweepFile(kSweepHead + "14060.000\t\t-25.3\r\n"));
    const QString bad = writeFile(m_dir, "bad.txt", sweepFile("Frequency Start: 14060\r\n"));
    program.dialogs.cancelNext();
    program.dialogs.answer(bad);
    program.windows.open("frmCreateFSChart");
    program.windows.open("frmCreateFSChart");
    QCOMPARE(program.windows.existing("frmCreateFSChart"), nullptr);
    QCOMPARE(program.prompter.summary(),
             QStringList{"Corvane|This is not a filter sweep results file: it ends at line 26; "
                         "line 27 should start with Frequency Stop:"});
    const FileDialogRequest &asked = program.dialogs.requests().front();
    QCOMPARE(asked.title + asked.filterLabel + asked.proposedName,
             QString("Open FileText files (*.txt)FilterSweep.txt"));
    QVERIFY(asked.mustExist);

    program.dialogs.answer(good);
    program.windows.open("frmCreateFSChart");
    auto *window = qobject_cast<ResultChartWindow *>(program.windows.existing("frmCreateFSChart"));
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Filter Sweep Chart from File"));
    QCOMPARE(window->chart().title() + '|' + window->chart().xAxisTitle(),
             QString("K3 Filter Sweep Chart|K3 Dial Setting (KHz)"));
    // A bad file later leaves the chart on screen as it was.
    program.dialogs.answer(bad);
    program.windows.open("frmCreateFSChart");
    QCOMPARE(window->chart().rowCount(), 11);
    QCOMPARE(*window->chart().rowValue(1), -25.3);
    window->findChild<QPushButton *>("cmdSaveFile")->click();
    QCOMPARE(window->imageWindow()->objectName(), QString("frmSaveChart"));

    program.dialogs.answer(
        writeFile(m_dir, "dbv.txt", dbvFile(kDbvHead + "050\t-23.5\t-33.6\t10.1\n")));
    program.windows.open("frmCreateDBVChart");
    auto *dbvWindow =
        qobject_cast<ResultChartWindow *>(program.windows.existing("frmCreateDBVChart"));
    QVERIFY(dbvWindow && dbvWindow->isVisible());
    QCOMPARE(dbvWindow->chart().title() + '|' + dbvWindow->chart().yAxisTitle(),
             QString("K3 DBV Function Linear Range|DBV Difference (dB)"));
    QCOMPARE(program.dialogs.requests().back().proposedName, QString("dBVResults.txt"));
}

void TestFiles::viewerAndPrintout() {
    Program program;
    const QString first = writeFile(m_dir, "a.txt", "One\tTwo\r\n\r\ncaf\xe9\r\n");
    const QString second = writeFile(m_dir, "b.txt", "Last line\nno end");
    program.dialogs.answer(first);
    program.dialogs.cancelNext();
    program.dialogs.answer(second);
    for (int i = 0; i < 3; ++i) program.windows.open("frmReadFile");
    auto *viewer = qobject_cast<frmReadFile *>(program.windows.existing("frmReadFile"));
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(viewer->lines(),
             QStringList({"One\tTwo", "", QString::fromLatin1("caf\xe9"), "Last line", "no end"}));

    // Print to a PDF file; a cancelled printer dialog prints nothing; a failing printer
    // gets the message.
    const QString pdf = m_dir.filePath("out.pdf");
    QString target = pdf;
    bool accept = true;
    viewer->setPrinterChoice([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
        return accept;
    });
    viewer->findChild<QPushButton *>("cmdPrint")->click();
    const QStringList printed = pdfText(pdf).trimmed().split('\n');
    QCOMPARE(printed.size(), 5);
    QVERIFY(printed[0].contains(QRegularExpression("^One +Two$")));
    QCOMPARE(printed.mid(1),
             QStringList({"", QString::fromLatin1("caf\xe9"), "Last line", "no end"}));
    accept = false;
    QFile::remove(pdf);
    viewer->findChild<QPushButton *>("cmdPrint")->click();
    QVERIFY(!QFile::exists(pdf));
    accept = true;
    target = m_dir.filePath("no/such/folder/out.pdf");
    viewer->findChild<QPushButton *>("cmdPrint")->click();
    QCOMPARE(program.prompter.summary(),
             QStringList{"Corvane|There was a problem printing to your printer."});

    // Close empties the list; an empty list prints an empty job.
    viewer->findChild<QPushButton *>("cmdClose")->click();
    QVERIFY(!viewer->isVisible() && viewer->lines().isEmpty());
    target = pdf;
    viewer->printList();
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(pdfText(pdf).trimmed(), QString());
}

void TestFiles::cliChartAndPrint() {
    const QString sweep = writeFile(
        m_dir, "s.txt", sweepFile(kSweepHead + "14060.000\t\t-25.3\r\n14060.100\t\t-5.3\r\n"));
    CliRun run = runCli({"chart", sweep, "--rows", "-o", m_dir.filePath("s.png")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString("14060.000\t-25.3\n14060.10\t-5.3\n"));
    const QImage image(m_dir.filePath("s.png"));
    // The chart as drawn: its line's blue among the axes' greys.
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += qBlue(image.pixel(x, y)) > 110 && qRed(image.pixel(x, y)) < 90;
    QVERIFY(image.width() > 400 && blue > 200);
    run = runCli({"chart", sweep, "-o", m_dir.filePath("s.svg")});
    QCOMPARE(run.exitCode, 0);
    QFile svg(m_dir.filePath("s.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("K3 Filter Sweep Chart"));

    run = runCli({"chart", writeFile(m_dir, "q.txt", dbvFile("")), "-o", m_dir.filePath("q.png")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), QString("This is not a dBV full test results file: it ends at line "
                                        "25; line 26 should start with RF Gain Start:"));
    QVERIFY(!QFile::exists(m_dir.filePath("q.png")));

    run = runCli({"print", sweep, "-o", m_dir.filePath("s.pdf")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(pdfText(m_dir.filePath("s.pdf"))
                .contains(QRegularExpression("Frequency Start: 14060\\s+Frequency Stop: 14061")));
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
