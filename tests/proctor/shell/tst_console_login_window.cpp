#include "proctor/shell/login_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/repository_fixture.h"
#include "window_driving.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace exam::platform;

using exam::LoginWindow;

class TestLoginWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldLetInWithTheStoredPassword_data();
    void shouldLetInWithTheStoredPassword();
    void shouldLetInAtOnceWhenNoPasswordIsStored_data();
    void shouldLetInAtOnceWhenNoPasswordIsStored();
    void shouldReadThePasswordAgainOnActivation();
    void shouldEndOnCancelAndPressF1ForHelp();
};

namespace {

using window_driving::findControl;

// Types the text key by key; characters without a key of their own arrive as an input method
// would deliver them.
void type(QLineEdit *box, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(box, c.toLatin1());
        else
            box->insert(QString(c));
    }
}

} // namespace

void TestLoginWindow::shouldLetInWithTheStoredPassword_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("admitted");

    QTest::newRow("same letters") << "Exam2024"
                                  << "Exam2024" << true;
    QTest::newRow("stored with blanks around") << " Exam2024 "
                                               << "Exam2024" << true;
    QTest::newRow("typed with blanks around") << "Exam2024"
                                              << " Exam2024  " << true;
    QTest::newRow("other case") << " Exam2024 "
                                << "exam2024" << false;
    QTest::newRow("empty") << "Exam2024"
                           << "" << false;
    QTest::newRow("chinese") << "考务"
                             << "考务" << true;
}

void TestLoginWindow::shouldLetInWithTheStoredPassword()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, admitted);

    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile(
        {QStringLiteral("[admin]"), QStringLiteral("pwd=%1").arg(stored)}));
    FakeDialogs dialogs;
    LoginWindow window(repository.systemProfile(), dialogs);
    QSignalSpy loggedIn(&window, &LoginWindow::loggedIn);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.objectName(), QStringLiteral("考务登录"));
    QCOMPARE(window.windowTitle(), QStringLiteral("登录"));
    QCOMPARE(loggedIn.size(), 0);

    auto *box = findControl<QLineEdit>(window, "Text1");
    QVERIFY(box);
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    QVERIFY(!findControl<QLineEdit>(window, "Text2")->isVisible());
    auto *prompt = window.findChild<QLabel *>();
    QCOMPARE(prompt->text(), QStringLiteral("请输入口令:"));
    QCOMPARE(prompt->buddy(), box);

    type(box, typed);
    QTest::mouseClick(findControl<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(loggedIn.size(), admitted ? 1 : 0);
    QCOMPARE(dialogs.messages(),
             admitted ? QStringList()
                      : QStringList{QStringLiteral("您输入的密码有误,请重新输入！")});
    if (!admitted) {
        QVERIFY(box->text().isEmpty());
        QVERIFY(box->hasFocus());
    }
}

void TestLoginWindow::shouldLetInAtOnceWhenNoPasswordIsStored_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("no system profile") << QStringList();
    QTest::newRow("no pwd key") << QStringList{QStringLiteral("[Admin]")};
    QTest::newRow("blank password")
        << QStringList{QStringLiteral("[Admin]"), QStringLiteral("pwd=   ")};
}

void TestLoginWindow::shouldLetInAtOnceWhenNoPasswordIsStored()
{
    QFETCH(QStringList, lines);
    RepositoryFixture repository;
    if (!lines.isEmpty())
        QVERIFY(repository.writeSystemProfile(lines));
    FakeDialogs dialogs;
    LoginWindow window(repository.systemProfile(), dialogs);
    QSignalSpy loggedIn(&window, &LoginWindow::loggedIn);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(loggedIn.size(), 1);
    QVERIFY(dialogs.calls().isEmpty());
}

void TestLoginWindow::shouldReadThePasswordAgainOnActivation()
{
    RepositoryFixture repository;
    QVERIFY(
        repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=first")}));
    FakeDialogs dialogs;
    LoginWindow window(repository.systemProfile(), dialogs);
    QSignalSpy loggedIn(&window, &LoginWindow::loggedIn);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QVERIFY(
        repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=second")}));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    auto *box = findControl<QLineEdit>(window, "Text1");
    QTest::keyClicks(box, QStringLiteral("first"));
    QTest::mouseClick(findControl<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(loggedIn.size(), 0);
    QTest::keyClicks(box, QStringLiteral("second"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(loggedIn.size(), 1);
}

void TestLoginWindow::shouldEndOnCancelAndPressF1ForHelp()
{
    struct F1Counter : QObject
    {
        int presses = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress &&
                static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1)
                ++presses;
            return false;
        }
    } counter;

    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=x")}));
    FakeDialogs dialogs;
    LoginWindow window(repository.systemProfile(), dialogs);
    QSignalSpy cancelled(&window, &LoginWindow::cancelled);
    window.installEventFilter(&counter);
    QTest::mouseClick(findControl<QPushButton>(window, "Command3"), Qt::LeftButton);
    QCOMPARE(counter.presses, 1);
    QCOMPARE(cancelled.size(), 0);
    QTest::mouseClick(findControl<QPushButton>(window, "Command2"), Qt::LeftButton);
    QCOMPARE(cancelled.size(), 1);
}

QTEST_MAIN(TestLoginWindow)
#include "tst_console_login_window.moc"
