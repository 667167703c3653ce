#include "proctor/results/sort_routine.h"

#include "repository/profile_values.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace exam {

namespace {

// Orders (key, position) pairs largest first, the higher position first among equal keys. This is
// the order of repeatedly picking the largest remaining key with ties to the higher position, but
// computed by one comparison sort instead of m selections.
template <typename Keys>
QList<int> permutation(const Keys &keys, SortDirection direction)
{
    QList<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        const auto &ka = keys[a];
        const auto &kb = keys[b];
        if (kb < ka)
            return true;
        if (ka < kb)
            return false;
        return a > b;
    });
    if (direction == SortDirection::Ascending)
        std::reverse(order.begin(), order.end());
    return order;
}

} // namespace

QList<int> sortPermutation(const QList<double> &keys, SortDirection direction)
{
    return permutation(keys, direction);
}

QList<int> sortPermutation(const QStringList &keys, SortDirection direction)
{
    return permutation(keys, direction);
}

double numericSortKey(const QString &text)
{
    const double value = leadingNumber(text);
    return std::isnan(value) ? 0.0 : value;
}

} // namespace exam
