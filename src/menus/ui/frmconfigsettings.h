#pragma once
// frmConfigSettings, "K3 Configuration Settings": the MAIN and CONFIG menu reports side by
// side and Save, which writes both lists into one text file. Loading the window turns the
// radio's TECH MD on (and nothing here turns it off again). Lines whose value differs from
// the default are shown in bold colour and say so to assistive technology; the lines
// themselves, and the file, are exactly as the reports make them.

#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"

namespace Ui {
class frmConfigSettings;
}

namespace corvane {

class ResultsList;

namespace menus {
struct ReportOutcome;
}

class frmConfigSettings : public FormWindow {
    Q_OBJECT
public:
    explicit frmConfigSettings(const AppContext &app, QWidget *parent = nullptr);
    ~frmConfigSettings() override;

    bool isReportRunning() const { return m_reportRunning; }

    // The accessible description of a line whose value differs from its default.
    static QString changedDescription();

protected:
    // EnableTechMode.
    void loadForm() override;
    // A running report holds on to this window: the frame cannot unload it meanwhile.
    void closeEvent(QCloseEvent *event) override;

private:
    class ListSink;
    enum class Report { Main, Config };

    void runReport(Report report);
    void saveSettings();
    void setButtonsEnabled(bool enabled);
    void tellPortError(const QString &what);
    // EnableTechMode; false (and the port error told) when the port failed.
    bool switchTechModeOn();

    std::unique_ptr<Ui::frmConfigSettings> m_ui;
    const AppContext &m_app;
    bool m_reportRunning = false;
    // The load step has not switched TECH MD on yet (the link was busy, or the port failed).
    bool m_techModePending = false;
};

}  // namespace corvane
