#include "candidate/scoring.h"

#include <QTest>

using namespace exam::candidate;

namespace {

ExamPaper paperWith(const QStringList &answers, const QStringList &marks, int defaultMark)
{
    ExamPaper paper;
    paper.defaultMark = defaultMark;
    paper.questionCount = static_cast<int>(answers.size());
    for (qsizetype k = 0; k < answers.size(); ++k)
        paper.questions.append({QString(), QString(), answers.at(k), marks.value(k)});
    return paper;
}

QList<int> identity(int n)
{
    QList<int> order;
    for (int k = 1; k <= n; ++k)
        order.append(k);
    return order;
}

} // namespace

class TestScoring : public QObject
{
    Q_OBJECT

private slots:
    void scoresWithoutPartialCredit_data()
    {
        QTest::addColumn<QStringList>("standard");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<int>("defaultMark");
        QTest::addColumn<QList<double>>("answers");
        QTest::addColumn<qint64>("score");
        QTest::addColumn<double>("total");

        QTest::newRow("empty standard, nothing ticked")
            << QStringList{QString()} << QStringList{} << 2 << QList<double>{0} << qint64(2) << 2.0;
        QTest::newRow("empty standard, something ticked")
            << QStringList{QString()} << QStringList{} << 2 << QList<double>{1} << qint64(0) << 2.0;
        QTest::newRow("ABD on 124") << QStringList{QStringLiteral("124")} << QStringList{} << 3
                                    << QList<double>{124} << qint64(3) << 3.0;
        QTest::newRow("AB on 124") << QStringList{QStringLiteral("124")} << QStringList{} << 3
                                   << QList<double>{12} << qint64(0) << 3.0;
        QTest::newRow("0.5 each stays 0")
            << QStringList(4, QStringLiteral("1")) << QStringList(4, QStringLiteral("0.5")) << 1
            << QList<double>{1, 1, 1, 1} << qint64(0) << 2.0;
        QTest::newRow("1.5 each adds 2")
            << QStringList(3, QStringLiteral("1")) << QStringList(3, QStringLiteral("1.5")) << 1
            << QList<double>{1, 1, 1} << qint64(6) << 4.5;
        QTest::newRow("own mark, default mark, mark 0")
            << QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}
            << QStringList{QStringLiteral("4"), QString(), QStringLiteral("0")} << 5
            << QList<double>{1, 2, 3} << qint64(9) << 9.0;
        QTest::newRow("blank mark is the default")
            << QStringList{QStringLiteral("1")} << QStringList{QStringLiteral(" ")} << 5
            << QList<double>{1} << qint64(5) << 5.0;
        QTest::newRow("standard with blanks")
            << QStringList{QStringLiteral(" 13 ")} << QStringList{} << 2 << QList<double>{13}
            << qint64(2) << 2.0;
        QTest::newRow("beyond the 16-bit range")
            << QStringList(3, QStringLiteral("1")) << QStringList(3, QStringLiteral("20000")) << 0
            << QList<double>{1, 1, 1} << qint64(60000) << 60000.0;
    }
    void scoresWithoutPartialCredit()
    {
        QFETCH(QStringList, standard);
        QFETCH(QStringList, marks);
        QFETCH(int, defaultMark);
        QFETCH(QList<double>, answers);
        QFETCH(qint64, score);
        QFETCH(double, total);
        const ExamPaper paper = paperWith(standard, marks, defaultMark);
        const ScoreResult result =
            scorePaper(paper, answers, identity(paper.questionCount), paper.questionCount);
        QCOMPARE(result.score, score);
        QCOMPARE(result.total, total);
    }

    void scoresOnlyThePresentedPositions()
    {
        // A draw of 2 out of 4: positions show questions 4 and 2; questions 1 and 3 do not count.
        const ExamPaper paper = paperWith(QStringList(4, QStringLiteral("1")), {}, 10);
        const ScoreResult result = scorePaper(paper, {1, 1, 1, 0}, {4, 2, 1, 3}, 2);
        QCOMPARE(result.score, qint64(10));
        QCOMPARE(result.total, 20.0);
    }

    void markTextShowsTheDefaultWhenEmpty()
    {
        QCOMPARE(markText({QString(), QString(), QString(), QString()}, 3), QStringLiteral("3"));
        QCOMPARE(markText({QString(), QString(), QString(), QStringLiteral("1.5")}, 3),
                 QStringLiteral("1.5"));
    }

    void handInMessageShowsExactTotalAndScore()
    {
        const QString cr(QChar(13));
        QCOMPARE(handInMessage(true, {6, 4.5}),
                 QStringLiteral("        本试卷总分为:4.5") + cr +
                     QStringLiteral("        您的成绩为:6          ") + cr +
                     QStringLiteral("            谢谢使用!"));
        QCOMPARE(handInMessage(false, {6, 4.5}),
                 QStringLiteral("        您的考试成绩已经保存。          ") + cr +
                     QStringLiteral("       谢谢使用! 再见!         "));
    }
};

QTEST_GUILESS_MAIN(TestScoring)
#include "tst_scoring.moc"
