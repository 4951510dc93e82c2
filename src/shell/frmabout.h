#pragma once
// The About box: title, version, description and disclaimer. OK (Enter or Escape) closes
// and destroys it; System Info looks for the system information tool.

#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"

namespace Ui {
class frmAbout;
}

namespace corvane {

class frmAbout : public FormWindow {
    Q_OBJECT
public:
    explicit frmAbout(const AppContext &app, QWidget *parent = nullptr);
    ~frmAbout() override;

    // "Version 1.0.4", from the build's version numbers.
    static QString versionText();
    static QString disclaimerText();

private:
    const AppContext &m_app;
    std::unique_ptr<Ui::frmAbout> m_ui;
};

}  // namespace corvane
