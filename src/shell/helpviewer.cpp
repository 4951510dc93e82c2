#include "shell/helpviewer.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace corvane {

namespace {
constexpr int kViewerWidth = 720;
constexpr int kViewerHeight = 640;

// "corvane.hlp" -> "corvane": the folder of that file's pages.
QString helpFolder(const QString &file) {
    const QString base = QFileInfo(file.trimmed()).fileName().toLower();
    return base.endsWith(QLatin1String(".hlp")) ? base.chopped(4) : base;
}
}  // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent),
      m_browser(new QTextBrowser(this)),
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
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::updateTitle);
    setTabOrder(m_browser, m_back);
    setTabOrder(m_back, m_forward);
    setTabOrder(m_forward, contents);
    setTabOrder(contents, close);
    resize(kViewerWidth, kViewerHeight);
}

QUrl HelpViewer::topicUrl(const QString &file, int topic) {
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
        m_browser->setSource(url);
    }
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
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
