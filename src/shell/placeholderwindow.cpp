#include "shell/placeholderwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

PlaceholderWindow::PlaceholderWindow(const QString &caption, QWidget *parent) : FormWindow(parent) {
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(caption, this);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);
    auto *text = new QLabel(
        tr("This window comes in a later version of Corvane. The menu item is in place so "
           "that you can see where it will be."),
        this);
    text->setObjectName(QStringLiteral("lblPlaceholder"));
    text->setWordWrap(true);
    auto *close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &FormWindow::hideForm);
    setCancelButton(close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, 160);
}

WindowRegistry::Factory PlaceholderWindow::factory(const QString &caption) {
    return [caption](const WindowContext &context) {
        return new PlaceholderWindow(caption, context.owner);
    };
}

}  // namespace corvane
