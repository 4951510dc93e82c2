// Saved results files read back: the chart readers on a table of small files, round trips of
// a simulated sweep and dBV full test, the chart windows and the viewer as the File menu
// opens them, the printout as PDF text, and corvane-cli chart and print.

#include <sys/stat.h>
#include <unistd.h>

#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>

#include "charts/chartfromfile.h"
#include "charts/resultchart.h"
#include "charts/ui/chartfilewindows.h"
#include "common/golden.h"
#include "common/scriptedfiledialogs.h"
#include "common/simruns.h"
#include "core/ui/windowregistry.h"
#include "files/filecheck.h"
#include "files/ui/chartimage.h"
#include "files/ui/frmreadfile.h"
#include "files/ui/lineprinter.h"
#include "measurements/dbvquick.h"
#include "measurements/dbvresultsfile.h"
#include "measurements/sweepresultsfile.h"
#include "menus/menusettingsfile.h"
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

// "rows|label=value ...[|warning]" of a chart, or the reader's message; the file's path
// reads FILE.
QString describe(const ChartFileResult &result, const QString &path) {
    if (!result.data) return QString(result.error).replace(path, "FILE");
    ResultChart chart;
    applyChartFile(chart, *result.data);
    QStringList rows;
    for (int row = 1; row <= chart.rowCount(); ++row)
        if (chart.rowValue(row))
            rows << chart.rowLabel(row) + u'=' + QString::number(*chart.rowValue(row));
    QString text = QString::number(chart.rowCount()) + u'|' + rows.join(u' ');
    if (!result.data->warning.isEmpty())
        text += u'|' + QString(result.data->warning).replace(path, "FILE");
    return text;
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

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// A 64 KiB tmpfs holding old.txt and filled to its last byte: a real full disk. Mounting
// needs root; `mounted` stays false elsewhere.
struct FullDisk {
    QTemporaryDir dir;
    bool mounted = false;
    FullDisk() {
        if (geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k",
                                                          "corvane-full", dir.path()}) != 0)
            return;
        mounted = true;
        QFile old(path("old.txt")), fill(path("fill"));
        old.open(QIODevice::WriteOnly);
        old.write("old\r\n");
        old.close();
        fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (fill.write(QByteArray(512, 'x')) > 0) {
        }
    }
    ~FullDisk() {
        if (mounted) QProcess::execute("umount", {dir.path()});
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

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
    void readers_data() { test::addRows("readers.tsv", {"kind", "file", "tail", "expected"}); }
    void readers();
    void sweepRoundTrip();
    void dbvRoundTrip();
    void chartWindowsFromTheMenu();
    void viewerAndPrintout();
    void cliChartAndPrint();
    void specialFilesRefused();
    void unusableTargetsRefusedBeforeTheRadio();
    void standardOutputAndDiscard();
    void terminalOutput_data() {
        test::addRows("terminal.tsv", {"where", "words", "exit", "shown", "notShown"});
    }
    void terminalOutput();
    void fullDisk_data();
    void fullDisk();

private:
    QTemporaryDir m_dir;
};

void TestFiles::readers() {
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(QString, tail);
    const QByteArray bytes = file == "none"    ? test::bytesOf(tail)
                             : file == "sweep" ? sweepFile(test::bytesOf(tail))
                                               : dbvFile(test::bytesOf(tail));
    const QString path = writeFile(m_dir, QStringLiteral("case.txt"), bytes);
    const auto reader = kind == "sweep" ? ChartFileKind::Sweep : ChartFileKind::Dbv;
    QTEST(describe(readChartFile(reader, path), path), "expected");
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
        QCOMPARE(result.data->rowCount, stopAt ? stopAt - 1 : 61);
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
    // The default run, whose readings take three to five characters (45.2, -5.3, -23.5).
    QVERIFY(DbvFullTest(bench.link, bench.prompter, state, sink).run({"50", "250", "1"}));
    const QString path = m_dir.filePath(QStringLiteral("dbv.txt"));
    QVERIFY(writeDbvResultsFile(path, sink.lines, QString(), QDateTime::currentDateTime()));
    const ChartFileResult result = readChartFile(ChartFileKind::Dbv, path);
    QVERIFY2(result.data, qPrintable(result.error));
    QCOMPARE(result.data->rowCount, 201);
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
             QStringList{"Corvane|The file " + bad +
                         " is not a filter sweep results file: it ends at line 26; line 27 "
                         "should start with Frequency Stop:"});
    const FileDialogRequest &asked = program.dialogs.requests().front();
    QCOMPARE(asked.title + asked.filterLabel + asked.proposedName,
             QString("Open FileText files (*.txt)FilterSweep.txt"));
    QVERIFY(asked.mustExist);

    program.dialogs.answer(good);
    program.windows.open("frmCreateFSChart");
    auto *window = qobject_cast<ResultChartWindow *>(program.windows.existing("frmCreateFSChart"));
    QVERIFY(window && window->isVisible());
    // A run stopped after its first point: charted, and the user told.
    QCOMPARE(program.prompter.summary().last(),
             "Corvane|The file " + good +
                 " ends at line 31 (14060.000 kHz), before its stop frequency 14061 kHz: the "
                 "run was stopped there, or the file is cut off.");
    QCOMPARE(window->windowTitle(), QString("Filter Sweep Chart from File"));
    QCOMPARE(window->chart().title() + '|' + window->chart().xAxisTitle(),
             QString("K3 Filter Sweep Chart|K3 Dial Setting (KHz)"));
    // A bad file later leaves the chart on screen as it was.
    program.dialogs.answer(bad);
    program.windows.open("frmCreateFSChart");
    QCOMPARE(window->chart().rowCount(), 1);
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
             QStringList{"Corvane|The printout was not saved: cannot write " + target +
                         ": No such file or directory"});

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
    QCOMPARE(run.out, QString("14060.000\t-25.3\n14060.100\t-5.3\n"));
    const QImage image(m_dir.filePath("s.png"));
    // The chart as drawn: its line's blue among the axes' greys.
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += qBlue(image.pixel(x, y)) > 110 && qRed(image.pixel(x, y)) < 90;
    // By default about twice the chart on screen, at least 1000 pixels wide; --size exactly.
    QVERIFY(image.width() >= 1000 && blue > 200);
    run = runCli({"chart", sweep, "--size", "1500x700", "-o", m_dir.filePath("s.bmp")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QImage(m_dir.filePath("s.bmp")).size(), QSize(1500, 700));
    run = runCli({"chart", sweep, "--size", "800x600", "-o", m_dir.filePath("s.svg")});
    QCOMPARE(run.exitCode, 0);
    const QByteArray svg = contents(m_dir.filePath("s.svg"));
    QVERIFY(svg.contains("K3 Filter Sweep Chart") && svg.contains("viewBox=\"0 0 800 600\""));
    QCOMPARE(runCli({"chart", sweep, "--size", "0x600", "-o", m_dir.filePath("z.png")}).exitCode,
             2);
    // -o -: a PNG on standard output, and nothing else there.
    run = runCli({"chart", sweep, "--size", "300x200", "-o", "-"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.mid(1, 3), QStringLiteral("PNG"));

    // A dBV file's rows: the gain and the Diff field as written, whatever the readings' width.
    const QString dbv = writeFile(
        m_dir, "d.txt", dbvFile(kDbvHead + "050\t-23.5\t-33.6\t10.1\r\n100\t24.8\t14.8\t10.0\r\n"));
    run = runCli({"chart", dbv, "--rows"});
    QCOMPARE(run.out, QString("050\t10.1\n100\t10.0\n"));
    // With several files, the one that failed is named.
    const QString bad = writeFile(m_dir, "bad.txt", sweepFile(kSweepHead + "14060.000\t\tx\r\n"));
    for (const QStringList &command :
         {QStringList{"analyze", sweep, bad},
          QStringList{"chart", sweep, bad, "-o", m_dir.filePath("o.png")}}) {
        run = runCli(command);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("The file " + bad +
                                  " is not a filter sweep results file: line 31: the reading "
                                  "\"x\" is not a number"),
                 qPrintable(run.err));
    }

    run = runCli({"chart", writeFile(m_dir, "q.txt", dbvFile("")), "-o", m_dir.filePath("q.png")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), "The file " + m_dir.filePath("q.txt") +
                                    " is not a dBV full test results file: it ends at line 25; "
                                    "line 26 should start with RF Gain Start:");
    QVERIFY(!QFile::exists(m_dir.filePath("q.png")));

    run = runCli({"print", sweep, "-o", m_dir.filePath("s.pdf")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(pdfText(m_dir.filePath("s.pdf"))
                .contains(QRegularExpression("Frequency Start: 14060\\s+Frequency Stop: 14061")));
    // A line too long for any page is cut after 10,000 characters, with a note.
    QString error;
    QVERIFY(printLinesToPdf(m_dir.filePath("long.pdf"), {QString(25000, 'x'), "end"}, &error));
    const QString printed = pdfText(m_dir.filePath("long.pdf"));
    QVERIFY(
        printed.contains("[line 1 is cut here: it has 25,000 characters, the first 10,000 are "
                         "printed]\nend"));
}

void TestFiles::specialFilesRefused() {
    // A FIFO would block the reader, a device never ends, a folder is no file, and no saved
    // file comes near 64 MB: each is refused by name before it is opened.
    const QString fifo = m_dir.filePath("fifo"), big = m_dir.filePath("big.txt");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QFile sparse(big);
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(64 * 1024 * 1024 + 1));
    sparse.close();
    const QList<QPair<QString, QString>> cases{
        {fifo, "it is a named pipe (FIFO), not a file"},
        {"/dev/zero", "it is a device, not a file"},
        {m_dir.path(), "it is a folder, not a file"},
        {big, "it is larger than 64 MB (67,108,865 bytes); no saved file is that large"}};
    for (const auto &[path, reason] : cases) {
        const QString message = QString("The file %1 cannot be read: %2").arg(path, reason);
        QCOMPARE(readChartFile(ChartFileKind::Sweep, path).error, message);
        // The command line: chart, analyze and print end at once with exit 1.
        for (const QStringList &command :
             {QStringList{"chart", "--rows", path}, QStringList{"analyze", path},
              QStringList{"print", path, "-o", m_dir.filePath("p.pdf")}}) {
            const CliRun run = runCli(command);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
        }
    }
    // The viewer and a chart window say so too, and show nothing.
    Program program;
    program.dialogs.answer(fifo);
    program.windows.open("frmReadFile");
    program.dialogs.answer("/dev/zero");
    program.windows.open("frmCreateDBVChart");
    QCOMPARE(
        program.prompter.summary(),
        QStringList(
            {"Corvane|The file " + fifo + " cannot be read: it is a named pipe (FIFO), not a file",
             "Corvane|The file /dev/zero cannot be read: it is a device, not a file"}));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

void TestFiles::unusableTargetsRefusedBeforeTheRadio() {
    // Every subcommand that takes -o refuses an unusable target with exit 1 before the radio
    // is touched: with --trace, any exchange would be printed after the refusal.
    const QString fifo = m_dir.filePath("target-fifo"), loop = m_dir.filePath("loop.png");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(QFile::link(loop, loop));
    const QString sweep =
        writeFile(m_dir, "t.txt", sweepFile(kSweepHead + "14060.000\t\t-5.0\r\n"));
    const QList<QStringList> commands{
        {"dbv-full"},
        {"dbv-quick"},
        {"sweep", "--start", "14060", "--stop", "14061", "--step", "100", "--rf-gain", "200"},
        {"mds"},
        {"menus"},
        {"chart", sweep},
        {"print", sweep}};
    const QList<QPair<QString, QString>> targets{
        {"", "no file name was given"},
        {fifo, fifo + " is a named pipe (FIFO), not a file"},
        {"/dev/zero", "/dev/zero is a device, not a file"},
        {loop, loop + " is a loop of symbolic links, not a file"},
        {m_dir.path(), m_dir.path() + " is a folder"},
        {m_dir.filePath("none/x.txt"), "the folder " + m_dir.filePath("none") + " does not exist"}};
    for (const QStringList &command : commands)
        for (const auto &[target, reason] : targets) {
            if (command.first() != "dbv-full" &&
                (target == m_dir.path() || target.contains("none")))
                continue;  // the folder cases once
            const CliRun run = runCli(QStringList{"--port", "sim", "--yes", "--trace"} + command +
                                      QStringList{"-o", target});
            const QString what = command.first() + " -o '" + target + "'";
            QVERIFY2(run.exitCode == 1, qPrintable(what));
            QCOMPARE(run.err, "corvane-cli: cannot write " + target + ": " + reason + "\n");
            QCOMPARE(run.out, QString());
        }
    // The FIFO and the loop are left as they were, also by a window's save; the trace does
    // print exchanges when there are some.
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QString error;
    QVERIFY(!writeLineFile(loop, {"x"}, &error));
    QCOMPARE(error, loop + " is a loop of symbolic links, not a file");
    QCOMPARE(QFileInfo(loop).symLinkTarget(), loop);
    QVERIFY(runCli({"--port", "sim", "--trace", "identify"}).err.contains("id;"));
}

void TestFiles::standardOutputAndDiscard() {
    // -o -: standard output holds the results file and nothing else; the list goes to stderr.
    CliRun run = runCli({"--port", "sim", "--yes", "dbv-quick", "-o", "-"});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split("\r\n");
    QCOMPARE(lines.size(), 4 + 9 + 1);  // file header, list header, heading, seven steps, end
    QCOMPARE(lines.first(), QString("K3 dBV Linear Range Test Results"));
    QCOMPARE(lines.at(4), QString("==============Half-Interval Search Results==================="));
    QCOMPARE(lines.last(), QString());
    QVERIFY(run.err.contains(lines.at(12) + "\n"));
    // /dev/null takes the printout and the chart and stays a device.
    const QString sweep = writeFile(m_dir, "n.txt", sweepFile(kSweepHead + "14060.000\t\t-1\r\n"));
    for (const char *command : {"print", "chart"}) {
        run = runCli({command, sweep, "-o", "/dev/null"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
    }
    QVERIFY(pathKind("/dev/null") == PathKind::Device);
}

void TestFiles::terminalOutput() {
    QFETCH(QString, where);
    QFETCH(QString, words);
    const bool terminal = where == "tty";
    QStringList arguments = words.split(u'|');
    const QString bad = writeFile(
        m_dir, "esc.txt", sweepFile(kSweepHead + "14060.100\x1b]0;x\x07\x1b[2J\t\t-5.3\r\n"));
    const QString good =
        writeFile(m_dir, "good.txt", sweepFile(kSweepHead + "14060.000\t\t-1\r\n"));
    arguments.replaceInStrings(QRegularExpression("^FILE$"), bad);
    arguments.replaceInStrings(QRegularExpression("^GOOD$"), good);
    QProcess process;
    if (terminal) {
        // script runs the command on a pty of its own: stdout and stderr are a terminal.
        QString command = cliPath();
        for (const QString &argument : std::as_const(arguments)) command += " '" + argument + "'";
        process.start("script", {"-qec", command, "/dev/null"});
    } else {
        process.start(cliPath(), arguments);
    }
    QVERIFY(process.waitForFinished(60000));
    const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    QTEST(QString::number(process.exitCode()), "exit");
    QFETCH(QString, shown);
    QFETCH(QString, notShown);
    QVERIFY2(output.contains(test::bytesOf(shown)), output.constData());
    QVERIFY2(!output.contains(test::bytesOf(notShown)), output.constData());
}

void TestFiles::fullDisk_data() {
    QTest::addColumn<int>("room");
    QTest::newRow("full") << 0;
    // Room for part of a file: the disk takes the first write in part and only the next says
    // why it takes no more.
    QTest::newRow("nearly full") << 4096;
}

void TestFiles::fullDisk() {
    QFETCH(int, room);
    FullDisk disk;
    if (!disk.mounted) QSKIP("a full disk is a 64 KiB tmpfs, which only root can mount");
    if (room) QVERIFY(QFile::resize(disk.path("fill"), QFileInfo(disk.path("fill")).size() - room));
    const QString enospc = "No space left on device";
    QChartView view;
    view.chart()->addSeries(new QLineSeries);
    view.resize(400, 300);
    const QStringList list(300, "100\t24.8\t14.8\t10.0");
    const std::vector<std::pair<QString, std::function<QString(const QString &)>>> writers{
        {".txt",
         [&](const QString &path) {
             QString error;
             writeDbvResultsFile(path, list, {}, QDateTime::currentDateTime(), &error);
             return error;
         }},
        {".txt", [&](const QString &path) { return menus::writeMenuSettingsFile(path, list); }},
        {".png", [&](const QString &path) { return exportChart(view, path); }},
        {".svg", [&](const QString &path) { return exportChart(view, path); }},
        {".pdf", [&](const QString &path) {
             QString error;
             printLinesToPdf(path, list, &error);
             return error;
         }}};
    for (const auto &[suffix, write] : writers) {
        // An old file stays as it was; a new one is not left behind, not even empty.
        QFile::rename(disk.path("old.txt"), disk.path("old" + suffix));
        for (const QString name : {"old", "new"}) {
            const QString error = write(disk.path(name + suffix));
            QVERIFY2(error.endsWith(enospc), qPrintable(name + suffix + ": " + error));
        }
        QCOMPARE(contents(disk.path("old" + suffix)), QByteArray("old\r\n"));
        QCOMPARE(disk.entries(), QStringList({"fill", "old" + suffix}));
        QFile::rename(disk.path("old" + suffix), disk.path("old.txt"));
    }
    if (room) return;  // the smaller files below would fit
    // A window's Save tells the user why; the command line exits 1 with the list printed.
    test::ScriptedFileDialogs dialogs;
    ScriptedPrompter prompter;
    dialogs.answer(disk.path("new.txt"));
    saveDbvResults(dialogs, {}, list, {}, QDateTime::currentDateTime(), &prompter);
    QCOMPARE(prompter.summary(),
             QStringList("Corvane|The results were not saved. The file " + disk.path("new.txt") +
                         " could not be written: " + enospc));
    const CliRun run = runCli({"--port", "sim", "--yes", "dbv-quick", "-o", disk.path("q.txt")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("cannot write " + disk.path("q.txt") + ": " + enospc));
    QCOMPARE(run.out.count('\n'), 9);  // the header, the heading and the seven steps
    QCOMPARE(disk.entries(), QStringList({"fill", "old.txt"}));
    // The survey's folder on the full disk: told, exit 1, the table still printed.
    const CliRun survey = runCli(
        {"--port", "sim", "--yes", "survey", "--slots", "4", "--step", "50", "-o", disk.path("s")});
    QCOMPARE(survey.exitCode, 1);
    for (const QString name :
         {"survey-FL4.txt", "survey.csv", "survey-overlay.png", "survey-overlay.svg", "survey.pdf"})
        QVERIFY2(survey.err.contains("cannot write " + disk.path("s/" + name) + ": " + enospc),
                 qPrintable(name));
    QVERIFY(survey.out.startsWith("slot,configured_bw_khz,") && survey.out.contains("\nFL4,0.25,"));
    QCOMPARE(QDir(disk.path("s")).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
