#pragma once
// The base of every modeless window of the program.
//  - A Close button calls hideForm(): the window is hidden and keeps its lists, boxes and
//    flags for the next time it is shown.
//  - Closing it with the window frame unloads it: the object is deleted (later), so whoever
//    holds it through a QPointer builds a new one, whose load steps run again.
//  - load() runs the window's load steps once, the first time the window is referred to;
//    the window registry calls it right after building the window.

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>

namespace corvane {

// A dialog underneath so that a default button answers Enter; shown modeless, it is an
// ordinary window with its own frame.
class FormWindow : public QDialog {
    Q_OBJECT
public:
    explicit FormWindow(QWidget *parent = nullptr);

    // Runs loadForm() the first time; later calls do nothing.
    void load();
    bool isLoaded() const { return m_loaded; }
    // Shows the window in front (loading it first when needed).
    void showForm();
    // What a Close button does.
    void hideForm();
    // True once the frame has closed the window: it is about to be deleted.
    bool isUnloading() const { return m_unloading; }
    // The button Escape presses (the About box's OK). Without one Escape does nothing.
    void setCancelButton(QAbstractButton *button);

    // Escape: presses the cancel button, never hides the window by itself.
    void reject() override;

signals:
    void loaded();
    // The window was closed by its frame and will be deleted.
    void unloading();

protected:
    // The window's load steps (fill combo boxes, set label texts, ...).
    virtual void loadForm() {}
    // Frame-close: by default unloads the window. A window that must not be unloaded (the
    // connection dialog owns the port) overrides this.
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QAbstractButton> m_cancelButton;
    bool m_loaded = false;
    bool m_unloading = false;
};

}  // namespace corvane
