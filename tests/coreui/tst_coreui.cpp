// The shared widgets: unloading and hiding of forms, the results list's tab stops, the
// leave-box check, and the message box and file dialog set-up.

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include "core/ui/formwindow.h"
#include "core/ui/leavevalidator.h"
#include "core/ui/messageboxprompter.h"
#include "core/ui/qtfiledialogs.h"
#include "core/ui/resultslist.h"
#include "core/ui/windowregistry.h"

using namespace corvane;

namespace {

class LoadCounter : public FormWindow {
public:
    explicit LoadCounter(QWidget *parent = nullptr) : FormWindow(parent) {}
    int loads = 0;

protected:
    void loadForm() override { ++loads; }
};

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
        first->setObjectName(QStringLiteral("first"));
        second->setObjectName(QStringLiteral("second"));
        const auto digitsOnly = [](const QString &name) {
            return [name](const QString &text) -> std::optional<PromptMessage> {
                bool ok = false;
                text.toInt(&ok);
                if (ok) return std::nullopt;
                return PromptMessage{name + QStringLiteral(" must be a number"),
                                     QStringLiteral("Input Error"), MessageIcon::Exclamation};
            };
        };
        LeaveValidator::attach(first, prompter, digitsOnly(QStringLiteral("first")));
        LeaveValidator::attach(second, prompter, digitsOnly(QStringLiteral("second")));
    }

    bool showActive() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

}  // namespace

class TestCoreUi : public QObject {
    Q_OBJECT
private slots:
    void formLoadsOnceAndHideKeepsIt();
    void frameCloseUnloads();
    void tabStopsEveryEightAverageCharacters_data();
    void tabStopsEveryEightAverageCharacters();
    void listKeepsLinesAndSelectsLast();
    void leaveCheck_data();
    void leaveCheck();
    void twoRefusingBoxesDoNotBounce();
    void leaveCheckIgnoresOtherWindows();
    void messageBoxLooks_data();
    void messageBoxLooks();
    void fileDialogSetUp();
    void escapePressesTheCancelButton();
    void registryKeepsOneInstance();
    void registryRebuildsAfterFrameClose();
    void registryOpenerAndUnknownNames();
};

void TestCoreUi::formLoadsOnceAndHideKeepsIt() {
    LoadCounter form;
    QCOMPARE(form.loads, 0);
    form.showForm();
    form.hideForm();
    QVERIFY(form.isHidden());
    form.showForm();
    QCOMPARE(form.loads, 1);
    QVERIFY(form.isVisible());
    QVERIFY(form.isWindow());
}

void TestCoreUi::frameCloseUnloads() {
    QWidget owner;
    QPointer<LoadCounter> form = new LoadCounter(&owner);
    QVERIFY(form->isWindow());  // a window of its own although it has an owner
    form->showForm();
    QSignalSpy unloading(form.data(), &FormWindow::unloading);
    QVERIFY(form->close());
    QCOMPARE(unloading.count(), 1);
    QVERIFY(form->isUnloading());
    QTRY_VERIFY(form.isNull());
}

void TestCoreUi::tabStopsEveryEightAverageCharacters_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("fields");
    QTest::newRow("one field") << QStringLiteral("K3 Serial Number: 05321") << 1;
    QTest::newRow("dBV data line") << QStringLiteral("100\t-23.5\t-33.6\t10.1") << 4;
    QTest::newRow("two tabs") << QStringLiteral("14060.000\t\t-25.3") << 3;
    QTest::newRow("leading tab") << QStringLiteral("\tindented") << 2;
    QTest::newRow("field longer than a stop")
        << QStringLiteral("Audio Response K3 dBV Function\tx") << 2;
}

void TestCoreUi::tabStopsEveryEightAverageCharacters() {
    QFETCH(QString, line);
    QFETCH(int, fields);
    ResultsList list;
    const QFontMetrics metrics(list.font());
    const int stop = ResultsList::tabStopWidth(metrics);
    QCOMPARE(stop, 8 * metrics.averageCharWidth());
    const QVector<int> xs = ResultsList::fieldPositions(line, metrics);
    QCOMPARE(xs.size(), fields);
    QCOMPARE(xs.first(), 0);
    const QStringList parts = line.split(u'\t');
    for (int i = 1; i < xs.size(); ++i) {
        QCOMPARE(xs.at(i) % stop, 0);
        const int end = xs.at(i - 1) + metrics.horizontalAdvance(parts.at(i - 1));
        QVERIFY2(xs.at(i) > end, "a field starts after the one before it ends");
        QVERIFY2(xs.at(i) - end <= stop, "at the first stop after the field before");
    }
}

void TestCoreUi::listKeepsLinesAndSelectsLast() {
    ResultsList list;
    QVERIFY(!list.accessibleName().isEmpty());
    list.selectLast();  // empty list: nothing to select, no crash
    QCOMPARE(list.currentRow(), -1);
    const QStringList lines{QStringLiteral("RF Gain\tdBV"), QStringLiteral(" 100\t-23.5 "),
                            QString(), QStringLiteral("\xe9\xb0")};
    list.appendLines(lines);
    list.appendLine(QStringLiteral("last"));
    list.selectLast();
    QCOMPARE(list.currentRow(), 4);
    QCOMPARE(list.lines(), lines + QStringList{QStringLiteral("last")});
    // The delegate's width follows the tab stops, so long lines get a scroll bar.
    const QSize hint =
        list.itemDelegate()->sizeHint(QStyleOptionViewItem(), list.model()->index(0, 0));
    QVERIFY(hint.width() >= ResultsList::tabStopWidth(QFontMetrics(list.font())));
}

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
    QVERIFY(w.showActive());
    w.first->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.first, typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (refused) {
        QCOMPARE(w.prompter.summary(),
                 QStringList{QStringLiteral("Input Error|first must be a number")});
        QCOMPARE(w.prompter.messages().front().icon, MessageIcon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), w.first);
        QCOMPARE(w.first->text(), typed);  // left as typed
    } else {
        QVERIFY(w.prompter.messages().empty());
        QCOMPARE(QApplication::focusWidget(), w.second);
    }
}

void TestCoreUi::twoRefusingBoxesDoNotBounce() {
    TwoBoxes w;
    w.first->setText(QStringLiteral("a"));
    w.second->setText(QStringLiteral("b"));
    QVERIFY(w.showActive());
    w.first->setFocus(Qt::TabFocusReason);
    w.second->setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCOMPARE(w.prompter.summary(),
             QStringList{QStringLiteral("Input Error|first must be a number")});
    QCOMPARE(QApplication::focusWidget(), w.first);

    // Each new attempt shows the message once more; the box still keeps the focus.
    w.button->setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCOMPARE(w.prompter.messages().size(), size_t(2));
    QCOMPARE(QApplication::focusWidget(), w.first);

    // Fixed, the user moves on to the second box, which refuses in its turn.
    w.first->setText(QStringLiteral("7"));
    w.second->setFocus(Qt::TabFocusReason);
    w.button->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCOMPARE(w.prompter.summary().last(), QStringLiteral("Input Error|second must be a number"));
    QCOMPARE(w.prompter.messages().size(), size_t(3));
    QCOMPARE(QApplication::focusWidget(), w.second);
}

void TestCoreUi::leaveCheckIgnoresOtherWindows() {
    TwoBoxes w;
    w.first->setText(QStringLiteral("bad"));
    QVERIFY(w.showActive());
    w.first->setFocus(Qt::TabFocusReason);
    // A popup or another window taking the focus is not leaving the box.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(w.first, &popup);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCoreApplication::processEvents();
    QVERIFY(w.prompter.messages().empty());
}

void TestCoreUi::messageBoxLooks_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("boxIcon");
    QTest::newRow("none") << int(MessageIcon::None) << int(QMessageBox::NoIcon);
    QTest::newRow("information") << int(MessageIcon::Information) << int(QMessageBox::Information);
    QTest::newRow("exclamation") << int(MessageIcon::Exclamation) << int(QMessageBox::Warning);
    QTest::newRow("critical") << int(MessageIcon::Critical) << int(QMessageBox::Critical);
}

void TestCoreUi::messageBoxLooks() {
    QFETCH(int, icon);
    QFETCH(int, boxIcon);
    MessageBoxPrompter prompter;
    QString seenTitle, seenText;
    int seenIcon = -1, buttons = 0;
    // Read the box while it is open, then press OK.
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        buttons = box->buttons().size();
        QVERIFY(box->button(QMessageBox::Ok));
        box->button(QMessageBox::Ok)->click();
    });
    prompter.message(QStringLiteral("K3 is present"), QString(), MessageIcon(icon));
    QCOMPARE(seenTitle, QStringLiteral("Corvane"));
    QCOMPARE(seenText, QStringLiteral("K3 is present"));
    QCOMPARE(seenIcon, boxIcon);
    QCOMPARE(buttons, 1);
    QCOMPARE(MessageBoxPrompter::boxTitle(QStringLiteral("K3 Status")),
             QStringLiteral("K3 Status"));
}

void TestCoreUi::fileDialogSetUp() {
    FileDialogRequest save;
    save.title = QStringLiteral("Save File");
    save.filterLabel = QStringLiteral("Text files (*.txt)");
    save.filterPattern = QStringLiteral("*.txt");
    save.defaultExtension = QStringLiteral("txt");
    save.proposedName = QStringLiteral("FilterSweep.txt");
    save.initialFolder = QDir::tempPath();
    save.confirmReplace = true;
    QCOMPARE(QtFileDialogs::nameFilter(save), QStringLiteral("Text files (*.txt)"));
    FileDialogRequest labelOnly = save;
    labelOnly.filterLabel = QStringLiteral("Bitmap");
    labelOnly.filterPattern = QStringLiteral("*.bmp");
    QCOMPARE(QtFileDialogs::nameFilter(labelOnly), QStringLiteral("Bitmap (*.bmp)"));

    QFileDialog dialog;
    QtFileDialogs::configure(dialog, save, true);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Save File"));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("txt"));
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("Text files (*.txt)")});

    FileDialogRequest open = save;
    open.title = QStringLiteral("Open File");
    open.confirmReplace = false;
    open.mustExist = true;
    open.initialFolder.clear();  // no remembered path: the documents folder
    QFileDialog openDialog;
    QtFileDialogs::configure(openDialog, open, false);
    QCOMPARE(openDialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(openDialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(QDir(openDialog.directory()).canonicalPath(),
             QDir(QtFileDialogs::startFolder(open)).canonicalPath());
    QVERIFY(QDir(openDialog.directory()).exists());
}

void TestCoreUi::escapePressesTheCancelButton() {
    LoadCounter form;
    auto *ok = new QPushButton(QStringLiteral("OK"), &form);
    form.showForm();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());  // no cancel button: Escape does nothing
    QSignalSpy clicked(ok, &QPushButton::clicked);
    form.setCancelButton(ok);
    QTest::keyClick(&form, Qt::Key_Escape);
    QCOMPARE(clicked.count(), 1);
}

namespace {
// A results window as the test windows build it: a form with a list.
class ListForm : public FormWindow {
    Q_OBJECT
public:
    explicit ListForm(QWidget *parent) : FormWindow(parent), list(new ResultsList(this)) {}
    ResultsList *list;
    int loads = 0;

protected:
    void loadForm() override {
        ++loads;
        list->appendLine(QStringLiteral("loaded"));
    }
};
}  // namespace

void TestCoreUi::registryKeepsOneInstance() {
    AppContext app;
    QWidget owner;
    WindowRegistry windows(app, &owner);
    int built = 0;
    bool sameRegistry = false;
    windows.add(QStringLiteral("frmMDS"), [&](const WindowContext &c) {
        ++built;
        sameRegistry = &c.windows == &windows;
        return new ListForm(c.owner);
    });
    QVERIFY(!windows.existing(QStringLiteral("frmMDS")));
    auto *first = qobject_cast<ListForm *>(windows.show(QStringLiteral("frmMDS")));
    QVERIFY(first);
    QCOMPARE(first->objectName(), QStringLiteral("frmMDS"));
    QCOMPARE(first->parentWidget(), &owner);
    QCOMPARE(first->loads, 1);
    first->list->appendLine(QStringLiteral("100\t-23.5"));
    first->hideForm();
    QCOMPARE(windows.show(QStringLiteral("frmMDS")), first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->list->lines(),
             (QStringList{QStringLiteral("loaded"), QStringLiteral("100\t-23.5")}));
    QCOMPARE(windows.instance<ListForm>(QStringLiteral("frmMDS")), first);
    QCOMPARE(built, 1);
    QVERIFY(sameRegistry);
}

void TestCoreUi::registryRebuildsAfterFrameClose() {
    AppContext app;
    WindowRegistry windows(app, nullptr);
    windows.add(QStringLiteral("frmMDS"),
                [](const WindowContext &c) { return new ListForm(c.owner); });
    QPointer<QWidget> first = windows.show(QStringLiteral("frmMDS"));
    qobject_cast<ListForm *>(first.data())->list->appendLine(QStringLiteral("kept?"));
    QVERIFY(first->close());
    // Asked for again before the old one is gone: a new window all the same.
    auto *second = qobject_cast<ListForm *>(windows.show(QStringLiteral("frmMDS")));
    QVERIFY(second);
    QVERIFY(second != first.data());
    QCOMPARE(second->list->lines(), QStringList{QStringLiteral("loaded")});
    QCOMPARE(second->loads, 1);
    QTRY_VERIFY(first.isNull());
    QCOMPARE(windows.existing(QStringLiteral("frmMDS")), second);
}

void TestCoreUi::registryOpenerAndUnknownNames() {
    AppContext app;
    WindowRegistry windows(app, nullptr);
    QVERIFY(!windows.show(QStringLiteral("frmNothing")));
    windows.open(QStringLiteral("frmNothing"));  // nothing happens
    int opened = 0;
    windows.add(
        QStringLiteral("frmReadFile"), [](const WindowContext &c) { return new ListForm(c.owner); },
        [&](const WindowContext &) { ++opened; });
    windows.open(QStringLiteral("frmReadFile"));
    QCOMPARE(opened, 1);
    QVERIFY(!windows.existing(QStringLiteral("frmReadFile")));  // the opener decides
    QCOMPARE(windows.names(), QStringList{QStringLiteral("frmReadFile")});
    QPointer<QWidget> w = windows.instance(QStringLiteral("frmReadFile"));
    QVERIFY(w && !w->isVisible());
    windows.destroyAll();
    QVERIFY(w.isNull());
}

QTEST_MAIN(TestCoreUi)
#include "tst_coreui.moc"
