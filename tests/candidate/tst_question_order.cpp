#include "candidate/question_order.h"

#include "exam_test_support.h"

#include <QTest>

using namespace exam::candidate;

class TestQuestionOrder : public QObject
{
    Q_OBJECT

private slots:
    void paperOrderCountsFromOne()
    {
        QCOMPARE(paperOrder(4), QList<int>({1, 2, 3, 4}));
        QVERIFY(paperOrder(0).isEmpty());
        QVERIFY(paperOrder(-3).isEmpty());
    }

    void shuffleSwapsByTheFormula_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QList<int>>("expected");
        // r = int(n*u + 1): u = 0 always swaps k with 1.
        QTest::newRow("all zero") << 3 << QList<double>{0, 0, 0} << QList<int>{3, 1, 2};
        // u = k-1/n keeps every question where it is.
        QTest::newRow("identity swaps")
            << 4 << QList<double>{0.0, 0.25, 0.5, 0.75} << QList<int>{1, 2, 3, 4};
        // k=1 ↔ 3, k=2 ↔ 2, k=3 ↔ 1.
        QTest::newRow("swap and swap back")
            << 3 << QList<double>{0.7, 0.4, 0.1} << QList<int>{1, 2, 3};
        QTest::newRow("one swap") << 3 << QList<double>{0.9, 0.4, 0.9} << QList<int>{3, 2, 1};
        // Just below 1 rounds up to 1.0f in single precision: still a position of the paper.
        QTest::newRow("u close to one")
            << 5 << QList<double>{0.99999999, 0.2, 0.4, 0.6, 0.8} << QList<int>{5, 2, 3, 4, 1};
    }
    void shuffleSwapsByTheFormula()
    {
        QFETCH(int, count);
        QFETCH(QList<double>, draws);
        QFETCH(QList<int>, expected);
        ScriptedRandom random;
        for (double u : draws)
            random.draws.enqueue(u);
        QCOMPARE(shuffledOrder(count, random), expected);
        QCOMPARE(random.drawn, count);
    }

    void shuffleKeepsEveryQuestionOnce()
    {
        exam::SecureRandomSource random;
        for (int round = 0; round < 50; ++round) {
            QList<int> order = shuffledOrder(50, random);
            std::sort(order.begin(), order.end());
            QCOMPARE(order, paperOrder(50));
        }
    }

    void usableOrder_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<int>("questionCount");
        QTest::addColumn<int>("presented");
        QTest::addColumn<bool>("usable");
        QTest::newRow("saved shuffle") << QList<int>{3, 1, 2} << 3 << 3 << true;
        QTest::newRow("draw, rest empty") << QList<int>{4, 2, 0, 0} << 4 << 2 << true;
        QTest::newRow("missing keys") << QList<int>{0, 0, 0} << 3 << 3 << false;
        QTest::newRow("question left the paper") << QList<int>{1, 5} << 2 << 2 << false;
        QTest::newRow("twice") << QList<int>{2, 2, 1} << 3 << 3 << false;
        QTest::newRow("too short") << QList<int>{1} << 3 << 3 << false;
        QTest::newRow("nothing presented") << QList<int>{} << 0 << 0 << true;
    }
    void usableOrder()
    {
        QFETCH(QList<int>, order);
        QFETCH(int, questionCount);
        QFETCH(int, presented);
        QFETCH(bool, usable);
        QCOMPARE(isUsableOrder(order, questionCount, presented), usable);
    }

    void presentAnsweredKeepsEveryAnswer_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<int>("presented");
        QTest::addColumn<QList<int>>("answered"); // questions holding an answer
        QTest::addColumn<bool>("unchanged");
        const QList<int> order{3, 1, 4, 2, 5};
        QTest::newRow("no answers") << order << 2 << QList<int>{} << true;
        QTest::newRow("answers already presented") << order << 2 << QList<int>{3, 1} << true;
        QTest::newRow("answers beyond the draw") << order << 2 << QList<int>{4, 5} << false;
        QTest::newRow("one presented, one beyond") << order << 3 << QList<int>{1, 5} << false;
        QTest::newRow("every question presented") << order << 5 << QList<int>{5, 2} << true;
    }
    void presentAnsweredKeepsEveryAnswer()
    {
        QFETCH(QList<int>, order);
        QFETCH(int, presented);
        QFETCH(QList<int>, answered);
        QFETCH(bool, unchanged);
        QList<double> answers(order.size(), 0.0);
        for (int k : answered)
            answers[k - 1] = 12;
        QCOMPARE(answeredCount(answers), answered.size());

        QList<int> moved = order;
        presentAnswered(moved, presented, answers);
        for (int k : answered) {
            QVERIFY(moved.indexOf(k) < presented);
            // An answered question that was presented keeps its position.
            if (order.indexOf(k) < presented)
                QCOMPARE(moved.indexOf(k), order.indexOf(k));
        }
        if (unchanged)
            QCOMPARE(moved, order);
        std::sort(moved.begin(), moved.end());
        QCOMPARE(moved, paperOrder(order.size()));
    }
};

QTEST_GUILESS_MAIN(TestQuestionOrder)
#include "tst_question_order.moc"
