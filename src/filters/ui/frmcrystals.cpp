#include "filters/ui/frmcrystals.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/progresstext.h"
#include "core/ui/progressline.h"
#include "core/ui/windowregistry.h"
#include "ui_frmcrystals.h"

namespace corvane {

namespace {

// What the sub-receiver's window has instead of the main receiver's.
struct WindowTraits {
    const char *name;
    const char *switchButton;
    const char *switchCaption;
    Receiver twin;
};

const WindowTraits &traitsOf(Receiver receiver) {
    static const WindowTraits main{"frmCrystals", "cmdSubCrystals", "S&ub-Receiver Crystals Form",
                                   Receiver::Sub};
    static const WindowTraits sub{"frmCrystalsSub", "cmdMainCrystals",
                                  "M&ain Receiver Crystals Form", Receiver::Main};
    return receiver == Receiver::Main ? main : sub;
}

const QString kReady = QStringLiteral("Ready.");

}  // namespace

// The settings table as this window shows it, and the progress line.
class frmCrystals::Sink : public FilterTableSink {
public:
    explicit Sink(frmCrystals &window) : m_window(window) {}
    void showSettings(int slot, const QString &bandwidth, const QString &offset,
                      const QString &lossComp) override {
        const auto &boxes = m_window.m_boxes[size_t(slot - 1)];
        boxes[0]->setText(bandwidth);
        boxes[1]->setText(offset);
        boxes[2]->setText(lossComp);
    }
    void showReceive(int slot, int modeNumber, bool enabled) override {
        m_window.m_checks[size_t(slot - 1)][size_t(modeNumber)]->setChecked(enabled);
    }
    // The boxes column by column, then the check boxes row by row (CW, LSB, USB, Data, AM,
    // FM), each row from Filter 1 to Filter 5.
    void clearTable() override {
        for (const auto &column : m_window.m_boxes)
            for (QLineEdit *box : column) box->clear();
        for (const int mode : receiveRowModes())
            for (const auto &column : m_window.m_checks) column[size_t(mode)]->setChecked(false);
    }
    void progress(const QString &text, qint64) override {
        m_window.showProgress(text.isEmpty() ? kReady : text + QStringLiteral("..."));
    }

private:
    frmCrystals &m_window;
};

QString frmCrystals::windowName(Receiver receiver) {
    return QLatin1String(traitsOf(receiver).name);
}

frmCrystals::frmCrystals(const AppContext &context, WindowRegistry &windows, Receiver receiver,
                         QWidget *parent)
    : FormWindow(parent),
      m_ui(std::make_unique<Ui::frmCrystals>()),
      m_context(context),
      m_windows(windows),
      m_receiver(receiver),
      m_sink(std::make_unique<Sink>(*this)) {
    m_ui->setupUi(this);
    const WindowTraits &traits = traitsOf(receiver);
    setObjectName(QLatin1String(traits.name));
    setWindowTitle(filterWindowTitle(receiver));
    m_switchButton = m_ui->cmdSubCrystals;
    m_switchButton->setObjectName(QLatin1String(traits.switchButton));
    m_switchButton->setText(QLatin1String(traits.switchCaption));

    static const char *const kBoxRows[] = {"BW", "FO", "LC"};
    static const char *const kCheckRows[] = {"", "LSB", "USB", "CW", "FM", "AM", "Dat"};
    for (int slot = 1; slot <= kFilterSlots; ++slot) {
        for (size_t row = 0; row < 3; ++row)
            m_boxes[size_t(slot - 1)][row] = findChild<QLineEdit *>(
                QStringLiteral("txtFilter%1%2").arg(slot).arg(QLatin1String(kBoxRows[row])));
        for (int mode = 1; mode <= kFilterModes; ++mode) {
            QCheckBox *check = findChild<QCheckBox *>(
                QStringLiteral("chkFilter%1%2").arg(slot).arg(QLatin1String(kCheckRows[mode])));
            check->installEventFilter(this);
            m_checks[size_t(slot - 1)][size_t(mode)] = check;
        }
    }

    connect(m_ui->cmdEnable, &QPushButton::clicked, this, [this] { run(Action::Enable); });
    connect(m_ui->cmdDisable, &QPushButton::clicked, this, [this] { run(Action::Disable); });
    connect(m_ui->cmdFilterBW, &QPushButton::clicked, this,
            [this] { run(Action::BandwidthReadout); });
    connect(m_ui->cmdFilterRec, &QPushButton::clicked, this,
            [this] { run(Action::ReceiveReadout); });
    connect(m_ui->cmdClearForm, &QPushButton::clicked, this, &frmCrystals::clearForm);
    connect(m_switchButton, &QPushButton::clicked, this, &frmCrystals::switchToTwin);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmCrystals::closeForm);
}

frmCrystals::~frmCrystals() = default;

void frmCrystals::loadForm() {
    m_ui->cboSelectMode->clear();
    for (const FilterMode &mode : filterModeTable())
        m_ui->cboSelectMode->addItem(QLatin1String(mode.listText), mode.number);
    m_ui->cboSelectFilter->clear();
    for (int slot = 1; slot <= kFilterSlots; ++slot)
        m_ui->cboSelectFilter->addItem(QStringLiteral("Filter %1").arg(slot), slot);
    // No selection: the combo boxes show "Select Mode" and "Select Filter".
    m_ui->cboSelectMode->setCurrentIndex(-1);
    m_ui->cboSelectFilter->setCurrentIndex(-1);
    showProgress(kReady);
}

void frmCrystals::closeEvent(QCloseEvent *event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

bool frmCrystals::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            return key == Qt::Key_Space || key == Qt::Key_Select;
        }
        default:
            return FormWindow::eventFilter(watched, event);
    }
}

void frmCrystals::showProgress(const QString &text) {
    setProgressLine(*m_ui->lblProgress, text);
}

void frmCrystals::setBusy(bool busy) {
    m_busy = busy;
    for (QPushButton *button :
         {m_ui->cmdEnable, m_ui->cmdDisable, m_ui->cmdFilterBW, m_ui->cmdFilterRec,
          m_ui->cmdClearForm, m_switchButton, m_ui->cmdClose})
        button->setEnabled(!busy);
}

void frmCrystals::run(Action action) {
    if (m_busy || !m_context.link || !m_context.prompter) return;
    const auto selected = [](const QComboBox *combo) -> std::optional<int> {
        if (combo->currentIndex() < 0) return std::nullopt;
        return combo->currentData().toInt();
    };
    // The buttons stay off until the procedure has returned: what was clicked meanwhile
    // reaches them disabled (link/procedurefaults.h, LinkHold).
    setBusy(true);
    const PromptOwner owner(*m_context.prompter, this);
    CrystalFilters filters(*m_context.link, *m_context.prompter, m_receiver, m_fields, *m_sink);
    bool portFailed = false;
    switch (action) {
        case Action::Enable:
        case Action::Disable: {
            const std::optional<int> mode = selected(m_ui->cboSelectMode);
            const std::optional<int> slot = selected(m_ui->cboSelectFilter);
            portFailed = (action == Action::Enable ? filters.enableReceive(mode, slot)
                                                   : filters.disableReceive(mode, slot)) ==
                         FilterOperationEnd::PortFailed;
            if (portFailed) showProgress(QStringLiteral("Connection lost"));
            break;
        }
        case Action::BandwidthReadout:
        case Action::ReceiveReadout:
            portFailed = !(action == Action::BandwidthReadout ? filters.bandwidthReadout()
                                                              : filters.receiveReadout()) &&
                         m_context.link->portLost();
            if (portFailed)
                showProgress(lostConnectionText(filters.passesDone(), filters.passCount(),
                                                QStringLiteral("passes")));
            break;
    }
    setBusy(false);
}

void frmCrystals::clearForm() {
    if (m_busy) return;
    m_sink->clearTable();
}

void frmCrystals::switchToTwin() {
    if (m_busy) return;
    hideForm();
    m_windows.show(windowName(traitsOf(m_receiver).twin));
}

void frmCrystals::closeForm() {
    if (m_busy) return;
    m_sink->clearTable();
    hideForm();
}

}  // namespace corvane
