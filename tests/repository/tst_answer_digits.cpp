#include "repository/answer_digits.h"

#include <QTest>

using exam::OptionTicks;

namespace {

OptionTicks ticksOf(const QList<int> &options)
{
    OptionTicks ticks{};
    for (int k : options)
        ticks[static_cast<size_t>(k - 1)] = true;
    return ticks;
}

} // namespace

class TestAnswerDigits : public QObject
{
    Q_OBJECT

private slots:
    void answerTextFollowsTheTicks_data()
    {
        QTest::addColumn<QList<int>>("options");
        QTest::addColumn<QString>("answer");
        QTest::newRow("3 and 1") << QList<int>({3, 1}) << QStringLiteral("13");
        QTest::newRow("none") << QList<int>() << QString();
        QTest::newRow("all") << QList<int>({7, 6, 5, 4, 3, 2, 1}) << QStringLiteral("1234567");
        QTest::newRow("yes") << QList<int>({1}) << QStringLiteral("1");
        QTest::newRow("2 4 7") << QList<int>({2, 4, 7}) << QStringLiteral("247");
    }
    void answerTextFollowsTheTicks()
    {
        QFETCH(QList<int>, options);
        QFETCH(QString, answer);
        const OptionTicks ticks = ticksOf(options);
        QCOMPARE(exam::answerFromTicks(ticks), answer);
        QCOMPARE(exam::ticksFromAnswer(answer), ticks);
        // Stored answers may carry blanks or digits that are no option.
        QCOMPARE(exam::ticksFromAnswer(u' ' + answer + QStringLiteral("890")), ticks);
    }

    void answerValueFollowsTheTicks_data()
    {
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<double>("answer");
        QTest::newRow("none") << QList<int>{} << 0.0;
        QTest::newRow("A and C") << QList<int>{1, 3} << 13.0;
        QTest::newRow("C then A is still 13") << QList<int>{3, 1} << 13.0;
        QTest::newRow("all seven") << QList<int>{7, 6, 5, 4, 3, 2, 1} << 1234567.0;
        QTest::newRow("G alone") << QList<int>{7} << 7.0;
    }
    void answerValueFollowsTheTicks()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(double, answer);
        const OptionTicks ticks = ticksOf(ticked);
        QCOMPARE(exam::answerValue(ticks), answer);
        QCOMPARE(exam::ticksFromValue(answer), ticks);
    }

    // The client compares numbers, the editor writes texts: both must agree on every answer.
    void storedStandardAnswerShouldBeMetByTheSameTicks_data()
    {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<bool>("right");
        QTest::newRow("124 by A, B, D") << QStringLiteral("124") << QList<int>{4, 2, 1} << true;
        QTest::newRow("124 by A, B") << QStringLiteral("124") << QList<int>{1, 2} << false;
        QTest::newRow("blanks around") << QStringLiteral(" 13 ") << QList<int>{1, 3} << true;
        QTest::newRow("none entered, none ticked") << QString() << QList<int>{} << true;
        QTest::newRow("none entered, one ticked") << QString() << QList<int>{2} << false;
    }
    void storedStandardAnswerShouldBeMetByTheSameTicks()
    {
        QFETCH(QString, standard);
        QFETCH(QList<int>, ticked);
        QFETCH(bool, right);
        const OptionTicks ticks = ticksOf(ticked);
        QCOMPARE(exam::isAnsweredCorrectly(standard, exam::answerValue(ticks)), right);
        QCOMPARE(
            exam::isAnsweredCorrectly(standard, exam::answerValue(exam::answerFromTicks(ticks))),
            right);
    }
};

QTEST_GUILESS_MAIN(TestAnswerDigits)
#include "tst_answer_digits.moc"
