#include "shell/frmabout.h"

#include "shell/sysinfo.h"
#include "ui_frmabout.h"

namespace corvane {

namespace {
constexpr char kContactAddress[] = "corvane-dev@lists.corvane.org";
}

frmAbout::frmAbout(const AppContext &app, QWidget *parent)
    : FormWindow(parent), m_app(app), m_ui(std::make_unique<Ui::frmAbout>()) {
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("About ") + programTitle());
    m_ui->lblTitle->setText(programTitle());
    m_ui->lblVersion->setText(versionText());
    m_ui->lblDisclaimer->setText(disclaimerText());
    setCancelButton(m_ui->cmdOK);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->cmdSysInfo, &QPushButton::clicked, this, [this] {
        if (m_app.prompter) startSysInfo(*m_app.prompter);
    });
    setFixedWidth(520);
}

frmAbout::~frmAbout() = default;

QString frmAbout::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

QString frmAbout::disclaimerText() {
    return QStringLiteral(
               "Disclaimer: This software is provided as is without warranty or promises that it "
               "will function as intended in the user's environment. Please report problems to ") +
           QLatin1String(kContactAddress) + u'.';
}

}  // namespace corvane
