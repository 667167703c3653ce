#include "proctor/authoring/question_table.h"

#include <QTest>

using exam::PaperData;
using exam::PaperQuestion;
using exam::QuestionTable;

namespace {

// Questions named "q1" … "qn" with texts "t1" … "tn", answer k and mark "m<k>".
QuestionTable numbered(int count)
{
    PaperData paper;
    paper.questionCount = static_cast<qint16>(count);
    paper.defaultMark = 5;
    paper.questions.resize(count + 2);
    QStringList texts;
    for (int k = 1; k <= count; ++k) {
        paper.questions[k] =
            PaperQuestion{QStringLiteral("q%1").arg(k), QStringLiteral("e%1").arg(k),
                          QString::number(k), QStringLiteral("%1").arg(k + 1)};
        texts.append(QStringLiteral("t%1").arg(k));
    }
    return QuestionTable(paper, texts);
}

// The question file names in row order, for compact comparisons.
QStringList order(const QuestionTable &table)
{
    QStringList names;
    for (int k = 1; k <= table.count(); ++k)
        names.append(table.question(k).questionFile);
    return names;
}

QStringList texts(const QuestionTable &table)
{
    QStringList result;
    for (int k = 1; k <= table.count(); ++k)
        result.append(table.plainText(k));
    return result;
}

} // namespace

class TestQuestionTable : public QObject
{
    Q_OBJECT

private slots:
    void insertOnThirdOfFiveShouldGiveRowFourWithTheMarkAbove();
    void insertWithoutCurrentQuestionShouldGoFirstWithoutMark();
    void removeShouldCloseTheGap();
    void removeShouldRefuseTheLastQuestion();
    void moves_data();
    void moves();
    void appendShouldAddAfterTheLast();
    void spareRowsShouldFollowTheCount();
    void runningTotal_data();
    void runningTotal();
    void questionFileShouldMatchIgnoringCaseAndBlanks();
    void referencedFilesShouldListBothFilesInLowerCase();
};

void TestQuestionTable::insertOnThirdOfFiveShouldGiveRowFourWithTheMarkAbove()
{
    QuestionTable table = numbered(5);
    QCOMPARE(table.insertAfter(3, QStringLiteral("n"), QStringLiteral("ne")), 4);
    QCOMPARE(table.count(), 6);
    QCOMPARE(order(table), QStringList({"q1", "q2", "q3", "n", "q4", "q5"}));
    QCOMPARE(texts(table), QStringList({"t1", "t2", "t3", "", "t4", "t5"}));
    QCOMPARE(table.question(4).explainFile, QStringLiteral("ne"));
    QCOMPARE(table.question(4).answer, QString());
    QCOMPARE(table.question(4).mark, table.question(3).mark);
    QCOMPARE(table.question(5).answer, QStringLiteral("4"));
}

void TestQuestionTable::insertWithoutCurrentQuestionShouldGoFirstWithoutMark()
{
    QuestionTable empty;
    QCOMPARE(empty.insertAfter(0, QStringLiteral("a"), QStringLiteral("b")), 1);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.question(1).mark, QString());

    QuestionTable table = numbered(2);
    QCOMPARE(table.insertAfter(0, QStringLiteral("n"), QStringLiteral("ne")), 1);
    QCOMPARE(order(table), QStringList({"n", "q1", "q2"}));
    QCOMPARE(table.question(1).mark, QString());
}

void TestQuestionTable::removeShouldCloseTheGap()
{
    QuestionTable table = numbered(5);
    QVERIFY(table.remove(2));
    QCOMPARE(order(table), QStringList({"q1", "q3", "q4", "q5"}));
    QCOMPARE(texts(table), QStringList({"t1", "t3", "t4", "t5"}));
    QVERIFY(table.remove(4));
    QCOMPARE(order(table), QStringList({"q1", "q3", "q4"}));
    QVERIFY(!table.remove(0));
    QVERIFY(!table.remove(4));
    QCOMPARE(table.count(), 3);
}

void TestQuestionTable::removeShouldRefuseTheLastQuestion()
{
    QuestionTable table = numbered(1);
    QVERIFY(!table.remove(1));
    QCOMPARE(order(table), QStringList({"q1"}));
}

void TestQuestionTable::moves_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QStringList>("expected");
    const QStringList unchanged = {"q1", "q2", "q3"};
    QTest::newRow("first up") << true << 1 << false << unchanged;
    QTest::newRow("last down") << false << 3 << false << unchanged;
    QTest::newRow("none up") << true << 0 << false << unchanged;
    QTest::newRow("none down") << false << 0 << false << unchanged;
    QTest::newRow("second up") << true << 2 << true << QStringList({"q2", "q1", "q3"});
    QTest::newRow("last up") << true << 3 << true << QStringList({"q1", "q3", "q2"});
    QTest::newRow("first down") << false << 1 << true << QStringList({"q2", "q1", "q3"});
    QTest::newRow("second down") << false << 2 << true << QStringList({"q1", "q3", "q2"});
}

void TestQuestionTable::moves()
{
    QFETCH(bool, up);
    QFETCH(int, row);
    QFETCH(bool, moved);
    QFETCH(QStringList, expected);
    QuestionTable table = numbered(3);
    QCOMPARE(up ? table.moveUp(row) : table.moveDown(row), moved);
    QCOMPARE(order(table), expected);
    // Texts, answers and marks go with their question.
    for (int k = 1; k <= 3; ++k) {
        const QString n = table.question(k).questionFile.mid(1);
        QCOMPARE(table.plainText(k), u't' + n);
        QCOMPARE(table.question(k).answer, n);
    }
}

void TestQuestionTable::appendShouldAddAfterTheLast()
{
    QuestionTable table = numbered(2);
    const PaperQuestion imported{QStringLiteral("x"), QStringLiteral("xe"), QStringLiteral("24"),
                                 QString()};
    QCOMPARE(table.append(imported, QStringLiteral("导入")), 3);
    QCOMPARE(table.question(3), imported);
    QCOMPARE(table.plainText(3), QStringLiteral("导入"));
}

void TestQuestionTable::spareRowsShouldFollowTheCount()
{
    QuestionTable table = numbered(3);
    QCOMPARE(table.paper().questions.size(), 5);
    table.insertAfter(1, QStringLiteral("n"), QStringLiteral("ne"));
    QCOMPARE(table.paper().questions.size(), 6);
    table.remove(1);
    table.remove(1);
    QCOMPARE(table.paper().questions.size(), 4);
    QCOMPARE(table.paper().questionCount, 2);
}

void TestQuestionTable::runningTotal_data()
{
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QList<int>>("totals");
    // Default mark 5: an empty mark counts 5, 2.5 rounds half to even after each addition.
    QTest::newRow("empty, 2.5, 3") << QStringList({"", "2.5", "3"}) << QList<int>({5, 8, 11});
    QTest::newRow("blank counts default") << QStringList({" ", "0"}) << QList<int>({5, 5});
    QTest::newRow("halves") << QStringList({"0.5", "0.5", "0.5"}) << QList<int>({0, 0, 0});
    QTest::newRow("1.5 steps") << QStringList({"1.5", "1.5"}) << QList<int>({2, 4});
}

void TestQuestionTable::runningTotal()
{
    QFETCH(QStringList, marks);
    QFETCH(QList<int>, totals);
    QuestionTable table;
    table.setDefaultMark(5);
    for (int k = 1; k <= marks.size(); ++k) {
        QCOMPARE(
            table.insertAfter(k - 1, QStringLiteral("q%1").arg(k), QStringLiteral("e%1").arg(k)),
            k);
        table.setMark(k, marks.at(k - 1));
        QCOMPARE(table.total(), totals.at(k - 1));
    }
    QCOMPARE(table.paperToSave().fullMark, totals.last());
}

void TestQuestionTable::questionFileShouldMatchIgnoringCaseAndBlanks()
{
    const QuestionTable table = numbered(2);
    QVERIFY(table.hasQuestionFile(QStringLiteral(" Q2 ")));
    QVERIFY(!table.hasQuestionFile(QStringLiteral("e1")));
    QVERIFY(!table.hasQuestionFile(QStringLiteral("q3")));
    QVERIFY(!QuestionTable().hasQuestionFile(QString()));
}

void TestQuestionTable::referencedFilesShouldListBothFilesInLowerCase()
{
    PaperData paper;
    paper.questionCount = 2;
    paper.questions.resize(4);
    paper.questions[1] = PaperQuestion{QStringLiteral("A.RTF"), QStringLiteral(" b.rtf "), {}, {}};
    paper.questions[2] = PaperQuestion{QStringLiteral("c.RTF"), QString(), {}, {}};
    // A spare row beyond the count names nothing.
    paper.questions[3] = PaperQuestion{QStringLiteral("stale.RTF"), QString(), {}, {}};
    QCOMPARE(QuestionTable(paper).referencedFiles(), QSet<QString>({"a.rtf", "b.rtf", "c.rtf"}));
}

QTEST_APPLESS_MAIN(TestQuestionTable)
#include "tst_question_table.moc"
