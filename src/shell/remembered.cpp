#include "shell/remembered.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

#include "core/ui/formwindow.h"

namespace corvane {

namespace {
const char kPlaceRestored[] = "corvanePlaceRestored";

// One control of a remembered area: takes its stored value, writes every change.
void bindControl(QWidget *control, QSettings &settings, const QString &key) {
    const QVariant stored = settings.value(key);
    const auto store = [&settings, key](const QVariant &value) { settings.setValue(key, value); };
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        if (box->isReadOnly()) return;
        if (stored.isValid()) box->setText(stored.toString());
        QObject::connect(box, &QLineEdit::textChanged, box, store);
    } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
        if (stored.isValid()) box->setChecked(stored.toBool());
        QObject::connect(box, &QCheckBox::toggled, box, store);
    } else if (auto *box = qobject_cast<QComboBox *>(control)) {
        // By the item's text: the items' order may change between versions.
        if (stored.isValid()) {
            const int index = box->findText(stored.toString(), Qt::MatchExactly);
            if (index >= 0)
                box->setCurrentIndex(index);
            else if (box->isEditable())
                box->setEditText(stored.toString());
        }
        QObject::connect(box, &QComboBox::currentTextChanged, box, store);
    } else if (auto *box = qobject_cast<QDoubleSpinBox *>(control)) {
        if (stored.isValid()) box->setValue(stored.toDouble());
        QObject::connect(box, &QDoubleSpinBox::valueChanged, box, store);
    } else if (auto *box = qobject_cast<QSpinBox *>(control)) {
        if (stored.isValid()) box->setValue(stored.toInt());
        QObject::connect(box, &QSpinBox::valueChanged, box, store);
    }
}
}  // namespace

WindowPlaces::WindowPlaces(QSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings) {}

void WindowPlaces::watchApplication() {
    qApp->installEventFilter(this);
}

QString WindowPlaces::keyOf(const QWidget &window) {
    return QStringLiteral("windows/") + window.objectName();
}

bool WindowPlaces::isRemembered(const QWidget &widget) {
    // The program's own windows carry the frm prefix; boxes and dialogs of Qt's do not.
    const Qt::WindowType type = widget.windowType();
    return widget.isWindow() && (type == Qt::Window || type == Qt::Dialog) &&
           widget.objectName().startsWith(QLatin1String("frm"));
}

bool WindowPlaces::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    auto *window = qobject_cast<QWidget *>(watched);
    if (!window || !isRemembered(*window)) return false;
    if (type == QEvent::Hide) {
        save(*window);
    } else if (!window->property(kPlaceRestored).toBool()) {
        window->setProperty(kPlaceRestored, true);
        const QByteArray place = m_settings.value(keyOf(*window)).toByteArray();
        if (!place.isEmpty()) window->restoreGeometry(place);
    }
    return false;
}

void WindowPlaces::save(const QWidget &window) {
    m_settings.setValue(keyOf(window), window.saveGeometry());
}

void WindowPlaces::saveShownWindows() {
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && isRemembered(*window)) save(*window);
    m_settings.sync();
}

void rememberControls(FormWindow &window, const QString &area, QSettings &settings,
                      const QString &group) {
    const auto bind = [&window, area, &settings, group] {
        auto *frame = window.findChild<QWidget *>(area);
        if (!frame) return;
        for (QWidget *control : frame->findChildren<QWidget *>())
            // Not the line edits inside combo and spin boxes: the boxes themselves.
            if (!control->objectName().isEmpty() &&
                !control->objectName().startsWith(QLatin1String("qt_")) &&
                !qobject_cast<QComboBox *>(control->parentWidget()))
                bindControl(control, settings, group + u'/' + control->objectName());
    };
    if (window.isLoaded())
        bind();
    else
        QObject::connect(&window, &FormWindow::loaded, &window, bind);
}

bool forgetRememberedSettings(QSettings &settings, QString *reason) {
    settings.clear();
    settings.sync();
    if (settings.status() == QSettings::NoError) return true;
    if (reason)
        *reason = settings.status() == QSettings::AccessError
                      ? QStringLiteral("the settings file cannot be written")
                      : QStringLiteral("the settings file cannot be read");
    return false;
}

}  // namespace corvane
