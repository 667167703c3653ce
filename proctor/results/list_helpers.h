#pragma once

// Small helpers shared by the results window's list boxes.

#include <QStringList>

class QListWidget;
class QPushButton;
class QWidget;

namespace exam {

// A list box for fixed-width text rows: fixed-pitch font, one item per scroll step.
QListWidget *makeRowList(const QString &objectName, const QString &toolTip, QWidget *parent);

// A column button that sorts its list.
QPushButton *makeSortButton(const QString &objectName, const QString &text, QWidget *parent);

// Where a list stands after its rows were replaced.
enum class RowsView {
    Top,  // at its first row
    Keep, // where it was scrolled to, moved only as far as the selected row needs to be seen
};

// Replaces the rows without emitting selection signals; `currentRow` (-1 for none) is selected
// afterwards.
void setRows(QListWidget *list, const QStringList &rows, int currentRow = -1,
             RowsView view = RowsView::Top);

// Makes the list at least as wide as its longest row up to the last field (the padding underscores
// at the end do not count), but not wider than `maxWidth`: former names at the end of a row are
// seen without scrolling sideways.
void fitWidthToRows(QListWidget *list, int maxWidth);

// The row of the selected item; -1 when none is selected (a current row alone is no selection).
int selectedListRow(const QListWidget *list);

// Keeps two lists side by side: the same top row when either scrolls, the same row selected when
// a row of either is selected.
void keepInStep(QListWidget *first, QListWidget *second);

} // namespace exam
