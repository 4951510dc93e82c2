#include "core/ui/resultslist.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace corvane {

namespace {

constexpr int kCharsPerTabStop = 8;

// Draws an item's text field by field on the list's tab stops.
class TabStopDelegate : public QStyledItemDelegate {
public:
    explicit TabStopDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

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
        const QStringList fields = line.split(u'\t');
        const QVector<int> xs = ResultsList::fieldPositions(line, opt.fontMetrics);
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
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        const QStringList fields = line.split(u'\t');
        const QVector<int> xs = ResultsList::fieldPositions(line, opt.fontMetrics);
        const int width = xs.last() + opt.fontMetrics.horizontalAdvance(fields.last());
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // The base hint measured the tabs as the font draws them; use the tab-stop layout.
        const int frame = size.width() - opt.fontMetrics.horizontalAdvance(line);
        size.setWidth(width + qMax(frame, 8));
        return size;
    }
};

}  // namespace

ResultsList::ResultsList(QWidget *parent) : QListWidget(parent) {
    setItemDelegate(new TabStopDelegate(this));
    setUniformItemSizes(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAccessibleName(tr("Results"));
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
