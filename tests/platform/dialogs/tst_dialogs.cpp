#include "platform/dialogs/fake_dialogs.h"
#include "platform/dialogs/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace exam::platform;

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void fakeShouldAnswerQuestionsInOrderThenWithTheDefault();
    void fakeShouldCancelUnscriptedInputs();
    void fakeShouldLetATestActBetweenSteps();
    void qtMessageBoxShouldCarryTheProgramNameAndDefaultButton_data();
    void qtMessageBoxShouldCarryTheProgramNameAndDefaultButton();
    void messageBoxesShouldCarryATitleTheCallerGives();
};

void TestDialogs::fakeShouldAnswerQuestionsInOrderThenWithTheDefault()
{
    FakeDialogs dialogs;
    dialogs.answerQuestion(false);
    dialogs.answerQuestion(true);
    QCOMPARE(dialogs.yesNo(nullptr, QStringLiteral("一")), false);
    QCOMPARE(dialogs.okCancel(nullptr, QStringLiteral("二"), Dialogs::Button::Cancel), true);
    QCOMPARE(dialogs.yesNo(nullptr, QStringLiteral("三"), Dialogs::Button::No), false);
    QCOMPARE(dialogs.okCancel(nullptr, QStringLiteral("四")), true);
    dialogs.message(nullptr, QStringLiteral("五"));
    QCOMPARE(dialogs.texts(),
             QStringList({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                          QStringLiteral("四"), QStringLiteral("五")}));
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("五")});
    QCOMPARE(dialogs.calls().at(2).defaultButton, Dialogs::Button::No);
}

void TestDialogs::fakeShouldCancelUnscriptedInputs()
{
    FakeDialogs dialogs;
    dialogs.answerInput(QStringLiteral(" 高一(1)班 "));
    QCOMPARE(dialogs.input(nullptr, QStringLiteral("p"), QStringLiteral("t")),
             std::optional<QString>(QStringLiteral(" 高一(1)班 ")));
    QCOMPARE(dialogs.input(nullptr, QStringLiteral("p"), QStringLiteral("t")), std::nullopt);
    QVERIFY(dialogs.openFile(nullptr, {}, {}, {}).isEmpty());
    QVERIFY(dialogs.chooseFolder(nullptr, {}, {}).isEmpty());
    QCOMPARE(dialogs.chooseColor(nullptr, Qt::red), std::nullopt);
    QCOMPARE(dialogs.calls().first().title, QStringLiteral("t"));
}

void TestDialogs::fakeShouldLetATestActBetweenSteps()
{
    FakeDialogs dialogs;
    int seen = 0;
    dialogs.onCall = [&](const FakeDialogs::Call &call) {
        if (call.kind == FakeDialogs::Kind::Message)
            ++seen;
    };
    dialogs.message(nullptr, QStringLiteral("a"));
    dialogs.yesNo(nullptr, QStringLiteral("b"));
    dialogs.message(nullptr, QStringLiteral("c"));
    QCOMPARE(seen, 2);
}

void TestDialogs::qtMessageBoxShouldCarryTheProgramNameAndDefaultButton_data()
{
    QTest::addColumn<bool>("yesNo");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<bool>("expected");
    QTest::newRow("yes/no, default no") << true << int(Dialogs::Button::No) << false;
    QTest::newRow("yes/no, default yes") << true << int(Dialogs::Button::Yes) << true;
    QTest::newRow("ok/cancel, default cancel") << false << int(Dialogs::Button::Cancel) << false;
    QTest::newRow("ok/cancel, default ok") << false << int(Dialogs::Button::Ok) << true;
}

void TestDialogs::qtMessageBoxShouldCarryTheProgramNameAndDefaultButton()
{
    QFETCH(bool, yesNo);
    QFETCH(int, defaultButton);
    QFETCH(bool, expected);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("考务管理系统"));

    QString title;
    QString shownText;
    // Pressing Enter in the box chooses its default button, as a user pressing Enter would.
    QTimer::singleShot(0, this, [&title, &shownText] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        shownText = box->text();
        box->defaultButton()->click();
    });
    QtDialogs dialogs;
    const auto button = static_cast<Dialogs::Button>(defaultButton);
    const bool answer =
        yesNo ? dialogs.yesNo(nullptr, QStringLiteral("第一行\r第二行\r\n继续?"), button)
              : dialogs.okCancel(nullptr, QStringLiteral("第一行\r第二行\r\n继续?"), button);
    QCOMPARE(answer, expected);
    QCOMPARE(title, QStringLiteral("考务管理系统"));
    QCOMPARE(shownText, QStringLiteral("第一行\n第二行\n继续?"));
}

void TestDialogs::messageBoxesShouldCarryATitleTheCallerGives()
{
    FakeDialogs fake;
    fake.message(nullptr, QStringLiteral("m"), Dialogs::Icon::Warning, QStringLiteral("班级管理"));
    fake.okCancel(nullptr, QStringLiteral("q"), Dialogs::Button::Ok, Dialogs::Icon::Question,
                  QStringLiteral("班级管理"));
    QCOMPARE(fake.calls().at(0).title, QStringLiteral("班级管理"));
    QCOMPARE(fake.calls().at(1).title, QStringLiteral("班级管理"));

    QGuiApplication::setApplicationDisplayName(QStringLiteral("考务管理系统"));
    QStringList titles;
    const auto closeNextBox = [this, &titles] {
        QTimer::singleShot(0, this, [&titles] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            titles << box->windowTitle();
            box->defaultButton()->click();
        });
    };
    QtDialogs dialogs;
    closeNextBox();
    dialogs.message(nullptr, QStringLiteral("m"), Dialogs::Icon::Warning,
                    QStringLiteral("班级管理"));
    closeNextBox();
    QVERIFY(dialogs.okCancel(nullptr, QStringLiteral("q"), Dialogs::Button::Ok,
                             Dialogs::Icon::Question, QStringLiteral("班级管理")));
    closeNextBox();
    dialogs.message(nullptr, QStringLiteral("m"));
    QCOMPARE(titles, (QStringList{QStringLiteral("班级管理"), QStringLiteral("班级管理"),
                                  QStringLiteral("考务管理系统")}));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
