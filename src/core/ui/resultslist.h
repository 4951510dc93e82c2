#pragma once
// A window's list of result lines. Columns are separated by tab characters and line up on
// tab stops every eight average character widths of the list's font, as a plain list box
// shows them. The lines are the display, the content of a saved file and the printout, so
// the list keeps each line exactly as added.

#include <QListWidget>
#include <QStringList>
#include <QVector>

class QFontMetrics;

namespace corvane {

class ResultsList : public QListWidget {
    Q_OBJECT
public:
    explicit ResultsList(QWidget *parent = nullptr);

    void appendLine(const QString &line);
    void appendLines(const QStringList &lines);
    // Selects the last line and scrolls to it (the list follows a running test).
    void selectLast();
    QStringList lines() const;
    // Keeps the list at least wide enough to show each of `lines` whole (the report's
    // "=====" rules, say) beside its vertical scroll bar, in the list's present font.
    void fitWidthTo(const QStringList &lines);

    // Width of one tab stop: eight average character widths.
    static int tabStopWidth(const QFontMetrics &metrics);
    // Where each tab-separated field of `line` starts, in pixels from the text's left edge:
    // the first at 0, each next one at the first tab stop after the end of the field before.
    static QVector<int> fieldPositions(const QString &line, const QFontMetrics &metrics);
};

}  // namespace corvane
