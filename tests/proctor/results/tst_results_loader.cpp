#include "proctor/results/results_loader.h"

#include "repository/profile_file.h"
#include "results_repository.h"

#include <QFile>
#include <QTest>

using namespace exam;

namespace {

const QString paper = QStringLiteral("期中考试");
const QString className = QStringLiteral("高一(1)班");

ResultsRequest requestFor(const ResultsRepository &repository, const QString &paperName = paper,
                          const QString &classNameText = className)
{
    return {repository.root(), paperName, classNameText};
}

} // namespace

class TestResultsLoader : public QObject
{
    Q_OBJECT

private slots:
    void shouldOfferPapersAndClassesInProfileOrder()
    {
        ResultsRepository repository;
        repository.addClass(QStringLiteral("二班"), 3, 1, 3);
        repository.addClass(QStringLiteral("一班"), 3, 4, 6);
        repository.addPaper(QStringLiteral("B卷"), {});
        repository.addPaper(QStringLiteral("A卷"), {});
        const ResultsChoices choices = readResultsChoices(repository.root());
        QCOMPARE(choices.papers, (QStringList{QStringLiteral("B卷"), QStringLiteral("A卷")}));
        QCOMPARE(choices.classes, (QStringList{QStringLiteral("二班"), QStringLiteral("一班")}));
    }

    void shouldOfferNothingWithoutSystemProfile()
    {
        QTemporaryDir empty;
        const ResultsChoices choices = readResultsChoices(empty.path());
        QVERIFY(choices.papers.isEmpty());
        QVERIFY(choices.classes.isEmpty());
    }

    void shouldReadEveryPositionOfTheClass()
    {
        ResultsRepository repository;
        repository.addClass(className, 4, 1001, 1004);
        repository.addPaper(paper, {QStringLiteral("24"), QStringLiteral("1")});
        repository.handIn(paper, className, 1001, QStringLiteral("张三"), QStringLiteral("85"),
                          {"24", "1"}, QStringLiteral("00:12:40"));
        // Logged in, still answering.
        repository.writeStudent(paper, className, 1002,
                                {{QString(), QStringLiteral("李四")},
                                 {QStringLiteral("LAST"), QStringLiteral("李小四")},
                                 {QStringLiteral("DA1"), QStringLiteral("24")}});
        // 1003 never logged in; 1004 has a score key without value.
        repository.writeStudent(paper, className, 1004,
                                {{QString(), QStringLiteral("王五")},
                                 {QStringLiteral("DF"), QString()},
                                 {QStringLiteral("TIME2"), QStringLiteral("00:00:01")}});

        const ResultsData data = loadResults(requestFor(repository));
        QCOMPARE(data.students.size(), 4);
        QCOMPARE(data.questionCount(), 2);
        QCOMPARE(data.standardAnswers, (QList<qint64>{24, 1}));

        const StudentRecord &handedIn = data.students.at(0);
        QCOMPARE(handedIn.number, QStringLiteral("1001"));
        QCOMPARE(handedIn.name, QStringLiteral("张三"));
        QCOMPARE(handedIn.score, QStringLiteral("85"));
        QCOMPARE(handedIn.remainingTime, QStringLiteral("00:12:40"));
        QCOMPARE(handedIn.rank, QStringLiteral("1"));
        QCOMPARE(handedIn.answers, (QList<qint64>{24, 1}));

        const StudentRecord &answering = data.students.at(1);
        QCOMPARE(answering.formerName, QStringLiteral("李小四"));
        QVERIFY(!answering.hasScore);
        QCOMPARE(answering.score, QString());
        QCOMPARE(answering.answers, (QList<qint64>{24, 0}));

        const StudentRecord &absent = data.students.at(2);
        QCOMPARE(absent.number, QStringLiteral("1003"));
        QVERIFY(absent.name.isEmpty() && absent.remainingTime.isEmpty() && !absent.hasScore);

        // A score key present but empty: a participant with 0, shown without a score text.
        const StudentRecord &emptyScore = data.students.at(3);
        QVERIFY(emptyScore.hasScore);
        QCOMPARE(emptyScore.score, QString());
        QCOMPARE(emptyScore.scoreValue, 0.0);
        QCOMPARE(data.statistics.participants(), 2);
        QCOMPARE(data.statistics.bandCount(GradeBand::Fail), 1);
        QCOMPARE(data.statistics.lowest(), 0);

        // 1002's stored 24 is not counted correct: he has no score yet.
        QCOMPARE(data.questions.at(0).correct, 1);
        QCOMPARE(data.questions.at(0).correctRate, 50);
    }

    void shouldReadAClassMissingFromTheSystemProfileAsNumberZero()
    {
        ResultsRepository repository;
        repository.addClass(className, 2, 1, 2);
        repository.addPaper(paper, {});
        const ResultsData data =
            loadResults(requestFor(repository, paper, QStringLiteral("不存在的班")));
        QCOMPARE(data.students.size(), 1);
        QCOMPARE(data.students.first().number, QStringLiteral("0"));
    }

    void shouldGiveNoStudentsForAReversedRange()
    {
        ResultsRepository repository;
        repository.addClass(className, 2, 10, 5);
        repository.addPaper(paper, {QStringLiteral("1")});
        const ResultsData data = loadResults(requestFor(repository));
        QVERIFY(data.students.isEmpty());
        QCOMPARE(data.questions.first().correctRate, 0);
    }

    void shouldFindResultFilesInAnyLetterCase()
    {
        ResultsRepository repository;
        const QString latinClass = QStringLiteral("Class");
        repository.addClass(latinClass, 1, 7, 7);
        repository.addPaper(paper, {});
        repository.handIn(paper, latinClass, 7, QStringLiteral("赵六"), QStringLiteral("70"));
        const QString stored = repository.resultProfile(paper, latinClass, 7);
        QVERIFY(QFile::rename(stored, QFileInfo(stored).path() + QStringLiteral("/CLASS7.CHO")));
        const ResultsData data =
            loadResults(requestFor(repository, QStringLiteral(" ") + paper, latinClass));
        QCOMPARE(data.students.first().name, QStringLiteral("赵六"));
    }

    void shouldReadStudentsAloneOrInParallelAlike_data()
    {
        QTest::addColumn<int>("threads");
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("eight") << 8;
    }
    void shouldReadStudentsAloneOrInParallelAlike()
    {
        QFETCH(int, threads);
        ResultsRepository repository;
        repository.addClass(className, 80, 1, 90);
        repository.addPaper(paper, {QStringLiteral("1"), QStringLiteral("23")});
        for (int number = 1; number <= 90; number += 2) {
            repository.handIn(paper, className, number, QStringLiteral("学生%1").arg(number),
                              QString::number(number % 7 * 10),
                              {QString::number(number % 4), QStringLiteral("23")});
        }
        const ResultsData alone = loadResults(requestFor(repository), nullptr, 1);
        const ResultsData parallel = loadResults(requestFor(repository), nullptr, threads);
        QCOMPARE(parallel.students.size(), 90);
        for (int i = 0; i < alone.students.size(); ++i) {
            QCOMPARE(parallel.students[i].name, alone.students[i].name);
            QCOMPARE(parallel.students[i].score, alone.students[i].score);
            QCOMPARE(parallel.students[i].rank, alone.students[i].rank);
            QCOMPARE(parallel.students[i].answers, alone.students[i].answers);
        }
        QCOMPARE(parallel.statistics.total(), alone.statistics.total());
        // Ranks only for the first ClassCount places.
        QCOMPARE(std::count_if(parallel.students.cbegin(), parallel.students.cend(),
                               [](const StudentRecord &s) { return !s.rank.isEmpty(); }),
                 80);
    }

    void shouldOpenEachStudentsFileOnceAndNoMissingOne()
    {
        ResultsRepository repository;
        repository.addClass(className, 10, 1, 10);
        repository.addPaper(paper, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        for (int number = 1; number <= 6; ++number)
            repository.handIn(paper, className, number, QStringLiteral("S"), QStringLiteral("50"),
                              {"1", "2", "3"});
        const quint64 before = profileFileOpenCount();
        loadResults(requestFor(repository));
        // Six result profiles, the system profile and the paper profile.
        QCOMPARE(profileFileOpenCount() - before, quint64(6 + 2));
    }

    void shouldStopWhenCancelled()
    {
        ResultsRepository repository;
        repository.addClass(className, 50, 1, 50);
        repository.addPaper(paper, {});
        for (int number = 1; number <= 50; ++number)
            repository.handIn(paper, className, number, QStringLiteral("S"), QStringLiteral("50"));
        const std::atomic<bool> cancelled{true};
        const quint64 before = profileFileOpenCount();
        loadResults(requestFor(repository), &cancelled, 2);
        QCOMPARE(profileFileOpenCount() - before, quint64(2));
    }

    void shouldReadBrokenOrMissingFilesAsEmpty_data()
    {
        QTest::addColumn<QByteArray>("resultBytes"); // empty: the results folder is removed
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[\x81\x30=\r\n\x00\x00", 12);
        QTest::newRow("unbalanced section") << QByteArray("[一班\r\n1=abc\r\n1DF=x");
        QTest::newRow("results folder missing") << QByteArray();
    }
    void shouldReadBrokenOrMissingFilesAsEmpty()
    {
        QFETCH(QByteArray, resultBytes);
        ResultsRepository repository;
        repository.addClass(className, 2, 1, 2);
        repository.addPaper(paper, {QStringLiteral("1")});
        const QString path = repository.resultProfile(paper, className, 1);
        if (resultBytes.isEmpty()) {
            QVERIFY(QDir(repository.paths().paperResultsFolder(paper)).removeRecursively());
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(resultBytes);
        }
        const ResultsData data = loadResults(requestFor(repository));
        QCOMPARE(data.students.size(), 2);
        for (const StudentRecord &student : data.students) {
            QVERIFY(!student.hasScore);
            QCOMPARE(student.answers, QList<qint64>{0});
        }
        QCOMPARE(data.statistics.participants(), 0);
    }

    void shouldReadWideAnswersAndStandardAnswers()
    {
        ResultsRepository repository;
        repository.addClass(className, 1, 1, 1);
        repository.addPaper(paper, {QStringLiteral("23456")});
        repository.handIn(paper, className, 1, QStringLiteral("S"), QStringLiteral("5"), {"23456"});
        const ResultsData data = loadResults(requestFor(repository));
        QCOMPARE(data.standardAnswers.first(), 23456);
        QCOMPARE(data.students.first().answers.first(), 23456);
        QCOMPARE(data.questions.first().correct, 1);
    }

    void shouldReadEachQuestionsMarkOrTheDefault()
    {
        ResultsRepository repository;
        repository.addClass(className, 1, 1, 1);
        repository.addPaper(paper, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        ProfileBatch profile(repository.paths().paperProfile(paper));
        profile.set(QStringLiteral("MAIN"), QStringLiteral("Mark"), QStringLiteral(" 5"));
        profile.set(QStringLiteral("2"), QStringLiteral("mark"), QStringLiteral("12.5"));
        profile.set(QStringLiteral("3"), QStringLiteral("mark"), QStringLiteral(" "));
        QVERIFY(profile.store());
        QCOMPARE(loadResults(requestFor(repository)).questionMarks, (QList<double>{5, 12.5, 5}));
    }
};

QTEST_GUILESS_MAIN(TestResultsLoader)
#include "tst_results_loader.moc"
