#include "proctor/results/list_helpers.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace exam {

QListWidget *makeRowList(const QString &objectName, const QString &toolTip, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setToolTip(toolTip);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setUniformItemSizes(true);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QPushButton *makeSortButton(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setToolTip(QStringLiteral("Click to change sort"));
    return button;
}

void setRows(QListWidget *list, const QStringList &rows, int currentRow)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(rows);
    if (currentRow >= 0 && currentRow < list->count())
        list->setCurrentRow(currentRow);
    list->scrollToTop();
}

void keepInStep(QListWidget *first, QListWidget *second)
{
    const auto follow = [](QListWidget *from, QListWidget *to) {
        QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged,
                         to->verticalScrollBar(), &QScrollBar::setValue);
        QObject::connect(from, &QListWidget::currentRowChanged, to, [to](int row) {
            if (to->currentRow() != row)
                to->setCurrentRow(row);
        });
    };
    follow(first, second);
    follow(second, first);
}

} // namespace exam
