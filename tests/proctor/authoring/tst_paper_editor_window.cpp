#include "editor_fixture.h"
#include "window_driving.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_window.h"
#include "proctor/authoring/question_bank.h"
#include "repository/random_source.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

#include <memory>

using namespace editor_test;
using namespace exam::platform;
using authoring_test::entry;
using exam::PaperEditorWindow;

using window_driving::click;
using window_driving::control;

namespace {

const QString Paper = QStringLiteral("单元测验");

void trigger(QWidget &window, const QString &actionName)
{
    control<QAction>(window, actionName)->trigger();
}

// Counts the F1 presses that reach a window, as the console's help key filter sees them.
class F1Counter : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1)
            ++presses;
        return QObject::eventFilter(watched, event);
    }
};

struct Fixture
{
    EditorRepository repo;
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    std::unique_ptr<PaperEditorWindow> window;

    explicit Fixture(int questions = 3)
    {
        repo.setRoster({entry(Paper)});
        repo.makeNumberedPaper(Paper, questions);
    }

    PaperEditorWindow &open()
    {
        window = std::make_unique<PaperEditorWindow>(repo.root(), Paper, repo.workingFolder(),
                                                     dialogs, random);
        window->show();
        return *window;
    }

    QTableWidget *grid() { return control<QTableWidget>(*window, QStringLiteral("Grid试卷")); }
    QTextEdit *questionEdit()
    {
        return control<QTextEdit>(*window, QStringLiteral("RichTextBox1"));
    }
    QCheckBox *answerBox(int k)
    {
        return control<QCheckBox>(*window, QStringLiteral("Chk答案_%1").arg(k));
    }
};

} // namespace

class TestPaperEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldNameEveryControl_data();
    void shouldNameEveryControl();
    void shouldShowTheTitleGridAndFirstQuestion();
    void untouchedPaperShouldCloseWithoutQuestion();
    void mouseTicksShouldStoreTheAnswerAndColourTheBoxes();
    void spaceKeyShouldStoreTheAnswerToo();
    void clickOnAGridRowShouldShowThatQuestion();
    void gridShouldStayOnAQuestionWhoseTextCannotBeWritten();
    void buttonsShouldActOnTheCurrentQuestion();
    void closingWithChangesShouldAsk_data();
    void closingWithChangesShouldAsk();
    void defaultSwitchShouldEnableTheOwnMark();
    void fontSizeAndFamilyMenusShouldFormatTheSelection();
    void colourShouldComeFromTheDialogAndCancelChangeNothing();
    void cutAndCopyShouldFollowTheSelection();
    void bankButtonShouldSwitchFramesAndImportOnDoubleClick();
    void helpButtonShouldPressF1();
    void unusableWorkingFolderShouldBeReported();
};

void TestPaperEditorWindow::shouldNameEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<std::pair<const char *, const char *>> controls = {
        {"Cmd上一题", "< 上一题"},
        {"Cmd下一题", "下一题 >"},
        {"Cmd上移", "上移"},
        {"Cmd下移", "下移"},
        {"Cmd_Insert", "插入"},
        {"Cmd_Delete", "删除"},
        {"Cmd_ok", "确定"},
        {"Cmd_Cancel", "取消"},
        {"CMD_HELP", "帮助"},
        {"Cmd显示题库", "显示题库"},
        {"Cmd导入考题", "<- 从题库导入试题 <-"},
        {"Chk使用默认分值", "使用默认分值"},
        {"Chk答案_1", "1.A -是"},
        {"Chk答案_2", "2.B -非"},
        {"Chk答案_3", "3.C"},
        {"Chk答案_7", "7.G"},
        {"Label1", "本题分值:"},
        {"Label2", "解题辅导"},
        {"Label3", "标准答案:"},
        {"Label5", "默认分值"},
        {"Fra题库", "题库"},
        {"edit_Insert_blank", "插入"},
        {"edit_up", "上移"},
        {"edit_down", "下移"},
        {"edit_Delete", "删除"},
        {"edit_Import", "导入题目…"},
        {"Cmd导入题目", "导入题目…"},
        {"mnucut", "剪切"},
        {"mnucopy", "复制"},
        {"mnupaste", "粘贴"},
        {"mnuundo", "撤消"},
        {"MNU颜色", "颜色"},
        {"mnurich2cut", "剪切"},
        {"mnurich2undo", "撤消"},
        {"mnurich2颜色", "颜色"},
        {"字号列表_1", "5"},
        {"字号列表_36", "40"},
        {"字号列表2_10", "14"},
        {"MNU字号", "字号"},
        {"MNU字体", "字体"},
        {"mnurich2字号", "字号"},
        {"mnurich2字体", "字体"}};
    for (const auto &[name, caption] : controls)
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(caption);
}

void TestPaperEditorWindow::shouldNameEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Fixture f;
    PaperEditorWindow &w = f.open();
    QObject *found = w.findChild<QObject *>(name);
    QVERIFY2(found, qPrintable(name));
    QString text;
    if (auto *button = qobject_cast<QAbstractButton *>(found))
        text = button->text();
    else if (auto *label = qobject_cast<QLabel *>(found))
        text = label->text();
    else if (auto *frame = qobject_cast<QGroupBox *>(found))
        text = frame->title();
    else if (auto *action = qobject_cast<QAction *>(found))
        text = action->text();
    else if (auto *menu = qobject_cast<QMenu *>(found))
        text = menu->title();
    QCOMPARE(text, caption);
    if (auto *label = qobject_cast<QLabel *>(found))
        QVERIFY(label->buddy());
}

void TestPaperEditorWindow::shouldShowTheTitleGridAndFirstQuestion()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QCOMPARE(w.objectName(), QStringLiteral("编辑试卷"));
    QCOMPARE(w.windowTitle(), QStringLiteral("编辑试卷 --单元测验"));
    QTableWidget *grid = f.grid();
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral(" 题号"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral(" 考题内容"));
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->item(2, 0)->text(), QStringLiteral(" 3"));
    QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("第3题"));
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(f.questionEdit()->toPlainText(), QStringLiteral("第1题"));
    QCOMPARE(control<QTextEdit>(w, QStringLiteral("RichTextBox2"))->toPlainText(),
             QStringLiteral("解析第1题"));
    QCOMPARE(control<QGroupBox>(w, QStringLiteral("Frame考题"))->title(),
             QStringLiteral("题号:1   总题数:3  总分:15"));
    QCOMPARE(control<QLineEdit>(w, QStringLiteral("Text设置默认分值"))->text(),
             QStringLiteral("5"));
    QVERIFY(f.answerBox(1)->isChecked());
    QVERIFY(!control<QGroupBox>(w, QStringLiteral("Fra题库"))->isVisible());
    QCOMPARE(control<QPushButton>(w, QStringLiteral("Cmd显示题库"))->toolTip(),
             QStringLiteral("显示题库,以便从题库中导入试题"));
    QCOMPARE(control<QListWidget>(w, QStringLiteral("List题库试题"))->toolTip(),
             QStringLiteral("Dblclick to input question "));
}

void TestPaperEditorWindow::untouchedPaperShouldCloseWithoutQuestion()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    click(w, QStringLiteral("Cmd下一题"));
    click(w, QStringLiteral("Cmd上一题"));
    click(w, QStringLiteral("Cmd_Cancel"));
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(f.dialogs.calls().isEmpty());
    QVERIFY(EditorRepository::rtfNames(f.repo.workingFolder()).isEmpty());
}

void TestPaperEditorWindow::mouseTicksShouldStoreTheAnswerAndColourTheBoxes()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    click(w, QStringLiteral("Chk答案_1")); // the stored answer 1 is cleared first
    click(w, QStringLiteral("Chk答案_3"));
    click(w, QStringLiteral("Chk答案_1"));
    QCOMPARE(w.editor().table().question(1).answer, QStringLiteral("13"));
    for (int k = 1; k <= 7; ++k) {
        const QColor expected = (k == 1 || k == 3) ? QColor(192, 0, 0) : QColor(192, 255, 255);
        QCOMPARE(f.answerBox(k)->palette().color(QPalette::Window), expected);
    }
    QVERIFY(w.editor().isModified());
    // Another question shows its own answer and colours.
    click(w, QStringLiteral("Cmd下一题"));
    QVERIFY(f.answerBox(2)->isChecked());
    QVERIFY(!f.answerBox(3)->isChecked());
    QCOMPARE(f.answerBox(3)->palette().color(QPalette::Window), QColor(192, 255, 255));
    QCOMPARE(f.answerBox(2)->palette().color(QPalette::Window), QColor(192, 0, 0));
}

void TestPaperEditorWindow::spaceKeyShouldStoreTheAnswerToo()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QCheckBox *box = f.answerBox(4);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QVERIFY(box->isChecked());
    QCOMPARE(w.editor().table().question(1).answer, QStringLiteral("14"));
}

void TestPaperEditorWindow::clickOnAGridRowShouldShowThatQuestion()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QTableWidget *grid = f.grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(2, 1)).center());
    QCOMPARE(w.editor().current(), 3);
    QCOMPARE(f.questionEdit()->toPlainText(), QStringLiteral("第3题"));
    QVERIFY(!w.editor().isModified());
}

void TestPaperEditorWindow::gridShouldStayOnAQuestionWhoseTextCannotBeWritten()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QTest::keyClicks(f.questionEdit(), QStringLiteral(" more"));
    const QString file = w.editor().workingFile(w.editor().table().question(1).questionFile);
    QVERIFY(QFile::remove(file) && QDir().mkdir(file));
    QTableWidget *grid = f.grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(2, 1)).center());
    QCOMPARE(f.dialogs.messages().size(), 1);
    QCOMPARE(w.editor().current(), 1);
    QCOMPARE(grid->currentRow(), 0);
    QVERIFY(f.questionEdit()->toPlainText().endsWith(QStringLiteral(" more")));
}

void TestPaperEditorWindow::buttonsShouldActOnTheCurrentQuestion()
{
    Fixture f(5);
    PaperEditorWindow &w = f.open();
    click(w, QStringLiteral("Cmd下一题"));
    click(w, QStringLiteral("Cmd下一题"));
    click(w, QStringLiteral("Cmd_Insert"));
    QTableWidget *grid = f.grid();
    QCOMPARE(grid->rowCount(), 6);
    QCOMPARE(grid->currentRow(), 3);
    QCOMPARE(grid->item(3, 1)->text(), QString());
    QCOMPARE(grid->item(4, 1)->text(), QStringLiteral("第4题"));
    QCOMPARE(grid->item(5, 0)->text(), QStringLiteral(" 6"));
    QTest::keyClicks(f.questionEdit(), QStringLiteral("new"));
    QCOMPARE(grid->item(3, 1)->text(), QStringLiteral("new"));
    click(w, QStringLiteral("Cmd上移"));
    QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("new"));
    QCOMPARE(grid->item(3, 1)->text(), QStringLiteral("第3题"));
    QCOMPARE(grid->currentRow(), 2);
    click(w, QStringLiteral("Cmd_Delete"));
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(f.questionEdit()->toPlainText(), QStringLiteral("第2题"));
    click(w, QStringLiteral("Cmd下移"));
    QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("第2题"));
}

void TestPaperEditorWindow::closingWithChangesShouldAsk_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes closes") << true;
    QTest::newRow("no stays") << false;
}

void TestPaperEditorWindow::closingWithChangesShouldAsk()
{
    QFETCH(bool, yes);
    Fixture f;
    const auto before = authoring_test::tree(f.repo.root());
    PaperEditorWindow &w = f.open();
    click(w, QStringLiteral("Cmd_Insert"));
    f.dialogs.answerQuestion(yes);
    w.close(); // the close box
    QCOMPARE(f.dialogs.texts(), QStringList({QStringLiteral("您是否不保存修改并退出?")}));
    QCOMPARE(w.isVisible(), !yes);
    QCOMPARE(authoring_test::tree(f.repo.root()), before);
    QCOMPARE(EditorRepository::rtfNames(f.repo.workingFolder()).isEmpty(), yes);
}

void TestPaperEditorWindow::defaultSwitchShouldEnableTheOwnMark()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QLineEdit *mark = control<QLineEdit>(w, QStringLiteral("Text分值"));
    QVERIFY(control<QCheckBox>(w, QStringLiteral("Chk使用默认分值"))->isChecked());
    QVERIFY(!mark->isEnabled());
    QCOMPARE(mark->text(), QStringLiteral(" 5"));
    click(w, QStringLiteral("Chk使用默认分值"));
    QVERIFY(mark->isEnabled());
    mark->selectAll();
    QTest::keyClicks(mark, QStringLiteral("2.5"));
    QCOMPARE(w.editor().table().question(1).mark, QStringLiteral("2.5"));
    click(w, QStringLiteral("Cmd下一题"));
    click(w, QStringLiteral("Cmd上一题"));
    QVERIFY(!control<QCheckBox>(w, QStringLiteral("Chk使用默认分值"))->isChecked());
    QCOMPARE(mark->text(), QStringLiteral("2.5"));
    QCOMPARE(control<QGroupBox>(w, QStringLiteral("Frame考题"))->title(),
             QStringLiteral("题号:1   总题数:3  总分:12"));
}

void TestPaperEditorWindow::fontSizeAndFamilyMenusShouldFormatTheSelection()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QTextEdit *edit = f.questionEdit();
    edit->selectAll();
    trigger(w, QStringLiteral("字号列表_10"));
    QCOMPARE(edit->textCursor().charFormat().fontPointSize(), 14.0);
    QAction *firstFont = w.findChild<QAction *>(QStringLiteral("字体列表_1"));
    if (firstFont) {
        firstFont->trigger();
        QCOMPARE(edit->textCursor().charFormat().fontFamilies().toStringList().value(0),
                 firstFont->text());
    }
    QVERIFY(w.editor().isModified());
    click(w, QStringLiteral("Cmd下一题"));
    click(w, QStringLiteral("Cmd上一题"));
    f.questionEdit()->selectAll();
    QCOMPARE(f.questionEdit()->textCursor().charFormat().fontPointSize(), 14.0);
}

void TestPaperEditorWindow::colourShouldComeFromTheDialogAndCancelChangeNothing()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QTextEdit *edit = control<QTextEdit>(w, QStringLiteral("RichTextBox2"));
    edit->selectAll();
    const QColor before = edit->textColor();
    f.dialogs.answerColor(std::nullopt);
    trigger(w, QStringLiteral("mnurich2颜色"));
    QCOMPARE(edit->textColor(), before);
    QVERIFY(!w.editor().isModified());
    f.dialogs.answerColor(QColor(0, 0, 255));
    trigger(w, QStringLiteral("mnurich2颜色"));
    QCOMPARE(edit->textColor(), QColor(0, 0, 255));
    QVERIFY(w.editor().isModified());
}

void TestPaperEditorWindow::cutAndCopyShouldFollowTheSelection()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    QAction *cut = control<QAction>(w, QStringLiteral("mnucut"));
    QAction *copy = control<QAction>(w, QStringLiteral("mnucopy"));
    QVERIFY(!cut->isEnabled());
    f.questionEdit()->selectAll();
    QVERIFY(cut->isEnabled());
    QVERIFY(copy->isEnabled());
    cut->trigger();
    QCOMPARE(f.questionEdit()->toPlainText(), QString());
    QCOMPARE(f.grid()->item(0, 1)->text(), QString());
    trigger(w, QStringLiteral("mnuundo"));
    QCOMPARE(f.questionEdit()->toPlainText(), QStringLiteral("第1题"));
}

void TestPaperEditorWindow::bankButtonShouldSwitchFramesAndImportOnDoubleClick()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    click(w, QStringLiteral("Cmd显示题库"));
    QPushButton *button = control<QPushButton>(w, QStringLiteral("Cmd显示题库"));
    QCOMPARE(button->text(), QStringLiteral("隐藏题库"));
    QCOMPARE(button->toolTip(), QStringLiteral("隐藏题库,手工编辑试题 "));
    QVERIFY(control<QGroupBox>(w, QStringLiteral("Fra题库"))->isVisible());
    QVERIFY(!control<QGroupBox>(w, QStringLiteral("Frame考题"))->isVisible());
    QCOMPARE(control<QComboBox>(w, QStringLiteral("Combo1"))->currentText(), Paper);
    QListWidget *list = control<QListWidget>(w, QStringLiteral("List题库试题"));
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(1)->text(), QStringLiteral("第2题"));

    // The paper's own question: the repeat question comes first.
    f.dialogs.answerQuestion(true);
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.dialogs.calls().size(), 1);
    QCOMPARE(f.grid()->rowCount(), 4);
    QCOMPARE(f.grid()->item(3, 1)->text(), QStringLiteral("第2题"));
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(control<QTextEdit>(w, QStringLiteral("Rich题库试题"))->toPlainText(),
             QStringLiteral("第3题"));

    click(w, QStringLiteral("Cmd显示题库"));
    QCOMPARE(button->text(), QStringLiteral("显示题库"));
    QVERIFY(control<QGroupBox>(w, QStringLiteral("Frame考题"))->isVisible());
    QCOMPARE(f.questionEdit()->toPlainText(), QStringLiteral("第2题"));
}

void TestPaperEditorWindow::helpButtonShouldPressF1()
{
    Fixture f;
    PaperEditorWindow &w = f.open();
    F1Counter counter;
    w.installEventFilter(&counter);
    click(w, QStringLiteral("CMD_HELP"));
    QCOMPARE(counter.presses, 1);
}

void TestPaperEditorWindow::unusableWorkingFolderShouldBeReported()
{
    Fixture f;
    // A file stands where the working folder should be.
    authoring_test::writeFile(f.repo.workingFolder() + QStringLiteral("/blocked"), "file");
    const auto before = authoring_test::tree(f.repo.root());
    PaperEditorWindow window(f.repo.root(), Paper,
                             f.repo.workingFolder() + QStringLiteral("/blocked"), f.dialogs,
                             f.random);
    QVERIFY(!window.isOpen());
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().contains(QStringLiteral("工作文件夹")));
    QCOMPARE(authoring_test::tree(f.repo.root()), before);
}

QTEST_MAIN(TestPaperEditorWindow)
#include "tst_paper_editor_window.moc"
