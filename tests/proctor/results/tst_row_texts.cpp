#include "proctor/results/row_texts.h"

#include <QTest>

using namespace exam;

namespace {
QString underscores(int count)
{
    return QString(count, u'_');
}
} // namespace

class TestRowTexts : public QObject
{
    Q_OBJECT

private slots:
    void shouldPadOrCutFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("fill");
        QTest::addColumn<QString>("field");
        QTest::newRow("shorter is filled")
            << QStringLiteral("85") << 6 << 20 << QStringLiteral("85____");
        QTest::newRow("exact width")
            << QStringLiteral("100.25") << 6 << 20 << QStringLiteral("100.25");
        QTest::newRow("longer is cut")
            << QStringLiteral("100.2567") << 6 << 20 << QStringLiteral("100.25");
        QTest::newRow("empty") << QString() << 4 << 14 << QStringLiteral("____");
        QTest::newRow("fill shorter than width")
            << QStringLiteral("7") << 9 << 3 << QStringLiteral("7___");
        QTest::newRow("chinese counts by character")
            << QStringLiteral("张三李四王五") << 4 << 2 << QStringLiteral("张三李四");
    }
    void shouldPadOrCutFields()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, fill);
        QFETCH(QString, field);
        QCOMPARE(padField(text, width, fill), field);
    }

    void shouldWriteTheExampleStudentRows()
    {
        QCOMPARE(studentNamesRow(QStringLiteral("1003"), QStringLiteral("张三"), QString()),
                 QStringLiteral("1003___|_张三__") + underscores(29));
        QCOMPARE(
            studentScoreRow(QStringLiteral("85"), QStringLiteral("2"), QStringLiteral("00:12:40")),
            QStringLiteral("85_____|_2____|_00:12:40") + underscores(20));
    }

    void shouldShowFormerNameAfterTheName()
    {
        QCOMPARE(
            studentNamesRow(QStringLiteral("7"), QStringLiteral("王五"), QStringLiteral("王小五")),
            QStringLiteral("7_____") + QStringLiteral("_|_王五__王小五") + underscores(29));
    }

    void shouldHideScoreAndRankOfStudentWithoutScore()
    {
        // Logged in, not handed in: no score, no remaining time; any rank stays hidden.
        QCOMPARE(studentScoreRow(QString(), QStringLiteral("3"), QString()),
                 underscores(6) + QStringLiteral("_|_") + underscores(4) + QStringLiteral("_|_") +
                     underscores(20));
    }

    void shouldCutLongScoreAndRank()
    {
        const QString row = studentScoreRow(QStringLiteral("100.257"), QStringLiteral("12345"),
                                            QStringLiteral("0:1:2"));
        QCOMPARE(row, QStringLiteral("100.25_|_1234_|_0:1:2") + underscores(20));
    }

    void shouldWriteTheExampleQuestionRow()
    {
        QCOMPARE(questionRow(3, 67, 13),
                 QStringLiteral("3_________|_67________|_13") + underscores(13));
        QCOMPARE(questionRow(12, 100, 0),
                 QStringLiteral("12________|_100_______|_0") + underscores(13));
    }

    void shouldFollowAnswersAndStatisticsWith16Underscores()
    {
        QCOMPARE(answerRow(124), QStringLiteral("124") + underscores(16));
        QCOMPARE(answerRow(1234567), QStringLiteral("1234567") + underscores(16));
        QCOMPARE(statisticsRow(QStringLiteral("平均分")),
                 QStringLiteral("平均分") + underscores(16));
        QCOMPARE(statisticsRow(QString()), underscores(16));
    }
};

QTEST_GUILESS_MAIN(TestRowTexts)
#include "tst_row_texts.moc"
