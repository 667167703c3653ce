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

// Keeps two lists side by side: the same top row when either scrolls, the same current row when
// either is clicked.
void keepInStep(QListWidget *first, QListWidget *second);

} // namespace exam
