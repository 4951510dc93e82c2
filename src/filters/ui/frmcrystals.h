#pragma once
// frmCrystals and frmCrystalsSub, the twin crystal filter windows: "Main Receiver Crystal
// Filters Configuration" and "Sub-Receiver Crystal Filters Configuration". One class and one
// form serve both; what differs (name, caption, the button to the twin window, the taps the
// procedures add on the sub-receiver) is data. Each enables or disables a filter slot for
// receive in a mode and fills the settings table from the radio's readouts; the procedures
// are CrystalFilters, this class only binds.

#include <QPointer>
#include <array>
#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"
#include "filters/crystalfilters.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace Ui {
class frmCrystals;
}

namespace corvane {

class WindowRegistry;

class frmCrystals : public FormWindow {
    Q_OBJECT
public:
    frmCrystals(const AppContext &context, WindowRegistry &windows, Receiver receiver,
                QWidget *parent = nullptr);
    ~frmCrystals() override;

    // The window's name for the registry: "frmCrystals" / "frmCrystalsSub".
    static QString windowName(Receiver receiver);

    Receiver receiver() const { return m_receiver; }
    const FilterWindowFields &fields() const { return m_fields; }
    // An operation or readout is under way (Enable/Disable yield while they look for a slot).
    bool isBusy() const { return m_busy; }

protected:
    void loadForm() override;
    // The frame cannot unload the window while an operation is under way.
    void closeEvent(QCloseEvent *event) override;
    // The check boxes only display: clicks and the space bar do not change them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Sink;
    enum class Action { Enable, Disable, BandwidthReadout, ReceiveReadout };

    void run(Action action);
    void clearForm();
    void switchToTwin();
    void closeForm();
    // The window's buttons off while its own operation or readout runs.
    void setBusy(bool busy);
    void showProgress(const QString &text);

    std::unique_ptr<Ui::frmCrystals> m_ui;
    AppContext m_context;
    WindowRegistry &m_windows;
    Receiver m_receiver;
    FilterWindowFields m_fields;
    std::array<std::array<QLineEdit *, 3>, kFilterSlots> m_boxes{};
    // By slot, then by mode number (index 0 unused).
    std::array<std::array<QCheckBox *, kFilterModes + 1>, kFilterSlots> m_checks{};
    QPushButton *m_switchButton = nullptr;
    std::unique_ptr<Sink> m_sink;
    bool m_busy = false;
};

}  // namespace corvane
