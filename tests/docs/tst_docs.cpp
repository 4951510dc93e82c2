// The documentation: the picture tool writes every picture of docs/images, none of them
// blank; every picture the guide and the README show exists; every command of the guide's
// ```sh blocks runs as written on the built-in simulator (examples for a real radio go into
// ```text blocks); the guide in the help viewer: its window table whole, a reduced picture
// opened at full size by a click.

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

#include "shell/helpviewer.h"

namespace {

const QDir kSource(QStringLiteral(CORVANE_SOURCE_DIR));

QString buildDir() {
    return qEnvironmentVariable("CORVANE_BUILD_DIR");
}

QString readText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The pictures a Markdown file shows: ![text](path).
QStringList picturesOf(const QString &markdown) {
    QStringList paths;
    static const QRegularExpression image(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
    for (const auto &match : image.globalMatch(markdown)) paths << match.captured(1);
    return paths;
}

}  // namespace

class TestDocs : public QObject {
    Q_OBJECT
private slots:
    void pictureToolWritesEveryPicture();
    void shownPicturesExist_data();
    void shownPicturesExist();
    void guideCommandsRun_data();
    void guideCommandsRun();
    void guideInTheHelpViewer();

private:
    QTemporaryDir m_work;  // where the guide's commands run, one after the other
};

void TestDocs::pictureToolWritesEveryPicture() {
    const QStringList expected =
        QDir(kSource.filePath("docs/images")).entryList({"*.png"}, QDir::Files);
    QVERIFY2(expected.size() >= 15, "docs/images holds the pictures the tool made");
    QTemporaryDir scratch;
    QProcess tool;
    tool.start(buildDir() + "/bin/corvane_pictures", {scratch.path()});
    QVERIFY(tool.waitForFinished(240000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
    for (const QString &name : expected) {
        const QImage picture(scratch.filePath(name));
        QVERIFY2(!picture.isNull(), qPrintable(name + " was not written"));
        QVERIFY2(picture.width() >= 200 && picture.height() >= 100, qPrintable(name));
        QVERIFY2(picture.width() <= 1366 && picture.height() <= 768, qPrintable(name));
        // Not blank: no single colour covers (nearly) the whole picture.
        QHash<QRgb, int> colours;
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); y += 2)
            for (int x = 0; x < rgb.width(); x += 2) ++colours[rgb.pixel(x, y)];
        int commonest = 0;
        for (const int count : std::as_const(colours)) commonest = qMax(commonest, count);
        const int samples = ((rgb.width() + 1) / 2) * ((rgb.height() + 1) / 2);
        QVERIFY2(colours.size() >= 8 && commonest < samples * 0.97, qPrintable(name + " is blank"));
    }
}

void TestDocs::shownPicturesExist_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("least");
    QTest::newRow("guide") << "docs/guide.md" << 10;
    QTest::newRow("README") << "README.md" << 1;
}

void TestDocs::shownPicturesExist() {
    QFETCH(QString, document);
    QFETCH(int, least);
    const QStringList pictures = picturesOf(readText(kSource.filePath(document)));
    QVERIFY2(QSet<QString>(pictures.begin(), pictures.end()).size() >= least,
             qPrintable(QString::number(pictures.size()) + " pictures"));
    const QDir beside = QFileInfo(kSource.filePath(document)).dir();
    for (const QString &picture : pictures)
        QVERIFY2(!QImage(beside.filePath(picture)).isNull(), qPrintable(picture));
}

void TestDocs::guideCommandsRun_data() {
    QTest::addColumn<QString>("command");
    const QString guide = readText(kSource.filePath("docs/guide.md"));
    static const QRegularExpression block(QStringLiteral("```sh\\n(.*?)```"),
                                          QRegularExpression::DotMatchesEverythingOption);
    int commands = 0;
    for (const auto &match : block.globalMatch(guide)) {
        for (const QString &line : match.captured(1).split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u'#')) continue;
            QTest::newRow(qPrintable(line.left(90))) << line;
            ++commands;
        }
    }
    QVERIFY(commands >= 10);
}

void TestDocs::guideCommandsRun() {
    QFETCH(QString, command);
    // The guide's commands are the programs' own, nothing else the shell could run.
    QVERIFY2(command.startsWith("corvane-cli ") || command.startsWith("corvane-k3sim "),
             qPrintable(command));
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", buildDir() + "/bin:" + environment.value("PATH"));
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(m_work.path());
    shell.start("/bin/sh", {"-c", command});
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(60000));
    QVERIFY2(shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0,
             shell.readAllStandardError().constData());
}

void TestDocs::guideInTheHelpViewer() {
    corvane::HelpViewer viewer;
    viewer.showTopic(corvane::kUserGuideFile, 0);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTextBrowser *page = viewer.browser();
    // "All windows at a glance": one table of every row the guide writes for it.
    const QString guide = readText(kSource.filePath("docs/guide.md"));
    const QString section = guide.section("## All windows at a glance", 1).section("\n## ", 0, 0);
    const int written = int(section.count(QRegularExpression("\n\\| ")));
    QStringList windows;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
        QTextTable *table = QTextCursor(block).currentTable();
        if (!table || table->cellAt(0, 0).firstCursorPosition().block().text() != "window")
            continue;
        for (int row = 0; row < table->rows(); ++row)
            windows << table->cellAt(row, 0).firstCursorPosition().block().text();
        break;
    }
    QCOMPARE(windows.size(), written);
    for (const char *window :
         {"Filter Survey", "View Saved DBV Linear Range Results", "Compare Sweeps"})
        QVERIFY2(windows.contains(window), qPrintable(window));

    // A picture wider than the viewer is shown reduced, as a link to itself; one that fits
    // is no link. A click on the reduced one opens it at full size and stays on the page.
    QTextBlock sweep, connect;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat picture = it.fragment().charFormat().toImageFormat();
            if (picture.name() == "images/sweep.png") sweep = block;
            if (picture.name() == "images/connect.png") connect = block;
            if (picture.name() == "images/connect.png") QVERIFY(!picture.isAnchor());
            if (picture.name() == "images/sweep.png")
                QCOMPARE(picture.anchorHref(), QString("images/sweep.png"));
        }
    QVERIFY(sweep.isValid() && connect.isValid());
    const QRectF box = page->document()->documentLayout()->blockBoundingRect(sweep);
    page->verticalScrollBar()->setValue(int(box.top()) - 20);
    const QPoint at = box.center().toPoint() - QPoint(page->horizontalScrollBar()->value(),
                                                      page->verticalScrollBar()->value());
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, at);
    QWidget *full = viewer.pictureWindow();
    QVERIFY(full && full->isVisible());
    QCOMPARE(full->windowTitle(), QString("Corvane Help - sweep.png"));
    QCOMPARE(full->findChild<QLabel *>("picPicture")->pixmap().size(), QSize(1180, 660));
    QVERIFY(page->source().fileName() == "guide.md" && !page->isBackwardAvailable());
}

QTEST_MAIN(TestDocs)
#include "tst_docs.moc"
