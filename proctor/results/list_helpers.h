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

// Replaces the rows without emitting selection signals; `currentRow` (-1 for none) is selected
// afterwards and the list shows its top.
void setRows(QListWidget *list, const QStringList &rows, int currentRow = -1);

// The row of the selected item; -1 when none is selected (a current row alone is no selection).
int selectedListRow(const QListWidget *list);

// Keeps two lists side by side: the same top row when either scrolls, the same row selected when
// a row of either is selected.
void keepInStep(QListWidget *first, QListWidget *second);

} // namespace exam
