#include "candidate/question_navigation.h"

#include <QTest>

using namespace exam::candidate;

namespace {

QuestionNavigation at(int position, int presented)
{
    QuestionNavigation navigation;
    navigation.presentedCount = presented;
    navigation.position = position;
    return navigation;
}

} // namespace

class TestQuestionNavigation : public QObject
{
    Q_OBJECT

private slots:
    void rightClickJumps_data()
    {
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("previousEnabled");
        QTest::addColumn<bool>("nextEnabled");
        QTest::newRow("forward from 26 of 30") << true << 26 << 30 << true << false;
        QTest::newRow("forward from 25 of 30") << true << 25 << 30 << true << true;
        QTest::newRow("forward from 10") << true << 10 << 15 << true << true;
        QTest::newRow("back from 5") << false << 5 << 1 << false << true;
        QTest::newRow("back from 6") << false << 6 << 1 << true << true;
        QTest::newRow("back from 20") << false << 20 << 15 << true << true;
    }
    void rightClickJumps()
    {
        QFETCH(bool, forward);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, previousEnabled);
        QFETCH(bool, nextEnabled);
        QuestionNavigation navigation = at(from, 30);
        QVERIFY(forward ? navigation.jumpForward() : navigation.jumpBack());
        QCOMPARE(navigation.position, to);
        QCOMPARE(navigation.previousEnabled, previousEnabled);
        QCOMPARE(navigation.nextEnabled, nextEnabled);
    }

    void previousAndNextStopAtTheEnds()
    {
        QuestionNavigation navigation = at(2, 3);
        QVERIFY(navigation.previous());
        QCOMPARE(navigation.position, 1);
        QVERIFY(navigation.previousEnabled); // disabled only by a click at position 1
        QVERIFY(!navigation.previous());
        QVERIFY(!navigation.previousEnabled);
        QVERIFY(navigation.next());
        QVERIFY(navigation.previousEnabled);
        QVERIFY(navigation.next());
        QVERIFY(!navigation.next());
        QCOMPARE(navigation.position, 3);
        QVERIFY(!navigation.nextEnabled);
        QVERIFY(navigation.previous());
        QVERIFY(navigation.nextEnabled);
    }

    void emptyExamGoesNowhere()
    {
        QuestionNavigation navigation = at(1, 0);
        QVERIFY(!navigation.next());
        QVERIFY(!navigation.jumpForward());
        QVERIFY(!navigation.selectButton(1));
        QCOMPARE(navigation.position, 1);
    }

    void pageFollowsThePosition_data()
    {
        QTest::addColumn<int>("presented");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("newOffset");
        QTest::newRow("20 to 21 of 45") << 45 << 0 << 21 << 10;
        QTest::newRow("20 stays on the first page") << 45 << 0 << 20 << 0;
        QTest::newRow("back to 10 from page 10") << 45 << 10 << 10 << 0;
        QTest::newRow("one step only") << 45 << 0 << 41 << 10;
        QTest::newRow("at the maximum") << 45 << 40 << 45 << 40;
        QTest::newRow("max of 25 is 20") << 25 << 20 << 25 << 20;
    }
    void pageFollowsThePosition()
    {
        QFETCH(int, presented);
        QFETCH(int, offset);
        QFETCH(int, position);
        QFETCH(int, newOffset);
        QuestionNavigation navigation = at(position, presented);
        navigation.pageOffset = offset;
        QCOMPARE(navigation.keepPage(), offset != newOffset);
        QCOMPARE(navigation.pageOffset, newOffset);
    }

    void pageMaximumRoundsDownToTens_data()
    {
        QTest::addColumn<int>("presented");
        QTest::addColumn<int>("maximum");
        QTest::newRow("9") << 9 << 0;
        QTest::newRow("10 of a draw") << 10 << 10;
        QTest::newRow("20") << 20 << 20;
        QTest::newRow("45") << 45 << 40;
    }
    void pageMaximumRoundsDownToTens()
    {
        QFETCH(int, presented);
        QFETCH(int, maximum);
        QCOMPARE(at(1, presented).pageMaximum(), maximum);
    }

    void buttonsShowTheirPage()
    {
        QuestionNavigation navigation = at(1, 25);
        navigation.setPageOffset(10);
        QCOMPARE(navigation.buttonPosition(1), 11);
        QVERIFY(navigation.buttonVisible(15));
        QVERIFY(!navigation.buttonVisible(16));
        QVERIFY(navigation.selectButton(15));
        QCOMPARE(navigation.position, 25);
        QVERIFY(!navigation.selectButton(16));
        navigation.setPageOffset(99);
        QCOMPARE(navigation.pageOffset, 20);
    }
};

QTEST_GUILESS_MAIN(TestQuestionNavigation)
#include "tst_question_navigation.moc"
