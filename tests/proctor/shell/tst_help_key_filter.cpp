#include "proctor/shell/help_key_filter.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/help_key.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace exam::platform;

using exam::HelpKeyFilter;

class TestHelpKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void shouldOpenHelpOnceForEachF1_data();
    void shouldOpenHelpOnceForEachF1();
    void shouldOpenHelpFromAHelpButton();
    void shouldSaySoWhenThereIsNoHelp();
};

void TestHelpKeyFilter::shouldOpenHelpOnceForEachF1_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QString>("typed");

    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << 1 << "";
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0 << "a";
    QTest::newRow("shift F1") << int(Qt::Key_F1) << int(Qt::ShiftModifier) << 0 << "";
}

void TestHelpKeyFilter::shouldOpenHelpOnceForEachF1()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, opened);
    QFETCH(QString, typed);

    int openings = 0;
    HelpKeyFilter filter([&openings] { ++openings; });
    qApp->installEventFilter(&filter);

    QWidget window;
    auto *edit = new QLineEdit(&window);
    (new QVBoxLayout(&window))->addWidget(edit);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    qApp->removeEventFilter(&filter);

    QCOMPARE(openings, opened);
    QCOMPARE(edit->text(), typed);
}

void TestHelpKeyFilter::shouldOpenHelpFromAHelpButton()
{
    int openings = 0;
    HelpKeyFilter filter([&openings] { ++openings; });
    qApp->installEventFilter(&filter);
    QWidget window;
    auto *edit = new QLineEdit(&window);
    exam::sendHelpKey(edit);
    exam::sendHelpKey(&window);
    qApp->removeEventFilter(&filter);
    QCOMPARE(openings, 2);
}

void TestHelpKeyFilter::shouldSaySoWhenThereIsNoHelp()
{
    QTemporaryDir programFolder;
    FakeDialogs dialogs;
    exam::openConsoleHelp(programFolder.path(), dialogs, nullptr);
    QCOMPARE(dialogs.messages(), QStringList{QString::fromUtf16(exam::HelpMissingMessage)});
}

QTEST_MAIN(TestHelpKeyFilter)
#include "tst_help_key_filter.moc"
