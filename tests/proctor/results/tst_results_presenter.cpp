#include "proctor/results/results_presenter.h"

#include "proctor/results/results_loader.h"
#include "proctor/results/row_texts.h"
#include "repository/profile_file.h"
#include "results_repository.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace exam;

namespace {

const QString paper = QStringLiteral("期末");
const QString className = QStringLiteral("一班");

// Five students 101 … 105; 104 never logged in. Scores 70, 90, 70, -, 80.
void fillClass(ResultsRepository &repository)
{
    repository.addClass(className, 5, 101, 105);
    repository.addPaper(paper, {QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("3")});
    repository.handIn(paper, className, 101, QStringLiteral("甲"), QStringLiteral("70"),
                      {"1", "12", "3"});
    repository.handIn(paper, className, 102, QStringLiteral("乙"), QStringLiteral("90"),
                      {"1", "2", "3"});
    repository.handIn(paper, className, 103, QStringLiteral("丙"), QStringLiteral("70"),
                      {"2", "12", "0"});
    repository.handIn(paper, className, 105, QStringLiteral("戊"), QStringLiteral("80"),
                      {"1", "12", "3"});
}

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime time) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }

private:
    QDateTime m_time;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList numbersShown(const ResultsPresenter &presenter)
{
    QStringList numbers;
    for (int position : presenter.studentOrder())
        numbers.append(presenter.data().students.at(position).number);
    return numbers;
}

} // namespace

class TestResultsPresenter : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_repository = std::make_unique<ResultsRepository>();
        fillClass(*m_repository);
        m_presenter = std::make_unique<ResultsPresenter>(m_repository->root());
        m_presenter->setData(loadResults({m_repository->root(), paper, className}));
    }

    void shouldListStudentsByAscendingNumberAfterARefresh()
    {
        QCOMPARE(numbersShown(*m_presenter), (QStringList{"101", "102", "103", "104", "105"}));
        QCOMPARE(m_presenter->studentToggle(StudentColumn::Number).state(), 1);
        QCOMPARE(m_presenter->selectedStudentRow(), -1);
        const QStringList scores = m_presenter->scoreRows();
        QCOMPARE(scores.at(1), studentScoreRow(QStringLiteral("90"), QStringLiteral("1"),
                                               QStringLiteral("00:10:00")));
        QCOMPARE(scores.at(3), studentScoreRow(QString(), QString(), QString()));
    }

    void shouldSortEachColumnWithItsOwnDirection_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("firstClick");
        QTest::newRow("number") << int(StudentColumn::Number)
                                << QStringList{"105", "104", "103", "102", "101"};
        // Equal scores: the higher number first when descending.
        QTest::newRow("score") << int(StudentColumn::Score)
                               << QStringList{"102", "105", "103", "101", "104"};
        QTest::newRow("rank") << int(StudentColumn::Rank)
                              << QStringList{"104", "103", "101", "105", "102"};
        QTest::newRow("name by character code")
            << int(StudentColumn::Name) << QStringList{"101", "105", "102", "103", "104"};
    }
    void shouldSortEachColumnWithItsOwnDirection()
    {
        QFETCH(int, column);
        QFETCH(QStringList, firstClick);
        m_presenter->sortStudents(StudentColumn(column));
        QCOMPARE(numbersShown(*m_presenter), firstClick);
        m_presenter->sortStudents(StudentColumn(column));
        std::reverse(firstClick.begin(), firstClick.end());
        QCOMPARE(numbersShown(*m_presenter), firstClick);
    }

    void shouldKeepSortStatesAcrossRefreshes()
    {
        m_presenter->sortStudents(StudentColumn::Score);
        QCOMPARE(m_presenter->studentToggle(StudentColumn::Score).state(), 2);
        m_presenter->setData(loadResults({m_repository->root(), paper, className}));
        QCOMPARE(m_presenter->studentToggle(StudentColumn::Score).state(), 2);
        QCOMPARE(m_presenter->studentToggle(StudentColumn::Number).state(), 1);
    }

    void shouldGrantRetestToTheStudentOfTheSelectedRow()
    {
        m_presenter->sortStudents(StudentColumn::Score); // 102, 105, 103, 101, 104
        m_presenter->selectStudentRow(2);
        QCOMPARE(m_presenter->selectedStudent()->number, QStringLiteral("103"));
        QSignalSpy touched(m_presenter.get(), &ResultsPresenter::resultProfileTouched);
        QVERIFY(m_presenter->allowRetest());
        // So that the window's cache reads the file again.
        QCOMPARE(touched.size(), 1);
        QCOMPARE(touched.first().first().toString(),
                 m_repository->resultProfile(paper, className, 103));
        const auto time2 = [this](int number) {
            return ProfileSnapshot::load(m_repository->resultProfile(paper, className, number))
                .value(className, QString::number(number) + QStringLiteral("TIME2"),
                       QStringLiteral("<missing>"));
        };
        QCOMPARE(time2(103), QString());
        QCOMPARE(time2(101), QStringLiteral("00:10:00"));
        QCOMPARE(time2(105), QStringLiteral("00:10:00"));
        // Score and answers stay; the next refresh shows the old score without remaining time.
        const ResultsData after = loadResults({m_repository->root(), paper, className});
        QCOMPARE(after.students.at(2).score, QStringLiteral("70"));
        QCOMPARE(after.students.at(2).remainingTime, QString());
        QCOMPARE(after.statistics.participants(), 4);
    }

    void shouldWriteRetestIntoTheFileOfAStudentWhoNeverLoggedIn()
    {
        m_presenter->selectStudentRow(3);
        QVERIFY(m_presenter->allowRetest());
        const ProfileSnapshot profile =
            ProfileSnapshot::load(m_repository->resultProfile(paper, className, 104));
        QVERIFY(profile.exists());
        QVERIFY(profile.contains(className, QStringLiteral("104TIME2")));
    }

    void shouldDeleteOnlyTheSelectedStudentsResultAndKeepItRecoverable()
    {
        const FixedClock clock(QDateTime(QDate(2026, 6, 1), QTime(9, 5, 7)));
        m_presenter->setClock(clock);
        m_presenter->sortStudents(StudentColumn::Score);
        m_presenter->selectStudentRow(0); // 102
        const QString profile = m_repository->resultProfile(paper, className, 102);
        const QByteArray stored = readAll(profile);
        QCOMPARE(m_presenter->deleteQuestion(),
                 QStringLiteral("确实要删除 一班 102号 乙 在试卷“期末”中的成绩吗?"));
        QSignalSpy touched(m_presenter.get(), &ResultsPresenter::resultProfileTouched);
        QVERIFY(m_presenter->deleteResult());
        QCOMPARE(touched.size(), 1);
        QCOMPARE(touched.first().first().toString(), profile);
        QVERIFY(!QFile::exists(profile));
        QVERIFY(QFile::exists(m_repository->resultProfile(paper, className, 105)));
        const QString kept = m_repository->paths().paperResultsFolder(paper) +
                             QStringLiteral("/已删除/一班102_20260601-090507.cho");
        QCOMPARE(readAll(kept), stored);
        // The kept file counts nowhere: not in the list, the statistics or the answers.
        const ResultsData after = loadResults({m_repository->root(), paper, className});
        QVERIFY(after.students.at(1).name.isEmpty());
        QVERIFY(!after.students.at(1).hasScore);
        QCOMPARE(after.statistics.participants(), 3);
        QCOMPARE(after.students.at(1).answers, QList<qint64>(3, 0));

        // The student sits again and is deleted again in the same second: both files are kept.
        m_repository->handIn(paper, className, 102, QStringLiteral("乙"), QStringLiteral("60"),
                             {"1", "2", "3"});
        m_presenter->setData(loadResults({m_repository->root(), paper, className}));
        m_presenter->selectStudentRow(1);
        QVERIFY(m_presenter->deleteResult());
        QCOMPARE(QDir(m_repository->paths().deletedResultsFolder(paper)).entryList(QDir::Files),
                 (QStringList{QStringLiteral("一班102_20260601-090507-2.cho"),
                              QStringLiteral("一班102_20260601-090507.cho")}));
    }

    void shouldSayWhyAResultCouldNotBeDeleted()
    {
        // A file where the deleted-results folder belongs: nothing can be moved there.
        QFile blocker(m_repository->paths().paperResultsFolder(paper) + QStringLiteral("/已删除"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_presenter->selectStudentRow(0); // 101
        const Result failed = m_presenter->deleteResult();
        QVERIFY2(failed.message().startsWith(QStringLiteral("未能删除 一班 101号 甲 的成绩: ")),
                 qPrintable(failed.message()));
        QVERIFY(QFile::exists(m_repository->resultProfile(paper, className, 101)));
    }

    // Nothing to act on is nothing that failed: the window says nothing.
    void shouldSayWhyARetestCouldNotBeGranted()
    {
        // A folder where the student's result profile belongs: the grant cannot be written.
        const QString profile = m_repository->resultProfile(paper, className, 104);
        QVERIFY(QDir().mkpath(profile));
        m_presenter->selectStudentRow(3); // 104
        const Result failed = m_presenter->allowRetest();
        QVERIFY2(failed.message().startsWith(QStringLiteral("未能允许 一班 104号 重考: ")),
                 qPrintable(failed.message()));
        QVERIFY(QFileInfo(profile).isDir());
    }

    void shouldDoNothingWithoutSelectedRow()
    {
        QVERIFY(m_presenter->allowRetest());
        QVERIFY(m_presenter->deleteResult());
        QVERIFY(QFile::exists(m_repository->resultProfile(paper, className, 101)));
    }

    void shouldDeleteNothingForAStudentWithoutFile()
    {
        m_presenter->selectStudentRow(3); // 104
        QCOMPARE(m_presenter->deleteQuestion(), QString());
        QVERIFY(m_presenter->deleteResult());
        QVERIFY(!QFileInfo::exists(m_repository->paths().deletedResultsFolder(paper)));
        QVERIFY(!QFile::exists(m_repository->resultProfile(paper, className, 104)));
        QCOMPARE(
            QDir(m_repository->paths().paperResultsFolder(paper)).entryList(QDir::Files).size(), 4);
    }

    void shouldShowTheSelectedStudentsAnswersInQuestionOrder()
    {
        QCOMPARE(m_presenter->answerRows(), QStringList(3, answerRow(0)));
        QSignalSpy answers(m_presenter.get(), &ResultsPresenter::answersChanged);
        m_presenter->selectStudentRow(0); // 101: 1, 12, 3
        QCOMPARE(answers.size(), 1);
        m_presenter->sortQuestions(QuestionColumn::StandardAnswer); // 12, 3, 1
        QCOMPARE(m_presenter->questionOrder(), (QList<int>{1, 2, 0}));
        QCOMPARE(m_presenter->answerRows(),
                 (QStringList{answerRow(12), answerRow(3), answerRow(1)}));
    }

    void shouldKeepTheSelectedQuestionRowAcrossSortsAndRefreshes()
    {
        m_presenter->selectQuestionRow(0);
        QCOMPARE(m_presenter->selectedQuestion(), 1);
        QSignalSpy selected(m_presenter.get(), &ResultsPresenter::questionSelected);
        m_presenter->sortQuestions(QuestionColumn::Number); // descending: 3, 2, 1
        QCOMPARE(m_presenter->selectedQuestionRow(), 0);
        QCOMPARE(m_presenter->selectedQuestion(), 3);
        QCOMPARE(selected.size(), 1);
        m_presenter->setData(loadResults({m_repository->root(), paper, className}));
        QCOMPARE(m_presenter->selectedQuestion(), 1);
        QCOMPARE(m_presenter->questionToggle(QuestionColumn::Number).state(), 2);
    }

    void shouldClearTheQuestionViewWhenTheNextPaperLacksTheSelectedRow()
    {
        m_presenter->selectQuestionRow(2); // question 3
        const QString shortPaper = QStringLiteral("小测");
        m_repository->addPaper(shortPaper, {QStringLiteral("1")});
        QSignalSpy selected(m_presenter.get(), &ResultsPresenter::questionSelected);
        m_presenter->setData(loadResults({m_repository->root(), shortPaper, className}));
        // The view must not go on showing question 3 of the other paper.
        QCOMPARE(m_presenter->selectedQuestionRow(), -1);
        QCOMPARE(m_presenter->selectedQuestion(), 0);
        QCOMPARE(selected.size(), 1);
        const AnswerDistribution distribution = m_presenter->selectedDistribution();
        QVERIFY(std::all_of(distribution.counts.cbegin(), distribution.counts.cend(),
                            [](int count) { return count == 0; }));
        QVERIFY(m_presenter->selectedQuestionFile().isEmpty());
    }

    void shouldSpreadTheSelectedQuestionsAnswers()
    {
        m_presenter->selectQuestionRow(1); // question 2, standard 12; answers 12, 2, 12, -, 12
        const AnswerDistribution distribution = m_presenter->selectedDistribution();
        QCOMPARE(distribution.counts[1], 3);
        QCOMPARE(distribution.counts[2], 4);
        QVERIFY(distribution.highlighted[1] && distribution.highlighted[2] &&
                !distribution.highlighted[0]);
        QCOMPARE(m_presenter->selectedQuestionFile(),
                 m_repository->paths().paperFile(paper, QStringLiteral("2.RTF")));
    }

    void shouldSortQuestionsByRate()
    {
        // Rates: q1 75 (1,1,2,1), q2 75, q3 75 (3,3,0,3): all equal, so descending is 3, 2, 1.
        m_presenter->sortQuestions(QuestionColumn::CorrectRate);
        QCOMPARE(m_presenter->questionOrder(), (QList<int>{2, 1, 0}));
        m_presenter->sortQuestions(QuestionColumn::CorrectRate);
        QCOMPARE(m_presenter->questionOrder(), (QList<int>{0, 1, 2}));
    }

private:
    std::unique_ptr<ResultsRepository> m_repository;
    std::unique_ptr<ResultsPresenter> m_presenter;
};

QTEST_GUILESS_MAIN(TestResultsPresenter)
#include "tst_results_presenter.moc"
