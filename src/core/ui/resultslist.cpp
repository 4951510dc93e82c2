#include "core/ui/resultslist.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <algorithm>

namespace corvane {

namespace {

constexpr int kCharsPerTabStop = 8;

// Draws an item's text field by field on the list's tab stops (or in its columns).
class TabStopDelegate : public QStyledItemDelegate {
public:
    explicit TabStopDelegate(ResultsList *list) : QStyledItemDelegate(list), m_list(*list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QStringList fields = m_list.drawnFields(line);
        const QVector<int> xs = m_list.drawnPositions(line, opt.fontMetrics);
        const QPalette::ColorRole role =
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled, role));
        for (int i = 0; i < fields.size(); ++i) {
            QRect r = textRect;
            r.setLeft(textRect.left() + xs.at(i));
            r.setWidth(opt.fontMetrics.horizontalAdvance(fields.at(i)) + 1);
            painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                              fields.at(i));
        }
        const QString note = index.data(ResultsList::NoteRole).toString();
        if (!note.isEmpty()) {
            QFont italic = opt.font;
            italic.setItalic(true);
            painter->setFont(italic);
            QRect r = textRect;
            r.setLeft(textRect.left() + noteOffset(line, opt.fontMetrics));
            painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, note);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        const QStringList fields = m_list.drawnFields(line);
        const QVector<int> xs = m_list.drawnPositions(line, opt.fontMetrics);
        int width = xs.last() + opt.fontMetrics.horizontalAdvance(fields.last());
        const QString note = index.data(ResultsList::NoteRole).toString();
        if (!note.isEmpty())
            width = noteOffset(line, opt.fontMetrics) + opt.fontMetrics.horizontalAdvance(note);
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // The base hint measured the tabs as the font draws them; use the tab-stop layout.
        const int frame = size.width() - opt.fontMetrics.horizontalAdvance(line);
        size.setWidth(width + qMax(frame, 8));
        return size;
    }

private:
    // The note starts two characters after the line's last field.
    int noteOffset(const QString &line, const QFontMetrics &metrics) const {
        const QStringList fields = m_list.drawnFields(line);
        return m_list.drawnPositions(line, metrics).last() +
               metrics.horizontalAdvance(fields.last()) + 2 * metrics.averageCharWidth();
    }

    ResultsList &m_list;
};

// Blank space between aligned columns, in average character widths.
constexpr int kColumnGapChars = 2;

}  // namespace

ResultsList::ResultsList(QWidget *parent) : QListWidget(parent) {
    setItemDelegate(new TabStopDelegate(this));
    setUniformItemSizes(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAccessibleName(tr("Results"));
    const auto forget = [this] { m_columnsKnown = false; };
    connect(model(), &QAbstractItemModel::rowsInserted, this, forget);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model(), &QAbstractItemModel::modelReset, this, forget);
    connect(model(), &QAbstractItemModel::dataChanged, this, forget);
}

ResultsList::~ResultsList() {
    disconnect(model(), nullptr, this, nullptr);
}

void ResultsList::setAlignedColumns(bool aligned) {
    m_aligned = aligned;
    m_columnsKnown = false;
    doItemsLayout();
}

QStringList ResultsList::drawnFields(const QString &line) const {
    if (!m_aligned) return line.split(u'\t');
    static const QRegularExpression tabs(QStringLiteral("\t+"));
    return line.split(tabs);
}

QVector<int> ResultsList::drawnPositions(const QString &line, const QFontMetrics &metrics) const {
    if (!m_aligned) return fieldPositions(line, metrics);
    if (!m_columnsKnown) {
        m_columnWidths.clear();
        for (int row = 0; row < count(); ++row) {
            const QStringList fields = drawnFields(item(row)->text());
            if (fields.size() < 2) continue;
            for (int i = 0; i < fields.size(); ++i) {
                if (m_columnWidths.size() <= i) m_columnWidths << 0;
                m_columnWidths[i] =
                    std::max(m_columnWidths[i], metrics.horizontalAdvance(fields[i]));
            }
        }
        m_columnsKnown = true;
    }
    const int gap = kColumnGapChars * metrics.averageCharWidth();
    const int fieldCount = int(drawnFields(line).size());
    QVector<int> xs;
    int x = 0;
    for (int i = 0; i < fieldCount; ++i) {
        xs << x;
        x += m_columnWidths.value(i) + gap;
    }
    return xs;
}

void ResultsList::appendLine(const QString &line) {
    addItem(line);
}

void ResultsList::appendLines(const QStringList &lines) {
    addItems(lines);
}

void ResultsList::selectLast() {
    if (count() == 0) return;
    setCurrentRow(count() - 1);
    scrollToBottom();
}

QStringList ResultsList::lines() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i) out << item(i)->text();
    return out;
}

void ResultsList::fitWidthTo(const QStringList &lines) {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &line : lines) {
        const QVector<int> xs = fieldPositions(line, metrics);
        widest = std::max(widest, xs.last() + metrics.horizontalAdvance(line.section(u'\t', -1)));
    }
    // The item's own text margins, the frame, and the scroll bar a long list shows.
    const int itemMargins =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setMinimumWidth(widest + itemMargins + 2 * frameWidth() + scrollBar);
}

int ResultsList::tabStopWidth(const QFontMetrics &metrics) {
    return qMax(1, kCharsPerTabStop * metrics.averageCharWidth());
}

QVector<int> ResultsList::fieldPositions(const QString &line, const QFontMetrics &metrics) {
    const int stop = tabStopWidth(metrics);
    const QStringList fields = line.split(u'\t');
    QVector<int> xs;
    xs.reserve(fields.size());
    int x = 0;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0) x = (x / stop + 1) * stop;  // the next tab stop after the text so far
        xs << x;
        x += metrics.horizontalAdvance(fields.at(i));
    }
    return xs;
}

}  // namespace corvane
