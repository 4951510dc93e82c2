#pragma once
// The chart image windows: frmSaveChart for the sweep chart and frmSaveChartLR for the
// linear range chart. Each takes a picture of its chart as drawn, with a solid backdrop,
// when it opens and on Load Picture (the picture also goes to the clipboard), shows it, and
// saves it as a BMP file. Closing the window destroys it with its picture and path.

#include <QPointer>
#include <QWidget>
#include <memory>

class QLineEdit;
class QPushButton;
namespace Ui {
class SaveChartWindow;
class SaveChartLRWindow;
}  // namespace Ui

namespace corvane {

class FileDialogs;
class PictureBox;
class ResultChartView;

class ChartImageWindow : public QWidget {
    Q_OBJECT
public:
    // Takes a new picture of the source chart.
    void copyChart();
    void clearPicture();
    // Asks for a file name and writes the picture there as a bitmap.
    void savePicture();

protected:
    ChartImageWindow(FileDialogs &dialogs, ResultChartView &source, const QString &proposedName,
                     QWidget *parent);
    // Called by the window once its form is set up; takes the first picture.
    void bind(PictureBox *picture, QLineEdit *filePath, QPushButton *copyButton,
              QPushButton *clearButton, QPushButton *saveButton, QPushButton *closeButton);

private:
    FileDialogs &m_dialogs;
    QPointer<ResultChartView> m_source;
    QString m_proposedName;
    PictureBox *m_picture = nullptr;
    QLineEdit *m_filePath = nullptr;
};

// frmSaveChart: the sweep chart's image.
class SaveChartWindow : public ChartImageWindow {
    Q_OBJECT
public:
    SaveChartWindow(FileDialogs &dialogs, ResultChartView &source, QWidget *parent = nullptr);
    ~SaveChartWindow() override;

private:
    std::unique_ptr<Ui::SaveChartWindow> m_ui;
};

// frmSaveChartLR: the linear range chart's image.
class SaveChartLRWindow : public ChartImageWindow {
    Q_OBJECT
public:
    SaveChartLRWindow(FileDialogs &dialogs, ResultChartView &source, QWidget *parent = nullptr);
    ~SaveChartLRWindow() override;

private:
    std::unique_ptr<Ui::SaveChartLRWindow> m_ui;
};

}  // namespace corvane
