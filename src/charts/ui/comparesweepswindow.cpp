#include "charts/ui/comparesweepswindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "charts/chartfromfile.h"
#include "charts/ui/sweepfigures.h"
#include "core/filedialogs.h"
#include "core/prompter.h"
#include "files/ui/chartimage.h"

namespace corvane {

namespace {

// Distinct line colours for up to eight files, then again.
constexpr QRgb kColours[] = {0x00008b, 0xc0392b, 0x1e8449, 0x7d3c98,
                             0xd35400, 0x117a8b, 0x6e2c00, 0x34495e};

QPushButton *button(QWidget *parent, QBoxLayout *row, const char *name, const QString &text) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    row->addWidget(b);
    return b;
}

}  // namespace

CompareSweepsWindow::CompareSweepsWindow(FileDialogs &dialogs, Prompter *prompter, QWidget *parent)
    : FormWindow(parent), m_dialogs(dialogs), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmCompareSweeps"));
    setWindowTitle(tr("Compare Filter Sweeps"));
    resize(1000, 620);

    auto *chart = new QChart;
    chart->setTitle(tr("Filter Sweeps Compared"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    m_xAxis = new QValueAxis(chart);
    m_xAxis->setTitleText(tr("K3 Dial Setting (kHz)"));
    m_xAxis->setLabelFormat(QStringLiteral("%.3f"));
    m_yAxis = new QValueAxis(chart);
    m_yAxis->setTitleText(tr("Response relative to the peak (dB)"));
    m_yAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(m_xAxis, Qt::AlignBottom);
    chart->addAxis(m_yAxis, Qt::AlignLeft);
    m_view = new QChartView(chart, this);
    m_view->setObjectName(QStringLiteral("chtCompare"));
    m_view->setAccessibleName(tr("Filter sweeps compared"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(320, 240);
    m_figures = new FiguresLabel(this);
    m_figures->clear();

    auto *chartRow = new QHBoxLayout;
    chartRow->addWidget(m_view, 1);
    chartRow->addWidget(m_figures, 0);
    auto *buttons = new QHBoxLayout;
    buttons->setObjectName(QStringLiteral("buttonRow"));
    buttons->addStretch(1);
    connect(button(this, buttons, "cmdAddFile", tr("Add File...")), &QPushButton::clicked, this,
            &CompareSweepsWindow::askForFile);
    connect(button(this, buttons, "cmdClearFiles", tr("Clear")), &QPushButton::clicked, this,
            &CompareSweepsWindow::clearFiles);
    connect(button(this, buttons, "cmdSaveImage", tr("Save Image...")), &QPushButton::clicked, this,
            &CompareSweepsWindow::saveImage);
    connect(button(this, buttons, "cmdClose", tr("Close")), &QPushButton::clicked, this,
            &FormWindow::hideForm);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(chartRow, 1);
    layout->addLayout(buttons);
    rescale();
}

bool CompareSweepsWindow::addFile(const QString &path, QString *error) {
    const ChartFileResult result = readChartFile(ChartFileKind::Sweep, path);
    if (!result.data) {
        if (error) *error = result.error;
        return false;
    }
    Curve curve{path, sweepPointsOf(*result.data), {}};
    curve.figures = analyseSweep(curve.points);
    auto *series = new QLineSeries(m_view->chart());
    series->setName(QFileInfo(path).fileName());
    series->setPen(QPen(QColor::fromRgb(kColours[m_curves.size() % std::size(kColours)]), 1.6));
    const double peak = curve.figures.peakDb.value_or(0.0);
    QList<QPointF> points;
    for (const SweepPoint &p : curve.points) points.append({p.hz / 1000.0, p.db - peak});
    std::sort(points.begin(), points.end(),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    series->replace(points);
    m_view->chart()->addSeries(series);
    series->attachAxis(m_xAxis);
    series->attachAxis(m_yAxis);
    m_curves.push_back(std::move(curve));
    rescale();
    return true;
}

void CompareSweepsWindow::clearFiles() {
    m_view->chart()->removeAllSeries();
    m_curves.clear();
    rescale();
}

QStringList CompareSweepsWindow::files() const {
    QStringList out;
    for (const Curve &c : m_curves) out << c.path;
    return out;
}

void CompareSweepsWindow::rescale() {
    double low = 0, high = 1, bottom = -60;
    bool first = true;
    for (const Curve &c : m_curves) {
        const double peak = c.figures.peakDb.value_or(0.0);
        for (const SweepPoint &p : c.points) {
            low = first ? p.hz / 1000.0 : std::min(low, p.hz / 1000.0);
            high = first ? p.hz / 1000.0 : std::max(high, p.hz / 1000.0);
            bottom = std::min(bottom, p.db - peak);
            first = false;
        }
    }
    if (high <= low) high = low + 0.001;
    m_xAxis->setRange(low, high);
    m_xAxis->setTickCount(6);
    m_yAxis->setRange(std::floor(bottom / 10.0) * 10.0, 5.0);
    m_yAxis->setTickCount(int(std::round((5.0 - std::floor(bottom / 10.0) * 10.0) / 5.0)) + 1);
    std::vector<std::pair<QString, FilterFigures>> tables;
    for (const Curve &c : m_curves) tables.push_back({QFileInfo(c.path).fileName(), c.figures});
    m_figures->showTables(tables);
}

void CompareSweepsWindow::askForFile() {
    const FileDialogRequest request = resultsOpenRequest(
        QStringLiteral("FilterSweep.txt"), m_curves.empty() ? QString() : m_curves.back().path);
    const std::optional<QString> path = m_dialogs.openFile(request);
    if (!path || path->isEmpty()) return;
    QString error;
    if (!addFile(*path, &error) && m_prompter)
        m_prompter->message(error, programTitle(), MessageIcon::Exclamation);
}

void CompareSweepsWindow::saveImage() {
    FileDialogRequest request;
    request.title = tr("Save chart image");
    request.filterLabel = tr("PNG or SVG images (*.png *.svg)");
    request.filterPattern = QStringLiteral("*.png *.svg");
    request.defaultExtension = QStringLiteral("png");
    request.proposedName = QStringLiteral("FilterSweepsCompared");
    request.initialFolder = initialFolderFor(QString());
    request.confirmReplace = true;
    const std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path || path->isEmpty()) return;
    QString error;
    if (!saveChartViewImage(*m_view, *path, &error) && m_prompter)
        m_prompter->message(error, programTitle(), MessageIcon::Exclamation);
}

bool saveChartViewImage(QChartView &view, const QString &path, QString *error, QSize size) {
    const QString message = exportChart(view, path, size);
    if (message.isEmpty()) return true;
    if (error) *error = message;
    return false;
}

}  // namespace corvane
