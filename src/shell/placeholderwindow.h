#pragma once
// Stands in for a window that this version of the program does not have yet: it carries the
// window's caption and says so plainly, with a Close button that hides it.

#include "core/ui/formwindow.h"
#include "core/ui/windowregistry.h"

namespace corvane {

class PlaceholderWindow : public FormWindow {
    Q_OBJECT
public:
    PlaceholderWindow(const QString &caption, QWidget *parent = nullptr);

    // A registry factory for a placeholder with this caption.
    static WindowRegistry::Factory factory(const QString &caption);
};

}  // namespace corvane
