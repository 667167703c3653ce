#include "platform/xlsx/workbook.h"
#include "proctor/export/results_export.h"
#include "proctor/export/score_sheet.h"
#include "proctor/results/results_presenter.h"
#include "results_fixture.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace exam;

Q_DECLARE_METATYPE(exam::ResultsData)

namespace {

const QString scoreTemplate = QStringLiteral(EXAM_TEMPLATES_DIR "/score.xlt");

using CellSet = QSet<QString>;

// "A6:F8" and single cells, as a set of cell names.
CellSet cellsOf(std::initializer_list<const char *> ranges)
{
    CellSet set;
    for (const char *range : ranges) {
        const QStringList corners = QString::fromLatin1(range).split(u':');
        const auto first = xlsx::parseCellName(corners.first());
        const auto last = xlsx::parseCellName(corners.last());
        for (int row = first->row; row <= last->row; ++row) {
            for (int column = first->column; column <= last->column; ++column)
                set.insert(xlsx::cellName(xlsx::CellPosition{row, column}));
        }
    }
    return set;
}

// The cells of a sheet that the export added or changed, compared with the template.
CellSet touchedCells(const xlsx::Workbook &before, const xlsx::Workbook &after, int sheet)
{
    QSet<QString> templateCells;
    for (const xlsx::Cell &cell : before.cells(sheet))
        templateCells.insert(xlsx::cellName(cell.position));
    CellSet touched;
    for (const xlsx::Cell &cell : after.cells(sheet)) {
        const QString name = xlsx::cellName(cell.position);
        const xlsx::Cell old = before.cell(sheet, cell.position.row, cell.position.column);
        if (!templateCells.contains(name) || old.type != cell.type || old.text != cell.text)
            touched.insert(name);
    }
    return touched;
}

QString text(const xlsx::Workbook &book, ScoreSheet sheet, int row, int column)
{
    const xlsx::Cell cell = book.cell(int(sheet), row, column);
    return cell.type == xlsx::CellType::Text ? cell.text : QString();
}

double number(const xlsx::Workbook &book, ScoreSheet sheet, int row, int column)
{
    const xlsx::Cell cell = book.cell(int(sheet), row, column);
    return cell.type == xlsx::CellType::Number ? cell.number : qQNaN();
}

} // namespace

class TestScoreSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldFillExactlyTheTabledCells_data();
    void shouldFillExactlyTheTabledCells();
    void shouldWriteTheStudentTableInNumberOrder();
    void shouldWriteTheStatisticsOfTheRefresh();
    void shouldWriteTheQuestionTableAndTheAnswerGrid();
    void shouldWriteTheSameWorkbookWhateverTheWindowsOrder();
    void shouldWriteNumbersAsNumbersAndTextAsText_data();
    void shouldWriteNumbersAsNumbersAndTextAsText();
    void shouldWriteThePaperAndQuestionQuality();
    void shouldSayTooFewStudentsInTheQualitySheets();

private:
    xlsx::Workbook *exported(const ResultsData &data);
    QTemporaryDir m_folder;
    xlsx::Workbook m_template;
    std::vector<std::unique_ptr<xlsx::Workbook>> m_books;
};

void TestScoreSheet::initTestCase()
{
    QVERIFY(m_template.open(scoreTemplate));
}

xlsx::Workbook *TestScoreSheet::exported(const ResultsData &data)
{
    const ScoreExportOutcome outcome = exportScoreSheet(data, scoreTemplate, m_folder.path());
    if (!outcome.ok) {
        qWarning() << outcome.error;
        return nullptr;
    }
    auto book = std::make_unique<xlsx::Workbook>();
    if (!book->open(outcome.filePath) || book->isTemplate())
        return nullptr;
    m_books.push_back(std::move(book));
    return m_books.back().get();
}

void TestScoreSheet::shouldFillExactlyTheTabledCells_data()
{
    QTest::addColumn<ResultsData>("data");
    QTest::addColumn<CellSet>("students");
    QTest::addColumn<CellSet>("statistics");
    QTest::addColumn<CellSet>("questions");
    QTest::addColumn<CellSet>("answers");
    QTest::newRow("3 students, 2 questions")
        << threeStudentsTwoQuestions() << cellsOf({"B2", "E1", "A6:F8"})
        << cellsOf({"B1", "B2", "B6:B22"}) << cellsOf({"B2", "F1", "A6:H7"})
        << cellsOf({"B2", "F1", "D5:E5", "A6:C8", "D6:E6", "D8:E8"});
    QTest::newRow("nobody handed in")
        << nobodyHandedIn() << cellsOf({"B2", "E1", "A6:F8"}) << cellsOf({"B1", "B2", "B7:B16"})
        << cellsOf({"B2", "F1", "A6:H7"}) << cellsOf({"B2", "F1", "D5:E5", "A6:C8"});
    QTest::newRow("class count below the number range")
        << makeResults(
               {{QStringLiteral("甲"), {}, QStringLiteral("70"), QStringLiteral("00:01:00"), {1}},
                {QStringLiteral("乙"), {}, QStringLiteral("60"), QStringLiteral("00:01:00"), {2}},
                {QStringLiteral("丙"), {}, QStringLiteral("50"), QStringLiteral("00:01:00"), {3}}},
               {1}, 2)
        << cellsOf({"B2", "E1", "A6:F7"}) << cellsOf({"B1", "B2", "B6:B22"})
        << cellsOf({"B2", "F1", "A6:H6"}) << cellsOf({"B2", "F1", "D5", "A6:D7"});
}

void TestScoreSheet::shouldFillExactlyTheTabledCells()
{
    QFETCH(ResultsData, data);
    QFETCH(CellSet, students);
    QFETCH(CellSet, statistics);
    QFETCH(CellSet, questions);
    QFETCH(CellSet, answers);
    const xlsx::Workbook *book = exported(data);
    QVERIFY(book);
    QCOMPARE(touchedCells(m_template, *book, int(ScoreSheet::Students)), students);
    QCOMPARE(touchedCells(m_template, *book, int(ScoreSheet::Statistics)), statistics);
    QCOMPARE(touchedCells(m_template, *book, int(ScoreSheet::Questions)), questions);
    QCOMPARE(touchedCells(m_template, *book, int(ScoreSheet::Answers)), answers);
    // The template's own cells keep their texts and formats.
    for (int sheet = 1; sheet <= 4; ++sheet) {
        for (const xlsx::Cell &cell : m_template.cells(sheet)) {
            const xlsx::Cell now = book->cell(sheet, cell.position.row, cell.position.column);
            QCOMPARE(now.style, cell.style);
            if (cell.type == xlsx::CellType::Text)
                QCOMPARE(now.text, cell.text);
        }
    }
}

void TestScoreSheet::shouldWriteTheStudentTableInNumberOrder()
{
    const ResultsData data = threeStudentsTwoQuestions();
    const xlsx::Workbook *book = exported(data);
    QVERIFY(book);
    constexpr ScoreSheet s = ScoreSheet::Students;
    QCOMPARE(text(*book, s, 2, 2), data.paper);
    QCOMPARE(text(*book, s, 1, 5), data.className);
    for (int i = 0; i < 3; ++i) {
        const StudentRecord &student = data.students.at(i);
        const int row = 6 + i;
        QCOMPARE(number(*book, s, row, 1), student.number.toDouble());
        QCOMPARE(text(*book, s, row, 2), student.name);
        QCOMPARE(text(*book, s, row, 3), student.formerName);
        if (student.hasScore)
            QCOMPARE(number(*book, s, row, 4), student.scoreValue);
        else
            QCOMPARE(book->cell(int(s), row, 4).type, xlsx::CellType::Empty);
        QCOMPARE(text(*book, s, row, 6), student.remainingTime);
    }
    QCOMPARE(number(*book, s, 6, 1), 1001.0);
    QCOMPARE(text(*book, s, 7, 3), QStringLiteral("李小四"));
    // Ranks as the window shows them: none for 李四, who has no score.
    QCOMPARE(number(*book, s, 6, 5), 2.0);
    QCOMPARE(book->cell(int(s), 7, 5).type, xlsx::CellType::Empty);
    QCOMPARE(number(*book, s, 8, 5), 1.0);
}

void TestScoreSheet::shouldWriteTheStatisticsOfTheRefresh()
{
    const ResultsData data = threeStudentsTwoQuestions();
    const ScoreStatistics &st = data.statistics;
    const xlsx::Workbook *book = exported(data);
    QVERIFY(book);
    constexpr ScoreSheet s = ScoreSheet::Statistics;
    QCOMPARE(text(*book, s, 2, 2), data.paper);
    QCOMPARE(text(*book, s, 1, 2), data.className);
    QCOMPARE(number(*book, s, 6, 2), st.averageText().toDouble());
    const QList<qint64> counts = {st.highest(),
                                  st.lowest(),
                                  st.participants(),
                                  st.total(),
                                  st.bandCount(GradeBand::Excellent),
                                  st.bandCount(GradeBand::Good),
                                  st.bandCount(GradeBand::Medium),
                                  st.bandCount(GradeBand::Pass),
                                  st.bandCount(GradeBand::Fail),
                                  st.passed()};
    for (int k = 0; k < counts.size(); ++k)
        QCOMPARE(number(*book, s, 7 + k, 2), double(counts.at(k)));
    for (int band = 0; band < GradeBandCount; ++band)
        QCOMPARE(number(*book, s, 17 + band, 2),
                 st.percentText(st.bandCount(GradeBand(band))).toDouble());
    QCOMPARE(number(*book, s, 22, 2), st.percentText(st.passed()).toDouble());
    // 85 and 90 with thresholds 90/80/70/60: one excellent, one good, both passed.
    QCOMPARE(number(*book, s, 9, 2), 2.0);
    QCOMPARE(number(*book, s, 22, 2), 100.0);
    QCOMPARE(number(*book, s, 6, 2), 87.5);
}

void TestScoreSheet::shouldWriteTheQuestionTableAndTheAnswerGrid()
{
    const ResultsData data = threeStudentsTwoQuestions();
    const xlsx::Workbook *book = exported(data);
    QVERIFY(book);
    for (const QuestionRow &q : data.questions) {
        const int row = 5 + q.number;
        QCOMPARE(number(*book, ScoreSheet::Questions, row, 1), double(q.number));
        QCOMPARE(number(*book, ScoreSheet::Questions, row, 2), double(q.standardAnswer));
        QCOMPARE(number(*book, ScoreSheet::Questions, row, 3), double(q.correctRate));
        for (int k = 0; k < TableOptionCount; ++k)
            QCOMPARE(number(*book, ScoreSheet::Questions, row, 4 + k),
                     double(q.optionCounts[size_t(k)]));
    }
    QCOMPARE(text(*book, ScoreSheet::Questions, 1, 6), data.className);
    QCOMPARE(text(*book, ScoreSheet::Answers, 5, 4), QStringLiteral("题号1"));
    QCOMPARE(text(*book, ScoreSheet::Answers, 5, 5), QStringLiteral("题号2"));
    QCOMPARE(text(*book, ScoreSheet::Answers, 1, 6), data.className);
    for (int i = 0; i < data.students.size(); ++i) {
        const StudentRecord &student = data.students.at(i);
        QCOMPARE(number(*book, ScoreSheet::Answers, 6 + i, 1), student.number.toDouble());
        QCOMPARE(text(*book, ScoreSheet::Answers, 6 + i, 2), student.name);
        for (int q = 1; q <= 2; ++q) {
            const xlsx::Cell cell = book->cell(int(ScoreSheet::Answers), 6 + i, 3 + q);
            if (student.hasScore)
                QCOMPARE(cell.number, double(student.answers.at(q - 1)));
            else
                QCOMPARE(cell.type, xlsx::CellType::Empty);
        }
    }
    QCOMPARE(number(*book, ScoreSheet::Answers, 8, 5), 24.0);
}

void TestScoreSheet::shouldWriteTheSameWorkbookWhateverTheWindowsOrder()
{
    ResultsPresenter presenter(m_folder.path());
    presenter.setData(threeStudentsTwoQuestions());
    const xlsx::Workbook *plain = exported(presenter.data());
    QVERIFY(plain);

    presenter.sortStudents(StudentColumn::Score);
    presenter.sortQuestions(QuestionColumn::CorrectRate);
    presenter.sortQuestions(QuestionColumn::Number);
    QCOMPARE_NE(presenter.studentOrder(), (QList<int>{0, 1, 2}));
    QCOMPARE_NE(presenter.questionOrder(), (QList<int>{0, 1}));
    const xlsx::Workbook *sorted = exported(presenter.data());
    QVERIFY(sorted);

    for (int sheet = 1; sheet <= 4; ++sheet) {
        const std::vector<xlsx::Cell> a = plain->cells(sheet);
        const std::vector<xlsx::Cell> b = sorted->cells(sheet);
        QCOMPARE(a.size(), b.size());
        for (size_t k = 0; k < a.size(); ++k) {
            QCOMPARE(b[k].position, a[k].position);
            QCOMPARE(b[k].type, a[k].type);
            QCOMPARE(b[k].text, a[k].text);
        }
    }
}

void TestScoreSheet::shouldWriteNumbersAsNumbersAndTextAsText_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("whole") << "85" << true;
    QTest::newRow("decimal") << "81.6666666666667" << true;
    QTest::newRow("negative") << "-3" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("time") << "00:12:40" << false;
    QTest::newRow("trailing text") << "85分" << false;
    QTest::newRow("exponent") << "1e5" << false;
    QTest::newRow("lone point") << "85." << false;
    QTest::newRow("full-width digits") << QStringLiteral("８５") << false;
    QTest::newRow("not a number") << "nan" << false;
}

void TestScoreSheet::shouldWriteNumbersAsNumbersAndTextAsText()
{
    QFETCH(QString, value);
    QFETCH(bool, isNumber);
    xlsx::Workbook book;
    QVERIFY(book.open(scoreTemplate));
    QVERIFY(writeValue(book, ScoreSheet::Students, 6, 4, value));
    const xlsx::Cell cell = book.cell(int(ScoreSheet::Students), 6, 4);
    if (isNumber) {
        QCOMPARE(cell.type, xlsx::CellType::Number);
        QCOMPARE(cell.number, value.toDouble());
    } else {
        QCOMPARE(cell.type, value.isEmpty() ? xlsx::CellType::Empty : xlsx::CellType::Text);
        QCOMPARE(cell.text, value);
    }
}

// Two students with a score out of three, two questions worth 50:
//   王五 (1003) 90: 13 ✓, 24 ✗      张三 (1001) 85: 13 ✓, 2 ✓      李四: no score
// N = 2, n = 1: upper group 王五, lower group 张三. Mean 87.5, SD 2.5, median 87.5.
// Item scores: Q1 50 50 (variance 0), Q2 0 50 (variance 625); item sums 50 100 (variance 625):
// α = 2 · (1 − 625 / 625) = 0, SEM = 2.5 · √1 = 2.5.
// Q1: P 1, D 0, no item–rest correlation; A and C ticked by both: 过易、区分度低.
// Q2: P 0.5, D 0 − 1 = −1; item scores 0 50 against rests 90 35: r = −1; B ticked by both, D by
// one: 区分度低、答案可能有误.
void TestScoreSheet::shouldWriteThePaperAndQuestionQuality()
{
    ResultsData data = threeStudentsTwoQuestions();
    data.questionMarks = {50, 50};
    const xlsx::Workbook *book = exported(data);
    QVERIFY(book);
    QCOMPARE(book->sheetName(5), QStringLiteral("试卷质量"));
    const QList<double> figures = {2, 87.5, 2.5, 87.5, 85, 90, 0, 2.5};
    for (int k = 0; k < figures.size(); ++k)
        QCOMPARE(book->cell(5, 2 + k, 2).number, figures.at(k));
    QCOMPARE(book->cell(5, 2 + 6, 2).type, xlsx::CellType::Number);

    const auto row = [&](int r) {
        QStringList cells;
        for (int column = 1; column <= 16; ++column) {
            const xlsx::Cell cell = book->cell(6, r, column);
            cells.append(cell.type == xlsx::CellType::Number ? QString::number(cell.number)
                                                             : cell.text);
        }
        return cells;
    };
    QCOMPARE(row(2), (QStringList{"1", "50", "AC", "2", "1", "0", "", "1", "0", "1", "0", "0", "0",
                                  "0", "0", "过易、区分度低"}));
    QCOMPARE(row(3), (QStringList{"2", "50", "B", "2", "0.5", "-1", "-1", "0", "1", "0", "0.5", "0",
                                  "0", "0", "0", "区分度低、答案可能有误"}));
    QCOMPARE(book->cell(6, 4, 1).type, xlsx::CellType::Empty);
    QCOMPARE(book->cell(6, 1, 1).text, QStringLiteral("题号"));
}

void TestScoreSheet::shouldSayTooFewStudentsInTheQualitySheets()
{
    const xlsx::Workbook *book = exported(nobodyHandedIn());
    QVERIFY(book);
    QCOMPARE(book->cell(5, QStringLiteral("B2")).number, 0.0);
    for (int row = 3; row <= 9; ++row)
        QCOMPARE(book->cell(5, row, 2).text, QStringLiteral("人数不足"));
    QCOMPARE(book->cell(6, QStringLiteral("A2")).text, QStringLiteral("人数不足"));
    QCOMPARE(book->cell(6, QStringLiteral("A3")).type, xlsx::CellType::Empty);
}

QTEST_MAIN(TestScoreSheet)
#include "tst_scoresheet.moc"
