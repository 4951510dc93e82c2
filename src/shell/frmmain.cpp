#include "shell/frmmain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShortcut>

#include "core/filedialogs.h"
#include "files/linefile.h"
#include "link/connection.h"
#include "link/ui/connectioncontroller.h"
#include "shell/helpviewer.h"
#include "shell/menuhelp.h"
#include "shell/windows.h"
#include "ui_frmmain.h"

namespace corvane {

frmMain::frmMain(const AppContext &app, ConnectionController &connection, QWidget *parent)
    : QMainWindow(parent),
      m_app(app),
      m_connection(connection),
      m_ui(std::make_unique<Ui::frmMain>()),
      m_windows(app, this),
      m_menuHelp(new MenuHelpFilter(
          [this](int topic) {
              if (m_app.showHelp) m_app.showHelp(kMainHelpFile, topic);
          },
          this)),
      m_endProgram([] { QCoreApplication::exit(0); }),
      m_now([] { return QDateTime::currentDateTime(); }) {
    m_ui->setupUi(this);
    registerProgramWindows(m_windows);
    bindMenus();
    m_menuHelp->watch(m_ui->menuBar);
    // The menu captions carry no mnemonics, so F10 opens the menu bar from the keyboard.
    auto *openMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenus, &QShortcut::activated, this, [this] {
        const auto actions = m_ui->menuBar->actions();
        if (!actions.isEmpty()) m_ui->menuBar->setActiveAction(actions.first());
    });
}

frmMain::~frmMain() {
    // The windows go first, while everything they were given still exists.
    m_windows.destroyAll();
}

void frmMain::bindMenus() {
    const auto onTrigger = [this](QAction *action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, std::move(handler));
    };
    const auto opens = [this, onTrigger](QAction *action, const QString &window) {
        onTrigger(action, [this, window] { m_windows.open(window); });
    };
    const auto guarded = [this, onTrigger](QAction *action, const QString &window) {
        onTrigger(action, [this, window] { openGuarded(window); });
    };
    const auto help = [this, onTrigger](QAction *action, const QString &file, int topic) {
        onTrigger(action, [this, file, topic] {
            if (m_app.showHelp) m_app.showHelp(file, topic);
        });
    };

    opens(m_ui->mnuOpenFile, QStringLiteral("frmReadFile"));
    opens(m_ui->mnuChartDBVLinearity, QStringLiteral("frmCreateDBVChart"));
    opens(m_ui->mnuChartFilterSweep, QStringLiteral("frmCreateFSChart"));
    opens(m_ui->mnuCompareSweeps, QStringLiteral("frmCompareSweeps"));
    guarded(m_ui->mnuConfigSettings, QStringLiteral("frmConfigSettings"));
    onTrigger(m_ui->mnuExit, [this] { exitProgram(); });
    onTrigger(m_ui->mnuConnect, [this] { m_connection.showDialog(); });
    guarded(m_ui->mnuDiffMethod, QStringLiteral("frmDBVLinearity"));
    opens(m_ui->mnuAppliedRF, QStringLiteral("frmAppliedRF"));
    guarded(m_ui->mnuFilterConfig, QStringLiteral("frmCrystals"));
    guarded(m_ui->mnuSweepFilter, QStringLiteral("frmFilterSweep"));
    guarded(m_ui->mnuFilterSurvey, QStringLiteral("frmFilterSurvey"));
    guarded(m_ui->mnuMDS, QStringLiteral("frmMDS"));
    help(m_ui->mnuTutorial, kTutorialHelpFile, 1);
    help(m_ui->mnuOverview, kMainHelpFile, 13);
    help(m_ui->mnuWhat, kMainHelpFile, 14);
    help(m_ui->mnuComponents, kMainHelpFile, 15);
    help(m_ui->mnuSetup, kMainHelpFile, 17);
    help(m_ui->mnuDBVHelp, kMainHelpFile, 2);
    help(m_ui->mnuFSHelp, kMainHelpFile, 5);
    help(m_ui->mnuUserGuide, kUserGuideFile, 0);
    onTrigger(m_ui->mnuSaveRadioLog, [this] { saveRadioLog(); });
    opens(m_ui->mnuAbout, QStringLiteral("frmAbout"));
}

void frmMain::saveRadioLog() {
    if (!m_app.dialogs) return;
    const QDateTime when = m_now();
    FileDialogRequest request;
    request.title = QStringLiteral("Save Radio Log");
    request.filterLabel = QStringLiteral("Text files (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    request.proposedName = QStringLiteral("corvane-radio-log-") +
                           when.toString(QStringLiteral("yyyyMMdd-HHmm")) + QStringLiteral(".txt");
    request.initialFolder = initialFolderFor(m_radioLogPath);
    request.confirmReplace = true;
    const std::optional<QString> path = m_app.dialogs->saveFile(request);
    if (!path || path->isEmpty()) return;
    m_radioLogPath = *path;
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(CORVANE_VERSION_MAJOR)
                                .arg(CORVANE_VERSION_MINOR)
                                .arg(CORVANE_VERSION_PATCH);
    QString reason;
    const QStringList lines =
        m_connection.radioLog().fileLines(version, m_connection.portDescription(), when);
    if (!writeLineFile(*path, lines, &reason) && m_app.prompter)
        m_app.prompter->message(
            QStringLiteral("The radio log was not saved. The file %1 could not be written: %2")
                .arg(*path, reason),
            programTitle(), MessageIcon::Exclamation);
}

void frmMain::openGuarded(const QString &windowName) {
    if (m_connection.link().isConnected()) {
        m_windows.open(windowName);
        return;
    }
    if (m_app.prompter)
        m_app.prompter->message(
            QStringLiteral("Please connect to the K3 before loading this form."),
            QStringLiteral("Serial Port Status"), MessageIcon::Information);
}

void frmMain::exitProgram() {
    if (m_app.prompter)
        restoreAutoInfo(m_connection.link(), *m_app.prompter, m_connection.autoInfo());
    m_connection.closePort();
    endProgram();
}

void frmMain::closeEvent(QCloseEvent *event) {
    event->accept();
    if (m_ending) return;
    m_connection.closePort();
    endProgram();
}

void frmMain::endProgram() {
    m_ending = true;
    if (m_endProgram) m_endProgram();
}

}  // namespace corvane
