#include "files/ui/chartimage.h"

#include <QChartView>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QPainter>
#include <QRegularExpression>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "files/drawnfiles.h"

namespace corvane {

namespace {

constexpr int kMinDefaultWidth = 1000;
constexpr double kDefaultScale = 2.0;
constexpr int kMaxImageSide = 10000;

// The view laid out for an image of `size` pixels, drawn with a solid white backdrop, and
// put back as it was afterwards. The layout keeps the view's width (up to the image's) so
// that texts keep their size on screen, and takes the image's proportions.
class ExportLayout {
public:
    ExportLayout(QChartView &view, const QSize &size, const ChartRelayout &relayout)
        : m_view(view), m_oldSize(view.size()) {
        QChart *chart = view.chart();
        m_backgroundBrush = chart->backgroundBrush();
        m_backgroundVisible = chart->isBackgroundVisible();
        m_plotBrush = chart->plotAreaBackgroundBrush();
        m_plotVisible = chart->isPlotAreaBackgroundVisible();
        chart->setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
        chart->setBackgroundVisible(true);
        chart->setPlotAreaBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
        chart->setPlotAreaBackgroundVisible(true);

        const double width = std::clamp(double(m_oldSize.width()), 1.0, double(size.width()));
        m_scale = size.width() / width;
        m_layoutSize =
            QSize(int(std::lround(width)), std::max(1, int(std::lround(size.height() / m_scale))));
        if (m_layoutSize != m_oldSize) resizeView(m_layoutSize);
        if (relayout) relayout();
        if (QGraphicsLayout *layout = chart->layout()) layout->activate();
    }

    ~ExportLayout() {
        QChart *chart = m_view.chart();
        chart->setBackgroundBrush(m_backgroundBrush);
        chart->setBackgroundVisible(m_backgroundVisible);
        chart->setPlotAreaBackgroundBrush(m_plotBrush);
        chart->setPlotAreaBackgroundVisible(m_plotVisible);
        if (m_view.size() != m_oldSize) resizeView(m_oldSize);
    }

    // Draws the view into the painter's whole `target`.
    void draw(QPainter &painter, const QRect &target) {
        m_view.render(&painter, target, QRect(QPoint(0, 0), m_layoutSize), Qt::IgnoreAspectRatio);
    }

private:
    void resizeView(const QSize &size) {
        const QSize old = m_view.size();
        m_view.resize(size);
        // A hidden view gets its resize only when shown: lay its chart out now.
        QResizeEvent event(size, old);
        QCoreApplication::sendEvent(&m_view, &event);
        if (QGraphicsLayout *layout = m_view.chart()->layout()) layout->activate();
    }

    QChartView &m_view;
    QSize m_oldSize;
    QSize m_layoutSize;
    double m_scale = 1.0;
    QBrush m_backgroundBrush;
    bool m_backgroundVisible = false;
    QBrush m_plotBrush;
    bool m_plotVisible = false;
};

QSize sizeFor(const QChartView &view, const QSize &asked) {
    return asked.isValid() && !asked.isEmpty() ? asked : defaultChartImageSize(view.size());
}

}  // namespace

QSize defaultChartImageSize(const QSize &viewSize) {
    const QSize view = viewSize.isEmpty() ? QSize(640, 480) : viewSize;
    const double scale = std::max(kDefaultScale, double(kMinDefaultWidth) / view.width());
    return QSize(int(std::ceil(view.width() * scale)), int(std::ceil(view.height() * scale)));
}

bool isChartImagePath(const QString &path) {
    const QString suffix = imageSuffix(path);
    return suffix == QLatin1String("png") || suffix == QLatin1String("bmp") ||
           suffix == QLatin1String("svg");
}

QSize parseImageSize(const QString &text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch()) return QSize();
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return QSize();
    return QSize(width, height);
}

QImage renderChart(QChartView &view, QSize size, const ChartRelayout &relayout) {
    size = sizeFor(view, size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    ExportLayout layout(view, size, relayout);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    layout.draw(painter, image.rect());
    painter.end();
    return image;
}

QString exportChart(QChartView &view, const QString &path, QSize size,
                    const ChartRelayout &relayout) {
    const QString suffix = imageSuffix(path);
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        return writeImageFile(renderChart(view, size, relayout), path);
    if (suffix != QLatin1String("svg"))
        return QStringLiteral("%1: use a .png, .bmp or .svg file name").arg(path);

    size = sizeFor(view, size);
    return writeSvgFile(path, size, view.chart()->title(), QStringLiteral("Corvane chart"),
                        [&](QPainter &painter) {
                            ExportLayout layout(view, size, relayout);
                            layout.draw(painter, QRect(QPoint(0, 0), size));
                        });
}

}  // namespace corvane
