#include "core/ui/progressline.h"

#include <QLabel>

namespace corvane {

void setProgressLine(QLabel &label, const QString &text, QWidget *progressBar) {
    label.setText(text);
    // Qt announces a description change to assistive technology itself.
    label.setAccessibleDescription(text);
    if (progressBar) progressBar->setAccessibleDescription(text);
}

}  // namespace corvane
