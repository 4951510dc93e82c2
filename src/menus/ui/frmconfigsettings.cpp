#include "menus/ui/frmconfigsettings.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>

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
    void appendLine(const QString &line, bool changed) override {
        auto *item = new QListWidgetItem(line);
        if (changed) {
            QFont font = m_list.font();
            font.setBold(true);
            item->setFont(font);
            item->setForeground(kChangedColour);
            item->setData(Qt::AccessibleDescriptionRole, changedDescription());
            item->setToolTip(changedDescription());
        }
        m_list.addItem(item);
        m_list.scrollToItem(item);
    }
    void readingItem(int number, int count, const QString &label) override {
        m_progress.setText(menus::readingText(number, count, label));
    }

private:
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
    m_app.link->clearError();
    k3settings::enableTechMode(*m_app.link);
    if (m_app.link->lastError().isError()) tellPortError(tr("TECH MD could not be switched on."));
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
    const LinkHold hold(
        *m_app.link,
        (isMain ? m_ui->cmdMainMenu->text() : m_ui->cmdConfigMenu->text()).remove(u'&'),
        windowTitle());
    ListSink sink(isMain ? *m_ui->lstMain : *m_ui->lstConfig, *m_ui->lblProgress);
    m_reportRunning = true;
    setButtonsEnabled(false);
    const menus::ReportOutcome outcome = isMain ? menus::mainMenuReport(*m_app.link, sink)
                                                : menus::configMenuReport(*m_app.link, sink);
    m_ui->lblProgress->clear();
    setButtonsEnabled(true);
    m_reportRunning = false;
    if (!outcome.isComplete()) tellPortError(menus::stoppedReportText(outcome));
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
