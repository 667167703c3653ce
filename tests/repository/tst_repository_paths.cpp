#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace exam;

class TestRepositoryPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldTrimTheRoot();
    void shouldBuildThePathPatterns();
    void shouldFindPartsSpelledInAnyCase_data();
    void shouldFindPartsSpelledInAnyCase();
    void shouldPreferTheExactSpelling();
    void shouldCreateFoldersWithTheirOwnSpelling();
    void shouldReuseFoldersSpelledOtherwise();
    void shouldKeepBrokenNamesInsideTheirFolder_data();
    void shouldKeepBrokenNamesInsideTheirFolder();
    void shouldReportFolderThatCannotBeCreated();
    void shouldJoinRootEndingInSeparator();

private:
    QString root() const { return m_dir->path(); }
    void touch(const QString &relative)
    {
        QVERIFY(QDir(root()).mkpath(QFileInfo(relative).path()));
        QFile file(QDir(root()).filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRepositoryPaths::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRepositoryPaths::shouldTrimTheRoot()
{
    QCOMPARE(repositoryRootFromProgramFolder(u"  /opt/exam \t"_s), u"/opt/exam"_s);
    QCOMPARE(RepositoryPaths(u" /opt/exam "_s).root(), u"/opt/exam"_s);
}

void TestRepositoryPaths::shouldBuildThePathPatterns()
{
    const RepositoryPaths paths(root());
    QCOMPARE(paths.systemProfile(), root() + u"/sys/sys.cho"_s);
    QCOMPARE(paths.systemFile(u"paper.dot"_s), root() + u"/sys/paper.dot"_s);
    QCOMPARE(paths.paperProfile(u" 期中考试 "_s), root() + u"/SHIJUAN/期中考试/期中考试.cho"_s);
    QCOMPARE(paths.paperFile(u"期中考试"_s, u"123.RTF"_s), root() + u"/SHIJUAN/期中考试/123.RTF"_s);
    QCOMPARE(paths.resultProfile(u"期中考试"_s, u" 高一(2)班 "_s, u"17"_s),
             root() + u"/CHENGJI/期中考试/高一(2)班17.cho"_s);
    // Class 1班 number 12 and class 1班1 number 2 share one file.
    QCOMPARE(paths.resultProfile(u"p"_s, u"1班"_s, u"12"_s),
             paths.resultProfile(u"p"_s, u"1班1"_s, u"2"_s));
}

void TestRepositoryPaths::shouldFindPartsSpelledInAnyCase_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("which");

    QTest::newRow("system profile upper case") << u"SYS/SYS.CHO"_s << u"system"_s;
    QTest::newRow("papers folder lower case") << u"shijuan/Paper/PAPER.cho"_s << u"paper"_s;
    QTest::newRow("results folder mixed case") << u"ChengJi/Paper/Class12.CHO"_s << u"result"_s;
}

void TestRepositoryPaths::shouldFindPartsSpelledInAnyCase()
{
    QFETCH(QString, onDisk);
    QFETCH(QString, which);
    touch(onDisk);
    const RepositoryPaths paths(root());
    const QString resolved = which == u"system"_s ? paths.systemProfile()
                             : which == u"paper"_s
                                 ? paths.paperProfile(u"paper"_s)
                                 : paths.resultProfile(u"PAPER"_s, u"class"_s, u"12"_s);
    QCOMPARE(resolved, root() + u'/' + onDisk);
    QVERIFY(QFileInfo::exists(resolved));
}

void TestRepositoryPaths::shouldPreferTheExactSpelling()
{
    touch(u"SYS/sys.cho"_s);
    touch(u"sys/sys.cho"_s);
    QCOMPARE(RepositoryPaths(root()).systemProfile(), root() + u"/sys/sys.cho"_s);
}

void TestRepositoryPaths::shouldCreateFoldersWithTheirOwnSpelling()
{
    const RepositoryPaths paths(root());
    QVERIFY(paths.createSystemFolder());
    QVERIFY(paths.createPaperFolders(u" 期中 "_s));
    QVERIFY(QFileInfo(root() + u"/sys"_s).isDir());
    QVERIFY(QFileInfo(root() + u"/SHIJUAN/期中"_s).isDir());
    QVERIFY(QFileInfo(root() + u"/CHENGJI/期中"_s).isDir());
}

void TestRepositoryPaths::shouldReuseFoldersSpelledOtherwise()
{
    QVERIFY(QDir(root()).mkpath(u"shijuan"_s));
    QVERIFY(RepositoryPaths(root()).createPaperFolders(u"p"_s));
    QVERIFY(QFileInfo(root() + u"/shijuan/p"_s).isDir());
    QVERIFY(!QFileInfo::exists(root() + u"/SHIJUAN"_s));
}

void TestRepositoryPaths::shouldKeepBrokenNamesInsideTheirFolder_data()
{
    QTest::addColumn<QString>("paper");

    QTest::newRow("parent folder") << u".."_s;
    QTest::newRow("current folder") << u"."_s;
    QTest::newRow("empty") << u"  "_s;
    QTest::newRow("separator") << u"../../etc"_s;
}

void TestRepositoryPaths::shouldKeepBrokenNamesInsideTheirFolder()
{
    QFETCH(QString, paper);
    const RepositoryPaths paths(root());
    const QString papers = QDir::cleanPath(paths.papersFolder());
    const QString folder = QDir::cleanPath(paths.paperFolder(paper));
    QCOMPARE(QFileInfo(folder).absolutePath(), papers);
    QVERIFY(QFileInfo(paths.paperProfile(paper)).absolutePath() == folder);
}

void TestRepositoryPaths::shouldReportFolderThatCannotBeCreated()
{
    touch(u"SHIJUAN"_s); // a file where the folder should be
    const Result failed = RepositoryPaths(root()).createPaperFolders(u"p"_s);
    QVERIFY(!failed);
    QVERIFY(!failed.message().isEmpty());
}

void TestRepositoryPaths::shouldJoinRootEndingInSeparator()
{
    QCOMPARE(RepositoryPaths(root() + u'/').systemProfile(), root() + u"/sys/sys.cho"_s);
}

QTEST_GUILESS_MAIN(TestRepositoryPaths)
#include "tst_repository_paths.moc"
