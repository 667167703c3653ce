#include "proctor/shell/main_menu_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/shell/picture_button.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace exam::platform;

using exam::MainMenuWindow;
using exam::MenuOpeners;
using exam::PictureButton;

class TestMainMenuWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldNameEveryButtonForPeopleAndTools();
    void shouldHighlightOnlyTheButtonUnderTheMouse_data();
    void shouldHighlightOnlyTheButtonUnderTheMouse();
    void shouldOpenEachWindowThroughItsOpener_data();
    void shouldOpenEachWindowThroughItsOpener();
    void shouldSayWhenAWindowIsNotAvailable();
    void shouldPressF1ForHelpAndAskToExit();
};

namespace {

QList<int> highlightedButtons(const MainMenuWindow &menu)
{
    QList<int> result;
    for (int i = 1; i <= 7; ++i) {
        if (menu.button(i)->isHighlighted())
            result << i;
    }
    return result;
}

// Every opener records its number and the parent it was given.
MenuOpeners recordingOpeners(QList<int> &opened, QWidget *&parent)
{
    const auto opener = [&opened, &parent](int number) {
        return [&opened, &parent, number](QWidget *given) {
            opened << number;
            parent = given;
        };
    };
    return {opener(1), opener(2), opener(3), opener(4), opener(5)};
}

} // namespace

void TestMainMenuWindow::shouldNameEveryButtonForPeopleAndTools()
{
    FakeDialogs dialogs;
    MainMenuWindow menu({}, dialogs);
    QCOMPARE(menu.objectName(), QStringLiteral("考务管理"));
    QCOMPARE(menu.windowTitle(), QStringLiteral("教师端"));
    QVERIFY(menu.findChild<QLabel *>(QStringLiteral("Image2")));
    const QStringList names = {QStringLiteral("试卷管理"), QStringLiteral("考场管理"),
                               QStringLiteral("班级管理"), QStringLiteral("成绩管理"),
                               QStringLiteral("设置密码"), QStringLiteral("帮助"),
                               QStringLiteral("退出")};
    for (int i = 1; i <= 7; ++i) {
        auto *button = menu.findChild<PictureButton *>(QStringLiteral("Imgcmd_%1").arg(i));
        QVERIFY(button);
        QCOMPARE(button, menu.button(i));
        QCOMPARE(button->accessibleName(), names.at(i - 1));
        QVERIFY(button->text().isEmpty());
        QCOMPARE(button->tag(), QStringLiteral("1"));
    }
    QVERIFY(!menu.button(0));
    QVERIFY(!menu.button(8));
}

void TestMainMenuWindow::shouldHighlightOnlyTheButtonUnderTheMouse_data()
{
    // Where the mouse goes: a button number, or 0 for a free spot of the background.
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<QList<int>>("highlighted");

    QTest::newRow("one button") << QList<int>{2} << QList<int>{2};
    QTest::newRow("button to button") << QList<int>{1, 4} << QList<int>{4};
    QTest::newRow("all the way round") << QList<int>{1, 2, 3, 4, 5, 6, 7, 3} << QList<int>{3};
    QTest::newRow("onto the background") << QList<int>{6, 0} << QList<int>{};
    QTest::newRow("back onto a button") << QList<int>{6, 0, 7} << QList<int>{7};
}

void TestMainMenuWindow::shouldHighlightOnlyTheButtonUnderTheMouse()
{
    QFETCH(QList<int>, path);
    QFETCH(QList<int>, highlighted);

    FakeDialogs dialogs;
    MainMenuWindow menu({}, dialogs);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    for (int step : path) {
        if (step == 0)
            QTest::mouseMove(&menu, QPoint(8, menu.height() - 8));
        else
            QTest::mouseMove(menu.button(step));
    }
    QCOMPARE(highlightedButtons(menu), highlighted);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(menu.button(i)->tag(),
                 highlighted.contains(i) ? QStringLiteral("2") : QStringLiteral("1"));
    QCOMPARE(menu.highlight().highlighted(), highlighted);
}

void TestMainMenuWindow::shouldOpenEachWindowThroughItsOpener_data()
{
    QTest::addColumn<int>("button");
    for (int i = 1; i <= 5; ++i)
        QTest::addRow("button %d", i) << i;
}

void TestMainMenuWindow::shouldOpenEachWindowThroughItsOpener()
{
    QFETCH(int, button);
    FakeDialogs dialogs;
    QList<int> opened;
    QWidget *parent = nullptr;
    MainMenuWindow menu(recordingOpeners(opened, parent), dialogs);
    menu.show();
    QTest::mouseClick(menu.button(button), Qt::LeftButton);
    QCOMPARE(opened, QList<int>{button});
    QCOMPARE(parent, &menu);
    QVERIFY(dialogs.calls().isEmpty());
}

void TestMainMenuWindow::shouldSayWhenAWindowIsNotAvailable()
{
    FakeDialogs dialogs;
    QList<int> opened;
    QWidget *parent = nullptr;
    MenuOpeners openers = recordingOpeners(opened, parent);
    openers.papers = {};
    openers.results = {};
    MainMenuWindow menu(openers, dialogs);
    menu.show();
    QTest::mouseClick(menu.button(1), Qt::LeftButton);
    QTest::mouseClick(menu.button(4), Qt::LeftButton);
    QTest::mouseClick(menu.button(3), Qt::LeftButton);
    QCOMPARE(opened, QList<int>{3});
    QCOMPARE(dialogs.messages(), (QStringList{QStringLiteral("“试卷管理”功能暂未提供。"),
                                              QStringLiteral("“成绩管理”功能暂未提供。")}));
}

void TestMainMenuWindow::shouldPressF1ForHelpAndAskToExit()
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

    FakeDialogs dialogs;
    MainMenuWindow menu({}, dialogs);
    QSignalSpy exit(&menu, &MainMenuWindow::exitRequested);
    menu.installEventFilter(&counter);
    menu.show();
    QTest::mouseClick(menu.button(6), Qt::LeftButton);
    QCOMPARE(counter.presses, 1);
    QCOMPARE(exit.size(), 0);
    // The picture buttons work from the keyboard too.
    menu.button(7)->setFocus();
    QTest::keyClick(menu.button(7), Qt::Key_Space);
    QCOMPARE(exit.size(), 1);
    QVERIFY(dialogs.calls().isEmpty());
}

QTEST_MAIN(TestMainMenuWindow)
#include "tst_main_menu_window.moc"
