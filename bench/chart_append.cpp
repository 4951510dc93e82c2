// Appends 32767 rows one by one to a shown sweep chart window, running the event loop after
// each as a sweep does, and reports the time per row and the peak memory. Several runs in one
// process; the median is the figure.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "charts/chartsetup.h"
#include "charts/resultchart.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/resultchartview.h"
#include "core/filedialogs.h"
#include "core/numtext.h"

namespace {

constexpr int kMaxRows = corvane::ResultChart::kMaxRows;
constexpr int kRuns = 3;

class NoDialogs : public corvane::FileDialogs {
public:
    std::optional<QString> openFile(const corvane::FileDialogRequest &) override { return {}; }
    std::optional<QString> saveFile(const corvane::FileDialogRequest &) override { return {}; }
};

// Counts the chart's repaints.
class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++count;
        return QObject::eventFilter(watched, event);
    }
};

QString peakMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return QStringLiteral("unknown");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return QString::fromLatin1(line.mid(6).trimmed());
    }
    return QStringLiteral("unknown");
}

// A passband-like curve so the Y range grows as a real sweep's does.
double reading(int row, int rows) {
    const double x = (row - rows / 2.0) / (rows / 8.0);
    return -60.0 + 50.0 * std::exp(-x * x) + 0.5 * std::sin(row * 0.37);
}

double runOnce(corvane::ChartSweepWindow &window, int rows, PaintCounter &paints) {
    paints.count = 0;
    corvane::ResultChart &chart = window.chart();
    chart.setRowCount(rows);
    QElapsedTimer timer;
    timer.start();
    for (int row = 1; row <= rows; ++row) {
        chart.setRowValue(row, reading(row, rows));
        chart.setRowLabel(row, corvane::singleText(14000.0 + row * 0.01));
        QCoreApplication::processEvents();
    }
    // The last rows are drawn too.
    window.chartView().flush();
    window.chartView().repaint();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // An optional row count, for a quicker look; the figure is for the full chart.
    const int rows =
        argc > 1 ? std::clamp(QString::fromLocal8Bit(argv[1]).toInt(), 1, kMaxRows) : kMaxRows;
    NoDialogs dialogs;
    corvane::ChartSweepWindow window(dialogs);
    window.resize(1000, 650);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the chart window was never shown\n");
        return 1;
    }
    corvane::applySweepSetup(window.chart(), QStringLiteral("14000"), QStringLiteral("14327.67"),
                             QStringLiteral("10"));

    PaintCounter paints;
    window.chartView().viewport()->installEventFilter(&paints);

    std::vector<double> perRow;
    for (int run = 1; run <= kRuns; ++run) {
        const double ms = runOnce(window, rows, paints);
        perRow.push_back(ms / rows);
        std::printf("run %d: %d rows in %.0f ms, %.4f ms/row, %d repaints\n", run, rows, ms,
                    ms / rows, paints.count);
        std::fflush(stdout);
    }
    std::sort(perRow.begin(), perRow.end());
    std::printf("platform %s, window %dx%d, peak RSS %s\n",
                qPrintable(QGuiApplication::platformName()), window.width(), window.height(),
                qPrintable(peakMemory()));
    std::printf("chart_append: %.3f ms/row\n", perRow[perRow.size() / 2]);
    return 0;
}
