// The shared widgets: the leave-box check and the results list's tab stops, and the message
// box set-up.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include "core/ui/leavevalidator.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/resultslist.h"

using namespace corvane;

namespace {

// A window with two boxes that refuse anything but digits, and a button.
struct TwoBoxes {
    QWidget window;
    QLineEdit *first = new QLineEdit(&window);
    QLineEdit *second = new QLineEdit(&window);
    QPushButton *button = new QPushButton(QStringLiteral("Begin"), &window);
    ScriptedPrompter prompter;

    TwoBoxes() {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(button);
        for (const auto &entry : {std::pair{first, "first"}, std::pair{second, "second"}}) {
            const char *name = entry.second;
            LeaveValidator::attach(entry.first, prompter, [name](const QString &text) {
                bool ok = false;
                text.toInt(&ok);
                return ok ? std::nullopt
                          : std::optional<PromptMessage>(
                                {QLatin1String(name) + QStringLiteral(" must be a number"),
                                 QStringLiteral("Input Error"), MessageIcon::Exclamation});
            });
        }
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
};

}  // namespace

class TestCoreUi : public QObject {
    Q_OBJECT
private slots:
    void leaveCheck_data();
    void leaveCheck();
    void twoRefusingBoxesDoNotBounce();
    void tabStops_data();
    void tabStops();
    void messageBox();
};

void TestCoreUi::leaveCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("accepted") << QStringLiteral("250") << false;
    QTest::newRow("refused") << QStringLiteral("25x") << true;
    QTest::newRow("empty refused") << QString() << true;
}

void TestCoreUi::leaveCheck() {
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    TwoBoxes w;
    w.second->setText(QStringLiteral("1"));
    w.first->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.first, typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    w.settle();
    QCOMPARE(w.prompter.summary(),
             refused ? QStringList{"Input Error|first must be a number"} : QStringList());
    QCOMPARE(QApplication::focusWidget(), refused ? w.first : w.second);
    QCOMPARE(w.first->text(), typed);  // left as typed
}

void TestCoreUi::twoRefusingBoxesDoNotBounce() {
    TwoBoxes w;
    w.first->setText(QStringLiteral("a"));
    w.second->setText(QStringLiteral("b"));
    w.first->setFocus(Qt::TabFocusReason);
    w.second->setFocus(Qt::MouseFocusReason);
    w.settle();
    QCOMPARE(w.prompter.summary(), QStringList{"Input Error|first must be a number"});
    QCOMPARE(QApplication::focusWidget(), w.first);
    // Fixed, the user moves on to the second box, which refuses in its turn.
    w.first->setText(QStringLiteral("7"));
    w.second->setFocus(Qt::TabFocusReason);
    w.button->setFocus(Qt::TabFocusReason);
    w.settle();
    QCOMPARE(w.prompter.summary().last(), QStringLiteral("Input Error|second must be a number"));
    QCOMPARE(w.prompter.messages().size(), size_t(2));
    QCOMPARE(QApplication::focusWidget(), w.second);
}

void TestCoreUi::tabStops_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("fields");
    QTest::newRow("one field") << QStringLiteral("K3 Serial Number: 05321") << 1;
    QTest::newRow("dBV data line") << QStringLiteral("100\t-23.5\t-33.6\t10.1") << 4;
    QTest::newRow("two tabs") << QStringLiteral("14060.000\t\t-25.3") << 3;
    QTest::newRow("longer than a stop") << QStringLiteral("Audio Response K3 dBV Function\tx") << 2;
}

void TestCoreUi::tabStops() {
    // A field starts at the first stop (every eight average characters) after the one before.
    QFETCH(QString, line);
    QFETCH(int, fields);
    ResultsList list;
    const QFontMetrics metrics(list.font());
    const int stop = 8 * metrics.averageCharWidth();
    const QVector<int> xs = ResultsList::fieldPositions(line, metrics);
    QCOMPARE(xs.size(), fields);
    QCOMPARE(xs.first(), 0);
    const QStringList parts = line.split(u'\t');
    for (int i = 1; i < xs.size(); ++i) {
        const int end = xs.at(i - 1) + metrics.horizontalAdvance(parts.at(i - 1));
        QCOMPARE(xs.at(i) % stop, 0);
        QVERIFY(xs.at(i) > end && xs.at(i) - end <= stop);
    }
}

void TestCoreUi::messageBox() {
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Exclamation, QMessageBox::Warning},
        {MessageIcon::Critical, QMessageBox::Critical}};
    for (const auto &[icon, boxIcon] : icons) {
        MessageBoxPrompter prompter;
        QStringList seen;
        QTimer::singleShot(0, this, [&] {  // read the box while it is open, then press OK
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box && box->button(QMessageBox::Ok));
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        prompter.message(QStringLiteral("K3 is present"), QString(), icon);
        QCOMPARE(seen, (QStringList{"Corvane", "K3 is present", QString::number(boxIcon), "1"}));
    }
}

QTEST_MAIN(TestCoreUi)
#include "tst_coreui.moc"
