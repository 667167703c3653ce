// Every window of the teacher console as a teacher who cannot see the screen meets it: each control
// is reached with Tab in a sensible order, and what assistive technology reads for it is the text
// on screen: the caption, the label beside a field, the chosen entry.

#include "accessibility_reading.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_editor_window.h"
#include "proctor/authoring/paper_management_window.h"
#include "proctor/classes/class_window.h"
#include "proctor/classes/exam_room_window.h"
#include "proctor/results/results_refresher.h"
#include "proctor/results/results_repository.h"
#include "proctor/results/results_window.h"
#include "proctor/shell/login_window.h"
#include "proctor/shell/main_menu_window.h"
#include "proctor/shell/password_window.h"
#include "proctor/shell/splash_window.h"
#include "repository/random_source.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace accessibility_reading;
using namespace exam::platform;

namespace {

const QString Paper = QStringLiteral("期末考试");
const QString ClassName = QStringLiteral("高二(1)班");

// A repository with one class of three students, one paper of two questions and one result, and
// the window under test kept beside it.
struct Screen
{
    ResultsRepository repo;
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    QTemporaryDir workingFolder;
    std::unique_ptr<QWidget> window;

    Screen()
    {
        repo.addClass(ClassName, 3, 1, 3);
        repo.addPaper(Paper, {QStringLiteral("1"), QStringLiteral("23")});
        repo.handIn(Paper, ClassName, 2, QStringLiteral("李四"), QStringLiteral("80"), {"1", "23"});
    }
    QString systemProfile() const { return repo.paths().systemProfile(); }
};

std::unique_ptr<Screen> openScreen(const QString &name)
{
    auto screen = std::make_unique<Screen>();
    Screen &s = *screen;
    if (name == u"启动") {
        s.window = std::make_unique<exam::SplashWindow>(QStringLiteral("1.0"));
    } else if (name == u"考务登录") {
        s.window = std::make_unique<exam::LoginWindow>(s.systemProfile(), s.dialogs);
    } else if (name == u"考务管理") {
        s.window = std::make_unique<exam::MainMenuWindow>(exam::MenuOpeners{}, s.dialogs);
    } else if (name == u"设置密码") {
        s.window = std::make_unique<exam::PasswordWindow>(s.systemProfile(), s.dialogs);
    } else if (name == u"试卷管理") {
        s.window = std::make_unique<exam::PaperManagementWindow>(s.repo.root(), s.dialogs);
    } else if (name == u"编辑试卷") {
        s.window = std::make_unique<exam::PaperEditorWindow>(
            s.repo.root(), Paper, s.workingFolder.path(), s.dialogs, s.random);
    } else if (name == u"班级管理") {
        s.window = std::make_unique<exam::ClassWindow>(s.systemProfile(), s.dialogs);
    } else if (name == u"考场管理") {
        s.window = std::make_unique<exam::ExamRoomWindow>(s.systemProfile(), s.dialogs);
    } else if (name == u"考务成绩") {
        auto results = std::make_unique<exam::ResultsWindow>(s.repo.root(), s.dialogs);
        QSignalSpy finished(&results->refresher(), &exam::ResultsRefresher::finished);
        if (!results->start() || !finished.wait())
            return nullptr;
        s.window = std::move(results);
    }
    return s.window ? std::move(screen) : nullptr;
}

QWidget *shown(Screen &screen)
{
    QWidget *window = screen.window.get();
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) ? window : nullptr;
}

} // namespace

class TestConsoleAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void shouldReachEveryControlWithTabAndReadWhatItShows_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("splash") << QStringLiteral("启动")
                                << QStringList{QStringLiteral(
                                       "frmSplash「课堂计算机考试系统 教师端 · 考务管理」")};
        QTest::newRow("login") << QStringLiteral("考务登录")
                               << QStringList{QStringLiteral("Text1「请输入口令:」"),
                                              QStringLiteral("Command1「登录」"),
                                              QStringLiteral("Command2「取消」"),
                                              QStringLiteral("Command3「帮助」")};
        QTest::newRow("main menu")
            << QStringLiteral("考务管理")
            << QStringList{
                   QStringLiteral("Imgcmd_1「试卷管理」"), QStringLiteral("Imgcmd_2「考场管理」"),
                   QStringLiteral("Imgcmd_3「班级管理」"), QStringLiteral("Imgcmd_4「成绩管理」"),
                   QStringLiteral("Imgcmd_5「设置密码」"), QStringLiteral("Imgcmd_6「帮助」"),
                   QStringLiteral("Imgcmd_7「退出」")};
        QTest::newRow("password") << QStringLiteral("设置密码")
                                  << QStringList{QStringLiteral("Text1「输入旧的密码:」"),
                                                 QStringLiteral("Text2「输入新的密码:」"),
                                                 QStringLiteral("Text3「请再输一遍:」"),
                                                 QStringLiteral("Command1「确定」"),
                                                 QStringLiteral("Command2「取消」")};
        QTest::newRow("papers")
            << QStringLiteral("试卷管理")
            << QStringList{QStringLiteral("List1「试卷列表」"),
                           QStringLiteral("Check6「是否允许考试」"),
                           QStringLiteral("TXT3「考试时间」"),
                           QStringLiteral("Txt4「总分」"),
                           QStringLiteral("Check2「是否设为练习模式          (考试时可看答案)」"),
                           QStringLiteral("Check1「重考密码」"),
                           QStringLiteral("Txt重考密码「重考密码」"),
                           QStringLiteral("Check3「二次登录密码」"),
                           QStringLiteral("Txt二次登录密码「二次登录密码」"),
                           QStringLiteral("Check4「学生考完时是否显示成绩」"),
                           QStringLiteral("Check5「是否使用随机的考题顺序」"),
                           QStringLiteral("Txt10「优秀标准」"),
                           QStringLiteral("Txt11「良好标准」"),
                           QStringLiteral("Txt12「中等标准」"),
                           QStringLiteral("Txt13「及格标准」"),
                           QStringLiteral("Txt14「考题总数」"),
                           QStringLiteral("Txt15「作者」"),
                           QStringLiteral("TXT16「默认分值」"),
                           QStringLiteral("TXT17「考试说明：」"),
                           QStringLiteral("Check考生随机抽题「是否使用随机抽题功能」"),
                           QStringLiteral("Check是否允许考生考后查卷「是否允许考生考后查卷」"),
                           QStringLiteral("Command6「新建」"),
                           QStringLiteral("Command7「删除」"),
                           QStringLiteral("Cmd上移「上移」"),
                           QStringLiteral("Cmd下移「下移」"),
                           QStringLiteral("Command1「编辑试卷」"),
                           QStringLiteral("Cmd导出试卷「导出试卷」"),
                           QStringLiteral("Cmd导入试卷「导入试卷」"),
                           QStringLiteral("CmdToWORD「输出到 WORD」"),
                           QStringLiteral("CmdToPDF「输出到 PDF」"),
                           QStringLiteral("Cmd保存「保存」"),
                           QStringLiteral("Command3「确定」"),
                           QStringLiteral("Command4「取消」"),
                           QStringLiteral("Command5「帮助」")};
        QTest::newRow("paper editor")
            << QStringLiteral("编辑试卷")
            << QStringList{QStringLiteral("Grid试卷「考题列表」"),
                           QStringLiteral("Cmd上一题「< 上一题」"),
                           QStringLiteral("Cmd下一题「下一题 >」"),
                           QStringLiteral("Cmd上移「上移」"),
                           QStringLiteral("Cmd下移「下移」"),
                           QStringLiteral("Cmd_Insert「插入」"),
                           QStringLiteral("Cmd_Delete「删除」"),
                           QStringLiteral("RichTextBox1「考题内容」"),
                           QStringLiteral("Chk答案_1「标准答案: 1.A -是」"),
                           QStringLiteral("Chk答案_2「2.B -非」"),
                           QStringLiteral("Chk答案_3「3.C」"),
                           QStringLiteral("Chk答案_4「4.D」"),
                           QStringLiteral("Chk答案_5「5.E」"),
                           QStringLiteral("Chk答案_6「6.F」"),
                           QStringLiteral("Chk答案_7「7.G」"),
                           QStringLiteral("Chk使用默认分值「使用默认分值」"),
                           QStringLiteral("RichTextBox2「解题辅导」"),
                           QStringLiteral("Text设置默认分值「默认分值」"),
                           QStringLiteral("Cmd显示题库「显示题库」"),
                           QStringLiteral("Cmd导入题目「导入题目…」"),
                           QStringLiteral("Cmd_ok「确定」"),
                           QStringLiteral("Cmd_Cancel「取消」"),
                           QStringLiteral("CMD_HELP「帮助」")};
        QTest::newRow("classes")
            << QStringLiteral("班级管理")
            << QStringList{QStringLiteral("List1「选择班级」"), QStringLiteral("Text1「班级名称」"),
                           QStringLiteral("Text2「班级人数」"), QStringLiteral("Text3「初起始号」"),
                           QStringLiteral("Text4「结束考号」"), QStringLiteral("cmdUp「上移」"),
                           QStringLiteral("cmdDown「下移」"),   QStringLiteral("Command4「新建」"),
                           QStringLiteral("Command5「删除」"),  QStringLiteral("Command1「确定」"),
                           QStringLiteral("Command2「取消」"),  QStringLiteral("Command3「帮助」")};
        QTest::newRow("exam rooms")
            << QStringLiteral("考场管理") << QStringList{QStringLiteral("List11「试卷列表」"),
                                                         QStringLiteral("List1「是否开考」"),
                                                         QStringLiteral("List22「班级列表」"),
                                                         QStringLiteral("List2「是否开考」"),
                                                         QStringLiteral("全部选定「全部选定」"),
                                                         QStringLiteral("全部选定取消「全部取消」"),
                                                         QStringLiteral("Command1「确定」"),
                                                         QStringLiteral("Command2「取消」"),
                                                         QStringLiteral("CmdHELP「帮助」")};
        QTest::newRow("results") << QStringLiteral("考务成绩")
                                 << QStringList{QStringLiteral("Combo1「考试名称: 期末考试」"),
                                                QStringLiteral("Combo2「班级名称: 高二(1)班」"),
                                                QStringLiteral("CMD_刷新「刷 新」"),
                                                QStringLiteral("Chk自动刷新「定时自动刷新」"),
                                                QStringLiteral("CMD学号「考号」"),
                                                QStringLiteral("CMD姓名「考生姓名」"),
                                                QStringLiteral("CMD成绩「成绩」"),
                                                QStringLiteral("Cmd名次「名次」"),
                                                QStringLiteral("Cmd剩余时间「剩余时间」"),
                                                QStringLiteral("List1「考号 考生姓名」"),
                                                QStringLiteral("List2「成绩 名次 剩余时间」"),
                                                QStringLiteral("Lst统计「统计信息:」"),
                                                QStringLiteral("Cmd题号「题号」"),
                                                QStringLiteral("Cmd得分率「得分率%」"),
                                                QStringLiteral("Cmd标准答案「标准答案」"),
                                                QStringLiteral("List5「题号 得分率% 标准答案」"),
                                                QStringLiteral("List6「当前考生所选答案」"),
                                                QStringLiteral("Rich考题「题号」"),
                                                QStringLiteral("Cmd允许重考「允许重考」"),
                                                QStringLiteral("Cmd删除成绩「删除成绩」"),
                                                QStringLiteral("Cmd输出「输出到 EXCEL」"),
                                                QStringLiteral("CmdHELP「帮助」"),
                                                QStringLiteral("CMD_退出「返回」")};
    }
    void shouldReachEveryControlWithTabAndReadWhatItShows()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, heard);
        const std::unique_ptr<Screen> opened = openScreen(screen);
        QVERIFY(opened);
        QWidget *window = shown(*opened);
        QVERIFY(window);
        const QList<QWidget *> walked = tabWalk();
        QCOMPARE(heardControls(walked), heard);
        for (QWidget *control : keyboardControls(window))
            QVERIFY2(walked.contains(control), qPrintable(control->objectName()));
    }

    // The results screen as a screen reader reads it, with a student chosen: the lists are named
    // by their headings and the chosen row is said to be selected in both.
    void shouldReadTheResultsScreenWithTheChosenStudent()
    {
        const std::unique_ptr<Screen> opened = openScreen(QStringLiteral("考务成绩"));
        QVERIFY(opened);
        QWidget *window = shown(*opened);
        QVERIFY(window);
        auto *names = window->findChild<QListWidget *>(QStringLiteral("List1"));
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualItemRect(names->item(1)).center());
        const QStringList heard = readAloud(window);
        qInfo().noquote() << "\n" + heard.join(u'\n');
        const auto line = [&heard](const QString &start) {
            for (const QString &l : heard) {
                if (l.trimmed().startsWith(start))
                    return l.trimmed();
            }
            return QString();
        };
        QCOMPARE(line(QStringLiteral("List 「考号")), QStringLiteral("List 「考号 考生姓名」"));
        QVERIFY2(
            line(QStringLiteral("ListItem 「2___")).endsWith(QStringLiteral("[selected, focused]")),
            qPrintable(line(QStringLiteral("ListItem 「2___"))));
        QVERIFY2(line(QStringLiteral("ListItem 「80___")).contains(QStringLiteral("selected")),
                 qPrintable(line(QStringLiteral("ListItem 「80___"))));
        QVERIFY(
            line(QStringLiteral("ComboBox")).startsWith(QStringLiteral("ComboBox 「期末考试」")));
    }
};

QTEST_MAIN(TestConsoleAccessibility)
#include "tst_console_accessibility.moc"
