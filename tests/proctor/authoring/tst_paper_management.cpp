#include "authoring_fixture.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/authoring_hooks.h"
#include "proctor/authoring/current_paper.h"
#include "proctor/authoring/paper_document_export.h"
#include "proctor/authoring/paper_management.h"

#include <QSignalSpy>
#include <QTest>

using namespace authoring_test;
using namespace exam::platform;
using exam::PaperColumn;
using exam::PaperManagement;

namespace {

const QString Duplicate = QStringLiteral("您输入的试卷名称与已有试卷重名,请重新输入!");
const QString ImportClash = QStringLiteral("您输入的试卷与已有试卷重名,请重新输入!");
const QString TooMany = QStringLiteral("抽取的考题数不能超过考题总数！");

// Three papers with settings of their own.
void makeThreePapers(Repository &repo)
{
    repo.makePaper(QStringLiteral("一"), {{QStringLiteral("TESTTIME"), QStringLiteral("10")},
                                          {QStringLiteral("rnd_test"), QStringLiteral("0")}});
    repo.makePaper(QStringLiteral("二"), {{QStringLiteral("TESTTIME"), QStringLiteral("20")},
                                          {QStringLiteral("Question_conut"), QStringLiteral(" 9")},
                                          {QStringLiteral("rnd_test"), QStringLiteral("1")},
                                          {QStringLiteral("rnd_test_No"), QStringLiteral("4")}});
    repo.makePaper(QStringLiteral("三"), {{QStringLiteral("TESTTIME"), QStringLiteral("30")}});
    repo.setRoster({entry(QStringLiteral("一")),
                    entry(QStringLiteral("二"), QStringLiteral("0"), QStringLiteral("1")),
                    entry(QStringLiteral("三"))});
}

} // namespace

class TestPaperManagement : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void shouldNormaliseNumberFields_data();
    void shouldNormaliseNumberFields();
    void shouldLimitTheNumberDrawn_data();
    void shouldLimitTheNumberDrawn();
    void showPaperShouldNormaliseTheRowAndSetTheCurrentPaper();
    void showPaperShouldLimitAStoredNumberDrawn();
    void passwordBoxesShouldSetTheirDefaults();
    void openShouldWorkWithoutAnyPaper();
    void newPaperShouldCompareTrimmedNames_data();
    void newPaperShouldCompareTrimmedNames();
    void newPaperShouldRefuseHostileNames_data();
    void newPaperShouldRefuseHostileNames();
    void cancelledNewPaperShouldSelectTheLastPaper();
    void moveUpShouldCarryThePapersSettings();
    void deleteShouldKeepTheOthersSettings();
    void deleteShouldAskAndKeepTheLastPaper();
    void createdAndDeletedBeforeSaveShouldLeaveEmptyFolders();
    void saveShouldConfirmOnlyWhatWasSaved();
    void editPaperShouldSaveThenReloadTheCounts();
    void editPaperWithoutEditorShouldSaySo();
    void wordExportShouldUseTheHookOrSayItIsMissing();
    void importShouldAddThePaperAndKeepRandomDrawAfterSave();
    void importShouldRefuseAClashingName();
    void importShouldRefuseHostileNames_data();
    void importShouldRefuseHostileNames();
    void importAfterDeletingTheSameNameShouldKeepTheImportedFiles();
    void exportShouldCopyThePaperFolder();
    void brokenPaperShouldNotKeepTheEditorFromTheOthers_data();
    void brokenPaperShouldNotKeepTheEditorFromTheOthers();
    void failedPaperShouldStayPendingOnlyWhileItsCauseRemains();
    void okAfterAFailureShouldAskBeforeClosing_data();
    void okAfterAFailureShouldAskBeforeClosing();
    void newPaperShouldKeepTheDefaultMarkItShows();
    void wordExportWithoutASelectionShouldSayItNeedsWord();
};

void TestPaperManagement::cleanup()
{
    exam::setPaperEditorOpener({});
    exam::setWordExporter({});
    exam::setCurrentPaper({});
}

void TestPaperManagement::shouldNormaliseNumberFields_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters") << QStringLiteral("abc") << QStringLiteral("0");
    QTest::newRow("empty") << QString() << QStringLiteral("0");
    QTest::newRow("leading zero") << QStringLiteral("08") << QStringLiteral("8");
    QTest::newRow("trailing letters") << QStringLiteral("45min") << QStringLiteral("45");
    QTest::newRow("negative") << QStringLiteral("-5") << QStringLiteral("-5");
    QTest::newRow("fraction") << QStringLiteral("2.5") << QStringLiteral("2.5");
    QTest::newRow("blanks") << QStringLiteral(" 12 ") << QStringLiteral("12");
}

void TestPaperManagement::shouldNormaliseNumberFields()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(exam::numberFieldText(typed), shown);

    Repository repo;
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    for (const PaperColumn column :
         {PaperColumn::TestTime, PaperColumn::AGrade, PaperColumn::DGrade}) {
        QCOMPARE(m.editNumber(column, typed), shown);
        QCOMPARE(m.selectedRow()->at(column), shown);
    }
    // A field that is only shown keeps nothing typed into it.
    QCOMPARE(m.editNumber(PaperColumn::DefaultMark, QStringLiteral("7")), QStringLiteral("7"));
    QCOMPARE(m.selectedRow()->at(PaperColumn::DefaultMark), QStringLiteral("0"));
}

void TestPaperManagement::shouldLimitTheNumberDrawn_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("questions");
    QTest::addColumn<QString>("defaultMark");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("warned");
    QTest::newRow("too many") << QStringLiteral("25") << QStringLiteral("20") << QStringLiteral("5")
                              << QStringLiteral("20") << QStringLiteral("100") << true;
    QTest::newRow("twelve of twenty")
        << QStringLiteral("12") << QStringLiteral("20") << QStringLiteral("5")
        << QStringLiteral("12") << QStringLiteral("60") << false;
    QTest::newRow("all") << QStringLiteral("20") << QStringLiteral("20") << QStringLiteral("3")
                         << QStringLiteral("20") << QStringLiteral("60") << false;
    QTest::newRow("letters") << QStringLiteral("x") << QStringLiteral("20") << QStringLiteral("5")
                             << QStringLiteral("0") << QStringLiteral("0") << false;
    QTest::newRow("no questions") << QStringLiteral("1") << QStringLiteral("0")
                                  << QStringLiteral("5") << QStringLiteral("0")
                                  << QStringLiteral("0") << true;
}

void TestPaperManagement::shouldLimitTheNumberDrawn()
{
    QFETCH(QString, typed);
    QFETCH(QString, questions);
    QFETCH(QString, defaultMark);
    QFETCH(QString, shown);
    QFETCH(QString, total);
    QFETCH(bool, warned);

    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("Question_conut"), u' ' + questions},
                                         {QStringLiteral("Mark"), u' ' + defaultMark},
                                         {QStringLiteral("full_mark"), QStringLiteral(" 100")}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.setRandomDraw(true);
    QCOMPARE(m.editDrawCount(typed), shown);
    QCOMPARE(m.selectedRow()->at(PaperColumn::DrawCount), shown);
    QCOMPARE(m.selectedRow()->at(PaperColumn::FullMark), total);
    QCOMPARE(dialogs.messages(), warned ? QStringList{TooMany} : QStringList());
    // The total shown is never stored.
    QVERIFY(m.saveAll());
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("full_mark")),
             QStringLiteral("100"));
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("rnd_test_No")), shown);
}

void TestPaperManagement::showPaperShouldNormaliseTheRowAndSetTheCurrentPaper()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("TESTTIME"), QStringLiteral("abc")},
                                         {QStringLiteral("A_grade"), QStringLiteral("085")},
                                         {QStringLiteral("EXERCISEMODE"), QStringLiteral("2")},
                                         {QStringLiteral("DISPLAY_SCORE"), QStringLiteral(" 1")},
                                         {QStringLiteral("rnd_test"), QString()}});
    repo.makePaper(QStringLiteral("Q"), {});
    repo.setRoster({entry(QStringLiteral("P"), QStringLiteral("1.0")), entry(QStringLiteral("Q"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    QSignalSpy shown(&m, &PaperManagement::paperShown);
    m.open();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(exam::currentPaper(), QStringLiteral("P"));
    const exam::PaperRow &row = *m.selectedRow();
    QCOMPARE(row.at(PaperColumn::TestTime), QStringLiteral("0"));
    QCOMPARE(row.at(PaperColumn::AGrade), QStringLiteral("85"));
    QCOMPARE(row.at(PaperColumn::ExerciseMode), QStringLiteral("0"));
    QCOMPARE(row.at(PaperColumn::DisplayScore), QStringLiteral("1"));
    QCOMPARE(row.at(PaperColumn::Open), QStringLiteral("1"));
    QCOMPARE(row.at(PaperColumn::RandomDraw), QStringLiteral("0"));
    // A missing retest password reads as "0", which is a password: the box shows ticked.
    QCOMPARE(row.at(PaperColumn::RetestPassword), QStringLiteral("0"));
    m.select(1);
    QCOMPARE(exam::currentPaper(), QStringLiteral("Q"));
}

void TestPaperManagement::showPaperShouldLimitAStoredNumberDrawn()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("Question_conut"), QStringLiteral(" 20")},
                                         {QStringLiteral("Mark"), QStringLiteral(" 2")},
                                         {QStringLiteral("rnd_test"), QStringLiteral("1")},
                                         {QStringLiteral("rnd_test_No"), QStringLiteral("25")}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    QCOMPARE(dialogs.messages(), QStringList{TooMany});
    QCOMPARE(m.selectedRow()->at(PaperColumn::DrawCount), QStringLiteral("20"));
    QCOMPARE(m.selectedRow()->at(PaperColumn::FullMark), QStringLiteral("40"));
}

void TestPaperManagement::passwordBoxesShouldSetTheirDefaults()
{
    Repository repo;
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    QCOMPARE(m.setPasswordOn(PaperColumn::RetestPassword, false), QString());
    QCOMPARE(m.selectedRow()->at(PaperColumn::RetestPassword), QString());
    QCOMPARE(m.setPasswordOn(PaperColumn::RetestPassword, true), QStringLiteral("358"));
    QCOMPARE(m.setPasswordOn(PaperColumn::ReloginPassword, true), QStringLiteral("469"));
    m.editPassword(PaperColumn::ReloginPassword, QStringLiteral(" ab "));
    QCOMPARE(m.selectedRow()->at(PaperColumn::ReloginPassword), QStringLiteral(" ab "));
    QCOMPARE(m.selectedRow()->at(PaperColumn::RetestPassword), QStringLiteral("358"));
}

void TestPaperManagement::openShouldWorkWithoutAnyPaper()
{
    Repository repo;
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    QCOMPARE(m.selection(), -1);
    QVERIFY(!m.selectedRow());
    // Handlers, moves, delete, export and edit do nothing without a paper (the document export
    // runs and says why it cannot, see wordExportWithoutASelectionShouldSayItNeedsWord).
    QCOMPARE(m.editNumber(PaperColumn::TestTime, QStringLiteral("x")), QStringLiteral("x"));
    m.moveUp();
    m.moveDown();
    m.deletePaper();
    m.exportPaper();
    m.editPaper();
    QVERIFY(dialogs.calls().isEmpty());

    dialogs.answerInput(QStringLiteral("第一卷"));
    m.newPaper();
    QCOMPARE(m.table().names(), QStringList{QStringLiteral("第一卷")});
    QCOMPARE(m.selection(), 0);
    QVERIFY(m.save());
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷已保存!")});
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("TestNameCount")),
             QStringLiteral("1"));
    QVERIFY(QFileInfo(repo.paths().paperResultsFolder(QStringLiteral("第一卷"))).isDir());
}

void TestPaperManagement::newPaperShouldCompareTrimmedNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same") << QStringLiteral("期中考试") << false;
    QTest::newRow("surrounding blanks") << QStringLiteral("  期中考试 ") << false;
    QTest::newRow("containing") << QStringLiteral("期中考试二") << true;
    QTest::newRow("contained") << QStringLiteral("期中") << true;
    // Folders and profile keys ignore letter case: the two would share one folder.
    QTest::newRow("other case") << QStringLiteral("math") << false;
}

void TestPaperManagement::newPaperShouldCompareTrimmedNames()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Repository repo;
    repo.setRoster({entry(QStringLiteral("期中考试")), entry(QStringLiteral("Math"))});
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerInput(typed);
    m.newPaper();
    QCOMPARE(dialogs.calls().first().text, QStringLiteral("请输入新建的试卷名称 "));
    QCOMPARE(dialogs.calls().first().title, QStringLiteral("输入试卷名称"));
    QCOMPARE(m.table().count(), accepted ? 3 : 2);
    QCOMPARE(dialogs.messages(), accepted ? QStringList() : QStringList{Duplicate});
    if (accepted) {
        QCOMPARE(m.selectedRow()->name(), typed.trimmed());
        QCOMPARE(m.createdPapers(), QStringList{typed.trimmed()});
    }
}

void TestPaperManagement::newPaperShouldRefuseHostileNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("parent folder") << QStringLiteral("../x");
    QTest::newRow("backslash") << QStringLiteral("a\\b");
    QTest::newRow("slash") << QStringLiteral("a/b");
    QTest::newRow("count key") << QStringLiteral("TestNameCount");
    QTest::newRow("count key other case") << QStringLiteral("testnamecount");
    QTest::newRow("digits") << QStringLiteral("123");
    QTest::newRow("section bracket") << QStringLiteral("a]b");
    QTest::newRow("equals") << QStringLiteral("a=b");
    QTest::newRow("too long") << QString(61, u'长');
}

void TestPaperManagement::newPaperShouldRefuseHostileNames()
{
    QFETCH(QString, typed);
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    repo.setRoster({entry(QStringLiteral("P"))});
    const auto before = tree(repo.root());
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerInput(typed);
    m.newPaper();
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(!dialogs.messages().first().isEmpty());
    QCOMPARE(m.table().names(), QStringList{QStringLiteral("P")});
    QVERIFY(m.createdPapers().isEmpty());
    QCOMPARE(tree(repo.root()), before);
}

void TestPaperManagement::cancelledNewPaperShouldSelectTheLastPaper()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.newPaper(); // cancelled
    QCOMPARE(m.table().count(), 3);
    QCOMPARE(m.selection(), 2);
    QVERIFY(dialogs.messages().isEmpty());
}

void TestPaperManagement::moveUpShouldCarryThePapersSettings()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.select(1);
    m.moveUp();
    QCOMPARE(m.selection(), 0);
    QCOMPARE(m.table().names(),
             QStringList({QStringLiteral("二"), QStringLiteral("一"), QStringLiteral("三")}));
    m.moveUp(); // first entry: nothing
    m.select(2);
    m.moveDown(); // last entry: nothing
    QCOMPARE(m.table().names(),
             QStringList({QStringLiteral("二"), QStringLiteral("一"), QStringLiteral("三")}));
    QVERIFY(m.saveAll());
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("1")),
             QStringLiteral("二"));
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("二")),
             QStringLiteral("0"));
    QCOMPARE(repo.systemValue(QStringLiteral("LetViewTest"), QStringLiteral("二")),
             QStringLiteral("1"));
    QCOMPARE(repo.mainValue(QStringLiteral("二"), QStringLiteral("rnd_test")), QStringLiteral("1"));
    QCOMPARE(repo.mainValue(QStringLiteral("二"), QStringLiteral("rnd_test_No")),
             QStringLiteral("4"));
    QCOMPARE(repo.mainValue(QStringLiteral("一"), QStringLiteral("TESTTIME")),
             QStringLiteral("10"));
}

void TestPaperManagement::deleteShouldKeepTheOthersSettings()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerQuestion(true);
    m.deletePaper();
    QCOMPARE(dialogs.texts(), QStringList({QStringLiteral("您确认要删除该试卷的所有数据?"),
                                           QStringLiteral("该试卷已经被删除!")}));
    QCOMPARE(m.table().names(), QStringList({QStringLiteral("二"), QStringLiteral("三")}));
    QCOMPARE(m.selection(), 0);
    QCOMPARE(m.table().row(0).at(PaperColumn::TestTime), QStringLiteral("20"));
    QCOMPARE(m.table().row(0).at(PaperColumn::Review), QStringLiteral("1"));
    QCOMPARE(m.table().row(1).at(PaperColumn::TestTime), QStringLiteral("30"));
    // The files stay until the save.
    QVERIFY(QFileInfo::exists(repo.paths().paperProfile(QStringLiteral("一"))));
    QVERIFY(m.saveAll());
    QVERIFY(!QFileInfo::exists(repo.paths().paperFolder(QStringLiteral("一"))));
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("TestNameCount")),
             QStringLiteral("2"));
    QCOMPARE(repo.mainValue(QStringLiteral("三"), QStringLiteral("TESTTIME")),
             QStringLiteral("30"));
}

void TestPaperManagement::deleteShouldAskAndKeepTheLastPaper()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerQuestion(false);
    m.deletePaper();
    QCOMPARE(m.table().count(), 3);
    QVERIFY(m.deletedPapers().isEmpty());

    Repository single;
    single.setRoster({entry(QStringLiteral("only"))});
    FakeDialogs singleDialogs;
    PaperManagement s(single.root(), singleDialogs);
    s.open();
    s.deletePaper();
    QCOMPARE(singleDialogs.texts(), QStringList{QStringLiteral("不能删除最后一张试卷!")});
    QCOMPARE(s.table().count(), 1);
}

void TestPaperManagement::createdAndDeletedBeforeSaveShouldLeaveEmptyFolders()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerInput(QStringLiteral("草稿"));
    m.newPaper();
    dialogs.answerQuestion(true);
    m.deletePaper(); // the new paper is selected
    QCOMPARE(m.table().names(),
             QStringList({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")}));
    QVERIFY(m.saveAll());
    QVERIFY(QFileInfo(repo.paths().paperFolder(QStringLiteral("草稿"))).isDir());
    QVERIFY(QDir(repo.paths().paperFolder(QStringLiteral("草稿"))).isEmpty());
    QVERIFY(QDir(repo.paths().paperResultsFolder(QStringLiteral("草稿"))).isEmpty());
    QVERIFY(m.createdPapers().isEmpty() && m.deletedPapers().isEmpty());
}

void TestPaperManagement::saveShouldConfirmOnlyWhatWasSaved()
{
    Repository repo;
    writeFile(repo.paths().paperProfile(QStringLiteral("P")), "[MAIN]\r\n");
    repo.setRoster({entry(QStringLiteral("P"))});
    writeFile(repo.root() + QStringLiteral("/CHENGJI"), "in the way");
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerInput(QStringLiteral("新卷"));
    m.newPaper();
    QVERIFY(!m.save());
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(dialogs.messages().first().contains(QStringLiteral("CHENGJI")));
    QVERIFY(!dialogs.messages().contains(QStringLiteral("试卷已保存!")));
    // Still pending: the next save tries again.
    QCOMPARE(m.createdPapers(), QStringList{QStringLiteral("新卷")});
    QVERIFY(QFile::remove(repo.root() + QStringLiteral("/CHENGJI")));
    QVERIFY(m.save());
    QVERIFY(QFileInfo(repo.paths().paperResultsFolder(QStringLiteral("新卷"))).isDir());
}

void TestPaperManagement::editPaperShouldSaveThenReloadTheCounts()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.select(2);
    m.editNumber(PaperColumn::TestTime, QStringLiteral("55"));
    QString seenByEditor;
    QString savedBeforeEditor;
    exam::setPaperEditorOpener([&](const exam::AuthoringRequest &request) {
        seenByEditor = exam::currentPaper();
        QCOMPARE(request.row.name(), QStringLiteral("三"));
        QCOMPARE(request.dialogs, &dialogs);
        savedBeforeEditor = repo.mainValue(QStringLiteral("三"), QStringLiteral("TESTTIME"));
        exam::PaperData paper;
        paper.questionCount = 2;
        paper.defaultMark = 4;
        paper.fullMark = 8;
        paper.questions = QList<exam::PaperQuestion>(4);
        QVERIFY(exam::savePaper(repo.paths().paperProfile(QStringLiteral("三")), paper));
    });
    m.editPaper();
    QCOMPARE(seenByEditor, QStringLiteral("三"));
    QCOMPARE(savedBeforeEditor, QStringLiteral("55"));
    QCOMPARE(m.selection(), 2);
    QCOMPARE(m.selectedRow()->at(PaperColumn::QuestionCount), QStringLiteral("2"));
    QCOMPARE(m.selectedRow()->at(PaperColumn::DefaultMark), QStringLiteral("4"));
    QCOMPARE(m.selectedRow()->at(PaperColumn::FullMark), QStringLiteral("8"));
    QVERIFY(dialogs.messages().isEmpty());
}

void TestPaperManagement::editPaperWithoutEditorShouldSaySo()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.editPaper();
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷编辑功能尚未提供!")});
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("TestNameCount")),
             QStringLiteral("3"));
}

void TestPaperManagement::wordExportShouldUseTheHookOrSayItIsMissing()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.select(1);
    m.exportToWord();
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("输出到 WORD 的功能尚未提供!")});
    QString exported;
    exam::setWordExporter([&](const exam::AuthoringRequest &request) {
        exported = request.row.name() + u'/' + request.row.at(PaperColumn::TestTime);
    });
    m.exportToWord();
    QCOMPARE(exported, QStringLiteral("二/20"));
}

void TestPaperManagement::importShouldAddThePaperAndKeepRandomDrawAfterSave()
{
    Repository repo;
    makeThreePapers(repo);
    QTemporaryDir source;
    const QByteArray questions = "[1]\r\nQUESTION=1.RTF\r\nexplain=2.RTF\r\nanswer=1\r\nmark=\r\n";
    writeFile(source.path() + QStringLiteral("/物理.CHO"),
              "[MAIN]\r\nQuestion_conut= 10\r\nfull_mark= 50\r\nMark= 5\r\nTESTTIME=40\r\n"
              "rnd_test=1\r\nrnd_test_No=6\r\n" +
                  questions);
    writeFile(source.path() + QStringLiteral("/1.RTF"), "{\\rtf1 q}");
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerFile(source.path() + QStringLiteral("/物理.CHO"));
    m.importPaper();
    QCOMPARE(dialogs.calls().first().title, QStringLiteral("请选定要导入的试卷文件"));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷已经成功导入!")});
    QCOMPARE(m.table().count(), 4);
    QCOMPARE(m.selection(), 3);
    QVERIFY(m.createdPapers().isEmpty());
    const exam::PaperRow &row = *m.selectedRow();
    QCOMPARE(row.name(), QStringLiteral("物理"));
    QCOMPARE(row.at(PaperColumn::Open), QStringLiteral("1"));
    QCOMPARE(row.at(PaperColumn::Review), QStringLiteral("0"));
    QCOMPARE(row.at(PaperColumn::TestTime), QStringLiteral("40"));
    QCOMPARE(row.at(PaperColumn::FullMark), QStringLiteral("30"));

    QVERIFY(m.saveAll());
    const QByteArray stored = readFile(repo.paths().paperProfile(QStringLiteral("物理")));
    QVERIFY(stored.contains("Question_conut= 10\r\nfull_mark= 50\r\nMark= 5\r\n"));
    QVERIFY(stored.endsWith(questions));
    QCOMPARE(repo.mainValue(QStringLiteral("物理"), QStringLiteral("rnd_test")),
             QStringLiteral("1"));
    QCOMPARE(repo.mainValue(QStringLiteral("物理"), QStringLiteral("rnd_test_No")),
             QStringLiteral("6"));
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("4")),
             QStringLiteral("物理"));
    QCOMPARE(repo.systemValue(QStringLiteral("LetViewTest"), QStringLiteral("物理")),
             QStringLiteral("0"));
    QVERIFY(
        QFileInfo::exists(repo.paths().paperFile(QStringLiteral("物理"), QStringLiteral("1.RTF"))));
}

void TestPaperManagement::importShouldRefuseAClashingName()
{
    Repository repo;
    makeThreePapers(repo);
    repo.setRoster({entry(QStringLiteral("一")), entry(QStringLiteral("Physics 2"))});
    QTemporaryDir source;
    writeFile(source.path() + QStringLiteral("/PHYSICS.cho"), "[MAIN]\r\n");
    const auto before = tree(repo.root());
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerFile(source.path() + QStringLiteral("/PHYSICS.cho"));
    m.importPaper();
    QCOMPARE(dialogs.messages(), QStringList{ImportClash});
    QCOMPARE(m.table().count(), 2);
    QCOMPARE(tree(repo.root()), before);
}

void TestPaperManagement::importShouldRefuseHostileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("backslash") << QStringLiteral("a\\b.cho");
    QTest::newRow("count key") << QStringLiteral("TestNameCount.cho");
    QTest::newRow("digits") << QStringLiteral("123.cho");
    QTest::newRow("dot-dot") << QStringLiteral("...cho");
    QTest::newRow("no .cho") << QStringLiteral("paper.txt");
    QTest::newRow("only .cho") << QStringLiteral(".cho");
}

void TestPaperManagement::importShouldRefuseHostileNames()
{
    QFETCH(QString, fileName);
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    repo.setRoster({entry(QStringLiteral("P"))});
    QTemporaryDir source;
    writeFile(source.path() + u'/' + fileName, "[MAIN]\r\n");
    const auto before = tree(repo.root());
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerFile(source.path() + u'/' + fileName);
    m.importPaper();
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(dialogs.messages().first() != QStringLiteral("试卷已经成功导入!"));
    QCOMPARE(m.table().names(), QStringList{QStringLiteral("P")});
    QCOMPARE(tree(repo.root()), before);
    QVERIFY(m.saveAll());
    QCOMPARE(QDir(repo.paths().papersFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("P")});
}

void TestPaperManagement::importAfterDeletingTheSameNameShouldKeepTheImportedFiles()
{
    Repository repo;
    makeThreePapers(repo);
    QTemporaryDir source;
    writeFile(source.path() + QStringLiteral("/一.cho"), "[MAIN]\r\nQuestion_conut= 7\r\n");
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerQuestion(true);
    m.deletePaper(); // 一
    dialogs.answerFile(source.path() + QStringLiteral("/一.cho"));
    m.importPaper();
    QCOMPARE(dialogs.messages().last(), QStringLiteral("试卷已经成功导入!"));
    QVERIFY(m.saveAll());
    QCOMPARE(repo.mainValue(QStringLiteral("一"), QStringLiteral("Question_conut")),
             QStringLiteral("7"));
}

void TestPaperManagement::exportShouldCopyThePaperFolder()
{
    Repository repo;
    makeThreePapers(repo);
    QTemporaryDir target;
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    m.exportPaper(); // cancelled
    QVERIFY(QDir(target.path()).isEmpty());
    dialogs.answerFolder(target.path());
    m.exportPaper();
    QCOMPARE(dialogs.calls().last().kind, FakeDialogs::Kind::Message);
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷已经输出!")});
    QCOMPARE(dialogs.calls().at(1).title, QStringLiteral("Output paper to ..."));
    QVERIFY(QFileInfo::exists(target.path() + QStringLiteral("/一/一.cho")));

    dialogs.answerInput(QStringLiteral("未保存"));
    m.newPaper();
    dialogs.answerFolder(target.path());
    m.exportPaper();
    QVERIFY(dialogs.messages().last().contains(QStringLiteral("未保存")));
    QVERIFY(!QFileInfo::exists(target.path() + QStringLiteral("/未保存")));
}

namespace {

// The two ways a paper's save fails that the teacher cannot mend from the window.
enum class Breakage { ListedFolderMissing, DeletedResultsHoldAFolder };

void breakPaper(Repository &repo, PaperManagement &m, FakeDialogs &dialogs, Breakage breakage)
{
    if (breakage == Breakage::ListedFolderMissing) {
        QVERIFY(QDir(repo.paths().paperFolder(QStringLiteral("一"))).removeRecursively());
        return;
    }
    QVERIFY(QDir().mkpath(repo.paths().paperResultsFolder(QStringLiteral("一")) +
                          QStringLiteral("/备份")));
    m.select(0);
    dialogs.answerQuestion(true);
    m.deletePaper();
    dialogs.clear();
}

} // namespace

void TestPaperManagement::brokenPaperShouldNotKeepTheEditorFromTheOthers_data()
{
    QTest::addColumn<Breakage>("breakage");
    QTest::newRow("listed paper without folder") << Breakage::ListedFolderMissing;
    QTest::newRow("deleted paper with a sub-folder") << Breakage::DeletedResultsHoldAFolder;
}

void TestPaperManagement::brokenPaperShouldNotKeepTheEditorFromTheOthers()
{
    QFETCH(Breakage, breakage);
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    breakPaper(repo, m, dialogs, breakage);
    QStringList opened;
    exam::setPaperEditorOpener(
        [&](const exam::AuthoringRequest &request) { opened << request.row.name(); });

    for (int round = 0; round < 2; ++round) {
        m.select(m.table().count() - 1);
        m.editNumber(PaperColumn::TestTime, QStringLiteral("4%1").arg(round));
        m.editPaper();
        QCOMPARE(dialogs.messages().size(), round + 1);
        const QString message = dialogs.messages().last();
        QVERIFY2(message.startsWith(QStringLiteral("保存时未能完成以下操作:\n试卷“一”: ")),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("试卷“三”")));
        QCOMPARE(repo.mainValue(QStringLiteral("三"), QStringLiteral("TESTTIME")),
                 QStringLiteral("4%1").arg(round));
    }
    QCOMPARE(opened, QStringList({QStringLiteral("三"), QStringLiteral("三")}));
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("1")),
             m.table().names().first());
    if (breakage == Breakage::ListedFolderMissing) {
        // The broken paper's own editor stays shut: it has no folder to work in.
        m.select(0);
        m.editPaper();
        QCOMPARE(opened.size(), 2);
    }
}

void TestPaperManagement::failedPaperShouldStayPendingOnlyWhileItsCauseRemains()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    breakPaper(repo, m, dialogs, Breakage::DeletedResultsHoldAFolder);
    QVERIFY(!m.saveAll());
    QVERIFY(!m.saveAll());
    QCOMPARE(m.deletedPapers(), QStringList{QStringLiteral("一")});
    QVERIFY(QDir(repo.paths().paperResultsFolder(QStringLiteral("一")) + QStringLiteral("/备份"))
                .removeRecursively());
    QVERIFY(m.saveAll());
    QVERIFY(m.deletedPapers().isEmpty());
    QVERIFY(!QFileInfo::exists(repo.paths().paperResultsFolder(QStringLiteral("一"))));
    QVERIFY(m.saveAll());
}

void TestPaperManagement::okAfterAFailureShouldAskBeforeClosing_data()
{
    QTest::addColumn<bool>("close");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestPaperManagement::okAfterAFailureShouldAskBeforeClosing()
{
    QFETCH(bool, close);
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    QVERIFY(m.saveForClosing());
    QVERIFY(dialogs.calls().isEmpty());
    breakPaper(repo, m, dialogs, Breakage::ListedFolderMissing);
    dialogs.answerQuestion(close);
    QCOMPARE(m.saveForClosing(), close);
    QCOMPARE(dialogs.calls().size(), 1);
    const FakeDialogs::Call &asked = dialogs.calls().first();
    QCOMPARE(asked.defaultButton, Dialogs::Button::No);
    QVERIFY(asked.text.startsWith(
        QStringLiteral("保存时未能完成以下操作:\n试卷“一”: 找不到试卷文件夹 ")));
    QVERIFY(asked.text.endsWith(QStringLiteral("\n\n其余的都已保存。是否仍然关闭试卷管理?")));
}

void TestPaperManagement::newPaperShouldKeepTheDefaultMarkItShows()
{
    Repository repo;
    makeThreePapers(repo);
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    dialogs.answerInput(QStringLiteral("新卷"));
    m.newPaper();
    QCOMPARE(m.selectedRow()->at(PaperColumn::DefaultMark), QStringLiteral("5"));
    qint16 editorStartsWith = -1;
    exam::setPaperEditorOpener([&](const exam::AuthoringRequest &) {
        editorStartsWith =
            exam::loadPaper(repo.paths().paperProfile(QStringLiteral("新卷"))).defaultMark;
    });
    m.editPaper();
    QCOMPARE(editorStartsWith, qint16(5));
    QCOMPARE(m.selectedRow()->at(PaperColumn::DefaultMark), QStringLiteral("5"));
    // Only the new paper gets it: the others' marks belong to the editor.
    QCOMPARE(repo.mainValue(QStringLiteral("一"), QStringLiteral("Mark")),
             QStringLiteral("<missing>"));
}

void TestPaperManagement::wordExportWithoutASelectionShouldSayItNeedsWord()
{
    Repository repo;
    QTemporaryDir output;
    FakeDialogs dialogs;
    PaperManagement m(repo.root(), dialogs);
    m.open();
    QCOMPARE(m.selectedRow(), nullptr);
    exam::setWordExporter(
        exam::paperDocumentExporter({output.path(), [](const QString &) { return true; }}));
    dialogs.answerQuestion(false);
    m.exportToWord();
    QCOMPARE(dialogs.texts().size(), 2);
    QCOMPARE(dialogs.texts().first(), QStringLiteral("是否要同时输出解题辅导?"));
    QVERIFY(dialogs.messages().first().startsWith(
        QStringLiteral("该功能需要您的计算机安装 WORD 软件.")));
    QVERIFY(QDir(output.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestPaperManagement)
#include "tst_paper_management.moc"
