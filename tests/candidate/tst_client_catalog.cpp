#include "candidate/client_catalog.h"

#include "login_test_repository.h"

#include "repository/profile_file.h"

#include <QTest>

class TestClientCatalog : public QObject
{
    Q_OBJECT

private:
    static exam::ProfileSnapshot system(const LoginTestRepository &repo)
    {
        return exam::ProfileSnapshot::load(repo.paths().systemProfile());
    }

private slots:
    void shouldListPapersOpenForTakingOrReview()
    {
        LoginTestRepository repo;
        repo.fillStandard();
        QCOMPARE(listedPapers(system(repo)), (QStringList{QStringLiteral("期中考试"), QStringLiteral("复习卷")}));
    }

    void shouldListNothingWithoutSystemProfile()
    {
        LoginTestRepository repo;
        QVERIFY(listedPapers(system(repo)).isEmpty());
        QCOMPARE(classCount(system(repo)), 0);
    }

    void shouldIgnoreNumberedKeysAboveTheCount()
    {
        LoginTestRepository repo;
        repo.fillStandard();
        repo.setSystem(QStringLiteral("TestName"), QStringLiteral("TestNameCount"), QStringLiteral("1"));
        QCOMPARE(listedPapers(system(repo)), QStringList{QStringLiteral("期中考试")});
    }

    void shouldReadPaperFlags_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<int>("open");
        QTest::addColumn<int>("review");
        QTest::newRow("open") << QStringLiteral("期中考试") << 1 << 0;
        QTest::newRow("review only") << QStringLiteral("复习卷") << 0 << 1;
        QTest::newRow("unknown paper") << QStringLiteral("没有的卷") << 0 << 0;
    }
    void shouldReadPaperFlags()
    {
        QFETCH(QString, paper);
        QFETCH(int, open);
        QFETCH(int, review);
        LoginTestRepository repo;
        repo.fillStandard();
        const PaperFlags flags = paperFlags(system(repo), paper);
        QCOMPARE(flags.open, open);
        QCOMPARE(flags.review, review);
    }

    void shouldCountMissingAdmissionByReader_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("at start-up a missing entry keeps the class out")
            << int(exam::AdmissionReader::ClientAtStartup) << QStringList{QStringLiteral("高一(1)班")};
        QTest::newRow("after the paper list a missing entry admits")
            << int(exam::AdmissionReader::ClientPaperListLeft)
            << QStringList{QStringLiteral("高一(1)班"), QStringLiteral("一班")};
    }
    void shouldCountMissingAdmissionByReader()
    {
        QFETCH(int, reader);
        QFETCH(QStringList, expected);
        LoginTestRepository repo;
        repo.fillStandard();
        QCOMPARE(admittedClasses(system(repo), QStringLiteral("期中考试"),
                                 static_cast<exam::AdmissionReader>(reader)),
                 expected);
        QCOMPARE(classCount(system(repo)), 3);
    }
};

QTEST_GUILESS_MAIN(TestClientCatalog)
#include "tst_client_catalog.moc"
