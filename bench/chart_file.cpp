// Charts a saved filter sweep results file of 32767 points from disk into a shown
// frmCreateFSChart: reading the file, filling the chart and drawing it. Several runs in one
// process; the median is the figure.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "charts/chartfromfile.h"
#include "charts/resultchart.h"
#include "charts/ui/chartfilewindows.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "core/numtext.h"

namespace {

constexpr int kPoints = corvane::ResultChart::kMaxRows;
constexpr int kRuns = 5;

class NoDialogs : public corvane::FileDialogs {
public:
    std::optional<QString> openFile(const corvane::FileDialogRequest &) override { return {}; }
    std::optional<QString> saveFile(const corvane::FileDialogRequest &) override { return {}; }
};

// A sweep file as the program writes it: 30 header lines, then 32767 steps of 1 Hz from
// 14000.6 kHz, CR LF line ends.
bool writeSweepFile(const QString &path) {
    QByteArray text;
    text +=
        "K3 Crystal Filter Sweep Results\r\nBy Quill Ashby, N0CALL\r\nUser Comments: \r\n"
        "Date run: 1/2/2026 10:00:00 AM\r\n";
    for (int line = 5; line <= 25; ++line)
        text += "Report line " + QByteArray::number(line) + "\r\n";
    text += "Frequency Start: 14000.6\r\nFrequency Stop: 14033.366\r\nFrequency Step: 1\r\n";
    text += QByteArray(39, '=') + "\r\nFrequency\tdBV\r\n";
    for (int i = 0; i < kPoints; ++i) {
        const double x = (i - kPoints / 2.0) / (kPoints / 8.0);
        const double dB = -60.0 + 60.0 * std::exp(-x * x * x * x);
        text += corvane::format0_000((14000600 + i) / 1000.0).toLatin1() + "\t\t" +
                corvane::format0_0(dB).toLatin1() + "\r\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FilterSweep.txt"));
    if (!dir.isValid() || !writeSweepFile(path)) {
        std::fprintf(stderr, "cannot write the sweep file\n");
        return 1;
    }
    NoDialogs dialogs;
    corvane::CreateFSChartWindow window(dialogs);
    window.resize(1000, 650);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the chart window was never shown\n");
        return 1;
    }

    std::vector<double> times;
    for (int run = 1; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const corvane::ChartFileResult result =
            corvane::readChartFile(corvane::ChartFileKind::Sweep, path);
        if (!result.data) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        const double readMs = timer.nsecsElapsed() / 1e6;
        corvane::applyChartFile(window.chart(), *result.data);
        const double fillMs = timer.nsecsElapsed() / 1e6 - readMs;
        window.chartView().flush();
        window.chartView().repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        times.push_back(ms);
        std::printf("run %d: %d rows charted in %.1f ms (read %.1f, fill %.1f, draw %.1f)\n", run,
                    window.chart().rowCount(), ms, readMs, fillMs, ms - readMs - fillMs);
        std::fflush(stdout);
    }
    std::sort(times.begin(), times.end());
    std::printf("file %lld bytes, platform %s, window %dx%d\n",
                static_cast<long long>(QFile(path).size()),
                qPrintable(QGuiApplication::platformName()), window.width(), window.height());
    std::printf("chart_file: %.0f ms\n", times[times.size() / 2]);
    return 0;
}
