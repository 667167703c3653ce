#include "authoring_fixture.h"

#include "proctor/authoring/paper_transfer.h"

#include <QTest>

using namespace authoring_test;

class TestPaperTransfer : public QObject
{
    Q_OBJECT

private slots:
    void shouldNameThePaperAfterTheProfileFile_data();
    void shouldNameThePaperAfterTheProfileFile();
    void shouldRefuseANameWithinAListedName_data();
    void shouldRefuseANameWithinAListedName();
    void exportShouldCopyEveryFileAndOverwriteOnTheSecondRun();
    void exportShouldAcceptAChosenFolderEndingInASeparator();
    void exportShouldReportAPaperThatWasNeverSaved();
    void exportShouldReportADestinationThatCannotBeMade();
    void importShouldCopyEveryFileButNoSubFolder();
    void importShouldEmptyFoldersLeftUnderTheName();
    void importOfAPaperFolderOntoItselfShouldKeepItsFiles();
    void importShouldReportAFolderThatCannotBeMade();
};

void TestPaperTransfer::shouldNameThePaperAfterTheProfileFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("paper");
    QTest::newRow("lower") << QStringLiteral("期中考试.cho") << QStringLiteral("期中考试");
    QTest::newRow("capitals") << QStringLiteral("MATH.CHO") << QStringLiteral("MATH");
    QTest::newRow("mixed") << QStringLiteral("Unit 3.Cho") << QStringLiteral("Unit 3");
    QTest::newRow("blanks") << QStringLiteral("  物理 .cho ") << QStringLiteral("物理");
    QTest::newRow("first .cho") << QStringLiteral("a.cho.cho") << QStringLiteral("a");
    QTest::newRow("within") << QStringLiteral("a.chore.txt") << QStringLiteral("a");
    QTest::newRow("none") << QStringLiteral("paper.txt") << QString();
}

void TestPaperTransfer::shouldNameThePaperAfterTheProfileFile()
{
    QFETCH(QString, fileName);
    QFETCH(QString, paper);
    QCOMPARE(exam::paperNameFromProfileFile(fileName), paper);
}

void TestPaperTransfer::shouldRefuseANameWithinAListedName_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("clashes");
    QTest::newRow("equal") << QStringLiteral("期末考试A") << true;
    QTest::newRow("inside") << QStringLiteral("期末") << true;
    QTest::newRow("other case") << QStringLiteral("math") << true;
    QTest::newRow("longer") << QStringLiteral("期末考试AB") << false;
    QTest::newRow("unrelated") << QStringLiteral("语文") << false;
}

void TestPaperTransfer::shouldRefuseANameWithinAListedName()
{
    QFETCH(QString, paper);
    QFETCH(bool, clashes);
    const QStringList listed = {QStringLiteral("期末考试A"), QStringLiteral(" MATH101 ")};
    QCOMPARE(exam::importNameClashes(listed, paper), clashes);
}

void TestPaperTransfer::exportShouldCopyEveryFileAndOverwriteOnTheSecondRun()
{
    Repository repo;
    repo.makePaper(QStringLiteral("期中"),
                   {{QStringLiteral("Question_conut"), QStringLiteral(" 1")}});
    const QString folder = repo.paths().paperFolder(QStringLiteral("期中"));
    writeFile(folder + QStringLiteral("/11.RTF"), "{\\rtf1 first}");
    writeFile(folder + QStringLiteral("/12.RTF"), "{\\rtf1 explain}");
    QTemporaryDir target;

    exam::TransferResult result =
        exam::exportPaperFolder(repo.paths(), QStringLiteral("期中"), target.path());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.folder, target.path() + QStringLiteral("/期中"));
    QCOMPARE(tree(result.folder), tree(folder));

    writeFile(folder + QStringLiteral("/11.RTF"), "{\\rtf1 changed}");
    result = exam::exportPaperFolder(repo.paths(), QStringLiteral("期中"), target.path());
    QVERIFY(result.ok);
    QCOMPARE(readFile(result.folder + QStringLiteral("/11.RTF")), QByteArray("{\\rtf1 changed}"));
    QCOMPARE(tree(result.folder), tree(folder));
}

void TestPaperTransfer::exportShouldAcceptAChosenFolderEndingInASeparator()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    QTemporaryDir target;
    const exam::TransferResult result =
        exam::exportPaperFolder(repo.paths(), QStringLiteral("P"), target.path() + u'/');
    QVERIFY(result.ok);
    QVERIFY(QFileInfo::exists(target.path() + QStringLiteral("/P/P.cho")));
    QVERIFY(!result.folder.contains(QStringLiteral("//")));
}

void TestPaperTransfer::exportShouldReportAPaperThatWasNeverSaved()
{
    Repository repo;
    QTemporaryDir target;
    const exam::TransferResult result =
        exam::exportPaperFolder(repo.paths(), QStringLiteral("新卷"), target.path());
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QStringLiteral("新卷")));
    QVERIFY(QDir(target.path()).isEmpty());
}

void TestPaperTransfer::exportShouldReportADestinationThatCannotBeMade()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    QTemporaryDir target;
    writeFile(target.path() + QStringLiteral("/P"), "a file in the way");
    const exam::TransferResult result =
        exam::exportPaperFolder(repo.paths(), QStringLiteral("P"), target.path());
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QDir::toNativeSeparators(target.path() + QStringLiteral("/P"))));
    QCOMPARE(readFile(target.path() + QStringLiteral("/P")), QByteArray("a file in the way"));
}

void TestPaperTransfer::importShouldCopyEveryFileButNoSubFolder()
{
    Repository repo;
    QTemporaryDir source;
    writeFile(source.path() + QStringLiteral("/MATH.CHO"), "[MAIN]\r\nQuestion_conut= 1\r\n");
    writeFile(source.path() + QStringLiteral("/5.RTF"), "{\\rtf1 q}");
    writeFile(source.path() + QStringLiteral("/notes.txt"), "whatever its name");
    writeFile(source.path() + QStringLiteral("/sub/inner.RTF"), "not copied");

    const exam::TransferResult result = exam::importPaperFolder(
        repo.paths(), QStringLiteral("MATH"), source.path() + QStringLiteral("/MATH.CHO"));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(QDir(result.folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({QStringLiteral("5.RTF"), QStringLiteral("MATH.CHO"),
                          QStringLiteral("notes.txt")}));
    QCOMPARE(readFile(result.folder + QStringLiteral("/5.RTF")), QByteArray("{\\rtf1 q}"));
    QVERIFY(QFileInfo(repo.paths().paperResultsFolder(QStringLiteral("MATH"))).isDir());
    QCOMPARE(repo.mainValue(QStringLiteral("MATH"), QStringLiteral("Question_conut")),
             QStringLiteral("1"));
}

void TestPaperTransfer::importShouldEmptyFoldersLeftUnderTheName()
{
    Repository repo;
    writeFile(repo.paths().paperFolder(QStringLiteral("P")) + QStringLiteral("/stale.RTF"), "old");
    writeFile(repo.paths().paperResultsFolder(QStringLiteral("P")) + QStringLiteral("/1班1.cho"),
              "old");
    QTemporaryDir source;
    writeFile(source.path() + QStringLiteral("/P.cho"), "[MAIN]\r\n");
    QVERIFY(exam::importPaperFolder(repo.paths(), QStringLiteral("P"),
                                    source.path() + QStringLiteral("/P.cho"))
                .ok);
    QCOMPARE(QDir(repo.paths().paperFolder(QStringLiteral("P"))).entryList(QDir::Files),
             QStringList{QStringLiteral("P.cho")});
    QVERIFY(QDir(repo.paths().paperResultsFolder(QStringLiteral("P"))).isEmpty());
}

void TestPaperTransfer::importOfAPaperFolderOntoItselfShouldKeepItsFiles()
{
    Repository repo;
    repo.makePaper(QStringLiteral("orphan"),
                   {{QStringLiteral("Question_conut"), QStringLiteral(" 4")}});
    writeFile(repo.paths().paperFolder(QStringLiteral("orphan")) + QStringLiteral("/1.RTF"), "q");
    const auto before = tree(repo.paths().paperFolder(QStringLiteral("orphan")));
    const exam::TransferResult result =
        exam::importPaperFolder(repo.paths(), QStringLiteral("orphan"),
                                repo.paths().paperProfile(QStringLiteral("orphan")));
    QVERIFY(result.ok);
    QCOMPARE(tree(repo.paths().paperFolder(QStringLiteral("orphan"))), before);
}

void TestPaperTransfer::importShouldReportAFolderThatCannotBeMade()
{
    Repository repo;
    writeFile(repo.root() + QStringLiteral("/SHIJUAN"), "a file in the way");
    QTemporaryDir source;
    writeFile(source.path() + QStringLiteral("/P.cho"), "[MAIN]\r\n");
    const exam::TransferResult result = exam::importPaperFolder(
        repo.paths(), QStringLiteral("P"), source.path() + QStringLiteral("/P.cho"));
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QStringLiteral("SHIJUAN")));
    QCOMPARE(readFile(source.path() + QStringLiteral("/P.cho")), QByteArray("[MAIN]\r\n"));
}

QTEST_GUILESS_MAIN(TestPaperTransfer)
#include "tst_paper_transfer.moc"
