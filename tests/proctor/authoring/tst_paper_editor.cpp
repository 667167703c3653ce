#include "editor_fixture.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/editor_working_folder.h"
#include "proctor/authoring/paper_editor.h"
#include "repository/random_source.h"

#include <QFile>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

using namespace editor_test;
using namespace exam::platform;
using authoring_test::readFile;
using authoring_test::tree;
using exam::PaperEditor;

namespace {

const QString Paper = QStringLiteral("期中考试");

struct Fixture
{
    EditorRepository repo;
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    std::unique_ptr<PaperEditor> editor;

    PaperEditor &open(const QString &paper = Paper)
    {
        editor = std::make_unique<PaperEditor>(repo.root(), paper, repo.workingFolder(), dialogs,
                                               random);
        if (!editor->open())
            qFatal("editor did not open");
        editor->activate();
        return *editor;
    }

    QString paperFolder() const { return repo.paperFolder(Paper); }
    exam::PaperData stored() const { return exam::loadPaper(repo.paths().paperProfile(Paper)); }
};

void type(QTextDocument *document, const QString &text)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

} // namespace

class TestPaperEditor : public QObject
{
    Q_OBJECT

private slots:
    void paperWithoutQuestionsShouldGetOneBlankQuestion();
    void okOnABlankPaperShouldWriteOneQuestion();
    void openingShouldReadTheTextsAndCopyOnlyTheShownQuestion();
    void untouchedPaperShouldNotCountAsModified();
    void laterActivationShouldKeepTheCurrentQuestion();
    void insertOnThirdOfFiveShouldMakeRowFourCurrent();
    void deleteShouldShowTheQuestionAbove_data();
    void deleteShouldShowTheQuestionAbove();
    void deleteShouldRefuseTheLastQuestion();
    void movesAtTheEndsShouldDoNothing_data();
    void movesAtTheEndsShouldDoNothing();
    void moveShouldKeepTheQuestionInTheEditors();
    void typingShouldUpdateTheTextAndTheFileBeforeAnotherQuestion();
    void answerTicksShouldStoreDigits();
    void defaultSwitchShouldClearAndRestoreTheOwnMark();
    void defaultMarkShouldChangeTheTotal();
    void okShouldLeaveExactlyTheNamedFiles();
    void okShouldKeepUntouchedFilesByteForByte();
    void okShouldStoreEveryQuestionWhetherShownOrNot_data();
    void okShouldStoreEveryQuestionWhetherShownOrNot();
    void cancelWithYesShouldLeaveThePaperUnchanged();
    void closingQuestionShouldDefaultToNo();
    void okShouldReportAFailedSaveAndKeepTheWork();
    void missingQuestionFileShouldShowEmptyEditors();
    void strangeFileNamesShouldStayInTheWorkingFolder();
    void failedWriteShouldKeepTheQuestionAndItsText_data();
    void failedWriteShouldKeepTheQuestionAndItsText();
    void importWhoseCopyFailsShouldAddNothing();
    void ownMarkShouldKeepTheTotalCurrent();
    void importedFileShouldLandAfterTheCurrentQuestion();
    void importedFileShouldBeDroppedByCancel();
    void brokenImportFileShouldAddNothing();
};

void TestPaperEditor::paperWithoutQuestionsShouldGetOneBlankQuestion()
{
    Fixture f;
    f.repo.makePaper(Paper, {{QStringLiteral("TESTTIME"), QStringLiteral("30")}});
    PaperEditor &e = f.open();
    QCOMPARE(e.table().count(), 1);
    QCOMPARE(e.current(), 1);
    const exam::PaperQuestion &q = e.table().question(1);
    QVERIFY(q.questionFile.endsWith(QLatin1String(".RTF")));
    QVERIFY(q.explainFile.endsWith(QLatin1String(".RTF")));
    QVERIFY(q.questionFile != q.explainFile);
    QVERIFY(QFile::exists(e.workingFile(q.questionFile)));
    QVERIFY(QFile::exists(e.workingFile(q.explainFile)));
    QVERIFY(e.questionDocument()->isEmpty());
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:1  总分:0"));
    QVERIFY(!e.isModified());
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestPaperEditor::okOnABlankPaperShouldWriteOneQuestion()
{
    Fixture f;
    f.repo.makePaper(Paper, {{QStringLiteral("TESTTIME"), QStringLiteral("30")}});
    PaperEditor &e = f.open();
    const exam::PaperQuestion q = e.table().question(1);
    QVERIFY(e.save());
    QCOMPARE(f.repo.mainValue(Paper, QStringLiteral("Question_conut")), QStringLiteral("1"));
    QCOMPARE(readProfileString(QStringLiteral("MAIN"), QStringLiteral("Question_conut"), {},
                               f.repo.paths().paperProfile(Paper)),
             QStringLiteral("1"));
    QCOMPARE(f.stored().question(1), q);
    QCOMPARE(EditorRepository::rtfNames(f.paperFolder()),
             QSet<QString>({q.questionFile.toLower(), q.explainFile.toLower()}));
    // The settings of paper management stay.
    QCOMPARE(f.repo.mainValue(Paper, QStringLiteral("TESTTIME")), QStringLiteral("30"));
}

void TestPaperEditor::openingShouldReadTheTextsAndCopyOnlyTheShownQuestion()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    authoring_test::writeFile(f.repo.workingFolder() + QStringLiteral("/old.rtf"), "{\\rtf1 old}");
    PaperEditor &e = f.open();
    const auto shown = [](std::initializer_list<int> questions) {
        QSet<QString> names;
        for (int k : questions)
            names << QStringLiteral("期中考试q%1.rtf").arg(k)
                  << QStringLiteral("期中考试e%1.rtf").arg(k);
        return names;
    };
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()), shown({1}));
    QCOMPARE(e.table().plainText(2), QStringLiteral("第2题"));
    QCOMPARE(e.questionDocument()->toPlainText(), QStringLiteral("第1题"));
    QCOMPARE(e.explanationDocument()->toPlainText(), QStringLiteral("解析第1题"));
    QCOMPARE(e.windowTitle(), QStringLiteral("编辑试卷 --期中考试"));
    QCOMPARE(e.markFieldText(), QStringLiteral(" 5"));
    QVERIFY(e.usesDefaultMark());
    e.select(3);
    QCOMPARE(e.questionDocument()->toPlainText(), QStringLiteral("第3题"));
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()), shown({1, 3}));
}

void TestPaperEditor::untouchedPaperShouldNotCountAsModified()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(2);
    e.next();
    e.previous();
    QVERIFY(!e.isModified());
    QVERIFY(e.confirmClose());
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestPaperEditor::laterActivationShouldKeepTheCurrentQuestion()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(3);
    e.activate();
    QCOMPARE(e.current(), 3);
}

void TestPaperEditor::insertOnThirdOfFiveShouldMakeRowFourCurrent()
{
    Fixture f;
    f.repo.makeQuestionPaper(Paper,
                             {{QStringLiteral("一"), QStringLiteral("1"), {}},
                              {QStringLiteral("二"), QStringLiteral("2"), {}},
                              {QStringLiteral("三"), QStringLiteral("3"), QStringLiteral("4")},
                              {QStringLiteral("四"), QStringLiteral("4"), {}},
                              {QStringLiteral("五"), QStringLiteral("5"), {}}});
    PaperEditor &e = f.open();
    QSignalSpy focus(&e, &PaperEditor::questionEditorWanted);
    e.select(3);
    e.insert();
    QCOMPARE(e.current(), 4);
    QCOMPARE(e.table().count(), 6);
    QCOMPARE(e.table().question(4).mark, QStringLiteral("4"));
    QCOMPARE(e.table().question(4).answer, QString());
    QCOMPARE(e.table().plainText(5), QStringLiteral("四"));
    QCOMPARE(e.table().plainText(6), QStringLiteral("五"));
    QVERIFY(e.questionDocument()->isEmpty());
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:4   总题数:6  总分:28"));
    QCOMPARE(focus.count(), 1);
    QVERIFY(e.isModified());
}

void TestPaperEditor::deleteShouldShowTheQuestionAbove_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("shown");
    QTest::newRow("third") << 3 << 2 << QStringLiteral("第2题");
    QTest::newRow("last") << 5 << 4 << QStringLiteral("第4题");
    // After the first question the new first one is shown, never the deleted one.
    QTest::newRow("first") << 1 << 1 << QStringLiteral("第2题");
}

void TestPaperEditor::deleteShouldShowTheQuestionAbove()
{
    QFETCH(int, row);
    QFETCH(int, current);
    QFETCH(QString, shown);
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 5);
    PaperEditor &e = f.open();
    e.select(row);
    e.remove();
    QCOMPARE(e.table().count(), 4);
    QCOMPARE(e.current(), current);
    QCOMPARE(e.questionDocument()->toPlainText(), shown);
    QCOMPARE(e.table().plainText(current), shown);
    QVERIFY(!e.table().hasQuestionFile(EditorRepository::questionFileName(Paper, row)));
    QVERIFY(e.isModified());
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestPaperEditor::deleteShouldRefuseTheLastQuestion()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 1);
    PaperEditor &e = f.open();
    e.remove();
    QCOMPARE(f.dialogs.messages(), QStringList({QStringLiteral("不能删除最后一个考题!")}));
    QCOMPARE(e.table().count(), 1);
    QVERIFY(!e.isModified());
}

void TestPaperEditor::movesAtTheEndsShouldDoNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("up");
    QTest::newRow("first up") << 1 << true;
    QTest::newRow("last down") << 3 << false;
}

void TestPaperEditor::movesAtTheEndsShouldDoNothing()
{
    QFETCH(int, row);
    QFETCH(bool, up);
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(row);
    const exam::PaperData before = e.table().paper();
    QSignalSpy list(&e, &PaperEditor::listChanged);
    up ? e.moveUp() : e.moveDown();
    QCOMPARE(e.table().paper(), before);
    QCOMPARE(e.current(), row);
    QCOMPARE(list.count(), 0);
    QVERIFY(!e.isModified());
}

void TestPaperEditor::moveShouldKeepTheQuestionInTheEditors()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(2);
    type(e.questionDocument(), QStringLiteral("改"));
    e.moveUp();
    QCOMPARE(e.current(), 1);
    QCOMPARE(e.table().plainText(1), QStringLiteral("第2题改"));
    QCOMPARE(e.table().question(1).answer, QStringLiteral("2"));
    QCOMPARE(e.frameCaption().left(5), QStringLiteral("题号:1 "));
    e.moveDown();
    e.moveDown();
    QCOMPARE(e.current(), 3);
    e.select(1);
    // The typing went into the moved question's own file.
    QCOMPARE(rtf::rtfPlainText(readFile(e.workingFile(e.table().question(3).questionFile))),
             QStringLiteral("第2题改"));
}

void TestPaperEditor::typingShouldUpdateTheTextAndTheFileBeforeAnotherQuestion()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    QSignalSpy rows(&e, &PaperEditor::rowTextChanged);
    type(e.questionDocument(), QStringLiteral("：选择正确答案"));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(e.table().plainText(1), QStringLiteral("第1题：选择正确答案"));
    QVERIFY(e.isModified());
    type(e.explanationDocument(), QStringLiteral("。"));
    e.select(2);
    QCOMPARE(rtf::rtfPlainText(readFile(e.workingFile(e.table().question(1).questionFile))),
             QStringLiteral("第1题：选择正确答案"));
    QCOMPARE(rtf::rtfPlainText(readFile(e.workingFile(e.table().question(1).explainFile))),
             QStringLiteral("解析第1题。"));
    // Loading another question is nothing the teacher can undo.
    QVERIFY(!e.questionDocument()->isUndoAvailable());
}

void TestPaperEditor::answerTicksShouldStoreDigits()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    exam::OptionTicks ticks{};
    ticks[2] = true;
    ticks[0] = true;
    e.setAnswerTicks(ticks);
    QCOMPARE(e.table().question(1).answer, QStringLiteral("13"));
    QCOMPARE(e.answerTicks(), ticks);
    QVERIFY(e.isModified());
    e.select(2);
    QCOMPARE(e.answerTicks(), exam::ticksFromAnswer(QStringLiteral("2")));
}

void TestPaperEditor::defaultSwitchShouldClearAndRestoreTheOwnMark()
{
    Fixture f;
    f.repo.makeQuestionPaper(Paper, {{QStringLiteral("一"), {}, QStringLiteral("3")}});
    PaperEditor &e = f.open();
    QVERIFY(!e.usesDefaultMark());
    QCOMPARE(e.markFieldText(), QStringLiteral("3"));
    e.setUsesDefaultMark(true);
    QCOMPARE(e.table().question(1).mark, QString());
    QCOMPARE(e.markFieldText(), QStringLiteral(" 5"));
    e.setUsesDefaultMark(false);
    QCOMPARE(e.table().question(1).mark, QStringLiteral("5"));
    e.editOwnMark(QStringLiteral(" 2.5 "));
    QCOMPARE(e.table().question(1).mark, QStringLiteral("2.5"));
    QVERIFY(e.isModified());
}

void TestPaperEditor::defaultMarkShouldChangeTheTotal()
{
    Fixture f;
    f.repo.makeQuestionPaper(Paper, {{QStringLiteral("一"), {}, {}},
                                     {QStringLiteral("二"), {}, QStringLiteral("2.5")},
                                     {QStringLiteral("三"), {}, QStringLiteral("3")}});
    PaperEditor &e = f.open();
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:3  总分:11"));
    e.editDefaultMark(QStringLiteral("10"));
    // 10 + 2.5 rounds half to even to 12, then 15.
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:3  总分数:15"));
    QCOMPARE(e.markFieldText(), QStringLiteral(" 10"));
    QVERIFY(e.save());
    QCOMPARE(f.repo.mainValue(Paper, QStringLiteral("full_mark")), QStringLiteral("15"));
    QCOMPARE(f.repo.mainValue(Paper, QStringLiteral("Mark")), QStringLiteral("10"));
}

void TestPaperEditor::okShouldLeaveExactlyTheNamedFiles()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 4);
    authoring_test::writeFile(f.paperFolder() + QStringLiteral("/junk.rtf"), "{\\rtf1 junk}");
    authoring_test::writeFile(f.paperFolder() + QStringLiteral("/notes.txt"), "keep");
    PaperEditor &e = f.open();
    e.select(2);
    e.remove();
    e.insert();
    QVERIFY(e.save());
    QCOMPARE(EditorRepository::rtfNames(f.paperFolder()), e.table().referencedFiles());
    QCOMPARE(e.table().referencedFiles().size(), 8);
    QVERIFY(QFile::exists(f.paperFolder() + QStringLiteral("/notes.txt")));
    // full_mark is not read back; everything else is as the editor held it.
    exam::PaperData saved = e.table().paperToSave();
    QCOMPARE(f.repo.mainValue(Paper, QStringLiteral("full_mark")), QString::number(saved.fullMark));
    saved.fullMark = 0;
    QCOMPARE(f.stored(), saved);
    QVERIFY(!e.isModified());
}

void TestPaperEditor::okShouldKeepUntouchedFilesByteForByte()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    const QString file = f.paperFolder() + u'/' + EditorRepository::questionFileName(Paper, 2);
    // Something the editor cannot show stays when the question is only looked at.
    const QByteArray odd = "{\\rtf1\\ansi {\\*\\unknowngroup secret}第二题}";
    authoring_test::writeFile(file, odd);
    PaperEditor &e = f.open();
    e.select(2);
    e.select(1);
    QVERIFY(e.save());
    QCOMPARE(readFile(file), odd);
}

void TestPaperEditor::okShouldStoreEveryQuestionWhetherShownOrNot_data()
{
    // Steps: "s3" shows question 3, "t" types "改" into the current question, "d" deletes it, "u"
    // moves it up, "n" inserts a blank question, "b5" imports question 5 of the paper as it is
    // stored.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("texts"); // the stored questions' texts

    QTest::newRow("untouched") << "" << QStringList({"第1题", "第2题", "第3题", "第4题", "第5题"});
    QTest::newRow("one shown and edited")
        << "s4 t" << QStringList({"第1题", "第2题", "第3题", "第4题改", "第5题"});
    QTest::newRow("deleted and moved")
        << "s3 d u" << QStringList({"第2题", "第1题", "第4题", "第5题"});
    QTest::newRow("edited, then deleted")
        << "s4 t d" << QStringList({"第1题", "第2题", "第3题", "第5题"});
    QTest::newRow("inserted and imported")
        << "s2 n t b5 b1"
        << QStringList({"第1题", "第2题", "改", "第3题", "第4题", "第5题", "第5题", "第1题"});
}

// Questions never shown were never copied into the working folder: "确定" must still leave every
// question's files in the paper folder, untouched ones byte for byte, and nothing else.
void TestPaperEditor::okShouldStoreEveryQuestionWhetherShownOrNot()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, texts);
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 5);
    authoring_test::writeFile(f.paperFolder() + QStringLiteral("/junk.rtf"), "{\\rtf1 junk}");
    const exam::PaperData original = f.stored();
    const auto before = tree(f.paperFolder());
    PaperEditor &e = f.open();
    QSet<QString> edited;
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const int number = step.mid(1).toInt();
        switch (step.at(0).toLatin1()) {
        case 's': e.select(number); break;
        case 't':
            type(e.questionDocument(), QStringLiteral("改"));
            edited << e.table().question(e.current()).questionFile;
            break;
        case 'd': e.remove(); break;
        case 'u': e.moveUp(); break;
        case 'n': e.insert(); break;
        case 'b':
            QVERIFY(e.importQuestion(f.paperFolder(), original.question(number),
                                     QStringLiteral("第%1题").arg(number)));
            break;
        }
    }
    QVERIFY(e.save());

    const exam::PaperData stored = f.stored();
    QCOMPARE(EditorRepository::rtfNames(f.paperFolder()), e.table().referencedFiles());
    QStringList storedTexts;
    for (int k = 1; k <= stored.questionCount; ++k) {
        const exam::PaperQuestion &q = stored.question(k);
        storedTexts << rtf::rtfPlainText(readFile(f.paperFolder() + u'/' + q.questionFile));
        const QString explanation =
            rtf::rtfPlainText(readFile(f.paperFolder() + u'/' + q.explainFile));
        const QString shownText = storedTexts.last();
        QCOMPARE(explanation, shownText.startsWith(u'第')
                                  ? QStringLiteral("解析") + QString(shownText).remove(u'改')
                                  : QString());
    }
    QCOMPARE(storedTexts, texts);
    const auto after = tree(f.paperFolder());
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.contains(it.key()) && !edited.contains(it.key()) && !it.key().endsWith(u".cho"))
            QCOMPARE(it.value(), before.value(it.key()));
    }
}

void TestPaperEditor::cancelWithYesShouldLeaveThePaperUnchanged()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    const auto before = tree(f.repo.root());
    PaperEditor &e = f.open();
    type(e.questionDocument(), QStringLiteral("改"));
    e.insert();
    e.select(1);
    e.remove();
    f.dialogs.answerQuestion(true);
    QVERIFY(e.confirmClose());
    QCOMPARE(f.dialogs.texts(), QStringList({QStringLiteral("您是否不保存修改并退出?")}));
    e.clearWorkingFolder();
    QVERIFY(EditorRepository::rtfNames(f.repo.workingFolder()).isEmpty());
    QCOMPARE(tree(f.repo.root()), before);
}

void TestPaperEditor::closingQuestionShouldDefaultToNo()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    e.insert();
    QVERIFY(!e.confirmClose());
    QCOMPARE(f.dialogs.calls().size(), 1);
    QCOMPARE(f.dialogs.calls().first().kind, FakeDialogs::Kind::YesNo);
    QCOMPARE(f.dialogs.calls().first().defaultButton, Dialogs::Button::No);
}

void TestPaperEditor::okShouldReportAFailedSaveAndKeepTheWork()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    e.insert();
    // The paper folder vanished meanwhile (or cannot be written).
    QVERIFY(QDir(f.paperFolder()).removeRecursively());
    const exam::Result failed = e.save();
    QVERIFY(!failed);
    QVERIFY(!failed.message().isEmpty());
    QVERIFY(e.isModified());
    // The shown question's two copies and the new question's two files.
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()).size(), 4);
}

void TestPaperEditor::missingQuestionFileShouldShowEmptyEditors()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    QVERIFY(QFile::remove(f.paperFolder() + u'/' + EditorRepository::questionFileName(Paper, 2)));
    authoring_test::writeFile(f.paperFolder() + u'/' + EditorRepository::questionFileName(Paper, 1),
                              "not rtf at all");
    PaperEditor &e = f.open();
    QVERIFY(e.questionDocument()->isEmpty());
    QCOMPARE(e.table().plainText(1), QString());
    e.select(2);
    QVERIFY(e.questionDocument()->isEmpty());
    QCOMPARE(e.explanationDocument()->toPlainText(), QStringLiteral("解析第2题"));
    type(e.questionDocument(), QStringLiteral("补写"));
    QVERIFY(e.save());
    QCOMPARE(rtf::rtfPlainText(
                 readFile(f.paperFolder() + u'/' + EditorRepository::questionFileName(Paper, 2))),
             QStringLiteral("补写"));
}

void TestPaperEditor::strangeFileNamesShouldStayInTheWorkingFolder()
{
    Fixture f;
    f.repo.makePaper(Paper, {},
                     "[1]\r\nQUESTION=../../escape.rtf\r\nexplain=\r\n"
                     "[MAIN]\r\nQuestion_conut=1\r\n");
    authoring_test::writeFile(f.repo.root() + QStringLiteral("/escape.rtf"), "{\\rtf1 outside}");
    const QByteArray outside = readFile(f.repo.root() + QStringLiteral("/escape.rtf"));
    PaperEditor &e = f.open();
    QVERIFY(e.workingFile(e.table().question(1).questionFile)
                .startsWith(f.repo.workingFolder() + u'/'));
    QVERIFY(e.questionDocument()->isEmpty());
    type(e.questionDocument(), QStringLiteral("新"));
    type(e.explanationDocument(), QStringLiteral("解"));
    e.insert();
    QVERIFY(e.save());
    QCOMPARE(readFile(f.repo.root() + QStringLiteral("/escape.rtf")), outside);
    // The explanation that had no file got one, so the typing is kept.
    const QString explain = e.table().question(1).explainFile;
    QVERIFY(!explain.isEmpty());
    QCOMPARE(rtf::rtfPlainText(readFile(f.paperFolder() + u'/' + explain)), QStringLiteral("解"));
}

enum class Step { Select, Next, Previous, Insert, Import };

void TestPaperEditor::failedWriteShouldKeepTheQuestionAndItsText_data()
{
    QTest::addColumn<Step>("step");
    QTest::newRow("select") << Step::Select;
    QTest::newRow("next") << Step::Next;
    QTest::newRow("previous") << Step::Previous;
    QTest::newRow("insert") << Step::Insert;
    QTest::newRow("import") << Step::Import;
}

void TestPaperEditor::failedWriteShouldKeepTheQuestionAndItsText()
{
    QFETCH(Step, step);
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(2);
    type(e.questionDocument(), QStringLiteral("：新写的"));
    // Something in the way of the question's working file: its text cannot be written back.
    const QString file = e.workingFile(e.table().question(2).questionFile);
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkdir(file));
    const auto run = [&] {
        switch (step) {
        case Step::Select: e.select(1); break;
        case Step::Next: e.next(); break;
        case Step::Previous: e.previous(); break;
        case Step::Insert: e.insert(); break;
        case Step::Import:
            e.importQuestion(f.paperFolder(), e.table().question(1), QStringLiteral("第1题"));
            break;
        }
    };
    run();
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().contains(file));
    QCOMPARE(e.current(), 2);
    QCOMPARE(e.table().count(), 3);
    QCOMPARE(e.questionDocument()->toPlainText(), QStringLiteral("第2题：新写的"));

    // Once the way is clear the same step goes ahead and the text is in the file.
    QVERIFY(QDir().rmdir(file));
    run();
    QVERIFY(e.current() != 2);
    QCOMPARE(rtf::rtfPlainText(readFile(file)), QStringLiteral("第2题：新写的"));
}

void TestPaperEditor::importWhoseCopyFailsShouldAddNothing()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    f.repo.makeNumberedPaper(QStringLiteral("题库"), 1);
    const QString bankFolder = f.repo.paperFolder(QStringLiteral("题库"));
    const exam::PaperQuestion source =
        exam::loadPaper(f.repo.paths().paperProfile(QStringLiteral("题库"))).question(1);
    // The explanation file is there but cannot be read.
    QVERIFY(QFile::remove(bankFolder + u'/' + source.explainFile));
    QVERIFY(QDir().mkdir(bankFolder + u'/' + source.explainFile));
    PaperEditor &e = f.open();
    const auto before = EditorRepository::rtfNames(f.repo.workingFolder());

    QVERIFY(!e.importQuestion(bankFolder, source, QStringLiteral("第1题")));
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().startsWith(QStringLiteral("考题没有导入")));
    QCOMPARE(e.table().count(), 2);
    QCOMPARE(e.current(), 1);
    QVERIFY(!e.isModified());
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()), before);
}

void TestPaperEditor::ownMarkShouldKeepTheTotalCurrent()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:2  总分:10"));
    e.setUsesDefaultMark(false);
    e.editOwnMark(QStringLiteral("8"));
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:2  总分:13"));
    e.setUsesDefaultMark(true);
    QCOMPARE(e.frameCaption(), QStringLiteral("题号:1   总题数:2  总分:10"));
}

namespace {

const QByteArray ImportGift = "::a:: 天是蓝的。{T}\n"
                              "\n"
                              "两个加两个? {=四 =4}\n"
                              "\n"
                              "1 + 2 = {~2 =3 ####一加二等于三}\n";

QString importFile(const EditorRepository &repo, const QByteArray &bytes)
{
    const QString path = repo.root() + QStringLiteral("/题目.gift");
    authoring_test::writeFile(path, bytes);
    return path;
}

} // namespace

void TestPaperEditor::importedFileShouldLandAfterTheCurrentQuestion()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 3);
    PaperEditor &e = f.open();
    e.select(2);
    f.dialogs.answerFile(importFile(f.repo, ImportGift));
    e.importQuestionFile();

    QStringList texts;
    QStringList answers;
    for (int k = 1; k <= e.table().count(); ++k) {
        texts << e.table().plainText(k).trimmed();
        answers << e.table().question(k).answer;
    }
    QCOMPARE(texts, QStringList({"第1题", "第2题", "天是蓝的。\nA. 是\nB. 非",
                                 "1 + 2 =\nA. 2\nB. 3", "第3题"}));
    QCOMPARE(answers, QStringList({"1", "2", "1", "2", "3"}));
    QCOMPARE(e.current(), 3);
    QCOMPARE(e.questionDocument()->toPlainText(), QStringLiteral("天是蓝的。\nA. 是\nB. 非"));
    QVERIFY(e.isModified());
    QCOMPARE(f.dialogs.messages(),
             QStringList({"已导入 2 道考题。以下 1 道考题没有导入:\n"
                          "第 3 行: 题型“填空题”不能导入,本系统只有选择题和判断题"}));

    QVERIFY(e.save());
    const exam::PaperData stored = f.stored();
    QCOMPARE(stored.questionCount, 5);
    const QString explanation = f.paperFolder() + u'/' + stored.question(4).explainFile;
    QCOMPARE(rtf::rtfPlainText(readFile(explanation)).trimmed(), QStringLiteral("一加二等于三"));
}

void TestPaperEditor::importedFileShouldBeDroppedByCancel()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    const auto before = tree(f.repo.root());
    PaperEditor &e = f.open();
    const QString file = importFile(f.repo, ImportGift);
    f.dialogs.answerFile(file);
    e.importQuestionFile();
    QCOMPARE(e.table().count(), 4);
    f.dialogs.answerQuestion(true);
    QVERIFY(e.confirmClose());
    e.clearWorkingFolder();
    QVERIFY(QFile::remove(file));
    QCOMPARE(tree(f.repo.root()), before);
}

void TestPaperEditor::brokenImportFileShouldAddNothing()
{
    Fixture f;
    f.repo.makeNumberedPaper(Paper, 2);
    PaperEditor &e = f.open();
    const auto before = EditorRepository::rtfNames(f.repo.workingFolder());
    const QString file = importFile(f.repo, "第一题 {=对 ~错}\n\n第二题 {=甲 ~乙\n");
    f.dialogs.answerFile(file);
    e.importQuestionFile();
    QCOMPARE(f.dialogs.messages(),
             QStringList({"文件有错误,没有导入任何考题。\n" + QDir::toNativeSeparators(file) +
                          "\n第 3 行: “{”没有对应的“}”"}));
    QCOMPARE(e.table().count(), 2);
    QVERIFY(!e.isModified());
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()), before);
}

QTEST_MAIN(TestPaperEditor)
#include "tst_paper_editor.moc"
