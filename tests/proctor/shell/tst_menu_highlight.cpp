#include "proctor/shell/menu_highlight.h"

#include <QTest>

using exam::MenuHighlight;

class TestMenuHighlight : public QObject
{
    Q_OBJECT

private slots:
    void shouldKeepAtMostOneButtonHighlighted_data();
    void shouldKeepAtMostOneButtonHighlighted();
};

void TestMenuHighlight::shouldKeepAtMostOneButtonHighlighted_data()
{
    // A path of the mouse: a button number, or 0 for the background. The last step's changes and
    // the highlighted buttons afterwards.
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<QList<int>>("lastChanges");
    QTest::addColumn<QList<int>>("highlighted");

    QTest::newRow("onto a button") << QList<int>{3} << QList<int>{3} << QList<int>{3};
    QTest::newRow("button to button") << QList<int>{3, 5} << QList<int>{3, 5} << QList<int>{5};
    QTest::newRow("moving within a button") << QList<int>{2, 2} << QList<int>{} << QList<int>{2};
    QTest::newRow("across all") << QList<int>{1, 2, 3, 4, 5, 6, 7} << QList<int>{6, 7}
                                << QList<int>{7};
    QTest::newRow("onto the background") << QList<int>{4, 0} << QList<int>{4} << QList<int>{};
    QTest::newRow("background only") << QList<int>{0} << QList<int>{} << QList<int>{};
    QTest::newRow("back from the background") << QList<int>{1, 0, 1} << QList<int>{1}
                                              << QList<int>{1};
    QTest::newRow("not a button") << QList<int>{2, 8} << QList<int>{} << QList<int>{2};
}

void TestMenuHighlight::shouldKeepAtMostOneButtonHighlighted()
{
    QFETCH(QList<int>, path);
    QFETCH(QList<int>, lastChanges);
    QFETCH(QList<int>, highlighted);

    MenuHighlight highlight;
    QList<int> changes;
    for (int step : path)
        changes = step == 0 ? highlight.hoverBackground() : highlight.hoverButton(step);
    QCOMPARE(changes, lastChanges);
    QCOMPARE(highlight.highlighted(), highlighted);
}

QTEST_GUILESS_MAIN(TestMenuHighlight)
#include "tst_menu_highlight.moc"
