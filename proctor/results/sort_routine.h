#pragma once

// The one ordering rule of the results window: the student lists, the question list and the ranking
// all use it, so equal keys always land in the same, predictable order.
//
// Descending: largest key first; equal keys in descending position order (the higher position
// first). Ascending: exactly the reverse of the descending order, so equal keys come in ascending
// position order. Sorting twice in opposite directions therefore reverses the list exactly.

#include <QList>
#include <QString>
#include <QStringList>

namespace exam {

enum class SortDirection { Descending, Ascending };

// The permutation of the positions 0 … keys.size() − 1 in display order. O(m log m).
// Numeric keys must not be NaN (numericSortKey() never gives one).
QList<int> sortPermutation(const QList<double> &keys, SortDirection direction);
// Text keys compare by character code (UTF-16 code units), not by locale or pronunciation.
QList<int> sortPermutation(const QStringList &keys, SortDirection direction);

// The numeric key of a table text: its leading number ("" and text without a number give 0).
double numericSortKey(const QString &text);

// The direction state of one sort button. A button whose state is not 2 sorts descending and
// moves to 2; at 2 it sorts ascending and moves to 1. So the first click sorts descending, the
// next ascending, and so on.
class SortToggle
{
public:
    SortDirection next()
    {
        if (m_state != 2) {
            m_state = 2;
            return SortDirection::Descending;
        }
        m_state = 1;
        return SortDirection::Ascending;
    }
    int state() const { return m_state; }
    void setState(int state) { m_state = state; }

private:
    int m_state = 0;
};

} // namespace exam
