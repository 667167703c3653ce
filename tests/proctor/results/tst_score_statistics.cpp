#include "proctor/results/score_statistics.h"

#include <QTest>

using namespace exam;

Q_DECLARE_METATYPE(exam::GradeBand)
Q_DECLARE_METATYPE(exam::GradeThresholds)

namespace {

const GradeThresholds usual{90, 80, 70, 60};

ScoreStatistics statisticsOf(const QList<double> &scores, const GradeThresholds &thresholds = usual)
{
    ScoreStatistics statistics(thresholds);
    for (double score : scores)
        statistics.add(score);
    return statistics;
}

// The panel's text at a row, without its 16 underscores.
QString panelText(const ScoreStatistics &statistics, int row)
{
    QString text = statistics.panelRows().at(row);
    if (!text.endsWith(QString(16, u'_')))
        return QStringLiteral("<row without underscores>");
    text.chop(16);
    return text;
}

} // namespace

class TestScoreStatistics : public QObject
{
    Q_OBJECT

private slots:
    void shouldPutScoresIntoBands_data()
    {
        QTest::addColumn<double>("score");
        QTest::addColumn<GradeThresholds>("thresholds");
        QTest::addColumn<GradeBand>("band");
        QTest::newRow("90 excellent") << 90.0 << usual << GradeBand::Excellent;
        QTest::newRow("89.5 good") << 89.5 << usual << GradeBand::Good;
        QTest::newRow("70 medium") << 70.0 << usual << GradeBand::Medium;
        QTest::newRow("60 pass") << 60.0 << usual << GradeBand::Pass;
        QTest::newRow("59.9 fail") << 59.9 << usual << GradeBand::Fail;
        QTest::newRow("0 with D above 0 fails") << 0.0 << usual << GradeBand::Fail;
        QTest::newRow("no thresholds: all excellent")
            << 0.0 << GradeThresholds{} << GradeBand::Excellent;
        QTest::newRow("out of order: A tested first")
            << 85.0 << GradeThresholds{80, 90, 70, 60} << GradeBand::Excellent;
        QTest::newRow("out of order: B unreachable")
            << 79.0 << GradeThresholds{80, 90, 70, 60} << GradeBand::Medium;
    }
    void shouldPutScoresIntoBands()
    {
        QFETCH(double, score);
        QFETCH(GradeThresholds, thresholds);
        QFETCH(GradeBand, band);
        QCOMPARE(gradeBand(score, thresholds), band);
        const ScoreStatistics statistics = statisticsOf({score}, thresholds);
        QCOMPARE(statistics.bandCount(band), 1);
        QCOMPARE(statistics.passed(), band == GradeBand::Fail ? 0 : 1);
    }

    void shouldRoundHighestLowestAndTotalHalfToEven()
    {
        const ScoreStatistics statistics = statisticsOf({88.5, 89.5});
        QCOMPARE(statistics.highest(), 90);
        QCOMPARE(statistics.lowest(), 88);
        QCOMPARE(statistics.total(), 178);
        QCOMPARE(panelText(statistics, 3), QStringLiteral("90"));
        QCOMPARE(panelText(statistics, 5), QStringLiteral("88"));
    }

    void shouldShowZerosAndNoPercentagesWhenNobodyHandedIn()
    {
        const ScoreStatistics statistics = statisticsOf({});
        const QStringList rows = statistics.panelRows();
        QCOMPARE(rows.size(), 22);
        QCOMPARE(panelText(statistics, 0), QStringLiteral("平均分"));
        QCOMPARE(panelText(statistics, 1), QString());
        for (int row : {3, 5, 7, 9, 11, 13, 15, 17, 19, 21})
            QCOMPARE(panelText(statistics, row), QStringLiteral("0"));
        QCOMPARE(panelText(statistics, 20), QStringLiteral("及格总人数:"));
    }

    void shouldCutTheAverageButNotThePercentages()
    {
        const ScoreStatistics statistics = statisticsOf({80, 82, 83}); // 245 / 3
        QCOMPARE(statistics.averageText(), QStringLiteral("81.6666666666667"));
        QCOMPARE(panelText(statistics, 1), QStringLiteral("81.666"));
        const QStringList rows = statistics.panelRows();
        QCOMPARE(rows.size(), 32);
        QCOMPARE(panelText(statistics, 22), QStringLiteral("优秀%"));
        QCOMPARE(panelText(statistics, 24), QStringLiteral("良好%"));
        QCOMPARE(panelText(statistics, 25), QStringLiteral("100"));
        QCOMPARE(panelText(statistics, 23), QStringLiteral("0"));
    }

    void shouldWritePercentagesInShortestForm_data()
    {
        QTest::addColumn<QList<double>>("scores");
        QTest::addColumn<QString>("excellentPercent");
        QTest::newRow("one of three")
            << QList<double>{95, 10, 20} << QStringLiteral("33.3333333333333");
        QTest::newRow("three of four") << QList<double>{95, 91, 90, 10} << QStringLiteral("75");
        QTest::newRow("one of eight")
            << QList<double>{95, 1, 1, 1, 1, 1, 1, 1} << QStringLiteral("12.5");
    }
    void shouldWritePercentagesInShortestForm()
    {
        QFETCH(QList<double>, scores);
        QFETCH(QString, excellentPercent);
        QCOMPARE(panelText(statisticsOf(scores), 23), excellentPercent);
    }

    void shouldCountAScoreOfZeroAsParticipantInTheFailBand()
    {
        const ScoreStatistics statistics = statisticsOf({0});
        QCOMPARE(statistics.participants(), 1);
        QCOMPARE(statistics.bandCount(GradeBand::Fail), 1);
        QCOMPARE(statistics.lowest(), 0);
        QCOMPARE(panelText(statistics, 1), QStringLiteral("0"));
    }

    void shouldKeepLowestScoreOfParticipantsAboveAThousand()
    {
        const ScoreStatistics statistics = statisticsOf({1500, 1200});
        QCOMPARE(statistics.lowest(), 1200);
        QCOMPARE(statistics.highest(), 1500);
    }

    void shouldNotOverflowInLargeClasses()
    {
        QList<double> scores(400, 100.0);
        const ScoreStatistics statistics = statisticsOf(scores);
        QCOMPARE(statistics.total(), 40000);
        QCOMPARE(statistics.bandCount(GradeBand::Excellent), 400);
        QCOMPARE(statistics.percentText(400), QStringLiteral("100"));
        QCOMPARE(panelText(statistics, 1), QStringLiteral("100"));
    }

    void shouldRankByCompetition_data()
    {
        QTest::addColumn<QList<double>>("keys");
        QTest::addColumn<int>("places");
        QTest::addColumn<QStringList>("ranks");
        QTest::newRow("90 85 85 80")
            << QList<double>{90, 85, 85, 80} << 4 << QStringList{"1", "2", "2", "4"};
        QTest::newRow("positions out of score order")
            << QList<double>{80, 85, 90, 85} << 4 << QStringList{"4", "2", "1", "2"};
        QTest::newRow("no score ranks last with 0")
            << QList<double>{0, 70, 0} << 3 << QStringList{"2", "1", "2"};
        QTest::newRow("class count below range")
            << QList<double>{90, 85, 85, 80} << 2
            << QStringList{"1", "", "2", ""}; // tie: higher position first
        // The last place taken belongs to the tie's higher position.
        QTest::newRow("class count cuts inside a tie")
            << QList<double>{85, 85, 90} << 2 << QStringList{"", "2", "1"};
        QTest::newRow("class count 0") << QList<double>{90, 85} << 0 << QStringList{"", ""};
        QTest::newRow("negative class count") << QList<double>{90} << -3 << QStringList{""};
        QTest::newRow("class count above range")
            << QList<double>{90, 85} << 30 << QStringList{"1", "2"};
    }
    void shouldRankByCompetition()
    {
        QFETCH(QList<double>, keys);
        QFETCH(int, places);
        QFETCH(QStringList, ranks);
        QCOMPARE(competitionRanks(keys, places), ranks);
    }
};

QTEST_GUILESS_MAIN(TestScoreStatistics)
#include "tst_score_statistics.moc"
