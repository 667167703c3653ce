#include "editor_fixture.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/editor_working_folder.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/question_bank.h"
#include "repository/random_source.h"

#include <QFile>
#include <QSignalSpy>
#include <QTextDocument>

#include <memory>

using namespace editor_test;
using namespace exam::platform;
using authoring_test::entry;
using authoring_test::readFile;
using authoring_test::tree;
using exam::PaperEditor;
using exam::QuestionBank;

namespace {

const QString Edited = QStringLiteral("期末考试");
const QString Bank = QStringLiteral("题库一");

struct Fixture
{
    EditorRepository repo;
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    std::unique_ptr<PaperEditor> editor;
    std::unique_ptr<QuestionBank> bank;

    // The edited paper has two questions and default mark 4; the bank paper five, with the marks
    // "", "2", "", "3", "" and the answers 1 … 5.
    Fixture()
    {
        repo.setRoster({entry(Edited), entry(Bank)});
        repo.makeQuestionPaper(Edited,
                               {{QStringLiteral("甲"), QStringLiteral("1"), {}},
                                {QStringLiteral("乙"), QStringLiteral("2"), {}}},
                               4);
        QList<QuestionSpec> questions;
        for (int k = 1; k <= 5; ++k)
            questions.append({QStringLiteral("库题%1").arg(k), QString::number(k),
                              k == 2   ? QStringLiteral("2")
                              : k == 4 ? QStringLiteral("3")
                                       : QString()});
        repo.makeQuestionPaper(Bank, questions, 9);
    }

    QuestionBank &open()
    {
        editor = std::make_unique<PaperEditor>(repo.root(), Edited, repo.workingFolder(), dialogs,
                                               random);
        if (!editor->open())
            qFatal("editor did not open");
        editor->activate();
        bank = std::make_unique<QuestionBank>(repo.root(), *editor, dialogs);
        bank->toggle();
        return *bank;
    }
};

} // namespace

class TestQuestionBank : public QObject
{
    Q_OBJECT

private slots:
    void toggleShouldSwitchCaptionAndToolTip();
    void showingShouldListPapersAndChooseTheFirst();
    void choosingAPaperShouldListItsTexts();
    void choosingAQuestionShouldPreviewIt();
    void importShouldAppendAndMoveTheSelection_data();
    void importShouldAppendAndMoveTheSelection();
    void importWithoutSelectionShouldTakeTheFirst();
    void importedQuestionShouldBeACopyUnderNewNames();
    void emptyMarkShouldCountTheEditedPapersDefault();
    void questionOfThePaperItselfShouldAskFirst_data();
    void questionOfThePaperItselfShouldAskFirst();
    void cancelAfterImportShouldLeaveThePaperUnchanged();
    void emptyRosterShouldLeaveNothingToImport();
    void missingBankFilesShouldImportEmptyQuestions();
};

void TestQuestionBank::toggleShouldSwitchCaptionAndToolTip()
{
    Fixture f;
    QuestionBank &b = f.open();
    QVERIFY(b.isShown());
    QCOMPARE(b.buttonCaption(), QStringLiteral("隐藏题库"));
    QCOMPARE(b.buttonToolTip(), QStringLiteral("隐藏题库,手工编辑试题 "));
    QSignalSpy shown(&b, &QuestionBank::shownChanged);
    b.toggle();
    QVERIFY(!b.isShown());
    QCOMPARE(shown.takeFirst().at(0).toBool(), false);
    QCOMPARE(b.buttonCaption(), QStringLiteral("显示题库"));
    QCOMPARE(b.buttonToolTip(), QStringLiteral("显示题库,以便从题库中导入试题"));
}

void TestQuestionBank::showingShouldListPapersAndChooseTheFirst()
{
    Fixture f;
    QuestionBank &b = f.open();
    QCOMPARE(b.paperNames(), QStringList({Edited, Bank}));
    QCOMPARE(b.bankPaper(), Edited);
    QCOMPARE(b.questionTexts(), QStringList({QStringLiteral("甲"), QStringLiteral("乙")}));
    QCOMPARE(b.selection(), -1);
}

void TestQuestionBank::choosingAPaperShouldListItsTexts()
{
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    QCOMPARE(b.bankPaper(), Bank);
    QCOMPARE(b.questionCount(), 5);
    QCOMPARE(b.questionTexts().at(4), QStringLiteral("库题5"));
    QCOMPARE(b.question(3).mark, QStringLiteral("3"));
    QCOMPARE(b.selection(), -1);
    b.choosePaper(7);
    QCOMPARE(b.bankPaper(), Bank);
}

void TestQuestionBank::choosingAQuestionShouldPreviewIt()
{
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    b.chooseQuestion(2);
    QCOMPARE(b.selection(), 2);
    QCOMPARE(b.preview()->toPlainText(), QStringLiteral("库题3"));
}

void TestQuestionBank::importShouldAppendAndMoveTheSelection_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("selectionAfter");
    QTest::newRow("second of five") << 1 << 2;
    QTest::newRow("last stays") << 4 << 4;
}

void TestQuestionBank::importShouldAppendAndMoveTheSelection()
{
    QFETCH(int, chosen);
    QFETCH(int, selectionAfter);
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    f.editor->select(1); // the import goes last whatever is current
    b.chooseQuestion(chosen);
    QSignalSpy focus(&b, &QuestionBank::listFocusWanted);
    b.importSelected();
    const exam::QuestionTable &table = f.editor->table();
    QCOMPARE(table.count(), 3);
    QCOMPARE(f.editor->current(), 3);
    QCOMPARE(table.plainText(3), QStringLiteral("库题%1").arg(chosen + 1));
    QCOMPARE(table.question(3).answer, QString::number(chosen + 1));
    QCOMPARE(f.editor->questionDocument()->toPlainText(), QStringLiteral("库题%1").arg(chosen + 1));
    QCOMPARE(b.selection(), selectionAfter);
    QCOMPARE(b.preview()->toPlainText(), QStringLiteral("库题%1").arg(selectionAfter + 1));
    QCOMPARE(focus.count(), 1);
    QVERIFY(f.editor->isModified());
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestQuestionBank::importWithoutSelectionShouldTakeTheFirst()
{
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    b.importSelected();
    b.importSelected();
    QCOMPARE(f.editor->table().plainText(3), QStringLiteral("库题1"));
    QCOMPARE(f.editor->table().plainText(4), QStringLiteral("库题2"));
    QCOMPARE(b.selection(), 2);
}

void TestQuestionBank::importedQuestionShouldBeACopyUnderNewNames()
{
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    b.chooseQuestion(3);
    b.importSelected();
    const exam::PaperQuestion &q = f.editor->table().question(3);
    QVERIFY(q.questionFile != b.question(3).questionFile);
    QVERIFY(q.explainFile != q.questionFile);
    QCOMPARE(q.mark, QStringLiteral("3"));
    const QString bankFolder = f.repo.paperFolder(Bank);
    QCOMPARE(readFile(f.editor->workingFile(q.questionFile)),
             readFile(bankFolder + u'/' + b.question(3).questionFile));
    QCOMPARE(readFile(f.editor->workingFile(q.explainFile)),
             readFile(bankFolder + u'/' + b.question(3).explainFile));
    QVERIFY(f.editor->save());
    QVERIFY(QFile::exists(f.repo.paperFolder(Edited) + u'/' + q.questionFile));
}

void TestQuestionBank::emptyMarkShouldCountTheEditedPapersDefault()
{
    Fixture f;
    QuestionBank &b = f.open();
    b.choosePaper(1);
    b.chooseQuestion(2);
    b.importSelected();
    QCOMPARE(f.editor->table().question(3).mark, QString());
    QVERIFY(f.editor->usesDefaultMark());
    // 4 + 4 + 4 with the edited paper's default mark, not the bank paper's 9.
    QCOMPARE(f.editor->table().total(), 12);
    QVERIFY(f.editor->save());
    QCOMPARE(f.repo.mainValue(Edited, QStringLiteral("full_mark")), QStringLiteral("12"));
}

void TestQuestionBank::questionOfThePaperItselfShouldAskFirst_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK adds a copy") << true;
    QTest::newRow("Cancel moves on") << false;
}

void TestQuestionBank::questionOfThePaperItselfShouldAskFirst()
{
    QFETCH(bool, ok);
    Fixture f;
    QuestionBank &b = f.open();
    QCOMPARE(b.bankPaper(), Edited);
    b.chooseQuestion(0);
    f.dialogs.answerQuestion(ok);
    QSignalSpy focus(&b, &QuestionBank::listFocusWanted);
    b.importSelected();
    QCOMPARE(f.dialogs.calls().size(), 1);
    QCOMPARE(f.dialogs.calls().first().kind, FakeDialogs::Kind::OkCancel);
    QCOMPARE(f.dialogs.texts().first(), QStringLiteral("该考题已经存在!\r\n您是否要添加同一考题?"));
    QCOMPARE(f.editor->table().count(), ok ? 3 : 2);
    if (ok) {
        QCOMPARE(f.editor->table().plainText(3), QStringLiteral("甲"));
        QVERIFY(f.editor->table().question(3).questionFile !=
                f.editor->table().question(1).questionFile);
    }
    QCOMPARE(b.selection(), 1);
    QCOMPARE(focus.count(), 1);
    QCOMPARE(f.editor->isModified(), ok);
}

void TestQuestionBank::cancelAfterImportShouldLeaveThePaperUnchanged()
{
    Fixture f;
    const auto before = tree(f.repo.root());
    QuestionBank &b = f.open();
    b.choosePaper(1);
    b.importSelected();
    f.dialogs.answerQuestion(true);
    QVERIFY(f.editor->confirmClose());
    f.editor->clearWorkingFolder();
    QCOMPARE(tree(f.repo.root()), before);
}

void TestQuestionBank::emptyRosterShouldLeaveNothingToImport()
{
    Fixture f;
    QVERIFY(QFile::remove(f.repo.paths().systemProfile()));
    QuestionBank &b = f.open();
    QVERIFY(b.paperNames().isEmpty());
    QCOMPARE(b.questionCount(), 0);
    b.importSelected();
    QCOMPARE(f.editor->table().count(), 2);
    QVERIFY(!f.editor->isModified());
}

void TestQuestionBank::missingBankFilesShouldImportEmptyQuestions()
{
    Fixture f;
    QVERIFY(QDir(f.repo.paperFolder(Bank)).removeRecursively());
    QVERIFY(f.repo.paths().createPaperFolders(Bank));
    QuestionBank &b = f.open();
    b.choosePaper(1);
    QCOMPARE(b.questionCount(), 0);
    f.repo.makeNumberedPaper(Bank, 2);
    QVERIFY(exam::removeRtfFiles(f.repo.paperFolder(Bank)));
    b.choosePaper(1);
    QCOMPARE(b.questionTexts(), QStringList({QString(), QString()}));
    b.importSelected();
    QCOMPARE(f.editor->table().count(), 3);
    QVERIFY(f.editor->questionDocument()->isEmpty());
    QVERIFY(QFile::exists(f.editor->workingFile(f.editor->table().question(3).questionFile)));
}

QTEST_MAIN(TestQuestionBank)
#include "tst_question_bank.moc"
