// Every window of the student client as a student who cannot see the screen meets it: each control
// is reached with Tab in a sensible order, and what assistive technology reads for it is the text
// on screen, coloured states included.

#include "accessibility_reading.h"
#include "candidate/exam_window.h"
#include "candidate/help_window.h"
#include "candidate/instructions_window.h"
#include "candidate/login_window.h"
#include "candidate/password_dialog.h"
#include "exam_test_support.h"
#include "login_test_repository.h"
#include "platform/dialogs/fake_dialogs.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace exam::candidate;

using namespace accessibility_reading;
using namespace exam::platform;

namespace {

// A window with what it needs kept alive beside it.
struct Screen
{
    virtual ~Screen() = default;
    virtual QWidget *window() = 0;
};

struct LoginScreen : Screen
{
    LoginTestRepository repo;
    CandidateState state;
    FakeDialogs dialogs;
    ScriptedPasswordPrompt prompt;
    std::unique_ptr<LoginWindow> login;
    LoginScreen()
    {
        repo.fillStandard();
        login = std::make_unique<LoginWindow>(repo.root(), state, dialogs, prompt);
        login->start();
    }
    QWidget *window() override { return login.get(); }
};

struct InstructionsScreen : Screen
{
    LoginTestRepository repo;
    CandidateState state;
    std::unique_ptr<InstructionsWindow> instructions;
    InstructionsScreen()
    {
        repo.fillStandard();
        repo.setPaperSetting(StandardPaper, QStringLiteral("about_test"),
                             QStringLiteral("本卷共十题"));
        repo.setPaperSetting(StandardPaper, QStringLiteral("TESTTIME"), QStringLiteral("45"));
        state.paperName = StandardPaper;
        instructions = std::make_unique<InstructionsWindow>(repo.root(), state);
    }
    QWidget *window() override { return instructions.get(); }
};

struct ExamScreen : Screen
{
    ExamRepository repo;
    CandidateState state;
    FakeDialogs dialogs;
    std::unique_ptr<ExamWindow> exam;
    explicit ExamScreen(bool review = false)
    {
        repo.writePaper(3, 10, 2, {QStringLiteral("1"), QStringLiteral("23"), QString()});
        if (review) {
            for (int k = 1; k <= 3; ++k)
                repo.setResult(QStringLiteral("SX%1").arg(k), QString::number(k));
            repo.setResult(QStringLiteral("DA1"), QStringLiteral("1"));
            repo.setResult(QStringLiteral("DA2"), QStringLiteral("2"));
            repo.setResult(QStringLiteral("TIME2"), QStringLiteral("00:04:00"));
            repo.setResult(QStringLiteral("DF"), QStringLiteral("2"));
        }
        state = repo.state(false, review);
        exam = std::make_unique<ExamWindow>(state, repo.environment(), dialogs);
    }
    QWidget *window() override { return exam.get(); }
};

template <typename W> struct PlainScreen : Screen
{
    W widget;
    QWidget *window() override { return &widget; }
};

std::unique_ptr<Screen> openScreen(const QString &name)
{
    const QHash<QString, std::function<std::unique_ptr<Screen>()>> screens = {
        {QStringLiteral("考试登录"), [] { return std::make_unique<LoginScreen>(); }},
        {QStringLiteral("考试说明"), [] { return std::make_unique<InstructionsScreen>(); }},
        {QStringLiteral("网络考试"), [] { return std::make_unique<ExamScreen>(); }},
        {QStringLiteral("网络考试 查阅试卷"), [] { return std::make_unique<ExamScreen>(true); }},
        {QStringLiteral("帮助"),
         [] {
             auto help = std::make_unique<PlainScreen<HelpWindow>>();
             help->widget.setHelpText(helpText());
             return help;
         }},
        {QStringLiteral("输入密码"),
         [] {
             auto password = std::make_unique<PlainScreen<PasswordDialog>>();
             password->widget.setWindowTitle(QStringLiteral("请输入重考密码:"));
             return password;
         }},
    };
    return screens.value(name)();
}

QWidget *shown(Screen &screen)
{
    QWidget *window = screen.window();
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) ? window : nullptr;
}

} // namespace

class TestClientAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void shouldReachEveryControlWithTabAndReadWhatItShows_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("heard");
        const QStringList examControls{
            QStringLiteral("Rich题目「试题」"),   QStringLiteral("Op_XZ_1「1.A -是」"),
            QStringLiteral("Op_XZ_2「2.B -非」"), QStringLiteral("Op_XZ_3「3.C」"),
            QStringLiteral("Op_XZ_4「4.D」"),     QStringLiteral("Op_XZ_5「5.E」"),
            QStringLiteral("Op_XZ_6「6.F」"),     QStringLiteral("Op_XZ_7「7.G」"),
            QStringLiteral("Command1「上一题」"), QStringLiteral("Command2「下一题」"),
            QStringLiteral("Check1「自动下翻」"), QStringLiteral("CmdQuestion_1「1」"),
            QStringLiteral("CmdQuestion_2「2」"), QStringLiteral("CmdQuestion_3「3」")};
        QTest::newRow("login") << QStringLiteral("考试登录")
                               << QStringList{QStringLiteral("Combo1「请选择试卷: 期中考试」"),
                                              QStringLiteral("Combo2「请选择班级:」"),
                                              QStringLiteral("Text1「请输入考号:」"),
                                              QStringLiteral("Text2「请输入考生姓名:」"),
                                              QStringLiteral("Text3「曾用名（可不输）:」"),
                                              QStringLiteral("Command1「登录」"),
                                              QStringLiteral("Command2「取消」")};
        QTest::newRow("instructions") << QStringLiteral("考试说明")
                                      << QStringList{QStringLiteral("Command1「单击开始考试」")};
        QTest::newRow("exam") << QStringLiteral("网络考试")
                              << examControls + QStringList{QStringLiteral("Command5「帮助」"),
                                                            QStringLiteral("Command6「交卷」")};
        // In review the answers cannot change: the option boxes are out of the way.
        QTest::newRow("review") << QStringLiteral("网络考试 查阅试卷")
                                << QStringList{examControls.first()} + examControls.mid(8) +
                                       QStringList{QStringLiteral("Command3「显示答案」"),
                                                   QStringLiteral("Command5「帮助」"),
                                                   QStringLiteral("Command6「退出」")};
        // Any key on the only button leaves the help window.
        QTest::newRow("help") << QStringLiteral("帮助")
                              << QStringList{QStringLiteral("Command1「返回考试」")};
        QTest::newRow("password") << QStringLiteral("输入密码")
                                  << QStringList{QStringLiteral("TxtPW「请输入重考密码:」"),
                                                 QStringLiteral("OKButton「确定」"),
                                                 QStringLiteral("CancelButton「取消」")};
    }
    void shouldReachEveryControlWithTabAndReadWhatItShows()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, heard);
        const std::unique_ptr<Screen> opened = openScreen(screen);
        QWidget *window = shown(*opened);
        QVERIFY(window);
        const QList<QWidget *> walked = tabWalk();
        QCOMPARE(heardControls(walked), heard);
        for (QWidget *control : keyboardControls(window))
            QVERIFY2(walked.contains(control), qPrintable(control->objectName()));
    }

    void shouldReadTheFiguresAndTheHelpTextWithTheirCaptions()
    {
        InstructionsScreen instructions;
        QCOMPARE(
            nameOf(instructions.window()->findChild<QWidget *>(QStringLiteral("Lab考试总时间"))),
            QStringLiteral("考试时间: 45 分钟"));
        PlainScreen<HelpWindow> help;
        help.widget.setHelpText(helpText());
        QAccessibleInterface *button =
            accessible(help.widget.findChild<QWidget *>(QStringLiteral("Command1")));
        QVERIFY(button->text(QAccessible::Description).contains(QStringLiteral("1、如何翻页")));
    }

    void shouldSayAnsweredQuestionsInWords()
    {
        ExamScreen screen;
        QWidget *window = shown(screen);
        QVERIFY(window);
        const auto description = [window](int button) {
            return accessible(
                       window->findChild<QWidget *>(QStringLiteral("CmdQuestion_%1").arg(button)))
                ->text(QAccessible::Description);
        };
        QCOMPARE(description(1), QStringLiteral("未答"));
        // Ticked from the keyboard, as a student without a mouse does.
        auto *option = window->findChild<QCheckBox *>(QStringLiteral("Op_XZ_2"));
        option->setFocus();
        QTest::keyClick(option, Qt::Key_Space);
        QVERIFY(accessible(option)->state().checked);
        QCOMPARE(description(1), QStringLiteral("已答"));
        QCOMPARE(description(2), QStringLiteral("未答"));
    }

    // The review screen as a screen reader reads it, top to bottom: the verdict in the frame's
    // name, the standard answer and the right and wrong questions in words beside their colours.
    void shouldReadTheReviewScreenInOrder()
    {
        ExamScreen screen(true);
        QWidget *window = shown(screen);
        QVERIFY(window);
        const QStringList heard = readAloud(window);
        qInfo().noquote() << "\n" + heard.join(u'\n');
        QCOMPARE(heard,
                 (QStringList{
                     QStringLiteral("Client 「高一(2)班 17 张三 张小三 期中测验  |查阅试卷|」"),
                     QStringLiteral("  Grouping 「题号:1      分值:2   标准答案: 1  您答对了!」"),
                     QStringLiteral("    EditableText 「试题」 value 「Question 1」 [focused]"),
                     QStringLiteral("  Grouping 「请选择」 [disabled]"),
                     QStringLiteral("    CheckBox 「1.A -是」 (标准答案) [checked, disabled]"),
                     QStringLiteral("    CheckBox 「2.B -非」 [not checked, disabled]"),
                     QStringLiteral("    CheckBox 「3.C」 [not checked, disabled]"),
                     QStringLiteral("    CheckBox 「4.D」 [not checked, disabled]"),
                     QStringLiteral("    CheckBox 「5.E」 [not checked, disabled]"),
                     QStringLiteral("    CheckBox 「6.F」 [not checked, disabled]"),
                     QStringLiteral("    CheckBox 「7.G」 [not checked, disabled]"),
                     QStringLiteral("  Button 「上一题」"),
                     QStringLiteral("  Button 「下一题」"),
                     QStringLiteral("  CheckBox 「自动下翻」 [not checked]"),
                     QStringLiteral("  StaticText 「成绩:2」"),
                     QStringLiteral("  Grouping 「选择试题          总题数: 3」"),
                     QStringLiteral("    Button 「1」 (答对)"),
                     QStringLiteral("    Button 「2」 (答错)"),
                     QStringLiteral("    Button 「3」 (答对)"),
                     QStringLiteral("    ScrollBar 「试题按钮翻页」 value 「0」"),
                     QStringLiteral("  Button 「显示答案」"),
                     QStringLiteral("  Button 「帮助」"),
                     QStringLiteral("  Button 「退出」"),
                 }));
    }
};

QTEST_MAIN(TestClientAccessibility)
#include "tst_client_accessibility.moc"
