#include "candidate/exam_files.h"

#include "exam_test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace exam::candidate;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

} // namespace

class TestExamFiles : public QObject
{
    Q_OBJECT

private slots:
    void inPlaceReadsTheRepository()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        ExamFiles files(repo.root(), repo.paper, true, repo.cacheFolder());
        QCOMPARE(files.preparePaperProfile(), repo.paperProfile());
        QCOMPARE(files.documentPath(QStringLiteral("q1.RTF")),
                 repo.paths().paperFile(repo.paper, QStringLiteral("q1.RTF")));
        QVERIFY(!QDir(repo.cacheFolder()).exists());
    }

    void networkRunCopiesProfileAndDocumentsOnDemand()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        QVERIFY(QDir().mkpath(repo.cacheFolder()));
        touch(repo.cacheFolder() + u"/old.RTF");
        touch(repo.cacheFolder() + u"/notes.txt");

        ExamFiles files(repo.root(), repo.paper, false, repo.cacheFolder());
        const QString profile = files.preparePaperProfile();
        QCOMPARE(profile, repo.cacheFolder() + u'/' + repo.paper + u".cho");
        QVERIFY(!files.runsLocally());
        // Stale documents of another paper are gone; other files stay.
        QCOMPARE(filesIn(repo.cacheFolder()),
                 QStringList({QStringLiteral("notes.txt"), repo.paper + u".cho"}));

        // Documents are looked up ignoring case and copied once.
        const QString copy = files.documentPath(QStringLiteral("Q2.rtf"));
        QCOMPARE(copy, repo.cacheFolder() + u"/Q2.rtf");
        QVERIFY(QFile::exists(copy));
        repo.writeDocument(QStringLiteral("q2.RTF"), QStringLiteral("changed"));
        QCOMPARE(files.documentPath(QStringLiteral("Q2.rtf")), copy);

        files.removeLocalCopies();
        QCOMPARE(filesIn(repo.cacheFolder()), QStringList({QStringLiteral("notes.txt")}));
    }

    void copiedDocumentsDoNotNeedTheShare()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        ExamFiles files(repo.root(), repo.paper, false, repo.cacheFolder());
        files.preparePaperProfile();
        const QString question = files.documentPath(QStringLiteral("q1.RTF"));
        const QString explanation = files.documentPath(QStringLiteral("e1.RTF"));
        {
            ShareAway away(repo.root());
            QCOMPARE(files.documentPath(QStringLiteral("q1.RTF")), question);
            QCOMPARE(files.documentPath(QStringLiteral("e1.RTF")), explanation);
            QString error;
            QVERIFY(files.documentPath(QStringLiteral("q2.RTF"), &error).isEmpty());
            QCOMPARE(error, QStringLiteral("找不到试题文件: q2.RTF"));
        }
        // A copy removed from the local folder is fetched again.
        QVERIFY(QFile::remove(question));
        QCOMPARE(files.documentPath(QStringLiteral("q1.RTF")), question);
        QVERIFY(QFile::exists(question));
    }

    void unusableCacheFallsBackToTheRepository()
    {
        ExamRepository repo;
        repo.writePaper(1, 30, 1);
        // A file where the folder should be: it cannot be created.
        touch(repo.cacheFolder());
        ExamFiles files(repo.root(), repo.paper, false, repo.cacheFolder());
        QCOMPARE(files.preparePaperProfile(), repo.paperProfile());
        QVERIFY(files.runsLocally());
        QCOMPARE(files.documentPath(QStringLiteral("q1.RTF")),
                 repo.paths().paperFile(repo.paper, QStringLiteral("q1.RTF")));
    }

    void documentNamesMustBePlainFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QString() << QStringLiteral("本题没有试题文件。");
        QTest::newRow("parent path") << QStringLiteral("../../sys/sys.cho")
                                     << QStringLiteral("试题文件名无效: ../../sys/sys.cho");
        QTest::newRow("backslash")
            << QStringLiteral("..\\x.rtf") << QStringLiteral("试题文件名无效: ..\\x.rtf");
        QTest::newRow("missing") << QStringLiteral("404.RTF")
                                 << QStringLiteral("找不到试题文件: 404.RTF");
    }
    void documentNamesMustBePlainFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        ExamRepository repo;
        repo.writePaper(1, 30, 1);
        ExamFiles files(repo.root(), repo.paper, false, repo.cacheFolder());
        files.preparePaperProfile();
        QString message;
        QVERIFY(files.documentPath(name, &message).isEmpty());
        QCOMPARE(message, error);
    }
};

QTEST_GUILESS_MAIN(TestExamFiles)
#include "tst_exam_files.moc"
