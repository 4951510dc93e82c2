#include "menus/ui/frmconfigsettings.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>

#include "core/progresstext.h"
#include "core/ui/progressline.h"
#include "link/portnames.h"
#include "link/procedurefaults.h"
#include "menus/menureports.h"
#include "menus/menusettingsfile.h"
#include "radio/k3settings.h"
#include "ui_frmconfigsettings.h"

namespace corvane {

namespace {
const QColor kChangedColour(0x00, 0x4c, 0xa3);
}  // namespace

// A report's lines into one of the two lists, its progress into the progress line.
class frmConfigSettings::ListSink : public menus::MenuReportSink {
public:
    ListSink(ResultsList &list, QLabel &progress) : m_list(list), m_progress(progress) {}

    void clearLines() override { m_list.clear(); }
    void appendLine(const QString &line, bool changed) override { add(line, changed, QString()); }
    void appendItem(const menus::MenuItem &, const QString &, const QString &line, bool changed,
                    const QString &note) override {
        add(line, changed, note);
    }
    void readingItem(int number, int count, const QString &label) override {
        setProgressLine(m_progress, menus::readingText(number, count, label));
    }

private:
    void add(const QString &line, bool changed, const QString &note) {
        auto *item = new QListWidgetItem(line);
        if (changed) {
            QFont font = m_list.font();
            font.setBold(true);
            item->setFont(font);
            item->setForeground(kChangedColour);
            const QString description =
                note.isEmpty() ? changedDescription() : changedDescription() + u':' + u' ' + note;
            item->setData(Qt::AccessibleDescriptionRole, description);
            item->setToolTip(description);
            item->setData(ResultsList::NoteRole, note);
        }
        m_list.addItem(item);
        m_list.scrollToItem(item);
    }

    ResultsList &m_list;
    QLabel &m_progress;
};

frmConfigSettings::frmConfigSettings(const AppContext &app, QWidget *parent)
    : FormWindow(parent), m_ui(std::make_unique<Ui::frmConfigSettings>()), m_app(app) {
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("frmConfigSettings"));
    // Label, setting and default line up in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_ui->lstMain->setFont(fixed);
    m_ui->lstConfig->setFont(fixed);
    // The lines keep the radio program's tabs (the file is written from them); on screen
    // the three columns line up whatever the tabs.
    m_ui->lstMain->setAlignedColumns(true);
    m_ui->lstConfig->setAlignedColumns(true);

    connect(m_ui->cmdMainMenu, &QPushButton::clicked, this, [this] { runReport(Report::Main); });
    connect(m_ui->cmdConfigMenu, &QPushButton::clicked, this,
            [this] { runReport(Report::Config); });
    connect(m_ui->cmdSaveMain, &QPushButton::clicked, this, &frmConfigSettings::saveSettings);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
}

frmConfigSettings::~frmConfigSettings() = default;

QString frmConfigSettings::changedDescription() {
    return tr("Changed from the default");
}

void frmConfigSettings::loadForm() {
    if (!m_app.link) return;
    // Opened while another window's procedure holds the link (it yields between its
    // steps): no menu command goes out among its exchanges; the first report switches
    // TECH MD on instead.
    m_techModePending = true;
    if (m_app.prompter && refuseWhileBusy(*m_app.link, *m_app.prompter)) return;
    switchTechModeOn();
}

bool frmConfigSettings::switchTechModeOn() {
    m_app.link->clearError();
    const k3settings::TechModeReading reading = k3settings::enableTechMode(*m_app.link);
    if (m_app.link->lastError().isError()) {
        tellPortError(tr("TECH MD could not be switched on."));
        return false;
    }
    // Not switched on a display that could not be read; the next report tries again. The
    // reports themselves change nothing, so they still run.
    if (reading == k3settings::TechModeReading::Unread) {
        if (m_app.prompter)
            m_app.prompter->message(k3settings::kTechModeUnreadText,
                                    k3settings::kTechModeUnreadTitle, MessageIcon::Exclamation);
        return true;
    }
    m_techModePending = false;
    return true;
}

void frmConfigSettings::closeEvent(QCloseEvent *event) {
    if (m_reportRunning) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

void frmConfigSettings::runReport(Report report) {
    if (!m_app.link || !m_app.prompter || m_reportRunning) return;
    // Another window's procedure may hold the link while it yields: refused, and named.
    if (refuseWhileBusy(*m_app.link, *m_app.prompter)) return;
    const bool isMain = report == Report::Main;
    ListSink sink(isMain ? *m_ui->lstMain : *m_ui->lstConfig, *m_ui->lblProgress);
    m_reportRunning = true;
    setButtonsEnabled(false);
    const PromptOwner owner(*m_app.prompter, this);
    menus::ReportOutcome outcome;
    {
        const LinkHold hold(
            *m_app.link,
            (isMain ? m_ui->cmdMainMenu->text() : m_ui->cmdConfigMenu->text()).remove(u'&'),
            windowTitle());
        if (!m_techModePending || switchTechModeOn())
            outcome = isMain ? menus::mainMenuReport(*m_app.link, sink)
                             : menus::configMenuReport(*m_app.link, sink);
    }
    // The buttons come back once the hold has delivered what was clicked meanwhile.
    setButtonsEnabled(true);
    m_reportRunning = false;
    if (outcome.isComplete()) {
        setProgressLine(*m_ui->lblProgress, QString());
        if (!outcome.unread.isEmpty())
            m_app.prompter->message(menus::unreadItemsText(outcome.unread),
                                    tr("Menu Settings Not Read"), MessageIcon::Exclamation);
        return;
    }
    setProgressLine(
        *m_ui->lblProgress,
        lostConnectionText(outcome.failedItem - 1, outcome.itemCount, QStringLiteral("items")));
    tellPortError(menus::stoppedReportText(outcome));
}

void frmConfigSettings::saveSettings() {
    if (!m_app.dialogs) return;
    const menus::SaveOutcome outcome =
        menus::saveMenuSettings(*m_app.dialogs, m_ui->txtFileName->text(), m_ui->lstMain->lines(),
                                m_ui->lstConfig->lines(), QDateTime::currentDateTime());
    if (!outcome.path) return;
    m_ui->txtFileName->setText(*outcome.path);
    if (!outcome.error.isEmpty() && m_app.prompter)
        m_app.prompter->message(menus::saveFailureText(*outcome.path, outcome.error),
                                menus::kSaveDialogTitle, MessageIcon::Exclamation);
}

void frmConfigSettings::setButtonsEnabled(bool enabled) {
    for (QPushButton *button :
         {m_ui->cmdMainMenu, m_ui->cmdConfigMenu, m_ui->cmdSaveMain, m_ui->cmdClose})
        button->setEnabled(enabled);
}

void frmConfigSettings::tellPortError(const QString &what) {
    if (!m_app.prompter) return;
    const Transport *port = m_app.link->transport();
    const QString text = portErrorText(m_app.link->lastError(), port ? port->name() : QString());
    m_app.prompter->message(text + u'\n' + what, kPortErrorTitle, MessageIcon::Critical);
}

}  // namespace corvane
