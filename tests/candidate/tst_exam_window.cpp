#include "candidate/clock_label.h"
#include "candidate/exam_launcher.h"
#include "candidate/exam_window.h"

#include "exam_test_support.h"
#include "platform/dialogs/fake_dialogs.h"
#include "window_driving.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include <memory>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

struct Harness
{
    CandidateState state;
    FakeDialogs dialogs;
    std::unique_ptr<ExamWindow> window;
    int helpOpened = 0;

    Harness(ExamRepository &repo, bool resume = false, bool review = false, bool local = true)
        : state(repo.state(resume, review))
    {
        window = std::make_unique<ExamWindow>(state, repo.environment(local), dialogs);
        window->setHelpOpener([this](QWidget *) { ++helpOpened; });
        window->show();
    }

    template <typename T = QWidget> T *control(const QString &name) const
    {
        return window_driving::findControl<T>(*window, name);
    }
    QCheckBox *option(int j) const { return control<QCheckBox>(QStringLiteral("Op_XZ_%1").arg(j)); }
    QPushButton *questionButton(int i) const
    {
        return control<QPushButton>(QStringLiteral("CmdQuestion_%1").arg(i));
    }
    QPushButton *button(const QString &name) const { return control<QPushButton>(name); }
    QString frameTitle(const QString &name) const { return control<QGroupBox>(name)->title(); }
    QString questionText() const
    {
        return control<QTextEdit>(QStringLiteral("Rich题目"))->toPlainText();
    }
    QString labelText(const QString &name) const { return control<QLabel>(name)->text(); }
};

QColor colourOf(QWidget *widget)
{
    return widget->palette().color(widget->backgroundRole());
}

const QColor Red(255, 0, 0);
const QColor Teal(0, 192, 192);
const QColor Green(0, 255, 0);
const QColor DarkRed(192, 0, 0);

} // namespace

class TestExamWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheFirstQuestion()
    {
        ExamRepository repo;
        repo.writePaper(25, 90, 2);
        Harness h(repo);
        QCOMPARE(h.window->objectName(), QStringLiteral("网络考试"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("高一(2)班 17 张三 张小三 期中测验"));
        QCOMPARE(h.questionText(), QStringLiteral("Question 1"));
        QCOMPARE(h.frameTitle(QStringLiteral("Fram_题目")), QStringLiteral("题号:1      分值:2"));
        QCOMPARE(h.frameTitle(QStringLiteral("FrmSelQuestion")),
                 QStringLiteral("选择试题          总题数: 25"));
        QCOMPARE(h.frameTitle(QStringLiteral("Frame2")), QStringLiteral("请选择"));
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("01:30:00"));
        QCOMPARE(h.labelText(QStringLiteral("Label1")), QStringLiteral("剩余时间:"));
        QCOMPARE(h.control<QScrollBar>(QStringLiteral("VSlquestion"))->maximum(), 20);
        QCOMPARE(h.option(1)->text(), QStringLiteral("1.A -是"));
        QCOMPARE(h.option(7)->text(), QStringLiteral("7.G"));
        QCOMPARE(h.button(QStringLiteral("Command6"))->text(), QStringLiteral("交卷"));
        QVERIFY(h.button(QStringLiteral("Command3"))->isHidden());
        QVERIFY(h.control(QStringLiteral("FrmExplain"))->isHidden());
        QCOMPARE(colourOf(h.option(1)), Teal);
        QCOMPARE(h.questionButton(20)->text(), QStringLiteral("20"));
        QVERIFY(h.questionButton(20)->isVisibleTo(h.window.get()));
        h.button(QStringLiteral("Command5"))->click();
        QCOMPARE(h.helpOpened, 1);
    }

    void answeringWithMouseAndKeyboard()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1);
        Harness h(repo);
        QTest::mouseClick(h.option(3), Qt::LeftButton);
        QTest::mouseClick(h.option(1), Qt::LeftButton);
        QCOMPARE(h.window->session().answer(1), 13.0);
        QCOMPARE(colourOf(h.option(1)), Red);
        QCOMPARE(colourOf(h.option(2)), Teal);
        QCOMPARE(colourOf(h.questionButton(1)), Green);
        QCOMPARE(colourOf(h.questionButton(2)),
                 QApplication::palette(h.questionButton(2)).color(QPalette::Button));

        // A student without a mouse ticks with Space: recorded exactly as a click.
        QTest::mouseClick(h.button(QStringLiteral("Command2")), Qt::LeftButton);
        h.option(2)->setFocus();
        QTest::keyClick(h.option(2), Qt::Key_Space);
        QVERIFY(h.option(2)->isChecked());
        QCOMPARE(h.window->session().answer(2), 2.0);
        QCOMPARE(colourOf(h.option(2)), Red);
        QTest::keyClick(h.option(2), Qt::Key_Space);
        QCOMPARE(h.window->session().answer(2), 0.0);

        // Back on question 1 the boxes show its answer.
        QTest::mouseClick(h.questionButton(1), Qt::LeftButton);
        QVERIFY(h.option(1)->isChecked() && h.option(3)->isChecked() && !h.option(2)->isChecked());
        QCOMPARE(h.questionText(), QStringLiteral("Question 1"));
    }

    void autoAdvanceAfterAClick()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1);
        Harness h(repo);
        QTest::mouseClick(h.control<QCheckBox>(QStringLiteral("Check1")), Qt::LeftButton);
        QTest::mouseClick(h.option(4), Qt::LeftButton);
        QCOMPARE(h.state.currentPosition, 2);
        QCOMPARE(h.questionText(), QStringLiteral("Question 2"));
        QVERIFY(!h.option(4)->isChecked());
        QCOMPARE(h.window->session().answer(1), 4.0);
    }

    void rightClickJumps_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("stillEnabled");
        QTest::newRow("next from 26") << QStringLiteral("Command2") << 26 << 30 << false;
        QTest::newRow("next from 25") << QStringLiteral("Command2") << 25 << 30 << true;
        QTest::newRow("previous from 5") << QStringLiteral("Command1") << 5 << 1 << false;
        QTest::newRow("previous from 6") << QStringLiteral("Command1") << 6 << 1 << true;
    }
    void rightClickJumps()
    {
        QFETCH(QString, buttonName);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, stillEnabled);
        ExamRepository repo;
        repo.writePaper(30, 30, 1);
        Harness h(repo);
        QScrollBar *page = h.control<QScrollBar>(QStringLiteral("VSlquestion"));
        page->setValue(from > 20 ? 10 : 0);
        QTest::mouseClick(h.questionButton(from - page->value()), Qt::LeftButton);
        QCOMPARE(h.state.currentPosition, from);
        QTest::mouseClick(h.button(buttonName), Qt::RightButton);
        QCOMPARE(h.state.currentPosition, to);
        QCOMPARE(h.button(buttonName)->isEnabled(), stillEnabled);
        QCOMPARE(h.questionText(), QStringLiteral("Question %1").arg(to));
    }

    void keysTurnPages()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1);
        Harness h(repo);
        QApplication::setActiveWindow(h.window.get());
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTextEdit *view = h.control<QTextEdit>(QStringLiteral("Rich题目"));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(h.state.currentPosition, 2);
        QTest::keyClick(h.control<QScrollBar>(QStringLiteral("VSlquestion")), Qt::Key_PageDown);
        QCOMPARE(h.state.currentPosition, 3);
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(h.state.currentPosition, 2);
        // Enter runs "下一题", the default button.
        h.option(1)->setFocus();
        QTest::keyClick(h.option(1), Qt::Key_Return);
        QCOMPARE(h.state.currentPosition, 3);
        QCOMPARE(h.window->session().answer(2), 0.0);

        // "下一题" disabled at the end stays disabled after a question button moves back: Enter,
        // which clicks that button, then does nothing, while Page Down still turns the page.
        QTest::keyClick(h.option(1), Qt::Key_Return);
        QVERIFY(!h.button(QStringLiteral("Command2"))->isEnabled());
        QTest::mouseClick(h.questionButton(1), Qt::LeftButton);
        QCOMPARE(h.state.currentPosition, 1);
        QVERIFY(!h.button(QStringLiteral("Command2"))->isEnabled());
        h.option(1)->setFocus();
        QTest::keyClick(h.option(1), Qt::Key_Return);
        QCOMPARE(h.state.currentPosition, 1);
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(h.state.currentPosition, 2);
    }

    void keysPressTheFocusedButton_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("handInAsked");
        QTest::newRow("Enter on 上一题")
            << QStringLiteral("Command1") << int(Qt::Key_Return) << 1 << false;
        QTest::newRow("Enter on 下一题")
            << QStringLiteral("Command2") << int(Qt::Key_Enter) << 3 << false;
        QTest::newRow("Enter on a question button")
            << QStringLiteral("CmdQuestion_4") << int(Qt::Key_Return) << 4 << false;
        QTest::newRow("Enter on 交卷")
            << QStringLiteral("Command6") << int(Qt::Key_Return) << 2 << true;
        QTest::newRow("Space on 上一题")
            << QStringLiteral("Command1") << int(Qt::Key_Space) << 1 << false;
        QTest::newRow("Space on a question button")
            << QStringLiteral("CmdQuestion_4") << int(Qt::Key_Space) << 4 << false;
    }
    void keysPressTheFocusedButton()
    {
        QFETCH(QString, buttonName);
        QFETCH(int, key);
        QFETCH(int, position);
        QFETCH(bool, handInAsked);
        ExamRepository repo;
        repo.writePaper(5, 30, 1);
        Harness h(repo);
        QApplication::setActiveWindow(h.window.get());
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::mouseClick(h.button(QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(h.state.currentPosition, 2);

        h.dialogs.answerQuestion(false);
        QPushButton *button = h.button(buttonName);
        button->setFocus();
        QTest::keyClick(button, Qt::Key(key));
        QCOMPARE(h.state.currentPosition, position);
        QCOMPARE(h.questionText(), QStringLiteral("Question %1").arg(position));
        QCOMPARE(!h.dialogs.calls().isEmpty(), handInAsked);
        QVERIFY(h.window->isVisible());
    }

    void buttonsPageByTen()
    {
        ExamRepository repo;
        repo.writePaper(45, 30, 1);
        Harness h(repo);
        QTest::mouseClick(h.questionButton(20), Qt::LeftButton);
        QTest::mouseClick(h.option(2), Qt::LeftButton);
        QCOMPARE(h.control<QScrollBar>(QStringLiteral("VSlquestion"))->value(), 0);
        QTest::mouseClick(h.button(QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(h.state.currentPosition, 21);
        QCOMPARE(h.control<QScrollBar>(QStringLiteral("VSlquestion"))->value(), 10);
        QCOMPARE(h.questionButton(1)->text(), QStringLiteral("11"));
        QCOMPARE(h.questionButton(20)->text(), QStringLiteral("30"));
        QCOMPARE(colourOf(h.questionButton(10)), Green); // position 20
        // The last page hides the buttons beyond the paper.
        h.control<QScrollBar>(QStringLiteral("VSlquestion"))->setValue(40);
        QCOMPARE(h.questionButton(5)->text(), QStringLiteral("45"));
        QVERIFY(h.questionButton(5)->isVisibleTo(h.window.get()));
        QVERIFY(!h.questionButton(6)->isVisibleTo(h.window.get()));
    }

    void handInAfterConfirmation()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 3, {QStringLiteral("1"), QStringLiteral("2")});
        Harness h(repo);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QTest::mouseClick(h.option(1), Qt::LeftButton);

        h.dialogs.answerQuestion(false);
        QTest::mouseClick(h.button(QStringLiteral("Command6")), Qt::LeftButton);
        QVERIFY(h.window->isVisible());
        QCOMPARE(h.dialogs.calls().last().text, QStringLiteral("您是否要交卷退出考试?"));
        QCOMPARE(h.dialogs.calls().last().defaultButton, Dialogs::Button::No);
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("<missing>"));

        h.dialogs.answerQuestion(true);
        QTest::mouseClick(h.button(QStringLiteral("Command6")), Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!h.window->isVisible());
        const QString cr(QChar(13));
        QCOMPARE(h.dialogs.messages().last(), QStringLiteral("        本试卷总分为:6") + cr +
                                                  QStringLiteral("        您的成绩为:3          ") +
                                                  cr + QStringLiteral("            谢谢使用!"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("3"));
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("00:30:00"));
    }

    void clockReadsItsTimeToAScreenReaderOncePerMinute()
    {
        ExamRepository repo;
        repo.writePaper(2, 10, 1);
        Harness h(repo);
        auto *clock = h.control<ClockLabel>(QStringLiteral("Lab_TIMER"));
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(clock);
        QVERIFY(reader);
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("00:10:00"));
        QCOMPARE(reader->text(QAccessible::Description), QStringLiteral("剩余时间"));
        QSignalSpy announced(clock, &ClockLabel::announced);
        repo.clockTimer()->fire(61);
        // Every second the name is the time on screen; only 00:09:xx and 00:08:xx were told.
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("00:08:59"));
        QCOMPARE(announced.size(), 2);
        QCOMPARE(announced.at(0).at(0).toString(), QStringLiteral("00:09:59"));
        QCOMPARE(announced.at(1).at(0).toString(), QStringLiteral("00:08:59"));
    }

    void timeOutHandsInWithoutAsking()
    {
        ExamRepository repo;
        repo.writePaper(2, 1, 1, {QStringLiteral("1"), QStringLiteral("1")});
        Harness h(repo);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QTest::mouseClick(h.option(1), Qt::LeftButton);
        repo.clockTimer()->fire(59);
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("00:00:01"));
        QCOMPARE(ended.count(), 0);
        repo.clockTimer()->fire();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!h.window->isVisible());
        for (const FakeDialogs::Call &call : h.dialogs.calls())
            QVERIFY(call.kind == FakeDialogs::Kind::Message);
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("00:00:00"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("1"));
    }

    void failedHandInKeepsTheWindowAndAnswers()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1, {QStringLiteral("1"), QStringLiteral("1")});
        repo.setMain(QStringLiteral("DISPLAY_SCORE"), QStringLiteral("0"));
        Harness h(repo, false, false, false);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QTest::mouseClick(h.option(1), Qt::LeftButton);
        QTest::mouseClick(h.option(5), Qt::LeftButton);
        const QString localProfile = repo.cacheFolder() + u'/' + repo.paper + u".cho";
        QVERIFY(QFile::exists(localProfile));
        QVERIFY(QDir(repo.resultsFolder()).removeRecursively());

        h.dialogs.answerQuestion(true);
        h.button(QStringLiteral("Command6"))->click();
        QVERIFY(h.window->isVisible());
        QCOMPARE(ended.count(), 0);
        QCOMPARE(h.dialogs.calls().last().icon, Dialogs::Icon::Critical);
        for (const QString &text : h.dialogs.messages())
            QVERIFY(!text.contains(QStringLiteral("已经保存")));
        QVERIFY(h.option(1)->isChecked() && h.option(5)->isChecked());
        QCOMPARE(h.window->session().answer(1), 15.0);
        QVERIFY(h.option(2)->isEnabled());
        QVERIFY(QFile::exists(localProfile));

        QVERIFY(QDir().mkpath(repo.resultsFolder()));
        h.dialogs.answerQuestion(true);
        h.button(QStringLiteral("Command6"))->click();
        QCOMPARE(ended.count(), 1);
        QVERIFY(h.dialogs.messages().last().contains(QStringLiteral("您的考试成绩已经保存")));
        QCOMPARE(repo.result(QStringLiteral("DA1")), QStringLiteral("15"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("0"));
        QVERIFY(!QFile::exists(localProfile));
    }

    void timeRunningOutDuringAFailedHandInClosesTheAnswers()
    {
        ExamRepository repo;
        repo.writePaper(2, 1, 1, {QStringLiteral("1"), QStringLiteral("1")});
        Harness h(repo);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QTest::mouseClick(h.option(1), Qt::LeftButton);
        repo.clockTimer()->fire(59);
        QVERIFY(QDir(repo.resultsFolder()).removeRecursively());
        // The last second runs out while the student reads that the hand-in failed.
        h.dialogs.onCall = [&](const FakeDialogs::Call &call) {
            if (call.icon == Dialogs::Icon::Critical)
                repo.clockTimer()->fire();
        };
        h.dialogs.answerQuestion(true);
        h.button(QStringLiteral("Command6"))->click();
        h.dialogs.onCall = nullptr;
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("00:00:00"));
        QVERIFY(h.window->isVisible());
        QVERIFY(!h.option(2)->isEnabled());
        QCOMPARE(h.window->session().answer(1), 1.0);

        // Once the folder is back, "交卷" hands the paper in.
        QVERIFY(QDir().mkpath(repo.resultsFolder()));
        h.dialogs.answerQuestion(true);
        h.button(QStringLiteral("Command6"))->click();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("00:00:00"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("1"));
    }

    void timeRunningOutWhileHandInIsAskedHandsInOnce_data()
    {
        QTest::addColumn<bool>("studentSaysYes");
        QTest::newRow("student says yes") << true;
        QTest::newRow("student says no") << false;
    }
    void timeRunningOutWhileHandInIsAskedHandsInOnce()
    {
        QFETCH(bool, studentSaysYes);
        ExamRepository repo;
        repo.writePaper(2, 1, 1, {QStringLiteral("1"), QStringLiteral("1")});
        Harness h(repo);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QTest::mouseClick(h.option(1), Qt::LeftButton);
        repo.clockTimer()->fire(59);
        // The last second runs out while the student reads "您是否要交卷退出考试?".
        h.dialogs.onCall = [&](const FakeDialogs::Call &call) {
            if (call.kind == FakeDialogs::Kind::YesNo)
                repo.clockTimer()->fire();
        };
        h.dialogs.answerQuestion(studentSaysYes);
        h.button(QStringLiteral("Command6"))->click();
        h.dialogs.onCall = nullptr;

        QCOMPARE(ended.count(), 1);
        QVERIFY(!h.window->isVisible());
        QCOMPARE(h.dialogs.messages().size(), 1); // one score message, one hand-in
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("00:00:00"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("1"));
    }

    void untimedPaperShowsNoLimit()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        repo.setMain(QStringLiteral("TESTTIME"), QStringLiteral("0"));
        Harness h(repo);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QCOMPARE(h.labelText(QStringLiteral("Label1")), QStringLiteral("剩余时间:"));
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("不限时"));
        repo.clockTimer()->fire(3);
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("不限时"));
        QCOMPARE(ended.count(), 0);
        QVERIFY(h.window->isVisible());
        QVERIFY(h.option(1)->isEnabled());
    }

    void questionsSeenStayReadableWhileTheShareIsAway()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1);
        Harness h(repo, false, false, false);
        QLabel *warning = h.control<QLabel>(QStringLiteral("Lab保存提示"));
        QTest::mouseClick(h.button(QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(h.questionText(), QStringLiteral("Question 2"));
        {
            ShareAway away(repo.root());
            QTest::mouseClick(h.button(QStringLiteral("Command1")), Qt::LeftButton);
            QCOMPARE(h.questionText(), QStringLiteral("Question 1"));
            QTest::mouseClick(h.option(2), Qt::LeftButton);
            repo.saveTimer()->fire();
            QVERIFY(!warning->isHidden());
            // A question never shown before needs the share.
            QTest::mouseClick(h.questionButton(3), Qt::LeftButton);
            QCOMPARE(h.questionText(), QStringLiteral("找不到试题文件: q3.RTF"));
        }
        repo.saveTimer()->fire();
        QVERIFY(warning->isHidden());
        QCOMPARE(repo.result(QStringLiteral("DA1")), QStringLiteral("2"));
        QTest::mouseClick(h.questionButton(3), Qt::LeftButton);
        QCOMPARE(h.questionText(), QStringLiteral("Question 3"));
    }

    void failedSaveIsShownInTheWindow()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        Harness h(repo);
        QLabel *warning = h.control<QLabel>(QStringLiteral("Lab保存提示"));
        QVERIFY(warning->isHidden());
        QVERIFY(QDir(repo.resultsFolder()).removeRecursively());
        repo.saveTimer()->fire();
        QVERIFY(!warning->isHidden());
        QVERIFY(!warning->text().isEmpty());
        QVERIFY(QDir().mkpath(repo.resultsFolder()));
        repo.saveTimer()->fire();
        QVERIFY(warning->isHidden());
    }

    void practiceShowsAnswerAndExplanation()
    {
        ExamRepository repo;
        repo.writePaper(2, 10, 1, {QStringLiteral("13"), QString()});
        repo.setMain(QStringLiteral("EXERCISEMODE"), QStringLiteral("1"));
        Harness h(repo);
        QPushButton *show = h.button(QStringLiteral("Command3"));
        QVERIFY(!show->isHidden());
        QCOMPARE(show->text(), QStringLiteral("显示答案"));
        QTest::mouseClick(h.option(1), Qt::LeftButton);

        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(show->text(), QStringLiteral("继续考试"));
        QVERIFY(!repo.clockTimer()->isActive());
        QVERIFY(!h.control(QStringLiteral("FrmExplain"))->isHidden());
        QCOMPARE(h.frameTitle(QStringLiteral("FrmExplain")), QStringLiteral("解题辅导"));
        QCOMPARE(h.control<QTextEdit>(QStringLiteral("Rich解题辅导"))->toPlainText(),
                 QStringLiteral("Explanation 1"));
        QCOMPARE(h.frameTitle(QStringLiteral("Fram_题目")),
                 QStringLiteral("题号:1      分值:1   标准答案: 13  您答错了!"));
        QCOMPARE(colourOf(h.option(1)), Green);
        QCOMPARE(colourOf(h.option(3)), Green);
        QCOMPARE(colourOf(h.option(2)), Teal);
        QTest::mouseClick(h.button(QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(h.frameTitle(QStringLiteral("Fram_题目")),
                 QStringLiteral("题号:2      分值:1 本题标准答案尚未输入."));

        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(show->text(), QStringLiteral("显示答案"));
        QVERIFY(repo.clockTimer()->isActive());
        QVERIFY(h.control(QStringLiteral("FrmExplain"))->isHidden());
        QCOMPARE(h.labelText(QStringLiteral("Lab_TIMER")), QStringLiteral("00:10:00"));
    }

    void reviewIsReadOnly()
    {
        ExamRepository repo;
        repo.writePaper(22, 30, 1, QStringList(22, QStringLiteral("2")));
        for (int k = 1; k <= 22; ++k) {
            repo.setResult(QStringLiteral("SX%1").arg(k), QString::number(23 - k));
            repo.setResult(QStringLiteral("DA%1").arg(k),
                           k % 2 ? QStringLiteral("2") : QStringLiteral("0"));
        }
        repo.setResult(QStringLiteral("TIME2"), QStringLiteral("00:12:00"));
        repo.setResult(QStringLiteral("DF"), QStringLiteral("11"));
        const QByteArray before = repo.resultBytes();

        Harness h(repo, false, true);
        QSignalSpy ended(h.window.get(), &ExamWindow::examEnded);
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral("期中测验  |查阅试卷|")));
        QVERIFY(!h.control(QStringLiteral("Frame2"))->isEnabled());
        QCOMPARE(h.button(QStringLiteral("Command6"))->text(), QStringLiteral("退出"));
        QCOMPARE(h.labelText(QStringLiteral("Label1")), QStringLiteral("成绩:11"));
        QVERIFY(h.control(QStringLiteral("Lab_TIMER"))->isHidden());
        QVERIFY(!h.button(QStringLiteral("Command3"))->isHidden());
        // Position 1 shows question 22 (not answered): the standard answer in green, the verdict.
        QCOMPARE(h.frameTitle(QStringLiteral("Fram_题目")),
                 QStringLiteral("题号:1      分值:1   标准答案: 2  您尚未做题!"));
        QCOMPARE(colourOf(h.option(2)), Green);
        QCOMPARE(colourOf(h.questionButton(1)), DarkRed);
        QCOMPARE(colourOf(h.questionButton(2)), Green); // question 21
        // The second page colours each button after its own position.
        h.control<QScrollBar>(QStringLiteral("VSlquestion"))->setValue(20);
        QCOMPARE(h.questionButton(1)->text(), QStringLiteral("21"));
        QCOMPARE(colourOf(h.questionButton(1)), DarkRed); // question 2, unanswered
        QCOMPARE(colourOf(h.questionButton(2)), Green);   // question 1, right
        QVERIFY(!h.questionButton(3)->isVisibleTo(h.window.get()));

        QVERIFY(!repo.clockTimer()->isActive() && !repo.saveTimer()->isActive());
        h.dialogs.answerQuestion(true);
        QTest::mouseClick(h.button(QStringLiteral("Command6")), Qt::LeftButton);
        QCOMPARE(h.dialogs.calls().last().text, QStringLiteral("您是否要退出?"));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(repo.resultBytes(), before);
    }

    void programOpensTheWindowOnItsOwnFolder()
    {
        ExamRepository repo;
        repo.writePaper(3, 45, 1);
        CandidateState state = repo.state();
        FakeDialogs dialogs;
        QPointer<ExamWindow> window =
            openExamWindow(repo.root(), state, dialogs, repo.random, repo.clock);
        QVERIFY(window->isVisible());
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(state.runsLocally);
        QCOMPARE(window->findChild<QTextEdit *>(QStringLiteral("Rich题目"))->toPlainText(),
                 QStringLiteral("Question 1"));
        QCOMPARE(window->session().clockTimer()->interval(), 1000);
        QVERIFY(window->session().saveTimer()->isActive());
        QCOMPARE(repo.result(QStringLiteral("TIME")), QStringLiteral("00:45:00"));
        delete window;
    }
};

QTEST_MAIN(TestExamWindow)
#include "tst_exam_window.moc"
