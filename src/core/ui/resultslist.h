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
    // An item's note, drawn after its line in italics (it is not part of the line).
    static constexpr int NoteRole = Qt::UserRole + 1;

    explicit ResultsList(QWidget *parent = nullptr);
    // The list view's own destructor clears the model after this part is gone: stop listening
    // to the model first.
    ~ResultsList() override;

    // Columns instead of tab stops: the fields of a line, separated by one or more tabs, line
    // up in columns as wide as the widest field of each column (lines of one field, such as a
    // title, do not count). The lines themselves stay as added.
    void setAlignedColumns(bool aligned);
    bool alignedColumns() const { return m_aligned; }
    // Where each field of `line` starts, in pixels from the text's left edge, as the list
    // draws it (tab stops, or its columns when aligned).
    QVector<int> drawnPositions(const QString &line, const QFontMetrics &metrics) const;
    // The fields of a line as drawn: split at every tab, or at every run of tabs when aligned.
    QStringList drawnFields(const QString &line) const;

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

private:
    bool m_aligned = false;
    mutable QVector<int> m_columnWidths;
    mutable bool m_columnsKnown = false;
};

}  // namespace corvane
