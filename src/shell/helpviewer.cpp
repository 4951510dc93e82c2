#include "shell/helpviewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <functional>

namespace corvane {

namespace {
constexpr int kViewerWidth = 720;
constexpr int kViewerHeight = 640;

// A picture's own size, kept in its format once read.
constexpr int kNaturalSizeProperty = QTextFormat::UserProperty + 1;

// "corvane.hlp" -> "corvane": the folder of that file's pages.
QString helpFolder(const QString &file) {
    const QString base = QFileInfo(file.trimmed()).fileName().toLower();
    return base.endsWith(QLatin1String(".hlp")) ? base.chopped(4) : base;
}

bool isPicture(const QUrl &url) {
    const QByteArray suffix = QFileInfo(url.path()).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

// A picture shown smaller than it is links to itself (see fitPictures); following such a
// link opens the picture at full size in a window of its own instead of leaving the page.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(QWidget *parent, std::function<void(const QUrl &)> openPicture)
        : QTextBrowser(parent), m_openPicture(std::move(openPicture)) {}

protected:
    void doSetSource(const QUrl &url, QTextDocument::ResourceType type) override {
        if (isPicture(url)) {
            m_openPicture(url);
            return;
        }
        QTextBrowser::doSetSource(url, type);
    }

private:
    std::function<void(const QUrl &)> m_openPicture;
};
}  // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent),
      m_browser(new HelpBrowser(this, [this](const QUrl &url) { showPicture(url); })),
      m_back(new QPushButton(tr("&Back"), this)),
      m_forward(new QPushButton(tr("&Forward"), this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowFlag(Qt::Window, true);
    setWindowTitle(tr("Corvane Help"));
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setAccessibleName(tr("Help text"));
    m_browser->setOpenExternalLinks(true);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    auto *contents = new QPushButton(tr("&Contents"), this);
    contents->setObjectName(QStringLiteral("cmdContents"));
    auto *close = new QPushButton(tr("C&lose"), this);
    close->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { m_browser->setSource(contentsUrl()); });
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
    setTabOrder(m_browser, m_back);
    setTabOrder(m_back, m_forward);
    setTabOrder(m_forward, contents);
    setTabOrder(contents, close);
    m_browser->viewport()->installEventFilter(this);
    resize(kViewerWidth, kViewerHeight);
}

QStringList HelpViewer::userGuidePaths(const QString &programFolder) {
    const QDir program(programFolder);
    return {QDir::cleanPath(program.filePath(QStringLiteral("../docs/guide.md"))),
            QDir::cleanPath(program.filePath(QStringLiteral("../share/doc/corvane/guide.md")))};
}

QUrl HelpViewer::topicUrl(const QString &file, int topic) {
    if (file.compare(kUserGuideFile, Qt::CaseInsensitive) == 0) {
        for (const QString &path : userGuidePaths(QCoreApplication::applicationDirPath()))
            if (QFileInfo(path).isFile()) return QUrl::fromLocalFile(path);
        return {};
    }
    const QString folder = helpFolder(file);
    if (folder.isEmpty() || topic <= 0) return {};
    const QString path = QStringLiteral(":/help/%1/%2.html").arg(folder).arg(topic);
    if (!QFile::exists(path)) return {};
    return QUrl(QStringLiteral("qrc") + path);
}

QUrl HelpViewer::contentsUrl() {
    return QUrl(QStringLiteral("qrc:/help/corvane/index.html"));
}

QString HelpViewer::notFoundHtml(const QString &file, int topic) {
    if (file.compare(kUserGuideFile, Qt::CaseInsensitive) == 0) {
        QString places;
        for (const QString &path : userGuidePaths(QCoreApplication::applicationDirPath()))
            places += QStringLiteral("<li>%1</li>").arg(path.toHtmlEscaped());
        return tr("<html><head><title>Topic not found</title></head><body>"
                  "<h1>User guide not found</h1>"
                  "<p>The user's guide (guide.md and its pictures) is in none of these places:"
                  "</p><ul>%1</ul>"
                  "<p>It comes with the program's package and its source. Open the "
                  "<a href=\"%2\">contents</a> for the built-in help.</p></body></html>")
            .arg(places, contentsUrl().toString());
    }
    return tr("<html><head><title>Topic not found</title></head><body>"
              "<h1>Topic not found</h1>"
              "<p>Corvane's help has no topic %1 in the help file \"%2\".</p>"
              "<p>Open the <a href=\"%3\">contents</a> to find the page you need.</p>"
              "</body></html>")
        .arg(topic)
        .arg(file.toHtmlEscaped(), contentsUrl().toString());
}

void HelpViewer::showTopic(const QString &file, int topic) {
    const QUrl url = topicUrl(file, topic);
    if (url.isEmpty()) {
        // A page of our own, not from the help files: relative links resolve against the
        // contents page.
        m_browser->clearHistory();
        m_browser->setHtml(notFoundHtml(file, topic));
        updateTitle();
    } else {
        showPage(url);
    }
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

bool HelpViewer::isMarkdown(const QUrl &url) {
    return url.fileName().endsWith(QLatin1String(".md"), Qt::CaseInsensitive);
}

void HelpViewer::showPage(const QUrl &url) {
    m_browser->setSource(
        url, isMarkdown(url) ? QTextDocument::MarkdownResource : QTextDocument::UnknownResource);
}

void HelpViewer::pageChanged(const QUrl &url) {
    // The guide's pictures are fitted to the window and its command lines wrap; its tables'
    // borders would still reach a pixel past the edge and call up a scroll bar for it.
    m_browser->setHorizontalScrollBarPolicy(isMarkdown(url) ? Qt::ScrollBarAlwaysOff
                                                            : Qt::ScrollBarAsNeeded);
    if (isMarkdown(url)) {
        // A Markdown page has no title of its own: its first heading is one.
        QTextDocument *page = m_browser->document();
        page->setMetaInformation(QTextDocument::DocumentTitle, page->firstBlock().text());
        wrapCodeLines();
        fitPictures();
    }
    updateTitle();
}

// A command line of the guide wraps at the window's edge instead of widening the page
// past it.
void HelpViewer::wrapCodeLines() {
    QTextDocument *page = m_browser->document();
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.nonBreakableLines()) continue;
        format.setNonBreakableLines(false);
        QTextCursor(block).setBlockFormat(format);
    }
}

void HelpViewer::fitPictures() {
    QTextDocument *page = m_browser->document();
    const qreal room = m_browser->viewport()->width() - 2 * page->documentMargin() -
                       m_browser->verticalScrollBar()->sizeHint().width();
    if (room < 50) return;
    QTextCursor cursor(page);
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            if (!picture.isValid()) continue;
            QSizeF natural = picture.property(kNaturalSizeProperty).toSizeF();
            if (natural.isEmpty()) {
                const QVariant data =
                    m_browser->loadResource(QTextDocument::ImageResource, QUrl(picture.name()));
                QImage image;
                image.loadFromData(data.toByteArray());
                if (image.isNull()) continue;
                natural = image.size();
                picture.setProperty(kNaturalSizeProperty, natural);
            }
            const qreal scale = qMin<qreal>(1.0, room / natural.width());
            const bool reduced = scale < 1.0;
            if (qFuzzyCompare(picture.width(), natural.width() * scale) &&
                picture.isAnchor() == reduced)
                continue;
            picture.setWidth(natural.width() * scale);
            picture.setHeight(natural.height() * scale);
            // A reduced picture is a link to itself: a click (or Tab and Enter) shows it whole.
            picture.setAnchor(reduced);
            picture.setAnchorHref(reduced ? picture.name() : QString());
            picture.setToolTip(reduced ? tr("Click to see the picture at full size") : QString());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(picture);
        }
    }
}

void HelpViewer::showPicture(const QUrl &url) {
    QImage image;
    image.loadFromData(m_browser->loadResource(QTextDocument::ImageResource, url).toByteArray());
    if (image.isNull()) return;
    if (!m_picture) {
        m_picture = new QWidget(this, Qt::Window);
        m_picture->setObjectName(QStringLiteral("frmHelpPicture"));
        auto *area = new QScrollArea(m_picture);
        area->setObjectName(QStringLiteral("scrPicture"));
        auto *label = new QLabel(area);
        label->setObjectName(QStringLiteral("picPicture"));
        area->setWidget(label);
        auto *close = new QPushButton(tr("C&lose"), m_picture);
        close->setObjectName(QStringLiteral("cmdClose"));
        connect(close, &QPushButton::clicked, m_picture, &QWidget::close);
        auto *layout = new QVBoxLayout(m_picture);
        layout->addWidget(area);
        layout->addWidget(close, 0, Qt::AlignRight);
    }
    auto *label = m_picture->findChild<QLabel *>(QStringLiteral("picPicture"));
    label->setPixmap(QPixmap::fromImage(image));
    label->resize(image.size());
    const QString name = QFileInfo(url.path()).fileName();
    label->setAccessibleName(tr("Picture %1 at full size").arg(name));
    m_picture->setWindowTitle(tr("Corvane Help - %1").arg(name));
    // As large as the picture, within the screen; scroll bars for the rest.
    const QMargins margins = m_picture->layout()->contentsMargins();
    const int frame = 2 * m_picture->findChild<QScrollArea *>()->frameWidth();
    const int buttonRow =
        m_picture->findChild<QPushButton *>()->sizeHint().height() + m_picture->layout()->spacing();
    QSize size(image.width() + margins.left() + margins.right() + frame,
               image.height() + margins.top() + margins.bottom() + frame + buttonRow);
    if (const QScreen *screen =
            m_picture->screen() ? m_picture->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.9);
    m_picture->resize(size);
    m_picture->show();
    m_picture->raise();
    m_picture->activateWindow();
}

bool HelpViewer::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize) fitPictures();
    return QWidget::eventFilter(watched, event);
}

void HelpViewer::updateTitle() {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? tr("Corvane Help") : tr("Corvane Help - %1").arg(title));
}

HelpSystem::HelpSystem() = default;
HelpSystem::~HelpSystem() = default;

void HelpSystem::showHelpTopic(const QString &file, int topic) {
    if (!m_viewer) m_viewer = std::make_unique<HelpViewer>();
    m_viewer->showTopic(file, topic);
}

}  // namespace corvane
