#include "proctor/results/question_analysis.h"

#include <QTest>
#include <algorithm>
#include <numeric>

using namespace exam;

namespace {

struct Student
{
    qint64 answer;
    bool hasScore;
};

// A class answering one question.
ClassAnswers classOf(const QList<Student> &students)
{
    ClassAnswers answers;
    for (const Student &student : students) {
        answers.answers.append(QList<qint64>{student.answer});
        answers.hasScore.append(student.hasScore);
    }
    return answers;
}

} // namespace

class TestQuestionAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void shouldMatchOnlyTheWholeStandardAnswer()
    {
        // Handed in 24, 42 and 2; one logged in without handing in (stored answer 0).
        const ClassAnswers answers = classOf({{24, true}, {42, true}, {2, true}, {0, false}});
        const QList<QuestionRow> rows = analyseQuestions(answers, {24});
        QCOMPARE(rows.size(), 1);
        const QuestionRow &row = rows.first();
        QCOMPARE(row.number, 1);
        QCOMPARE(row.standardAnswer, 24);
        QCOMPARE(row.correct, 1);
        QCOMPARE(row.correctRate, 33);
        QCOMPARE(row.optionCounts, (std::array<int, 5>{0, 3, 0, 2, 0}));

        const AnswerDistribution distribution = answerDistribution(answers, 1, 24);
        QCOMPARE(distribution.counts[2], 3);
        QCOMPARE(distribution.counts[4], 2);
        QCOMPARE(distribution.counts[0], 0);
        for (int k = 0; k < DistributionCells; ++k)
            QCOMPARE(distribution.highlighted[k], k == 2 || k == 4);
    }

    void shouldCountEmptyAnswersOnlyOfStudentsWithScore_data()
    {
        QTest::addColumn<bool>("hasScore");
        QTest::addColumn<int>("emptyCount");
        QTest::newRow("handed in with nothing ticked") << true << 1;
        QTest::newRow("logged in, never handed in") << false << 0;
    }
    void shouldCountEmptyAnswersOnlyOfStudentsWithScore()
    {
        QFETCH(bool, hasScore);
        QFETCH(int, emptyCount);
        const AnswerDistribution distribution = answerDistribution(classOf({{0, hasScore}}), 1, 13);
        QCOMPARE(distribution.counts[0], emptyCount);
        QCOMPARE(std::accumulate(distribution.counts.begin() + 1, distribution.counts.end(), 0), 0);
    }

    void shouldGiveRateZeroAndHighlightCellZeroWithoutStandardAnswer()
    {
        const ClassAnswers answers = classOf({{0, true}, {1, true}});
        const QuestionRow row = analyseQuestions(answers, {0}).first();
        QCOMPARE(row.standardAnswer, 0);
        QCOMPARE(row.correct, 0); // an empty answer does not match a missing standard answer
        QCOMPARE(row.correctRate, 0);
        const AnswerDistribution distribution = answerDistribution(answers, 1, 0);
        QVERIFY(distribution.highlighted[0]);
        QCOMPARE(std::count(distribution.highlighted.begin(), distribution.highlighted.end(), true),
                 1);
    }

    void shouldCountOptionsSixAndSevenOnlyInTheDistribution()
    {
        const ClassAnswers answers = classOf({{67, true}, {1234567, true}});
        const QuestionRow row = analyseQuestions(answers, {1234567}).first();
        QCOMPARE(row.optionCounts, (std::array<int, 5>{1, 1, 1, 1, 1}));
        QCOMPARE(row.correct, 1);
        const AnswerDistribution distribution = answerDistribution(answers, 1, 1234567);
        QCOMPARE(distribution.counts[6], 2);
        QCOMPARE(distribution.counts[7], 2);
        QCOMPARE(distribution.counts[5], 1);
    }

    void shouldRoundTheRateHalfToEven_data()
    {
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("participants");
        QTest::addColumn<int>("rate");
        QTest::newRow("1 of 8 is 12.5") << 1 << 8 << 12;
        QTest::newRow("3 of 8 is 37.5") << 3 << 8 << 38;
        QTest::newRow("2 of 3") << 2 << 3 << 67;
        QTest::newRow("all") << 5 << 5 << 100;
        QTest::newRow("nobody has a score") << 0 << 0 << 0;
    }
    void shouldRoundTheRateHalfToEven()
    {
        QFETCH(int, correct);
        QFETCH(int, participants);
        QFETCH(int, rate);
        QList<Student> students;
        for (int i = 0; i < participants; ++i)
            students.append({i < correct ? 3 : 1, true});
        QCOMPARE(analyseQuestions(classOf(students), {3}).first().correctRate, rate);
    }

    // Students still in the exam have saved answers but no score: counted over everybody, as the
    // original did, the rate could pass 100% while an exam runs.
    void correctRateShouldCountOnlyStudentsWithAScore_data()
    {
        QTest::addColumn<QList<Student>>("students");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("rate");
        QTest::newRow("two still answering")
            << QList<Student>{{3, true}, {3, false}, {3, false}, {1, true}} << 1 << 50;
        QTest::newRow("one handed in, two answering")
            << QList<Student>{{3, true}, {3, false}, {3, false}} << 1 << 100;
        QTest::newRow("nobody handed in yet") << QList<Student>{{3, false}, {3, false}} << 0 << 0;
    }
    void correctRateShouldCountOnlyStudentsWithAScore()
    {
        QFETCH(QList<Student>, students);
        QFETCH(int, correct);
        QFETCH(int, rate);
        const QuestionRow row = analyseQuestions(classOf(students), {3}).first();
        QCOMPARE(row.correct, correct);
        QCOMPARE(row.correctRate, rate);
        // Their choices still show in the option counts.
        QCOMPARE(row.optionCounts[2],
                 int(std::count_if(students.cbegin(), students.cend(),
                                   [](const Student &s) { return s.answer == 3; })));
    }

    void shouldTreatMissingAnswersAsZero()
    {
        ClassAnswers answers;
        answers.answers = {QList<qint64>{}};
        answers.hasScore = {true};
        const QList<QuestionRow> rows = analyseQuestions(answers, {1, 2});
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1).correct, 0);
        QCOMPARE(answerDistribution(answers, 2, 2).counts[0], 1);
    }

    void shouldFindTheDigitsOfAnswers_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("mask");
        QTest::newRow("0") << qint64(0) << 0b1;
        QTest::newRow("124") << qint64(124) << 0b10110;
        QTest::newRow("10") << qint64(10) << 0b11;
        QTest::newRow("-12") << qint64(-12) << 0b110;
        QTest::newRow("most negative")
            << std::numeric_limits<qint64>::min() << 0b1111111101; // no digit 1
    }
    void shouldFindTheDigitsOfAnswers()
    {
        QFETCH(qint64, value);
        QFETCH(int, mask);
        QCOMPARE(digitMask(value), mask);
        for (int digit = 0; digit < 10; ++digit)
            QCOMPARE(containsDigit(value, digit),
                     QString::number(value).contains(QChar(u'0' + digit)));
    }
};

QTEST_GUILESS_MAIN(TestQuestionAnalysis)
#include "tst_question_analysis.moc"
