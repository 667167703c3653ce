#include "candidate/login_rules.h"
#include "candidate/login_window.h"

#include "login_test_repository.h"

#include "platform/dialogs/fake_dialogs.h"
#include "window_driving.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace exam::candidate;
using namespace exam::platform;

class TestLoginWindow : public QObject
{
    Q_OBJECT

private:
    struct Setup
    {
        LoginTestRepository repo;
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        std::unique_ptr<LoginWindow> window;

        explicit Setup(bool fill = true)
        {
            if (fill)
                repo.fillStandard();
            window = std::make_unique<LoginWindow>(repo.root(), state, dialogs, prompt);
        }
        template <typename T> T *child(const QString &name) const
        {
            return window_driving::findControl<T>(*window, name);
        }
        QComboBox *papers() const { return child<QComboBox>(QStringLiteral("Combo1")); }
        QComboBox *classes() const { return child<QComboBox>(QStringLiteral("Combo2")); }
        QLineEdit *edit(const char *name) const { return child<QLineEdit>(QLatin1String(name)); }
        QPushButton *button(const QString &name) const { return child<QPushButton>(name); }
        void showStarted()
        {
            QVERIFY(window->start());
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        // As a student does: the class list takes the focus (so the paper list is left), then
        // an entry is picked.
        void chooseClass(const QString &name)
        {
            classes()->setFocus();
            QTRY_VERIFY(classes()->hasFocus());
            classes()->setCurrentIndex(classes()->findText(name));
            QCOMPARE(classes()->currentText(), name);
        }
    };

    static QString labelFor(QWidget *window, QWidget *field)
    {
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->buddy() == field)
                return label->text();
        }
        return {};
    }

private slots:
    void shouldShowEveryControlWithItsCaption()
    {
        Setup s;
        s.showStarted();
        QCOMPARE(s.window->objectName(), QStringLiteral("考试登录"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("考试登录"));
        QCOMPARE(labelFor(s.window.get(), s.papers()), QStringLiteral("请选择试卷:"));
        QCOMPARE(labelFor(s.window.get(), s.classes()), QStringLiteral("请选择班级:"));
        QCOMPARE(labelFor(s.window.get(), s.edit("Text1")), QStringLiteral("请输入考号:"));
        QCOMPARE(labelFor(s.window.get(), s.edit("Text2")), QStringLiteral("请输入考生姓名:"));
        QCOMPARE(labelFor(s.window.get(), s.edit("Text3")), QStringLiteral("曾用名（可不输）:"));
        QCOMPARE(s.edit("Text1")->toolTip(), QStringLiteral("考号必须为数字"));
        QCOMPARE(s.button(QStringLiteral("Command1"))->text(), QStringLiteral("登录"));
        QCOMPARE(s.button(QStringLiteral("Command2"))->text(), QStringLiteral("取消"));
        QCOMPARE(s.button(QStringLiteral("Command查看成绩"))->text(), QStringLiteral("查看成绩"));
        QVERIFY(s.button(QStringLiteral("Command1"))->isDefault());

        QCOMPARE(s.papers()->count(), 2);
        QCOMPARE(s.papers()->currentText(), StandardPaper);
        QCOMPARE(s.classes()->findText(QStringLiteral("一班")), -1);
        QCOMPARE(s.classes()->currentText(), QString()); // the student picks his class himself
        QVERIFY(s.button(QStringLiteral("Command1"))->isEnabled());
        QVERIFY(!s.button(QStringLiteral("Command查看成绩"))->isEnabled());
    }

    void shouldEndAtStartupWithoutPapers()
    {
        Setup s(false);
        QVERIFY(!s.window->start());
        QCOMPARE(s.dialogs.messages(), QStringList{LoginTexts::NoPapers});
    }

    void shouldSwitchButtonsWhenReviewPaperIsChosen()
    {
        Setup s;
        s.showStarted();
        s.papers()->setFocus();
        QTest::keyClick(s.papers(), Qt::Key_Down);
        QCOMPARE(s.papers()->currentText(), QStringLiteral("复习卷"));
        QVERIFY(!s.button(QStringLiteral("Command1"))->isEnabled());
        QVERIFY(s.button(QStringLiteral("Command查看成绩"))->isEnabled());
    }

    void shouldListMoreClassesOnceThePaperListIsLeft()
    {
        Setup s;
        s.showStarted();
        s.papers()->setFocus();
        QTRY_VERIFY(s.papers()->hasFocus());
        s.edit("Text1")->setFocus();
        QTRY_COMPARE(s.classes()->count(), 2);
        QCOMPARE(s.classes()->itemText(1), QStringLiteral("一班"));

        // Going back to the paper list keeps a class that is still listed...
        s.chooseClass(QStringLiteral("一班"));
        s.papers()->setFocus();
        QTRY_VERIFY(s.papers()->hasFocus());
        s.edit("Text2")->setFocus();
        QTRY_VERIFY(s.edit("Text2")->hasFocus());
        QCOMPARE(s.classes()->currentText(), QStringLiteral("一班"));

        // ...and drops one the newly chosen paper does not admit.
        s.repo.admit(QStringLiteral("复习卷"), QStringLiteral("一班"), QStringLiteral("0"));
        s.papers()->setFocus();
        QTRY_VERIFY(s.papers()->hasFocus());
        QTest::keyClick(s.papers(), Qt::Key_Down);
        s.edit("Text2")->setFocus();
        QTRY_VERIFY(s.edit("Text2")->hasFocus());
        QCOMPARE(s.classes()->findText(QStringLiteral("一班")), -1);
        QCOMPARE(s.classes()->currentText(), QString());
    }

    void shouldNotLeaveThePaperListWhenTheWindowIsDeactivated()
    {
        Setup s;
        s.showStarted();
        s.papers()->setFocus();
        QTRY_VERIFY(s.papers()->hasFocus());
        QCOMPARE(s.classes()->count(), 1);
        // Another window (a message box, another program) takes the keyboard: the focus has not
        // moved on to another field of this window, so the classes stay as they are.
        QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(s.papers(), &deactivated);
        QCOMPARE(s.classes()->count(), 1);
        s.edit("Text1")->setFocus();
        QTRY_COMPARE(s.classes()->count(), 2);
    }

    void shouldTakeOnlyDigitsInTheNumberField()
    {
        Setup s;
        s.showStarted();
        QTest::keyClicks(s.edit("Text1"), QStringLiteral("0a0-7. x"));
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("007"));
        typeText(s.edit("Text1"), QStringLiteral("７一"));
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("007"));
        // Pasted text is held to digits too.
        QApplication::clipboard()->setText(QStringLiteral("12a"));
        s.edit("Text1")->paste();
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("007"));
        QTest::keyClick(s.edit("Text1"), Qt::Key_Backspace);
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("00"));
    }

    void shouldEditTheNumberWithTheUsualKeys()
    {
        Setup s;
        s.showStarted();
        QLineEdit *number = s.edit("Text1");
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("1005"));
        // Retyping after select-all replaces the number instead of appending to it.
        QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(number, QStringLiteral("1004"));
        QCOMPARE(number->text(), QStringLiteral("1004"));
        QTest::keyClick(number, Qt::Key_Home);
        QTest::keyClick(number, Qt::Key_Delete);
        QTest::keyClick(number, Qt::Key_Right);
        QTest::keyClicks(number, QStringLiteral("9"));
        QCOMPARE(number->text(), QStringLiteral("0904"));
        QTest::keyClick(number, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(number, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(number->text(), QStringLiteral("09"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("04"));
        // A pasted run of digits goes in; one with anything else does not.
        QApplication::clipboard()->setText(QStringLiteral("1003"));
        QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(number->text(), QStringLiteral("1003"));
        QApplication::clipboard()->setText(QStringLiteral("10-3"));
        QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(number->text(), QStringLiteral("1003"));
    }

    void shouldLogInWithEnterAndNormalizeTheNumber()
    {
        Setup s;
        s.showStarted();
        QSignalSpy admitted(s.window.get(), &LoginWindow::admitted);
        s.chooseClass(StandardClass);
        typeText(s.edit("Text2"), QStringLiteral("张三"));
        QTest::keyClicks(s.edit("Text1"), QStringLiteral("001001"));
        QTest::keyClick(s.edit("Text1"), Qt::Key_Return);
        QCOMPARE(admitted.count(), 1);
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("1001"));
        QCOMPARE(s.repo.result(StandardPaper, StandardClass, QStringLiteral("1001"), {}),
                 QStringLiteral("张三"));
        QVERIFY(s.dialogs.calls().isEmpty());
    }

    void shouldShowAdmissionMessageAndStay()
    {
        Setup s;
        s.showStarted();
        QSignalSpy admitted(s.window.get(), &LoginWindow::admitted);
        s.chooseClass(StandardClass);
        QTest::keyClicks(s.edit("Text1"), QStringLiteral("0099"));
        typeText(s.edit("Text2"), QStringLiteral("张三"));
        QTest::mouseClick(s.button(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(admitted.count(), 0);
        QCOMPARE(s.dialogs.messages(), QStringList{LoginTexts::WrongNumber});
        QCOMPARE(s.edit("Text1")->text(), QStringLiteral("99"));
        QTRY_VERIFY(s.edit("Text1")->hasFocus());
        QCOMPARE(s.edit("Text2")->text(), QStringLiteral("张三"));
    }

    void shouldRequireClassChoice()
    {
        Setup s;
        s.showStarted();
        QTest::keyClicks(s.edit("Text1"), QStringLiteral("1001"));
        QTest::mouseClick(s.button(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(s.dialogs.messages(), QStringList{LoginTexts::ChooseClass});
    }

    void shouldReviewFinishedPaperWithoutWriting()
    {
        Setup s;
        const QString review = QStringLiteral("复习卷");
        s.repo.setResult(review, StandardClass, QStringLiteral("1002"), {}, QStringLiteral("李四"));
        s.repo.setResult(review, StandardClass, QStringLiteral("1002"), QStringLiteral("TIME2"),
                         QStringLiteral("00:00:09"));
        const QByteArray before = s.repo.resultBytes(review, StandardClass, QStringLiteral("1002"));
        s.showStarted();
        QSignalSpy admitted(s.window.get(), &LoginWindow::admitted);
        s.papers()->setFocus();
        QTest::keyClick(s.papers(), Qt::Key_Down);
        s.edit("Text1")->setFocus();
        QTRY_VERIFY(s.classes()->findText(StandardClass) >= 0);
        s.chooseClass(StandardClass);
        QTest::keyClicks(s.edit("Text1"), QStringLiteral("1002"));
        typeText(s.edit("Text2"), QStringLiteral("李四"));
        QTest::mouseClick(s.button(QStringLiteral("Command查看成绩")), Qt::LeftButton);
        QCOMPARE(admitted.count(), 1);
        QVERIFY(s.state.reviewMode);
        QCOMPARE(s.state.paperName, review);
        QCOMPARE(s.repo.resultBytes(review, StandardClass, QStringLiteral("1002")), before);
    }

    void shouldCloseOnCancel()
    {
        Setup s;
        s.showStarted();
        QTest::mouseClick(s.button(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(!s.window->isVisible());
        QVERIFY(s.dialogs.calls().isEmpty());
    }

    void shouldLimitNameLengthBelowStoredValueLimit()
    {
        Setup s;
        s.showStarted();
        typeText(s.edit("Text2"), QString(MaxNameLength + 10, QChar(0x9F8D)));
        QCOMPARE(s.edit("Text2")->text().size(), MaxNameLength);
        QVERIFY(s.edit("Text2")->text().toUtf8().size() <= 255);
    }
};

QTEST_MAIN(TestLoginWindow)
#include "tst_login_window.moc"
