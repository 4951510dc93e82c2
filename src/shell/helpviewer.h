#pragma once
// The built-in help: HTML pages compiled into the program, found by help file name and
// topic number ("corvane.hlp", 5 -> :/help/corvane/5.html), shown in a browser window with
// Back, Forward, Contents and Close. An unknown file or topic shows the viewer's own
// "topic not found" page.
//
// The user's guide ("guide.md", any topic) is the Markdown file of the documentation, read
// from disk with its pictures beside it: docs/ next to the build folder's bin/, or
// share/doc/corvane/ next to an installed bin/. Its pictures are scaled down to the window's
// width; a picture shown smaller than it is opens at full size when clicked
// (frmHelpPicture).

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <memory>

class QPushButton;
class QTextBrowser;

namespace corvane {

inline const QString kMainHelpFile = QStringLiteral("corvane.hlp");
inline const QString kTutorialHelpFile = QStringLiteral("corvanetutorial.hlp");
inline const QString kUserGuideFile = QStringLiteral("guide.md");

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Shows the topic (or the not-found page) and brings the window to the front.
    void showTopic(const QString &file, int topic);

    // The page of a topic; empty when there is none.
    static QUrl topicUrl(const QString &file, int topic);
    static QUrl contentsUrl();
    // The page shown for a file or topic the program has no page for.
    static QString notFoundHtml(const QString &file, int topic);
    // Where the user's guide may be, for a program in `programFolder`, in the order looked at.
    static QStringList userGuidePaths(const QString &programFolder);

    QTextBrowser *browser() const { return m_browser; }
    // The window that shows a picture at full size, once one was opened.
    QWidget *pictureWindow() const { return m_picture; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool isMarkdown(const QUrl &url);
    void updateTitle();
    void showPage(const QUrl &url);
    void pageChanged(const QUrl &url);
    // Scales the pictures of a Markdown page down to the width of the window.
    void wrapCodeLines();
    void fitPictures();
    void showPicture(const QUrl &url);

    QTextBrowser *m_browser;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPointer<QWidget> m_picture;
};

// ShowHelpTopic: owns the one help viewer, built when first needed.
class HelpSystem {
public:
    HelpSystem();
    ~HelpSystem();
    void showHelpTopic(const QString &file, int topic);
    HelpViewer *viewer() const { return m_viewer.get(); }

private:
    std::unique_ptr<HelpViewer> m_viewer;
};

}  // namespace corvane
