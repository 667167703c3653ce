#include "proctor/results/item_analysis.h"

#include <QTest>

using namespace exam;

namespace {

struct Student
{
    double score; // < 0: no score
    QList<qint64> answers;
};

ResultsData classOf(const QList<Student> &students, const QList<qint64> &standardAnswers,
                    const QList<double> &marks, qint16 firstNumber = 1001)
{
    ResultsData data;
    data.firstNumber = firstNumber;
    data.standardAnswers = standardAnswers;
    data.questionMarks = marks;
    data.thresholds = {45, 40, 30, 20};
    for (qsizetype i = 0; i < students.size(); ++i) {
        StudentRecord record;
        record.number = QString::number(firstNumber + i);
        record.hasScore = students.at(i).score >= 0;
        record.scoreValue = record.hasScore ? students.at(i).score : 0;
        record.answers = students.at(i).answers;
        data.students.append(record);
    }
    return data;
}

// Eight students with a score and one still answering, four questions worth 10, 20, 10 and 10
// (full mark 50). Each score is the sum of the student's item scores.
//
//   number  Q1(A)  Q2(AC)  Q3(B)  Q4(B, really C)  score
//   1001    1 ✓    13 ✓    2 ✓    3                40
//   1002    1 ✓    2       3      2 ✓              20
//   1003    1 ✓    13 ✓    4      3                30
//   1004    1 ✓    blank   blank  2 ✓              20
//   1005    1 ✓    1       2 ✓    2 ✓              30
//   1006    1 ✓    123     blank  2 ✓              20
//   1007    1 ✓    3       1      3                10
//   1008    1 ✓    12      3      2 ✓              20
//   1009    1      13      2      2                no score: ignored throughout
//
// Ordered by score, equal scores by number: 1001 40, 1003 30, 1005 30, 1002 20, 1004 20, 1006 20,
// 1008 20, 1007 10. N = 8, n = round(0.27 · 8) = round(2.16) = 2: upper group 1001, 1003 (1005
// ties with 1003 and stays out), lower group 1008, 1007 (1008 is the last of the four 20s).
ResultsData handComputedClass()
{
    return classOf({{40, {1, 13, 2, 3}},
                    {20, {1, 2, 3, 2}},
                    {30, {1, 13, 4, 3}},
                    {20, {1, 0, 0, 2}},
                    {30, {1, 1, 2, 2}},
                    {20, {1, 123, 0, 2}},
                    {10, {1, 3, 1, 3}},
                    {20, {1, 12, 3, 2}},
                    {-1, {1, 13, 2, 2}}},
                   {1, 13, 2, 2}, {10, 20, 10, 10});
}

OptionShares shares(std::array<double, 7> options, double blank)
{
    OptionShares result;
    result.options = options;
    result.blank = blank;
    return result;
}

void compareShares(const OptionShares &actual, const OptionShares &expected)
{
    for (size_t k = 0; k < actual.options.size(); ++k)
        QCOMPARE(actual.options[k], expected.options[k]);
    QCOMPARE(actual.blank, expected.blank);
}

} // namespace

class TestItemAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void shouldComputeThePaperFigures()
    {
        const ItemAnalysis analysis = analyseItems(handComputedClass());
        QVERIFY(analysis.enoughStudents);
        QCOMPARE(analysis.groupSize, 2);
        const PaperFigures &paper = analysis.paper;
        QCOMPARE(paper.students, 8);
        // Scores 40 30 30 20 20 20 20 10: mean 190 / 8 = 23.75; squared deviations
        // 16.25² + 2·6.25² + 4·3.75² + 13.75² = 587.5, SD = √(587.5 / 8) = √73.4375 = 8.5695683.
        QCOMPARE(paper.mean, 23.75);
        QVERIFY(qFuzzyCompare(paper.standardDeviation, 8.569568250501305));
        QCOMPARE(paper.median, 20.0); // (20 + 20) / 2
        QCOMPARE(paper.lowest, 10.0);
        QCOMPARE(paper.highest, 40.0);
        // Item variances m²·p(1 − p): Q1 0, Q2 400·0.25·0.75 = 75, Q3 100·0.25·0.75 = 18.75,
        // Q4 100·0.625·0.375 = 23.4375; sum 117.1875. The item sums are the scores:
        // variance 73.4375. α = 4/3 · (1 − 117.1875 / 73.4375) = −0.79432624; SEM = 8.5695683 ·
        // √1.79432624 = 11.4791478.
        QVERIFY(paper.alpha.has_value());
        QVERIFY(qFuzzyCompare(*paper.alpha, -0.7943262411347517));
        QVERIFY(qFuzzyCompare(*paper.measurementError, 11.479147761629926));
    }

    void shouldCountScoresIntoTenBinsUpToTheFullMark()
    {
        const ScoreHistogram histogram = analyseItems(handComputedClass()).histogram;
        QCOMPARE(histogram.top, 50.0);
        // Bins of 5: 10 opens bin 2, 20 bin 4, 30 bin 6, 40 bin 8.
        QCOMPARE(histogram.counts, (std::array<int, 10>{0, 0, 1, 0, 4, 0, 2, 0, 1, 0}));
        QCOMPARE(histogram.gradeLimits.excellent, qint16(45));
        QCOMPARE(histogram.gradeLimits.pass, qint16(20));

        // The full mark itself belongs to the last bin, and so does a score above it.
        const ResultsData top = classOf({{50, {1}}, {55, {1}}, {0, {0}}}, {1}, {50});
        QCOMPARE(analyseItems(top).histogram.counts,
                 (std::array<int, 10>{1, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
    }

    void shouldFlagAQuestionEveryoneGotRight()
    {
        const ItemFigures item = analyseItems(handComputedClass()).items.at(0);
        QCOMPARE(item.number, 1);
        QCOMPARE(item.mark, 10.0);
        QCOMPARE(item.answered, 8);
        QCOMPARE(item.facility, 1.0);
        QCOMPARE(item.discrimination, 0.0);
        QVERIFY(!item.itemRest.has_value()); // the item score does not vary
        compareShares(item.all, shares({1, 0, 0, 0, 0, 0, 0}, 0));
        QCOMPARE(hintText(item.hints), QStringLiteral("过易、区分度低"));
    }

    void shouldAnalyseAMultipleAnswerQuestion()
    {
        const ItemFigures item = analyseItems(handComputedClass()).items.at(1);
        QCOMPARE(answerLetters(item.standardAnswer), QStringLiteral("AC"));
        // Only the whole answer 13 counts: 1001 and 1003 (1005's 1 and 1006's 123 do not).
        QCOMPARE(item.correct, 2);
        QCOMPARE(item.answered, 7); // 1004 left it blank
        QCOMPARE(item.facility, 0.25);
        QCOMPARE(item.discrimination, 1.0); // upper 2 of 2, lower 0 of 2
        // Ticked A: 1001 1003 1005 1006 1008; B: 1002 1006 1008; C: 1001 1003 1006 1007.
        compareShares(item.all, shares({0.625, 0.375, 0.5, 0, 0, 0, 0}, 0.125));
        compareShares(item.upper, shares({1, 0, 1, 0, 0, 0, 0}, 0));
        // 1008 (12) and 1007 (3); with 1002 (2) in place of 1008 A would be 0.
        compareShares(item.lower, shares({0.5, 0.5, 0.5, 0, 0, 0, 0}, 0));
        // Item scores by rank 20 20 0 0 0 0 0 0 (mean 5), rest 20 10 30 20 20 20 20 10
        // (mean 18.75): Σ(x − x̄)(y − ȳ) = −150, Σ(x − x̄)² = 600, Σ(y − ȳ)² = 287.5, r = −150 /
        // √172500.
        QVERIFY(qFuzzyCompare(*item.itemRest, -0.3611575592573076));
        QCOMPARE(hintText(item.hints), QString());
    }

    void shouldBreakTiesAtTheUpperBoundaryByNumber()
    {
        // Q3: 1003 (in the upper group) answered 4, 1005 (tied, outside) answered 2.
        const ItemFigures item = analyseItems(handComputedClass()).items.at(2);
        QCOMPARE(item.facility, 0.25);
        QCOMPARE(item.discrimination, 0.5); // upper 1 of 2, lower 0 of 2
        compareShares(item.upper, shares({0, 0.5, 0, 0.5, 0, 0, 0}, 0));
        compareShares(item.all, shares({0.125, 0.25, 0.25, 0.125, 0, 0, 0}, 0.25));
        QCOMPARE(item.answered, 6);
        // Item scores 10 0 10 0 0 0 0 0, rest 30 30 20 20 20 20 20 10: r = 0.36115756.
        QVERIFY(qFuzzyCompare(*item.itemRest, 0.3611575592573076));
        QCOMPARE(hintText(item.hints), QString());
    }

    void shouldSuspectAQuestionKeyedWrong()
    {
        // Q4 is keyed B; both students of the upper group chose C.
        const ItemFigures item = analyseItems(handComputedClass()).items.at(3);
        QCOMPARE(item.facility, 0.625);
        QCOMPARE(item.discrimination, -0.5); // upper 0 of 2, lower 1 of 2 (1008)
        compareShares(item.upper, shares({0, 0, 1, 0, 0, 0, 0}, 0));
        // Item scores 0 0 10 10 10 10 10 0, rest 40 30 20 10 10 10 10 10: r = −0.65158377.
        QVERIFY(qFuzzyCompare(*item.itemRest, -0.6515837655350016));
        QCOMPARE(hintText(item.hints), QStringLiteral("区分度低、答案可能有误"));
    }

    // Twenty students, one question keyed B, scores 20 … 1 in number order: upper group the first
    // five, lower group the last five (n = round(5.4) = 5). Wrong answers are blank unless the
    // student is one of the upper group's wrong ones who tick C.
    void shouldGiveHintsAtTheirLimits_data()
    {
        QTest::addColumn<int>("upperCorrect");
        QTest::addColumn<int>("upperTickingC");
        QTest::addColumn<int>("middleCorrect");
        QTest::addColumn<int>("lowerCorrect");
        QTest::addColumn<QString>("hints");
        // 3/5 − 2/5 is 0.19999999999999996 in floating point: still 0.2.
        QTest::newRow("D exactly 0.2") << 3 << 0 << 5 << 2 << QString();
        QTest::newRow("D 0") << 3 << 0 << 5 << 3 << QStringLiteral("区分度低");
        QTest::newRow("P exactly 0.2") << 3 << 0 << 1 << 0 << QString();
        QTest::newRow("P 0.15") << 3 << 0 << 0 << 0 << QStringLiteral("过难");
        QTest::newRow("P exactly 0.9") << 5 << 0 << 10 << 3 << QString();
        QTest::newRow("P 0.95") << 5 << 0 << 10 << 4 << QStringLiteral("过易");
        QTest::newRow("upper group prefers C")
            << 2 << 3 << 5 << 0 << QStringLiteral("答案可能有误");
        QTest::newRow("C as often as the key") << 2 << 2 << 5 << 0 << QString();
        QTest::newRow("D negative") << 1 << 0 << 5 << 3 << QStringLiteral("区分度低、答案可能有误");
    }

    void shouldGiveHintsAtTheirLimits()
    {
        QFETCH(int, upperCorrect);
        QFETCH(int, upperTickingC);
        QFETCH(int, middleCorrect);
        QFETCH(int, lowerCorrect);
        QFETCH(QString, hints);
        QList<Student> students;
        const auto add = [&](int count, int correct, int tickingC) {
            for (int i = 0; i < count; ++i) {
                const qint64 answer = i < correct ? 2 : (i < correct + tickingC ? 3 : 0);
                students.append(Student{double(20 - students.size()), {answer}});
            }
        };
        add(5, upperCorrect, upperTickingC);
        add(10, middleCorrect, 0);
        add(5, lowerCorrect, 0);
        const ItemAnalysis analysis = analyseItems(classOf(students, {2}, {1}));
        QCOMPARE(analysis.groupSize, 5);
        QCOMPARE(hintText(analysis.items.first().hints), hints);
    }

    void shouldRoundTheGroupSizeHalfUp_data()
    {
        QTest::addColumn<int>("students");
        QTest::addColumn<int>("groupSize");
        QTest::newRow("2") << 2 << 1;
        QTest::newRow("5: 1.35") << 5 << 1;
        QTest::newRow("6: 1.62") << 6 << 2;
        QTest::newRow("50: 13.5") << 50 << 14;
        QTest::newRow("150: 40.5") << 150 << 41;
        QTest::newRow("2000: 540") << 2000 << 540;
    }

    void shouldRoundTheGroupSizeHalfUp()
    {
        QFETCH(int, students);
        QFETCH(int, groupSize);
        QCOMPARE(extremeGroupSize(students), groupSize);
    }

    void shouldGiveNoFiguresForFewerThanTwoStudents()
    {
        // One student with a score; the other has none.
        const ItemAnalysis analysis =
            analyseItems(classOf({{30, {1, 2}}, {-1, {1, 2}}}, {1, 3}, {10, 20}));
        QVERIFY(!analysis.enoughStudents);
        QCOMPARE(analysis.paper.students, 1);
        QVERIFY(!analysis.paper.alpha.has_value());
        QCOMPARE(analysis.items.size(), 2);
        QCOMPARE(analysis.items.at(1).mark, 20.0);
        QCOMPARE(analysis.items.at(1).answered, 0);
        QCOMPARE(analysis.items.at(1).hints, 0u);
    }

    void shouldLeaveAlphaOutWhenTotalsDoNotVary()
    {
        // Two questions, both students 1 of 2: item variances 0.25 each, totals equal.
        const ItemAnalysis analysis =
            analyseItems(classOf({{1, {1, 0}}, {1, {0, 1}}}, {1, 1}, {1, 1}));
        QVERIFY(analysis.enoughStudents);
        QVERIFY(!analysis.paper.alpha.has_value());
        QVERIFY(!analysis.paper.measurementError.has_value());
        // Item scores 1, 0 against rests 0, 1.
        QCOMPARE(*analysis.items.at(0).itemRest, -1.0);
    }

    void shouldWriteStandardAnswersAsLetters_data()
    {
        QTest::addColumn<qint64>("digits");
        QTest::addColumn<QString>("letters");
        QTest::newRow("none") << qint64(0) << QString();
        QTest::newRow("single") << qint64(4) << QStringLiteral("D");
        QTest::newRow("all seven") << qint64(1234567) << QStringLiteral("ABCDEFG");
        QTest::newRow("digits beyond G left out") << qint64(189) << QStringLiteral("A");
    }

    void shouldWriteStandardAnswersAsLetters()
    {
        QFETCH(qint64, digits);
        QFETCH(QString, letters);
        QCOMPARE(answerLetters(digits), letters);
    }
};

QTEST_GUILESS_MAIN(TestItemAnalysis)
#include "tst_item_analysis.moc"
