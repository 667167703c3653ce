#include "proctor/shell/console_flow.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/repository_fixture.h"
#include "proctor/shell/picture_button.h"
#include "window_driving.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace exam::platform;

using exam::ConsoleFlow;

class TestConsoleFlow : public QObject
{
    Q_OBJECT

private slots:
    void shouldSkipTheLoginWithoutAStoredPassword_data();
    void shouldSkipTheLoginWithoutAStoredPassword();
    void shouldAskForTheStoredPasswordBeforeTheMenu();
    void shouldEndFromTheLoginAndFromTheMenu();
};

namespace {

ConsoleFlow::Settings settings(const RepositoryFixture &repository, int splashMs = 3000)
{
    return {repository.systemProfile(), QStringLiteral("5.2.0"), splashMs};
}

template <typename T> T *child(QWidget *window, const char *name)
{
    return window_driving::findControl<T>(*window, QString::fromUtf8(name));
}

} // namespace

void TestConsoleFlow::shouldSkipTheLoginWithoutAStoredPassword_data()
{
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("key on the splash") << false;
    QTest::newRow("splash timer") << true;
}

void TestConsoleFlow::shouldSkipTheLoginWithoutAStoredPassword()
{
    QFETCH(bool, byTimer);
    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=")}));
    FakeDialogs dialogs;
    int quits = 0;
    ConsoleFlow flow(settings(repository, byTimer ? 20 : 3000), {}, dialogs, [&quits] { ++quits; });
    flow.start();
    QVERIFY(flow.splash());
    QVERIFY(flow.splash()->isVisible());
    QVERIFY(!flow.menu());

    if (byTimer) {
        QSignalSpy finished(flow.splash(), &exam::SplashWindow::finished);
        QVERIFY(finished.wait());
    } else {
        QTest::keyClick(flow.splash(), Qt::Key_Return);
    }
    QVERIFY(flow.menu());
    QVERIFY(flow.menu()->isVisible());
    QVERIFY(!flow.login());
    QTRY_VERIFY(!flow.splash());
    QCOMPARE(quits, 0);
    QVERIFY(dialogs.calls().isEmpty());
}

void TestConsoleFlow::shouldAskForTheStoredPasswordBeforeTheMenu()
{
    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd= Pw ")}));
    FakeDialogs dialogs;
    ConsoleFlow flow(settings(repository), {}, dialogs, [] {});
    flow.start();
    QTest::mouseClick(child<QWidget>(flow.splash(), "Image1"), Qt::LeftButton);
    QVERIFY(flow.login());
    QVERIFY(flow.login()->isVisible());
    QVERIFY(!flow.menu());

    auto *box = child<QLineEdit>(flow.login(), "Text1");
    QTest::keyClicks(box, QStringLiteral("pw"));
    QTest::mouseClick(child<QPushButton>(flow.login(), "Command1"), Qt::LeftButton);
    QVERIFY(!flow.menu());
    QCOMPARE(dialogs.messages().size(), 1);

    QTest::keyClicks(box, QStringLiteral("Pw"));
    QTest::mouseClick(child<QPushButton>(flow.login(), "Command1"), Qt::LeftButton);
    QVERIFY(flow.menu());
    QVERIFY(flow.menu()->isVisible());
    QTRY_VERIFY(!flow.login());
}

void TestConsoleFlow::shouldEndFromTheLoginAndFromTheMenu()
{
    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=x")}));
    FakeDialogs dialogs;
    int quits = 0;
    ConsoleFlow flow(settings(repository), {}, dialogs, [&quits] { ++quits; });
    flow.start();
    QTest::keyClick(flow.splash(), Qt::Key_Escape);
    QTest::mouseClick(child<QPushButton>(flow.login(), "Command2"), Qt::LeftButton);
    QCOMPARE(quits, 1);

    QTest::keyClicks(child<QLineEdit>(flow.login(), "Text1"), QStringLiteral("x"));
    QTest::mouseClick(child<QPushButton>(flow.login(), "Command1"), Qt::LeftButton);
    QVERIFY(flow.menu());
    QTest::mouseClick(flow.menu()->button(7), Qt::LeftButton);
    QCOMPARE(quits, 2);
}

QTEST_MAIN(TestConsoleFlow)
#include "tst_console_flow.moc"
