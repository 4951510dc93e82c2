#pragma once
// frmCompareSweeps (File > Compare Sweeps...): several saved sweep files charted together,
// each moved so that its peak stands at 0 dB, with a legend of the file names and the
// figures of each file in a table beside the chart. Two filters side by side, or one filter
// before and after an alignment.

#include <QChartView>
#include <QStringList>
#include <vector>

#include "analysis/filterfigures.h"
#include "core/ui/formwindow.h"

class QValueAxis;

namespace corvane {

class FileDialogs;
class FiguresLabel;
class Prompter;

class CompareSweepsWindow : public FormWindow {
    Q_OBJECT
public:
    CompareSweepsWindow(FileDialogs &dialogs, Prompter *prompter, QWidget *parent = nullptr);

    // Adds a sweep file to the overlay; false (and `error` says why) when it is not one.
    bool addFile(const QString &path, QString *error = nullptr);
    void clearFiles();
    QStringList files() const;
    QChartView &chartView() { return *m_view; }

private:
    void askForFile();
    void saveImage();
    void rescale();

    FileDialogs &m_dialogs;
    Prompter *m_prompter;
    QChartView *m_view = nullptr;
    QValueAxis *m_xAxis = nullptr;
    QValueAxis *m_yAxis = nullptr;
    FiguresLabel *m_figures = nullptr;
    struct Curve {
        QString path;
        std::vector<SweepPoint> points;
        FilterFigures figures;
    };
    std::vector<Curve> m_curves;
};

// Writes a chart view as .png, .bmp or .svg (by extension); false after saying why.
bool saveChartViewImage(QChartView &view, const QString &path, QString *error = nullptr,
                        QSize size = QSize());

}  // namespace corvane
