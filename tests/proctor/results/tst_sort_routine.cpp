#include "proctor/results/sort_routine.h"

#include <QRandomGenerator>
#include <QTest>

using namespace exam;

namespace {

// The rule as the teacher's documentation states it: pick the largest remaining key, the highest
// position among equal ones, m times; reverse for ascending.
template <typename Key>
QList<int> selectionReference(const QList<Key> &keys, SortDirection direction)
{
    QList<bool> taken(keys.size(), false);
    QList<int> order;
    for (qsizetype r = 0; r < keys.size(); ++r) {
        int best = -1;
        for (int i = 0; i < keys.size(); ++i) {
            if (!taken[i] && (best < 0 || !(keys[i] < keys[best])))
                best = i;
        }
        taken[best] = true;
        order.append(best);
    }
    if (direction == SortDirection::Ascending)
        std::reverse(order.begin(), order.end());
    return order;
}

QList<int> reversed(QList<int> order)
{
    std::reverse(order.begin(), order.end());
    return order;
}

} // namespace

class TestSortRoutine : public QObject
{
    Q_OBJECT

private slots:
    void shouldMatchSelectionOnNumbersWithManyTies_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("distinctKeys");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("empty") << 0 << 1 << 1u;
        QTest::newRow("one") << 1 << 1 << 2u;
        QTest::newRow("all equal") << 50 << 1 << 3u;
        QTest::newRow("two keys") << 200 << 2 << 4u;
        QTest::newRow("class of scores") << 60 << 7 << 5u;
        QTest::newRow("large, few keys") << 2000 << 11 << 6u;
        QTest::newRow("mostly distinct") << 500 << 400 << 7u;
    }
    void shouldMatchSelectionOnNumbersWithManyTies()
    {
        QFETCH(int, count);
        QFETCH(int, distinctKeys);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QList<double> keys;
        for (int i = 0; i < count; ++i)
            keys.append(random.bounded(distinctKeys) * 0.5 - 3);
        for (SortDirection direction : {SortDirection::Descending, SortDirection::Ascending})
            QCOMPARE(sortPermutation(keys, direction), selectionReference(keys, direction));
    }

    void shouldMatchSelectionOnTexts_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("a") << 11u;
        QTest::newRow("b") << 12u;
        QTest::newRow("c") << 13u;
    }
    void shouldMatchSelectionOnTexts()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QStringList pool{QString(),
                               QStringLiteral("张三"),
                               QStringLiteral("李四"),
                               QStringLiteral("王"),
                               QStringLiteral("00:12:40"),
                               QStringLiteral("0:5:00"),
                               QStringLiteral("Abc"),
                               QStringLiteral("abc")};
        QStringList keys;
        for (int i = 0; i < 300; ++i)
            keys.append(pool.at(random.bounded(int(pool.size()))));
        for (SortDirection direction : {SortDirection::Descending, SortDirection::Ascending})
            QCOMPARE(sortPermutation(keys, direction), selectionReference(keys, direction));
    }

    void shouldPutHigherPositionFirstAmongEqualKeysWhenDescending()
    {
        const QList<double> keys{85, 90, 85, 70, 85};
        const QList<int> descending = sortPermutation(keys, SortDirection::Descending);
        QCOMPARE(descending, (QList<int>{1, 4, 2, 0, 3}));
        QCOMPARE(sortPermutation(keys, SortDirection::Ascending), reversed(descending));
    }

    void shouldReverseExactlyWhenSortedTwiceByTheSameButton()
    {
        QList<double> keys;
        QRandomGenerator random(21);
        for (int i = 0; i < 40; ++i)
            keys.append(random.bounded(5));
        SortToggle toggle;
        const QList<int> first = sortPermutation(keys, toggle.next());
        const QList<int> second = sortPermutation(keys, toggle.next());
        QCOMPARE(second, reversed(first));
        // Among equal scores, the higher number comes first after the first click.
        for (int r = 1; r < first.size(); ++r) {
            if (keys[first[r]] == keys[first[r - 1]])
                QVERIFY(first[r] < first[r - 1]);
        }
    }

    void shouldOrderChineseNamesByCharacterCodeNotPronunciation()
    {
        // By pronunciation: 李 (li), 王 (wang), 张 (zhang), 赵 (zhao).
        const QStringList names{QStringLiteral("李四"), QStringLiteral("王五"),
                                QStringLiteral("张三"), QStringLiteral("赵六")};
        QStringList ascending;
        for (int position : sortPermutation(names, SortDirection::Ascending))
            ascending.append(names.at(position));
        for (int i = 1; i < ascending.size(); ++i)
            QVERIFY(ascending.at(i - 1).at(0).unicode() < ascending.at(i).at(0).unicode());
        QCOMPARE(ascending.first(), QStringLiteral("张三")); // U+5F20 sorts before U+674E
        QVERIFY(ascending != names);
    }

    void shouldToggleDirectionFromEachButtonsOwnState_data()
    {
        QTest::addColumn<int>("initialState");
        QTest::addColumn<bool>("firstDescending");
        QTest::newRow("fresh button") << 0 << true;
        QTest::newRow("after an ascending sort") << 1 << true;
        QTest::newRow("after a descending sort") << 2 << false;
    }
    void shouldToggleDirectionFromEachButtonsOwnState()
    {
        QFETCH(int, initialState);
        QFETCH(bool, firstDescending);
        SortToggle toggle;
        toggle.setState(initialState);
        const SortDirection first = toggle.next();
        QCOMPARE(first == SortDirection::Descending, firstDescending);
        QCOMPARE(toggle.state(), firstDescending ? 2 : 1);
        QVERIFY(toggle.next() != first);
    }
};

QTEST_GUILESS_MAIN(TestSortRoutine)
#include "tst_sort_routine.moc"
