// The pictures of the user's guide: every window of the program, opened on the built-in
// simulator and brought into the state a user sees at the bench (a sweep finished, a dBV test
// finished, an MDS result, the filter tables read, the menu report, the saved files viewed
// and charted, three filters compared), saved as PNG files.
//
//   corvane_pictures FOLDER
//
// FOLDER receives the pictures (the committed ones live in docs/images: `cmake --build build
// -t pictures` remakes them). The help viewer shows the user's guide as the program finds it,
// in docs/ beside the build folder's bin/.
//
// The run is the same every time: an offscreen screen of 1366x768, the simulator's fixed
// noise seed, its virtual clock (a 35-minute test takes a moment), and a fixed date in the
// saved files. The names of the pictures written are printed, one a line.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "charts/ui/chartwindows.h"
#include "charts/ui/comparesweepswindow.h"
#include "core/filedialogs.h"
#include "core/ui/resultslist.h"
#include "filters/ui/frmcrystals.h"
#include "link/ui/connectioncontroller.h"
#include "link/ui/frmk3simulator.h"
#include "measurements/dbvresultsfile.h"
#include "measurements/mdstest.h"
#include "measurements/sweepresultsfile.h"
#include "measurements/ui/frmfiltersweep.h"
#include "shell/frmmain.h"
#include "shell/helpviewer.h"

using namespace corvane;

namespace {

constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;
// A person reads each prompt before confirming it: the audio meter settles meanwhile.
constexpr int kReadingTimeMs = 5000;
constexpr int kSettleMs = 400;
constexpr double kSweepGeneratorDbm = -40.0;
constexpr double kLinearityGeneratorDbm = -73.0;

// The date every saved file carries.
const QDateTime kFileDate(QDate(2026, 11, 14), QTime(10, 30));

// The offscreen platform with one screen of a common laptop's size.
void useOffscreenScreen(const QString &configPath) {
    QFile config(configPath);
    if (config.open(QIODevice::WriteOnly)) {
        config.write(QStringLiteral(R"({"screens": [{"name": "Laptop", "x": 0, "y": 0,
             "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                         .arg(kScreenWidth)
                         .arg(kScreenHeight)
                         .toUtf8());
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configPath.toLocal8Bit());
}

// Lets the window lay itself out and finish what it does after a short delay (the sweep
// charts work out the filter's figures 150 ms after the last change).
void settle() {
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

class Camera {
public:
    explicit Camera(const QDir &folder) : m_folder(folder) {}

    // Shows the window at the top left of the screen (at `size` when given, never larger
    // than the screen) and saves its picture as NAME.png.
    bool shoot(QWidget *window, const QString &name, QSize size = {}) {
        if (!window) {
            std::fprintf(stderr, "corvane_pictures: no window for %s\n", qPrintable(name));
            m_failed = true;
            return false;
        }
        if (size.isValid()) window->resize(size);
        window->resize(window->size().boundedTo(QSize(kScreenWidth, kScreenHeight)));
        window->move(0, 0);
        window->show();
        settle();
        return save(window->grab(), name);
    }

    bool save(const QPixmap &picture, const QString &name) {
        const QString file = name + QStringLiteral(".png");
        if (!picture.save(m_folder.filePath(file))) {
            std::fprintf(stderr, "corvane_pictures: cannot write %s\n",
                         qPrintable(m_folder.filePath(file)));
            m_failed = true;
            return false;
        }
        std::printf("%s %dx%d\n", qPrintable(file), picture.width(), picture.height());
        return true;
    }

    bool failed() const { return m_failed; }

private:
    QDir m_folder;
    bool m_failed = false;
};

// The user at the file dialogs: each answers with the next path given.
class BenchFileDialogs : public FileDialogs {
public:
    void answer(const QString &path) { m_answers << path; }
    std::optional<QString> openFile(const FileDialogRequest &) override { return next(); }
    std::optional<QString> saveFile(const FileDialogRequest &) override { return next(); }

private:
    std::optional<QString> next() {
        if (m_answers.isEmpty()) return std::nullopt;
        return m_answers.takeFirst();
    }
    QStringList m_answers;
};

template <typename T = QWidget>
T *child(QWidget *window, const char *name) {
    return window ? window->findChild<T *>(QLatin1String(name)) : nullptr;
}

void click(QWidget *window, const char *button) {
    if (auto *b = child<QPushButton>(window, button)) b->click();
}

void fill(QWidget *window, const std::vector<std::pair<const char *, QString>> &boxes) {
    for (const auto &[name, text] : boxes)
        if (auto *box = child<QLineEdit>(window, name)) box->setText(text);
}

QStringList listLines(QWidget *window, const char *list) {
    const auto *lines = child<ResultsList>(window, list);
    return lines ? lines->lines() : QStringList();
}

// The main window with one of its menus open, as the user sees it.
QPixmap withMenuOpen(QMainWindow &window, const char *menuName) {
    QPixmap picture = window.grab();
    auto *menu = window.findChild<QMenu *>(QLatin1String(menuName));
    if (!menu) return picture;
    const QPoint at = window.menuBar()->actionGeometry(menu->menuAction()).bottomLeft();
    menu->popup(window.mapToGlobal(at));
    settle();
    QPainter painter(&picture);
    painter.drawPixmap(window.menuBar()->mapTo(&window, at), menu->grab());
    menu->hide();
    return picture;
}

}  // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvane_pictures FOLDER\n");
        return 2;
    }
    const QDir folder(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    // The saved files go to a scratch folder of this run, the working folder, by bare names:
    // the windows show the names as given, so every run shows the same.
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
        std::fprintf(stderr, "corvane_pictures: no scratch folder\n");
        return 1;
    }
    useOffscreenScreen(scratch.filePath(QStringLiteral("screen.json")));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // A text cursor that does not blink is in every picture or in none.
    QApplication::setCursorFlashTime(0);
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "corvane_pictures: cannot make %s\n", argv[1]);
        return 1;
    }
    Camera camera(folder);

    VirtualClock clock;
    ScriptedPrompter prompter;
    BenchFileDialogs dialogs;
    ConnectionController connection(clock, prompter);
    HelpSystem help;
    const AppContext app{
        &connection.link(), &prompter, &dialogs,
        [&help](const QString &file, int topic) { help.showHelpTopic(file, topic); }};
    frmMain main(app, connection);
    camera.shoot(&main, QStringLiteral("main"));
    camera.save(withMenuOpen(main, "mnuHelp"), QStringLiteral("main-help-menu"));

    // Connect to the built-in simulator, the last entry of the port list.
    connection.showDialog();
    auto *ports = child<QComboBox>(&connection.dialog(), "cboComPort");
    if (ports) ports->setCurrentIndex(ports->count() - 1);
    click(&connection.dialog(), "cmdConnect");
    camera.shoot(&connection.dialog(), QStringLiteral("connect"));
    connection.dialog().hide();
    const std::shared_ptr<sim::K3Simulator> radio = connection.simulator();
    if (!radio || !connection.link().isConnected()) {
        std::fprintf(stderr, "corvane_pictures: the built-in simulator did not connect\n");
        return 1;
    }
    // The user at the bench: reads each prompt, and works the generator for the MDS test.
    prompter.setHook([&](const PromptMessage &msg) {
        clock.advance(kReadingTimeMs);
        if (msg.title == kMdsSetupTitle)
            radio->generator() = {true, kMdsGeneratorDbm, double(radio->state().vfoAHz)};
        else if (msg.title == kMdsGeneratorOffTitle)
            radio->generator().on = false;
    });
    camera.shoot(connection.showSimulatorWindow(), QStringLiteral("simulator"));
    connection.simulatorWindow()->hide();

    // Three CW filters swept one after the other; the sweep window keeps the last, the
    // 400 Hz filter the radio uses for CW.
    QWidget *sweep = main.windows().show(QStringLiteral("frmFilterSweep"));
    if (auto *sweepWindow = qobject_cast<frmFilterSweep *>(sweep))
        sweepWindow->setClockForFiles([] { return kFileDate; });
    fill(sweep, {{"txtKHzStart", "14059.2"},
                 {"txtKHzStop", "14060.8"},
                 {"txtFreqStep", "25"},
                 {"txtRFGain", QStringLiteral("100")}});
    // A strong carrier and a low RF gain: 80 dB of room below the passband.
    radio->generator().levelDbm = kSweepGeneratorDbm;
    QStringList sweepFiles;
    for (const int slot : {4, 3, 2}) {
        radio->state().selectedSlot = slot;
        const QString file = QStringLiteral("FL%1-%2Hz.txt")
                                 .arg(slot + 1)
                                 .arg(radio->state().mainFilters[size_t(slot)].bandwidthHz);
        if (auto *comments = child<QPlainTextEdit>(sweep, "txtUserComments"))
            comments->setPlainText(
                QStringLiteral("FL%1, 14060 kHz, generator -40 dBm").arg(slot + 1));
        click(sweep, "cmdBeginSweep");
        dialogs.answer(file);
        click(sweep, "cmdSaveFile");
        sweepFiles << file;
    }
    camera.shoot(sweep, QStringLiteral("sweep"));
    click(sweep, "cmdChart");
    QWidget *sweepChart = main.windows().existing(QStringLiteral("frmChartSweep"));
    camera.shoot(sweepChart, QStringLiteral("chart-sweep"), QSize(960, 640));
    click(sweepChart, "cmdSaveFile");
    if (auto *chartWindow = qobject_cast<ResultChartWindow *>(sweepChart))
        camera.shoot(chartWindow->imageWindow(), QStringLiteral("save-chart"));
    sweepChart->hide();
    sweep->hide();

    radio->generator().levelDbm = kLinearityGeneratorDbm;
    // The dBV full test over the whole RF gain range in steps of 5, charted and saved.
    QWidget *dbv = main.windows().show(QStringLiteral("frmDBVLinearity"));
    fill(dbv, {{"txtRFGainStart", "50"}, {"txtRFGainStop", "250"}, {"txtRFGainInc", "5"}});
    click(dbv, "cmdBegin");
    camera.shoot(dbv, QStringLiteral("dbv"));
    const QString dbvFile = QStringLiteral("dbv-linear-range.txt");
    writeDbvResultsFile(dbvFile, listLines(dbv, "lstResults"),
                        QStringLiteral("Full test, generator -73 dBm at 14060 kHz"), kFileDate);
    click(dbv, "cmdChartResults");
    camera.shoot(main.windows().existing(QStringLiteral("frmChartLinearRange")),
                 QStringLiteral("chart-linear-range"), QSize(960, 640));
    main.windows().existing(QStringLiteral("frmChartLinearRange"))->hide();
    click(dbv, "cmdQuickTest");
    camera.shoot(dbv, QStringLiteral("dbv-quick"));
    dbv->hide();
    camera.shoot(main.windows().show(QStringLiteral("frmAppliedRF")), QStringLiteral("applied-rf"));
    main.windows().existing(QStringLiteral("frmAppliedRF"))->hide();

    QWidget *mds = main.windows().show(QStringLiteral("frmMDS"));
    if (auto *preamp = child<QCheckBox>(mds, "chkPreamp")) preamp->setChecked(true);
    click(mds, "cmdBegin");
    camera.shoot(mds, QStringLiteral("mds"));
    mds->hide();

    for (const Receiver receiver : {Receiver::Main, Receiver::Sub}) {
        QWidget *filters = main.windows().show(frmCrystals::windowName(receiver));
        click(filters, "cmdFilterBW");
        click(filters, "cmdFilterRec");
        camera.shoot(filters, receiver == Receiver::Main ? QStringLiteral("filters")
                                                         : QStringLiteral("filters-sub"));
        filters->hide();
    }

    QWidget *menus = main.windows().show(QStringLiteral("frmConfigSettings"));
    click(menus, "cmdMainMenu");
    click(menus, "cmdConfigMenu");
    camera.shoot(menus, QStringLiteral("menus"));
    menus->hide();

    // The saved files: viewed, charted, and the three sweeps compared.
    dialogs.answer(sweepFiles.last());
    main.windows().open(QStringLiteral("frmReadFile"));
    camera.shoot(main.windows().existing(QStringLiteral("frmReadFile")), QStringLiteral("viewer"));
    dialogs.answer(sweepFiles.last());
    main.windows().open(QStringLiteral("frmCreateFSChart"));
    camera.shoot(main.windows().existing(QStringLiteral("frmCreateFSChart")),
                 QStringLiteral("chart-sweep-file"), QSize(1100, 640));
    dialogs.answer(dbvFile);
    main.windows().open(QStringLiteral("frmCreateDBVChart"));
    camera.shoot(main.windows().existing(QStringLiteral("frmCreateDBVChart")),
                 QStringLiteral("chart-dbv-file"), QSize(960, 640));
    auto *compare = qobject_cast<CompareSweepsWindow *>(
        main.windows().show(QStringLiteral("frmCompareSweeps")));
    if (compare)
        for (const QString &file : sweepFiles) compare->addFile(file);
    camera.shoot(compare, QStringLiteral("compare-sweeps"), QSize(1200, 680));

    // The filter survey, where the program has it: every slot swept in turn on the strong
    // carrier, its files written to the scratch folder.
    if (main.windows().contains(QStringLiteral("frmFilterSurvey"))) {
        radio->generator() = {true, kSweepGeneratorDbm, 14060000.0};
        QWidget *survey = main.windows().show(QStringLiteral("frmFilterSurvey"));
        fill(survey, {{"txtFolder", QStringLiteral("survey")},
                      {"txtRFGain", QStringLiteral("70")},
                      {"txtGenerator", QStringLiteral("-40")}});
        click(survey, "cmdBegin");
        // At its own size, which leaves room for its frame on a 1366x768 screen.
        camera.shoot(survey, QStringLiteral("survey"));
        survey->hide();
    }

    camera.shoot(main.windows().show(QStringLiteral("frmAbout")), QStringLiteral("about"));
    help.showHelpTopic(kMainHelpFile, 13);
    camera.shoot(help.viewer(), QStringLiteral("help"));
    help.showHelpTopic(kUserGuideFile, 0);
    camera.shoot(help.viewer(), QStringLiteral("user-guide"), QSize(900, 700));

    for (const QString &message : prompter.summary())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    return camera.failed() ? 1 : 0;
}
