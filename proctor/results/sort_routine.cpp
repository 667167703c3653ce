#include "proctor/results/sort_routine.h"

#include "repository/profile_values.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

namespace exam {

namespace {

// Orders (key, position) pairs largest first, the higher position first among equal keys. This is
// the order of repeatedly picking the largest remaining key with ties to the higher position, but
// computed by one comparison sort instead of m selections.
template <typename Key> bool before(const Key &ka, int a, const Key &kb, int b)
{
    if (kb < ka)
        return true;
    if (ka < kb)
        return false;
    return a > b;
}

QList<int> finish(QList<int> order, SortDirection direction)
{
    if (direction == SortDirection::Ascending)
        std::reverse(order.begin(), order.end());
    return order;
}

} // namespace

QList<int> sortPermutation(const QList<double> &keys, SortDirection direction)
{
    // Numbers are sorted with their positions side by side: no indirection while comparing.
    std::vector<std::pair<double, int>> entries;
    entries.reserve(keys.size());
    for (int i = 0; i < keys.size(); ++i)
        entries.emplace_back(keys[i], i);
    std::sort(entries.begin(), entries.end(), [](const auto &x, const auto &y) {
        return before(x.first, x.second, y.first, y.second);
    });
    QList<int> order;
    order.reserve(keys.size());
    for (const auto &entry : entries)
        order.append(entry.second);
    return finish(std::move(order), direction);
}

QList<int> sortPermutation(const QStringList &keys, SortDirection direction)
{
    QList<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&keys](int a, int b) { return before(keys[a], a, keys[b], b); });
    return finish(std::move(order), direction);
}

double numericSortKey(const QString &text)
{
    const double value = leadingNumber(text);
    return std::isnan(value) ? 0.0 : value;
}

} // namespace exam
