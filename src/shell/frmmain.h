#pragma once
// The main window: the sample sweep picture and the program's only menu. It opens every
// other window (through the window registry), refuses the radio windows until the port is
// open, and owns the two ways of ending the program: File, Exit (which first puts the
// radio's auto-info mode back when the connect changed it) and the close box.

#include <QDateTime>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "core/appcontext.h"
#include "core/ui/windowregistry.h"

namespace Ui {
class frmMain;
}

namespace corvane {

class ConnectionController;
class MenuHelpFilter;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain(const AppContext &app, ConnectionController &connection, QWidget *parent = nullptr);
    ~frmMain() override;

    WindowRegistry &windows() { return m_windows; }
    // How the program ends; the default leaves the event loop at once, so no other window
    // runs its closing steps. Tests record the call instead.
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }

    // File, Exit.
    void exitProgram();
    // A guarded item: the window when the port is open, otherwise the "Serial Port Status"
    // message.
    void openGuarded(const QString &windowName);
    // Help, Save Radio Log...: the session's radio log into a text file the user names.
    void saveRadioLog();
    // The time written into the log's heading (tests fix it).
    void setClockForFiles(std::function<QDateTime()> now) { m_now = std::move(now); }

protected:
    // The close box: close the port and end, without putting auto-info back.
    void closeEvent(QCloseEvent *event) override;

private:
    void bindMenus();
    void endProgram();

    const AppContext &m_app;
    ConnectionController &m_connection;
    std::unique_ptr<Ui::frmMain> m_ui;
    WindowRegistry m_windows;
    MenuHelpFilter *m_menuHelp;
    std::function<void()> m_endProgram;
    std::function<QDateTime()> m_now;
    QString m_radioLogPath;  // where the log was saved last
    bool m_ending = false;
};

}  // namespace corvane
