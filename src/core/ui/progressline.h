#pragma once
// A test window's progress line: the label that says where a test is ("Step 2 of 3, about
// 21 s left", worded by core/progresstext.h). The same text is the label's and the progress
// bar's accessible description, so a screen reader that reads the bar reads where the test
// is rather than just its name; assistive technology is told each time it changes.

#include <QString>

class QLabel;
class QWidget;

namespace corvane {

void setProgressLine(QLabel &label, const QString &text, QWidget *progressBar = nullptr);

}  // namespace corvane
