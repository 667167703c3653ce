#include "authoring_fixture.h"
#include "window_driving.h"

#include "platform/dialogs/fake_dialogs.h"
#include "platform/dialogs/qt_dialogs.h"
#include "proctor/authoring/authoring_hooks.h"
#include "proctor/authoring/current_paper.h"
#include "proctor/authoring/paper_editor_opener.h"
#include "proctor/authoring/paper_management.h"
#include "proctor/authoring/paper_management_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace authoring_test;
using namespace exam::platform;
using exam::PaperColumn;
using exam::PaperManagementWindow;

using window_driving::click;
using window_driving::control;

namespace {

// Replaces a field's text as a teacher would: select all, delete, type (Chinese text arrives from
// the input method as one committed string).
void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(field, text);
        return;
    }
    QInputMethodEvent typed;
    typed.setCommitString(text);
    QApplication::sendEvent(field, &typed);
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

} // namespace

class TestPaperManagementWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void shouldNameEveryControl_data();
    void shouldNameEveryControl();
    void shouldShowAMissingRetestPasswordTickedWithZero();
    void lettersInTheTimeFieldShouldLeaveZero();
    void numberDrawnShouldBeLimitedAndGiveTheTotal();
    void enterShouldMoveTheFocus_data();
    void enterShouldMoveTheFocus();
    void passwordBoxShouldSetAndClearThePassword();
    void shouldStartEmptyAndCreateTheFirstPaper();
    void cancelShouldDropANewPaper();
    void okShouldSaveAndClose();
    void listSelectionShouldShowThePaper();
    void doubleClickShouldOpenTheEditor();
    void boxesAndTheEditorShouldBelongToTheWindow();
    void wordButtonShouldSayItIsNotAvailableYet();
    void pdfButtonShouldExportTheSelectedPaper();
    void helpButtonShouldPressF1();
    void tickingRandomDrawShouldShowThisPapersNumber();
};

void TestPaperManagementWindow::cleanup()
{
    exam::setPaperEditorOpener({});
    exam::setWordExporter({});
    exam::setPdfExporter({});
}

void TestPaperManagementWindow::shouldNameEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<std::pair<const char *, const char *>> buttons = {
        {"Command6", "新建"},
        {"Command7", "删除"},
        {"Cmd上移", "上移"},
        {"Cmd下移", "下移"},
        {"Cmd保存", "保存"},
        {"Command1", "编辑试卷"},
        {"Command3", "确定"},
        {"Command4", "取消"},
        {"Command5", "帮助"},
        {"Cmd导出试卷", "导出试卷"},
        {"Cmd导入试卷", "导入试卷"},
        {"CmdToWORD", "输出到 WORD"},
        {"CmdToPDF", "输出到 PDF"},
        {"Check6", "是否允许考试"},
        {"Check1", "重考密码"},
        {"Check3", "二次登录密码"},
        {"Check4", "学生考完时是否显示成绩"},
        {"Check5", "是否使用随机的考题顺序"},
        {"Check考生随机抽题", "是否使用随机抽题功能"},
        {"Check是否允许考生考后查卷", "是否允许考生考后查卷"},
        {"Check2", "是否设为练习模式          (考试时可看答案)"}};
    for (const auto &[name, caption] : buttons)
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(caption);
}

void TestPaperManagementWindow::shouldNameEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Repository repo;
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    QCOMPARE(window.objectName(), QStringLiteral("试卷管理"));
    QCOMPARE(control<QAbstractButton>(window, name)->text(), caption);
    // Every field is found by the label a person reads.
    for (const char *label :
         {"考试时间", "总分", "优秀标准", "良好标准", "中等标准", "及格标准", "考题总数", "作者",
          "默认分值", "考试说明：", "随机抽考题数", "试卷列表"}) {
        bool found = false;
        for (const QLabel *l : window.findChildren<QLabel *>())
            found = found || (l->text() == QString::fromUtf8(label) && l->buddy());
        QVERIFY2(found, label);
    }
}

void TestPaperManagementWindow::shouldShowAMissingRetestPasswordTickedWithZero()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("RELOGINPASSWD"), QString()}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    QVERIFY(control<QCheckBox>(window, QStringLiteral("Check1"))->isChecked());
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Txt重考密码"))->text(),
             QStringLiteral("0"));
    QVERIFY(control<QLineEdit>(window, QStringLiteral("Txt重考密码"))->isEnabled());
    QVERIFY(!control<QCheckBox>(window, QStringLiteral("Check3"))->isChecked());
    QVERIFY(!control<QLineEdit>(window, QStringLiteral("Txt二次登录密码"))->isEnabled());
}

void TestPaperManagementWindow::lettersInTheTimeFieldShouldLeaveZero()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("TESTTIME"), QStringLiteral("45")}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QLineEdit *time = control<QLineEdit>(window, QStringLiteral("TXT3"));
    QCOMPARE(time->text(), QStringLiteral("45"));
    retype(time, QStringLiteral("abc"));
    QCOMPARE(time->text(), QStringLiteral("0"));
    QCOMPARE(window.management().selectedRow()->at(PaperColumn::TestTime), QStringLiteral("0"));
    retype(time, QStringLiteral("08"));
    QCOMPARE(time->text(), QStringLiteral("8"));
    // Shown-only fields take no typing.
    QVERIFY(control<QLineEdit>(window, QStringLiteral("TXT16"))->isReadOnly());
    QVERIFY(control<QLineEdit>(window, QStringLiteral("Txt4"))->isReadOnly());
    QVERIFY(control<QLineEdit>(window, QStringLiteral("Txt14"))->isReadOnly());
    click(window, QStringLiteral("Cmd保存"));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷已保存!")});
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("TESTTIME")), QStringLiteral("8"));
}

void TestPaperManagementWindow::numberDrawnShouldBeLimitedAndGiveTheTotal()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("Question_conut"), QStringLiteral(" 20")},
                                         {QStringLiteral("Mark"), QStringLiteral(" 5")},
                                         {QStringLiteral("full_mark"), QStringLiteral(" 100")}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QLineEdit *drawn = control<QLineEdit>(window, QStringLiteral("Text随机抽考题数"));
    QVERIFY(!drawn->isVisible());
    QVERIFY(!control<QLabel>(window, QStringLiteral("Label抽考题数"))->isVisible());
    click(window, QStringLiteral("Check考生随机抽题"));
    QVERIFY(drawn->isVisible());
    QVERIFY(control<QLabel>(window, QStringLiteral("Label抽考题数"))->isVisible());

    retype(drawn, QStringLiteral("25"));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("抽取的考题数不能超过考题总数！")});
    QCOMPARE(drawn->text(), QStringLiteral("20"));
    retype(drawn, QStringLiteral("12"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Txt4"))->text(), QStringLiteral("60"));
    QCOMPARE(window.management().selectedRow()->at(PaperColumn::DrawCount), QStringLiteral("12"));

    click(window, QStringLiteral("Check考生随机抽题"));
    QVERIFY(!drawn->isVisible());
    QCOMPARE(window.management().selectedRow()->at(PaperColumn::RandomDraw), QStringLiteral("0"));
}

void TestPaperManagementWindow::enterShouldMoveTheFocus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("time") << QStringLiteral("TXT3") << QStringLiteral("Txt15");
    QTest::newRow("author") << QStringLiteral("Txt15") << QStringLiteral("TXT16");
    QTest::newRow("default mark") << QStringLiteral("TXT16") << QStringLiteral("Txt10");
    QTest::newRow("excellent") << QStringLiteral("Txt10") << QStringLiteral("Txt11");
    QTest::newRow("good") << QStringLiteral("Txt11") << QStringLiteral("Txt12");
    QTest::newRow("medium") << QStringLiteral("Txt12") << QStringLiteral("Txt13");
    QTest::newRow("pass stays") << QStringLiteral("Txt13") << QStringLiteral("Txt13");
    QTest::newRow("instructions") << QStringLiteral("TXT17") << QStringLiteral("TXT3");
}

void TestPaperManagementWindow::enterShouldMoveTheFocus()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QLineEdit *start = control<QLineEdit>(window, from);
    start->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(window, to));
    // Enter pressed no button.
    QVERIFY(window.isVisible());
    QVERIFY(dialogs.calls().isEmpty());
}

void TestPaperManagementWindow::passwordBoxShouldSetAndClearThePassword()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {{QStringLiteral("RETESTPASSWD"), QStringLiteral("abc")}});
    repo.setRoster({entry(QStringLiteral("P"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QLineEdit *password = control<QLineEdit>(window, QStringLiteral("Txt重考密码"));
    QCOMPARE(password->text(), QStringLiteral("abc"));
    click(window, QStringLiteral("Check1"));
    QCOMPARE(password->text(), QString());
    QVERIFY(!password->isEnabled());
    click(window, QStringLiteral("Check1"));
    QCOMPARE(password->text(), QStringLiteral("358"));
    retype(password, QStringLiteral("x y"));
    click(window, QStringLiteral("Command3"));
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("RETESTPASSWD")),
             QStringLiteral("x y"));
}

void TestPaperManagementWindow::shouldStartEmptyAndCreateTheFirstPaper()
{
    Repository repo;
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QCOMPARE(control<QListWidget>(window, QStringLiteral("List1"))->count(), 0);
    QVERIFY(!control<QWidget>(window, QStringLiteral("Frame2"))->isEnabled());
    dialogs.answerInput(QStringLiteral(" 第一卷 "));
    click(window, QStringLiteral("Command6"));
    QListWidget *list = control<QListWidget>(window, QStringLiteral("List1"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->item(0)->text(), QStringLiteral("第一卷"));
    QVERIFY(control<QWidget>(window, QStringLiteral("Frame2"))->isEnabled());
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("TXT3"))->text(), QStringLiteral("30"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("TXT17"))->text(), QStringLiteral("第一卷"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Txt二次登录密码"))->text(),
             QStringLiteral("469"));
    QVERIFY(control<QCheckBox>(window, QStringLiteral("Check6"))->isChecked());
    click(window, QStringLiteral("Cmd保存"));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("试卷已保存!")});
    QVERIFY(QFileInfo(repo.paths().paperFolder(QStringLiteral("第一卷"))).isDir());
}

void TestPaperManagementWindow::cancelShouldDropANewPaper()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    repo.setRoster({entry(QStringLiteral("P"))});
    const auto before = tree(repo.root());
    {
        FakeDialogs dialogs;
        PaperManagementWindow window(repo.root(), dialogs);
        window.show();
        dialogs.answerInput(QStringLiteral("新卷"));
        click(window, QStringLiteral("Command6"));
        QCOMPARE(control<QListWidget>(window, QStringLiteral("List1"))->count(), 2);
        click(window, QStringLiteral("Command4"));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }
    QCOMPARE(tree(repo.root()), before);
    FakeDialogs dialogs;
    PaperManagementWindow reopened(repo.root(), dialogs);
    QCOMPARE(control<QListWidget>(reopened, QStringLiteral("List1"))->count(), 1);
}

void TestPaperManagementWindow::okShouldSaveAndClose()
{
    Repository repo;
    repo.makePaper(QStringLiteral("P"), {});
    repo.setRoster({entry(QStringLiteral("P"), QStringLiteral("0"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    click(window, QStringLiteral("Check6"));
    click(window, QStringLiteral("Check是否允许考生考后查卷"));
    retype(control<QLineEdit>(window, QStringLiteral("Txt15")), QStringLiteral(" 王老师"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Txt15"))->text(), QStringLiteral("王老师"));
    click(window, QStringLiteral("Command3"));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(dialogs.messages().isEmpty());
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("P")),
             QStringLiteral("1"));
    QCOMPARE(repo.systemValue(QStringLiteral("LetViewTest"), QStringLiteral("P")),
             QStringLiteral("1"));
    QCOMPARE(repo.mainValue(QStringLiteral("P"), QStringLiteral("Author")),
             QStringLiteral("王老师"));
}

void TestPaperManagementWindow::listSelectionShouldShowThePaper()
{
    Repository repo;
    repo.makePaper(QStringLiteral("A"), {{QStringLiteral("TESTTIME"), QStringLiteral("10")}});
    repo.makePaper(QStringLiteral("B"), {{QStringLiteral("TESTTIME"), QStringLiteral("20")},
                                         {QStringLiteral("rnd_test"), QStringLiteral("1")}});
    repo.setRoster({entry(QStringLiteral("A")), entry(QStringLiteral("B"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QListWidget *list = control<QListWidget>(window, QStringLiteral("List1"));
    QCOMPARE(list->toolTip(), QStringLiteral("双击打开试卷进行编辑"));
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(exam::currentPaper(), QStringLiteral("B"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("TXT3"))->text(), QStringLiteral("20"));
    QVERIFY(control<QLineEdit>(window, QStringLiteral("Text随机抽考题数"))->isVisible());
    click(window, QStringLiteral("Cmd上移"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("B"));
    QCOMPARE(list->currentRow(), 0);
    click(window, QStringLiteral("Cmd下移"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("B"));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("TXT3"))->text(), QStringLiteral("20"));
}

void TestPaperManagementWindow::doubleClickShouldOpenTheEditor()
{
    Repository repo;
    repo.makePaper(QStringLiteral("A"), {});
    repo.setRoster({entry(QStringLiteral("A"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    QStringList opened;
    exam::setPaperEditorOpener(
        [&](const exam::AuthoringRequest &request) { opened << request.row.name(); });
    QListWidget *list = control<QListWidget>(window, QStringLiteral("List1"));
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(opened, QStringList{QStringLiteral("A")});
    click(window, QStringLiteral("Command1"));
    QCOMPARE(repo.systemValue(QStringLiteral("TestName"), QStringLiteral("1")),
             QStringLiteral("A"));
}

// Paper management holds no window: its boxes and the editor it opens belong to the window the
// teacher works in, modal over it.
void TestPaperManagementWindow::boxesAndTheEditorShouldBelongToTheWindow()
{
    QTemporaryDir cache; // the editor's working folder
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    Repository repo;
    repo.makePaper(QStringLiteral("A"), {});
    repo.makePaper(QStringLiteral("B"), {});
    repo.setRoster({entry(QStringLiteral("A")), entry(QStringLiteral("B"))});
    QtDialogs dialogs;
    exam::setPaperEditorOpener(exam::openPaperEditor);
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QList<QWidget *> owners;
    QStringList shown;
    const auto closeNextModal = [&] {
        QTimer::singleShot(0, &window, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            owners << modal->parentWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                shown << box->text();
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                shown << modal->objectName();
                qobject_cast<QDialog *>(modal)->reject();
            }
        });
    };
    closeNextModal();
    click(window, QStringLiteral("Command7"));
    window.activateWindow(); // as the window manager does when a box closes
    QVERIFY(QTest::qWaitForWindowActive(&window));
    closeNextModal();
    QListWidget *list = control<QListWidget>(window, QStringLiteral("List1"));
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);

    QCOMPARE(shown, (QStringList{QStringLiteral("您确认要删除该试卷的所有数据?"),
                                 QStringLiteral("编辑试卷")}));
    QCOMPARE(owners, (QList<QWidget *>{&window, &window}));
    QCOMPARE(list->count(), 2); // the box was cancelled
}

void TestPaperManagementWindow::wordButtonShouldSayItIsNotAvailableYet()
{
    Repository repo;
    repo.setRoster({entry(QStringLiteral("A"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    click(window, QStringLiteral("CmdToWORD"));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("输出到 WORD 的功能尚未提供!")});
}

void TestPaperManagementWindow::pdfButtonShouldExportTheSelectedPaper()
{
    Repository repo;
    repo.setRoster({entry(QStringLiteral("A")), entry(QStringLiteral("B"))});
    FakeDialogs dialogs;
    QStringList exported;
    exam::setPdfExporter(
        [&exported](const exam::AuthoringRequest &request) { exported << request.row.name(); });
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    click(window, QStringLiteral("CmdToPDF"));
    QCOMPARE(exported, QStringList{QStringLiteral("A")});
    QVERIFY(dialogs.messages().isEmpty());
}

void TestPaperManagementWindow::helpButtonShouldPressF1()
{
    Repository repo;
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    F1Counter counter;
    window.installEventFilter(&counter);
    click(window, QStringLiteral("Command5"));
    QCOMPARE(counter.presses, 1);
    QVERIFY(dialogs.calls().isEmpty());
}

void TestPaperManagementWindow::tickingRandomDrawShouldShowThisPapersNumber()
{
    Repository repo;
    repo.makePaper(QStringLiteral("A"), {{QStringLiteral("Question_conut"), QStringLiteral(" 20")},
                                         {QStringLiteral("rnd_test"), QStringLiteral("1")},
                                         {QStringLiteral("rnd_test_No"), QStringLiteral("12")}});
    repo.makePaper(QStringLiteral("B"), {{QStringLiteral("Question_conut"), QStringLiteral(" 20")},
                                         {QStringLiteral("Mark"), QStringLiteral(" 2")},
                                         {QStringLiteral("rnd_test_No"), QStringLiteral("7")}});
    repo.setRoster({entry(QStringLiteral("A")), entry(QStringLiteral("B"))});
    FakeDialogs dialogs;
    PaperManagementWindow window(repo.root(), dialogs);
    window.show();
    control<QListWidget>(window, QStringLiteral("List1"))->setCurrentRow(1);
    click(window, QStringLiteral("Check考生随机抽题"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Text随机抽考题数"))->text(),
             QStringLiteral("7"));
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Txt4"))->text(), QStringLiteral("14"));
    click(window, QStringLiteral("Command3"));
    QCOMPARE(repo.mainValue(QStringLiteral("B"), QStringLiteral("rnd_test")), QStringLiteral("1"));
    QCOMPARE(repo.mainValue(QStringLiteral("B"), QStringLiteral("rnd_test_No")),
             QStringLiteral("7"));
}

QTEST_MAIN(TestPaperManagementWindow)
#include "tst_paper_management_window.moc"
