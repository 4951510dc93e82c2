#pragma once
// What the GUI remembers between runs, in the desktop's usual settings file (QSettings with
// the organisation and application names set in main()): where each window was and how
// large, and the choices in some windows' boxes. The connection dialog remembers its own
// port and baud rate, the file dialogs their folders (core/filedialogs.h).
// `corvane --reset-settings` forgets all of it.

#include <QObject>
#include <QString>

class QSettings;
class QWidget;

namespace corvane {

class FormWindow;

// Keeps every window's place: the first time a window is shown it goes where it was last
// (restoreGeometry), and its place is written when it is hidden and when the program ends.
// A window is known by its object name ("frmMain", "frmConnect", ...); message boxes and file
// dialogs are left to the desktop.
class WindowPlaces : public QObject {
    Q_OBJECT
public:
    explicit WindowPlaces(QSettings &settings, QObject *parent = nullptr);

    // Watch the windows of the application (an application-wide event filter).
    void watchApplication();
    // Writes the place of every window shown now (the program's end).
    void saveShownWindows();

    static QString keyOf(const QWidget &window);
    static bool isRemembered(const QWidget &widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save(const QWidget &window);

    QSettings &m_settings;
};

// Remembers the boxes, combo boxes, check boxes and spin boxes inside the child `area` of
// `window` (by object name) under `group`: once the window's load steps have run, each takes
// the value it had last, and every change is written at once.
void rememberControls(FormWindow &window, const QString &area, QSettings &settings,
                      const QString &group);

// Forgets everything remembered; false with the reason when the settings file cannot be
// written.
bool forgetRememberedSettings(QSettings &settings, QString *reason);

}  // namespace corvane
