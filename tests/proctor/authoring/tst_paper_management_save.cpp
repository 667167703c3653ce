#include "authoring_fixture.h"

#include "proctor/authoring/paper_management_save.h"
#include "repository/paper_profile.h"

#include <QTest>

using namespace authoring_test;
using exam::PaperColumn;

class TestPaperManagementSave : public QObject
{
    Q_OBJECT

private slots:
    void shouldWriteOnlyTheSettingsKeysItOwns();
    void shouldWriteTheRosterInListOrder();
    void shouldCreateEmptyFoldersForCreatedPapers();
    void shouldDeleteTheFoldersOfDeletedPapers();
    void shouldLeaveFoldersOfANameListedAgain();
    void shouldNeverDeleteOutsideAPaperFolder_data();
    void shouldNeverDeleteOutsideAPaperFolder();
    void shouldNotFollowASymbolicLinkOutOfTheRepository();
    void shouldReportAFolderThatCannotBeCreatedAndKeepItPending();
    void shouldReportAResultsFolderWithASubFolder();
};

void TestPaperManagementSave::shouldWriteOnlyTheSettingsKeysItOwns()
{
    Repository repo;
    const QByteArray questions =
        "[1]\r\n; written by the "
        "editor\r\nQUESTION=123.RTF\r\nexplain=456.RTF\r\nanswer=13\r\nmark= \r\n"
        "[2]\r\nQUESTION=789.RTF\r\nexplain=790.RTF\r\nanswer=2\r\nmark=7\r\n";
    repo.makePaper(QStringLiteral("期中"),
                   {{QStringLiteral("Question_conut"), QStringLiteral(" 2")},
                    {QStringLiteral("full_mark"), QStringLiteral(" 12")},
                    {QStringLiteral("Mark"), QStringLiteral(" 5")},
                    {QStringLiteral("TESTTIME"), QStringLiteral("45")}},
                   questions);
    repo.setRoster({entry(QStringLiteral("期中"))});

    exam::PaperTable table = exam::PaperTable::load(repo.paths());
    QCOMPARE(table.count(), 1);
    exam::PaperRow &row = table.row(0);
    // What the window holds differs from the file in the three keys it must not write.
    row.set(PaperColumn::QuestionCount, QStringLiteral("99"));
    row.set(PaperColumn::FullMark, QStringLiteral("60"));
    row.set(PaperColumn::DefaultMark, QStringLiteral("1"));
    row.set(PaperColumn::TestTime, QStringLiteral("90"));
    row.set(PaperColumn::Author, QStringLiteral(" 张老师 "));
    row.set(PaperColumn::RandomDraw, QStringLiteral("1"));
    row.set(PaperColumn::DrawCount, QStringLiteral("12"));

    const exam::SaveAllResult result = exam::saveAllPapers(repo.paths(), table, {}, {});
    QVERIFY2(result.ok(), qPrintable(result.errors.join(u'\n')));

    const QByteArray after = readFile(repo.paths().paperProfile(QStringLiteral("期中")));
    QVERIFY(after.contains("\r\nQuestion_conut= 2\r\nfull_mark= 12\r\nMark= 5\r\n"));
    QVERIFY(after.endsWith(questions));
    QCOMPARE(repo.mainValue(QStringLiteral("期中"), QStringLiteral("TESTTIME")),
             QStringLiteral("90"));
    QCOMPARE(repo.mainValue(QStringLiteral("期中"), QStringLiteral("Author")),
             QStringLiteral("张老师"));
    QCOMPARE(repo.mainValue(QStringLiteral("期中"), QStringLiteral("rnd_test_No")),
             QStringLiteral("12"));
    for (const char *key :
         {"EXERCISEMODE", "RETESTPASSWD", "RELOGINPASSWD", "DISPLAY_SCORE", "CHANGE_QUESTION_SORT",
          "A_grade", "B_grade", "C_grade", "D_grade", "about_test", "rnd_test"})
        QVERIFY2(after.contains(QByteArray(QByteArray("\r\n") + key + "=")), key);
}

void TestPaperManagementSave::shouldWriteTheRosterInListOrder()
{
    Repository repo;
    exam::PaperTable table;
    for (const QString &name : {QStringLiteral("B"), QStringLiteral("A")}) {
        exam::PaperRow row = exam::newPaperRow(name);
        row.set(PaperColumn::Review, name == u"A" ? QStringLiteral("1") : QString());
        table.append(row);
    }
    const exam::SaveAllResult result =
        exam::saveAllPapers(repo.paths(), table, {QStringLiteral("B"), QStringLiteral("A")}, {});
    QVERIFY(result.ok());
    QCOMPARE(readFile(repo.paths().systemProfile()),
             QByteArray("[TestName]\r\nTestNameCount=2\r\n1=B\r\nB=1\r\n2=A\r\nA=1\r\n"
                        "[LetViewTest]\r\nB=\r\nA=1\r\n"));
}

void TestPaperManagementSave::shouldCreateEmptyFoldersForCreatedPapers()
{
    Repository repo;
    // A results folder left from an earlier paper of that name is emptied.
    writeFile(repo.paths().paperResultsFolder(QStringLiteral("新卷")) + QStringLiteral("/1班1.cho"),
              "x");
    exam::PaperTable table;
    table.append(exam::newPaperRow(QStringLiteral("新卷")));
    QVERIFY(exam::saveAllPapers(repo.paths(), table, {QStringLiteral("新卷")}, {}).ok());
    QCOMPARE(QDir(repo.paths().paperResultsFolder(QStringLiteral("新卷"))).entryList(QDir::Files),
             QStringList());
    QCOMPARE(QDir(repo.paths().paperFolder(QStringLiteral("新卷"))).entryList(QDir::Files),
             QStringList{QStringLiteral("新卷.cho")});
    QCOMPARE(repo.mainValue(QStringLiteral("新卷"), QStringLiteral("Question_conut")),
             QStringLiteral("<missing>"));
    QCOMPARE(repo.mainValue(QStringLiteral("新卷"), QStringLiteral("TESTTIME")),
             QStringLiteral("30"));
}

void TestPaperManagementSave::shouldDeleteTheFoldersOfDeletedPapers()
{
    Repository repo;
    repo.makePaper(QStringLiteral("old"), {});
    writeFile(repo.paths().paperResultsFolder(QStringLiteral("old")) + QStringLiteral("/a1.cho"),
              "x");
    // Results deleted in the results window go with their paper.
    QVERIFY(QDir().mkpath(repo.paths().deletedResultsFolder(QStringLiteral("old"))));
    writeFile(repo.paths().deletedResultsFolder(QStringLiteral("old")) +
                  QStringLiteral("/a2_20260601-090000.cho"),
              "x");
    repo.makePaper(QStringLiteral("kept"), {});
    exam::PaperTable table;
    table.append(exam::PaperRow(QStringLiteral("kept")));
    QVERIFY(exam::saveAllPapers(repo.paths(), table, {}, {QStringLiteral("old")}).ok());
    QVERIFY(!QFileInfo::exists(repo.paths().paperFolder(QStringLiteral("old"))));
    QVERIFY(!QFileInfo::exists(repo.paths().paperResultsFolder(QStringLiteral("old"))));
    QVERIFY(QFileInfo::exists(repo.paths().paperProfile(QStringLiteral("kept"))));
}

void TestPaperManagementSave::shouldLeaveFoldersOfANameListedAgain()
{
    Repository repo;
    repo.makePaper(QStringLiteral("Math"),
                   {{QStringLiteral("Question_conut"), QStringLiteral(" 3")}});
    exam::PaperTable table;
    table.append(exam::PaperRow(QStringLiteral("math")));
    QVERIFY(exam::saveAllPapers(repo.paths(), table, {}, {QStringLiteral("Math")}).ok());
    QCOMPARE(repo.mainValue(QStringLiteral("Math"), QStringLiteral("Question_conut")),
             QStringLiteral("3"));
}

void TestPaperManagementSave::shouldNeverDeleteOutsideAPaperFolder_data()
{
    QTest::addColumn<QString>("storedName");
    QTest::newRow("parent") << QStringLiteral("../victim");
    QTest::newRow("dot-dot") << QStringLiteral("..");
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("nested") << QStringLiteral("a/../../victim");
    QTest::newRow("empty") << QString();
}

void TestPaperManagementSave::shouldNeverDeleteOutsideAPaperFolder()
{
    QFETCH(QString, storedName);
    Repository repo;
    writeFile(repo.root() + QStringLiteral("/victim/keep.txt"), "keep");
    writeFile(repo.paths().paperFolder(QStringLiteral("other")) + QStringLiteral("/other.cho"),
              "[MAIN]\r\n");
    writeFile(repo.paths().paperResultsFolder(QStringLiteral("other")) + QStringLiteral("/x.cho"),
              "x");
    const auto before = tree(repo.root());

    exam::PaperTable table;
    table.append(exam::PaperRow(QStringLiteral("other")));
    const exam::SaveAllResult result =
        exam::saveAllPapers(repo.paths(), table, {storedName}, {storedName});
    QVERIFY(!result.ok());
    QCOMPARE(result.deletedLeft, QStringList{storedName});
    QCOMPARE(result.createdLeft, QStringList{storedName});
    auto after = tree(repo.root());
    after.remove(QStringLiteral("sys"));
    after.remove(QStringLiteral("sys/sys.cho"));
    QCOMPARE(after.keys(), before.keys());
    QCOMPARE(after.value(QStringLiteral("victim/keep.txt")), QByteArray("keep"));
}

void TestPaperManagementSave::shouldNotFollowASymbolicLinkOutOfTheRepository()
{
    Repository repo;
    QTemporaryDir outside;
    writeFile(outside.path() + QStringLiteral("/precious.txt"), "data");
    QVERIFY(QDir().mkpath(repo.paths().papersFolder()));
    QVERIFY(QFile::link(outside.path(), repo.paths().papersFolder() + QStringLiteral("/linked")));

    exam::PaperTable table;
    table.append(exam::newPaperRow(QStringLiteral("other")));
    const exam::SaveAllResult deleted = exam::saveAllPapers(
        repo.paths(), table, {QStringLiteral("other")}, {QStringLiteral("linked")});
    QVERIFY(!deleted.ok());
    QVERIFY(deleted.errors.join(u'\n').contains(QStringLiteral("linked")));
    QCOMPARE(readFile(outside.path() + QStringLiteral("/precious.txt")), QByteArray("data"));

    table.append(exam::PaperRow(QStringLiteral("linked")));
    const exam::SaveAllResult created =
        exam::saveAllPapers(repo.paths(), table, {QStringLiteral("linked")}, {});
    QVERIFY(!created.ok());
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("precious.txt")});
}

void TestPaperManagementSave::shouldReportAFolderThatCannotBeCreatedAndKeepItPending()
{
    Repository repo;
    writeFile(repo.root() + QStringLiteral("/CHENGJI"), "not a folder");
    exam::PaperTable table;
    table.append(exam::newPaperRow(QStringLiteral("P")));
    const exam::SaveAllResult result =
        exam::saveAllPapers(repo.paths(), table, {QStringLiteral("P")}, {});
    QVERIFY(!result.ok());
    QCOMPARE(result.createdLeft, QStringList{QStringLiteral("P")});
    QVERIFY(result.errors.join(u'\n').contains(
        QDir::toNativeSeparators(repo.paths().paperResultsFolder(QStringLiteral("P")))));
    // The rest of the save still happened.
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("1")),
             QStringLiteral("P"));
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("TESTTIME")), QStringLiteral("30"));
}

void TestPaperManagementSave::shouldReportAResultsFolderWithASubFolder()
{
    Repository repo;
    repo.makePaper(QStringLiteral("old"), {});
    QVERIFY(QDir().mkpath(repo.paths().paperResultsFolder(QStringLiteral("old")) +
                          QStringLiteral("/sub")));
    const exam::SaveAllResult result =
        exam::saveAllPapers(repo.paths(), exam::PaperTable(), {}, {QStringLiteral("old")});
    QVERIFY(!result.ok());
    QCOMPARE(result.deletedLeft, QStringList{QStringLiteral("old")});
    QVERIFY(result.errors.join(u'\n').contains(QStringLiteral("CHENGJI")));
    // The paper folder itself went, as asked.
    QVERIFY(!QFileInfo::exists(repo.paths().paperFolder(QStringLiteral("old"))));
}

QTEST_GUILESS_MAIN(TestPaperManagementSave)
#include "tst_paper_management_save.moc"
