#include "proctor/results/list_helpers.h"

#include "platform/widgets/window_building.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace exam {

namespace {

// Rows with Chinese text would be taller than rows of digits (the fallback font has more height):
// one fixed height keeps row k of two lists side by side. The width is counted from the
// characters of the fixed-pitch font instead of laying the text out, so a list of thousands of rows
// is sized quickly.
class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    FixedHeightDelegate(const QFont &font, QObject *parent) : QStyledItemDelegate(parent)
    {
        const QFontMetrics metrics(font);
        m_height =
            std::max(metrics.height(), metrics.boundingRect(QStringLiteral("张")).height()) + 2;
        m_narrowWidth = metrics.horizontalAdvance(u'_');
        m_wideWidth = std::max(metrics.horizontalAdvance(QStringLiteral("张")), 2 * m_narrowWidth);
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        int width = 2 * m_narrowWidth;
        for (const QChar c : text)
            width += c.unicode() < 0x1100 ? m_narrowWidth : c.isLowSurrogate() ? 0 : m_wideWidth;
        return {width, m_height};
    }

private:
    int m_height = 0;
    int m_narrowWidth = 0;
    int m_wideWidth = 0;
};

} // namespace

QListWidget *makeRowList(const QString &objectName, const QString &toolTip, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setToolTip(toolTip);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setItemDelegate(new FixedHeightDelegate(list->font(), list));
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The padding underscores run on; cutting them with an ellipsis would hide the last field.
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

QPushButton *makeSortButton(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *button = platform::makeButton(objectName, text, parent);
    button->setToolTip(QStringLiteral("Click to change sort"));
    return button;
}

void setRows(QListWidget *list, const QStringList &rows, int currentRow, RowsView view)
{
    const QSignalBlocker blocker(list);
    const bool hasCurrent = currentRow >= 0 && currentRow < rows.size();
    // Emptying the list would scroll it (and the list kept in step with it) to the top; with as
    // many rows as before only the texts change.
    if (view == RowsView::Keep && list->count() == rows.size()) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() != rows.at(i))
                list->item(i)->setText(rows.at(i));
        }
        list->clearSelection();
        list->setCurrentItem(hasCurrent ? list->item(currentRow) : nullptr);
        if (hasCurrent)
            list->scrollToItem(list->item(currentRow));
        return;
    }
    list->clear();
    list->addItems(rows);
    if (hasCurrent)
        list->setCurrentRow(currentRow);
    if (view == RowsView::Keep && hasCurrent)
        list->scrollToItem(list->item(currentRow));
    else
        list->scrollToTop();
}

void fitWidthToRows(QListWidget *list, int maxWidth)
{
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) {
        QString text = list->item(i)->text();
        while (text.endsWith(u'_'))
            text.chop(1);
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    // The text's own margins, the frame and room for the vertical scroll bar.
    const int chrome = 2 * metrics.horizontalAdvance(u'_') + 2 * list->frameWidth() +
                       list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::min(widest + chrome, maxWidth));
}

int selectedListRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void keepInStep(QListWidget *first, QListWidget *second)
{
    // Rows follow the selection, not the current row: a list that gets the focus from the keyboard
    // makes its first row current without selecting it.
    const auto follow = [](QListWidget *from, QListWidget *to) {
        QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged,
                         to->verticalScrollBar(), &QScrollBar::setValue);
        QObject::connect(from, &QListWidget::itemSelectionChanged, to, [from, to]() {
            const int row = selectedListRow(from);
            if (row >= 0 && selectedListRow(to) != row)
                to->setCurrentRow(row);
        });
    };
    follow(first, second);
    follow(second, first);
}

} // namespace exam
