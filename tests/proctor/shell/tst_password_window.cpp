#include "proctor/shell/password_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/repository_fixture.h"
#include "proctor/shell/console_password.h"
#include "repository/system_profile.h"
#include "window_driving.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace exam::platform;

using exam::PasswordWindow;

class TestPasswordWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldChangeThePasswordOnlyWhenBothChecksPass_data();
    void shouldChangeThePasswordOnlyWhenBothChecksPass();
    void shouldWriteNothingOnCancel();
    void shouldCreateTheSystemProfileWhenMissing();
    void shouldSaySoWhenThePasswordCannotBeStored();
    void shouldLabelEveryBox();
};

namespace {

using window_driving::findControl;

void fill(QWidget &window, const char *box, const QString &text)
{
    auto *edit = findControl<QLineEdit>(window, box);
    QVERIFY2(edit, box);
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    edit->setText(text);
}

QString storedPassword(const RepositoryFixture &repository)
{
    return exam::readAdminPassword(exam::ProfileSnapshot::load(repository.systemProfile()));
}

} // namespace

void TestPasswordWindow::shouldChangeThePasswordOnlyWhenBothChecksPass_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repetition");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("afterwards");
    QTest::addColumn<QStringList>("boxesLeft"); // texts of Text1, Text2, Text3 when refused

    QTest::newRow("changed") << " old "
                             << "old"
                             << " new1 "
                             << "new1" << true << "new1" << QStringList();
    QTest::newRow("wrong old password")
        << "old"
        << "OLD"
        << "new1"
        << "new1" << false << "old"
        << QStringList{QString(), QStringLiteral("new1"), QStringLiteral("new1")};
    QTest::newRow("repetition differs")
        << "old"
        << "old"
        << "new1"
        << "new2" << false << "old" << QStringList{QStringLiteral("old"), QString(), QString()};
    QTest::newRow("none stored, empty old box") << ""
                                                << ""
                                                << "abc"
                                                << "abc" << true << "abc" << QStringList();
    QTest::newRow("login switched off") << "old"
                                        << "old"
                                        << ""
                                        << "" << true << "" << QStringList();
}

void TestPasswordWindow::shouldChangeThePasswordOnlyWhenBothChecksPass()
{
    QFETCH(QString, stored);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repetition);
    QFETCH(bool, closed);
    QFETCH(QString, afterwards);
    QFETCH(QStringList, boxesLeft);

    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile(
        {QStringLiteral("[ClassName]"), QStringLiteral("ClassNameCount=0"),
         QStringLiteral("[Admin]"), QStringLiteral("pwd=%1").arg(stored)}));
    const QByteArray before = repository.systemProfileBytes();
    FakeDialogs dialogs;
    PasswordWindow window(repository.systemProfile(), dialogs);
    window.open();
    QCOMPARE(window.objectName(), QStringLiteral("设置密码"));
    QVERIFY(!findControl<QLineEdit>(window, "Text4")->isVisible());
    fill(window, "Text1", oldPassword);
    fill(window, "Text2", newPassword);
    fill(window, "Text3", repetition);
    QTest::mouseClick(findControl<QPushButton>(window, "Command1"), Qt::LeftButton);

    QCOMPARE(window.isVisible(), !closed);
    QCOMPARE(storedPassword(repository), afterwards);
    QCOMPARE(!exam::loginRequired(storedPassword(repository)), afterwards.isEmpty());
    if (closed) {
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(dialogs.calls().isEmpty());
    } else {
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("您输入的密码有误,请重新输入！")});
        QCOMPARE(repository.systemProfileBytes(), before);
        QCOMPARE(findControl<QLineEdit>(window, "Text1")->text(), boxesLeft.at(0));
        QCOMPARE(findControl<QLineEdit>(window, "Text2")->text(), boxesLeft.at(1));
        QCOMPARE(findControl<QLineEdit>(window, "Text3")->text(), boxesLeft.at(2));
    }
}

void TestPasswordWindow::shouldWriteNothingOnCancel()
{
    RepositoryFixture repository;
    QVERIFY(repository.writeSystemProfile({QStringLiteral("[Admin]"), QStringLiteral("pwd=old")}));
    const QByteArray before = repository.systemProfileBytes();
    FakeDialogs dialogs;
    PasswordWindow window(repository.systemProfile(), dialogs);
    window.open();
    fill(window, "Text1", QStringLiteral("old"));
    fill(window, "Text2", QStringLiteral("x"));
    fill(window, "Text3", QStringLiteral("x"));
    QTest::mouseClick(findControl<QPushButton>(window, "Command2"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QVERIFY(!window.isVisible());
    QCOMPARE(repository.systemProfileBytes(), before);
}

void TestPasswordWindow::shouldCreateTheSystemProfileWhenMissing()
{
    RepositoryFixture repository;
    QVERIFY(QDir(repository.root()).rmdir(QStringLiteral("sys")));
    FakeDialogs dialogs;
    PasswordWindow window(repository.systemProfile(), dialogs);
    window.open();
    fill(window, "Text2", QStringLiteral("start"));
    fill(window, "Text3", QStringLiteral("start"));
    QTest::mouseClick(findControl<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(storedPassword(repository), QStringLiteral("start"));
}

void TestPasswordWindow::shouldSaySoWhenThePasswordCannotBeStored()
{
    RepositoryFixture repository;
    QVERIFY(QDir().mkdir(repository.systemProfile()));
    FakeDialogs dialogs;
    PasswordWindow window(repository.systemProfile(), dialogs);
    window.open();
    fill(window, "Text2", QStringLiteral("new"));
    fill(window, "Text3", QStringLiteral("new"));
    QTest::mouseClick(findControl<QPushButton>(window, "Command1"), Qt::LeftButton);
    QVERIFY(window.isVisible());
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(dialogs.messages().first().contains(QStringLiteral("没有保存成功")));
}

void TestPasswordWindow::shouldLabelEveryBox()
{
    RepositoryFixture repository;
    FakeDialogs dialogs;
    PasswordWindow window(repository.systemProfile(), dialogs);
    QStringList captions;
    for (QLabel *label : window.findChildren<QLabel *>()) {
        QVERIFY(label->buddy());
        captions << label->text() + u'>' + label->buddy()->objectName();
    }
    captions.sort();
    QCOMPARE(captions, (QStringList{QStringLiteral("请再输一遍:>Text3"),
                                    QStringLiteral("输入新的密码:>Text2"),
                                    QStringLiteral("输入旧的密码:>Text1")}));
    QCOMPARE(findControl<QPushButton>(window, "Command1")->toolTip(),
             QStringLiteral("Save and return to main menu"));
    QCOMPARE(findControl<QPushButton>(window, "Command2")->toolTip(),
             QStringLiteral("Return to main menu"));
}

QTEST_MAIN(TestPasswordWindow)
#include "tst_password_window.moc"
