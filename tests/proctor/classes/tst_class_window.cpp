#include "proctor/classes/class_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/repository_fixture.h"
#include "repository/name_rules.h"
#include "repository/profile_file.h"
#include "repository/system_profile.h"
#include "window_driving.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace exam::platform;

using exam::ClassWindow;

class TestClassWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shouldShowTheClassTableWhenOpened();
    void shouldRefuseALastNumberThatLeavesTooFewNumbers_data();
    void shouldRefuseALastNumberThatLeavesTooFewNumbers();
    void shouldStayOpenWhenConfirmedFromARefusedField();
    void shouldMoveTheLastNumberWhenTheFirstNumberChanges();
    void shouldRefuseNumbersBeyondSixteenBits_data();
    void shouldRefuseNumbersBeyondSixteenBits();
    void shouldTellWhyANewNameIsRefused_data();
    void shouldTellWhyANewNameIsRefused();
    void shouldDeleteTheSecondOfThreeClasses();
    void shouldKeepTheLastClass();
    void shouldKeepTheClassWhenDeletingIsCancelled();
    void shouldLeaveTheFileUntouchedOnCancel();
    void shouldWriteTheTableInItsFixedOrder();
    void shouldKeepTheSelectionWhenTheListIsRefilled();
    void shouldPressF1ForHelp();
    void shouldSaySoWhenTheTableCannotBeStored();

private:
    template <typename T> T *child(const char *name) const
    {
        return window_driving::findControl<T>(*m_window, QString::fromUtf8(name));
    }
    void openWindow();
    void click(const char *button) const;
    void replaceText(const char *field, const QString &text) const;
    exam::ProfileSnapshot stored() const;

    std::unique_ptr<RepositoryFixture> m_repository;
    FakeDialogs m_dialogs;
    std::unique_ptr<ClassWindow> m_window;
};

namespace {

const QString ClassA = QStringLiteral("高一(1)班");
const QString ClassB = QStringLiteral("高一(2)班");
const QString ClassC = QStringLiteral("高一(3)班");

const QStringList ThreeClasses = {
    QStringLiteral("[ClassName]"),    QStringLiteral("ClassNameCount=3"),
    QStringLiteral("1=高一(1)班"),    QStringLiteral("2=高一(2)班"),
    QStringLiteral("3=高一(3)班"),    QStringLiteral("[ClassCount]"),
    QStringLiteral("高一(1)班=40"),   QStringLiteral("高一(2)班=45"),
    QStringLiteral("高一(3)班=30"),   QStringLiteral("[FirstNumber]"),
    QStringLiteral("高一(1)班=1001"), QStringLiteral("高一(2)班=2001"),
    QStringLiteral("高一(3)班=3001"), QStringLiteral("[LastNumber]"),
    QStringLiteral("高一(1)班=1040"), QStringLiteral("高一(2)班=2045"),
    QStringLiteral("高一(3)班=3050"), QStringLiteral("[Admin]"),
    QStringLiteral("pwd=secret"),
};

} // namespace

void TestClassWindow::init()
{
    m_repository = std::make_unique<RepositoryFixture>();
    QVERIFY(m_repository->isValid());
    QVERIFY(m_repository->writeSystemProfile(ThreeClasses));
    m_dialogs.clear();
}

void TestClassWindow::cleanup()
{
    m_window.reset();
    m_repository.reset();
}

void TestClassWindow::openWindow()
{
    m_window = std::make_unique<ClassWindow>(m_repository->systemProfile(), m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestClassWindow::click(const char *button) const
{
    auto *widget = child<QPushButton>(button);
    QVERIFY2(widget, button);
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Selects the field's text, types over it and leaves the field with Tab, as a teacher would.
void TestClassWindow::replaceText(const char *field, const QString &text) const
{
    auto *edit = child<QLineEdit>(field);
    QVERIFY2(edit, field);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

exam::ProfileSnapshot TestClassWindow::stored() const
{
    return exam::ProfileSnapshot::load(m_repository->systemProfile());
}

void TestClassWindow::shouldShowTheClassTableWhenOpened()
{
    openWindow();
    QCOMPARE(m_window->objectName(), QStringLiteral("班级管理"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("班级管理"));
    auto *list = child<QListWidget>("List1");
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(2)->text(), ClassC);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(child<QLineEdit>("Text1")->text(), ClassA);
    QCOMPARE(child<QLineEdit>("Text2")->text(), QStringLiteral("40"));
    QCOMPARE(child<QLineEdit>("Text3")->text(), QStringLiteral("1001"));
    QCOMPARE(child<QLineEdit>("Text4")->text(), QStringLiteral("1040"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(child<QLineEdit>("Text1")->text(), ClassB);
    QCOMPARE(child<QLineEdit>("Text4")->text(), QStringLiteral("2045"));
}

void TestClassWindow::shouldRefuseALastNumberThatLeavesTooFewNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("storedLast");

    QTest::newRow("1030 leaves 30 numbers for 40 students") << "1030" << true << "1040";
    QTest::newRow("1040 leaves exactly 40") << "1040" << false << "1040";
    QTest::newRow("1050 leaves 50") << "1050" << false << "1050";
}

void TestClassWindow::shouldRefuseALastNumberThatLeavesTooFewNumbers()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(QString, storedLast);

    openWindow();
    replaceText("Text4", typed);
    if (refused) {
        QCOMPARE(m_dialogs.messages(), QStringList{exam::LastNumberTooSmallMessage});
        QCOMPARE(m_dialogs.calls().first().title, QStringLiteral("班级管理"));
        QCOMPARE(child<QLineEdit>("Text4")->text(), QStringLiteral(" 1040"));
        QVERIFY(child<QLineEdit>("Text4")->hasFocus());
        QCOMPARE(child<QLineEdit>("Text4")->selectedText(), QStringLiteral(" 1040"));
    } else {
        QVERIFY(m_dialogs.messages().isEmpty());
    }
    click("Command1");
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QCOMPARE(stored().value(QStringLiteral("LastNumber"), ClassA), storedLast);
}

void TestClassWindow::shouldStayOpenWhenConfirmedFromARefusedField()
{
    openWindow();
    const QByteArray before = m_repository->systemProfileBytes();
    auto *last = child<QLineEdit>("Text4");
    last->setFocus();
    QTRY_VERIFY(last->hasFocus());
    last->selectAll();
    QTest::keyClicks(last, QStringLiteral("1030"));
    // Straight to "确定": leaving the field refuses it, and the window stays for the correction.
    click("Command1");
    QCOMPARE(m_dialogs.messages(), QStringList{exam::LastNumberTooSmallMessage});
    QVERIFY(m_window->isVisible());
    QVERIFY(last->hasFocus());
    QCOMPARE(m_repository->systemProfileBytes(), before);

    last->selectAll();
    QTest::keyClicks(last, QStringLiteral("1045"));
    click("Command1");
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QCOMPARE(stored().value(QStringLiteral("LastNumber"), ClassA), QStringLiteral("1045"));
}

void TestClassWindow::shouldMoveTheLastNumberWhenTheFirstNumberChanges()
{
    openWindow();
    replaceText("Text3", QStringLiteral("1010"));
    QCOMPARE(child<QLineEdit>("Text3")->text(), QStringLiteral("1010"));
    QCOMPARE(child<QLineEdit>("Text4")->text(), QStringLiteral(" 1049"));
    QVERIFY(m_dialogs.messages().isEmpty());
    click("Command1");
    QCOMPARE(stored().value(QStringLiteral("FirstNumber"), ClassA), QStringLiteral("1010"));
    QCOMPARE(stored().value(QStringLiteral("LastNumber"), ClassA), QStringLiteral("1049"));
}

void TestClassWindow::shouldRefuseNumbersBeyondSixteenBits_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("storedValue");

    QTest::newRow("size") << QByteArray("Text2") << "40000"
                          << "ClassCount"
                          << "40";
    QTest::newRow("last number") << QByteArray("Text4") << "99999"
                                 << "LastNumber"
                                 << "1040";
    // Typed one key at a time: 3276 is taken (and the last number follows), 32760 would push
    // the last number past 32767.
    QTest::newRow("first number") << QByteArray("Text3") << "32760"
                                  << "FirstNumber"
                                  << "3276";
}

void TestClassWindow::shouldRefuseNumbersBeyondSixteenBits()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, typed);
    QFETCH(QString, section);
    QFETCH(QString, storedValue);

    openWindow();
    replaceText(field.constData(), typed);
    QCOMPARE(m_dialogs.messages(), QStringList{exam::NumberOutOfRangeMessage});
    click("Command1");
    const exam::ProfileSnapshot profile = stored();
    QCOMPARE(profile.value(section, ClassA), storedValue);
    for (const QString &numbers : {QStringLiteral("ClassCount"), QStringLiteral("FirstNumber"),
                                   QStringLiteral("LastNumber")}) {
        const qint64 value = profile.value(numbers, ClassA).toLongLong();
        QVERIFY2(value >= -32768 && value <= 32767, qPrintable(numbers));
    }
}

void TestClassWindow::shouldTellWhyANewNameIsRefused_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");

    QTest::newRow("duplicate with blanks") << " 高一(2)班 " << exam::DuplicateClassMessage;
    QTest::newRow("empty") << "   " << QString();
    QTest::newRow("reserved name")
        << "FirstNumber" << exam::checkClassName(QStringLiteral("FirstNumber")).reason;
    QTest::newRow("path separator")
        << "高一\\4班" << exam::checkClassName(QStringLiteral("高一\\4班")).reason;
}

void TestClassWindow::shouldTellWhyANewNameIsRefused()
{
    QFETCH(QString, answer);
    QFETCH(QString, message);

    openWindow();
    const QByteArray before = m_repository->systemProfileBytes();
    m_dialogs.answerInput(answer);
    click("Command4");
    QCOMPARE(m_dialogs.calls().first().kind, FakeDialogs::Kind::Input);
    QCOMPARE(m_dialogs.calls().first().text, QStringLiteral("请输入新班级的名称"));
    QCOMPARE(m_dialogs.calls().first().title, QStringLiteral("请输入新班级的名称"));
    QCOMPARE(m_dialogs.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(child<QListWidget>("List1")->count(), 3);
    click("Command1");
    QCOMPARE(stored().value(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount")),
             QStringLiteral("3"));
    QCOMPARE(m_repository->systemProfileBytes(), before);
}

void TestClassWindow::shouldDeleteTheSecondOfThreeClasses()
{
    openWindow();
    auto *list = child<QListWidget>("List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    m_dialogs.answerQuestion(true);
    click("Command5");
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("是否要删除当前班级的所有资料?")});
    QCOMPARE(m_dialogs.calls().first().kind, FakeDialogs::Kind::OkCancel);
    QCOMPARE(m_dialogs.calls().first().title, QStringLiteral("班级管理"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), ClassA);
    QCOMPARE(list->item(1)->text(), ClassC);
    QVERIFY(list->selectedItems().isEmpty());
    // Nothing selected: the fields show no class, so no edit can land on a hidden one.
    QVERIFY(child<QLineEdit>("Text1")->text().isEmpty());
    QVERIFY(child<QLineEdit>("Text4")->text().isEmpty());

    click("Command1");
    const exam::ProfileSnapshot profile = stored();
    QCOMPARE(profile.value(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount")),
             QStringLiteral("2"));
    QCOMPARE(profile.value(QStringLiteral("ClassName"), QStringLiteral("1")), ClassA);
    QCOMPARE(profile.value(QStringLiteral("ClassName"), QStringLiteral("2")), ClassC);
    // The old third key and the deleted class's entries stay, unread.
    QCOMPARE(profile.value(QStringLiteral("ClassName"), QStringLiteral("3")), ClassC);
    QCOMPARE(profile.value(QStringLiteral("ClassCount"), ClassB), QStringLiteral("45"));
    QCOMPARE(profile.value(QStringLiteral("LastNumber"), ClassB), QStringLiteral("2045"));
    QCOMPARE(profile.value(QStringLiteral("LastNumber"), ClassC), QStringLiteral("3050"));
    QCOMPARE(exam::readClassTable(profile).size(), 2);
}

void TestClassWindow::shouldKeepTheLastClass()
{
    QVERIFY(m_repository->writeSystemProfile({QStringLiteral("[ClassName]"),
                                              QStringLiteral("ClassNameCount=1"),
                                              QStringLiteral("1=高一(1)班")}));
    openWindow();
    click("Command5");
    QCOMPARE(m_dialogs.texts(), QStringList{exam::LastClassMessage});
    QCOMPARE(m_dialogs.calls().first().title, QStringLiteral("班级管理"));
    QCOMPARE(child<QListWidget>("List1")->count(), 1);
}

void TestClassWindow::shouldKeepTheClassWhenDeletingIsCancelled()
{
    openWindow();
    m_dialogs.answerQuestion(false);
    click("Command5");
    QCOMPARE(child<QListWidget>("List1")->count(), 3);
    QCOMPARE(m_window->model().names(), (QStringList{ClassA, ClassB, ClassC}));
}

void TestClassWindow::shouldLeaveTheFileUntouchedOnCancel()
{
    openWindow();
    const QByteArray before = m_repository->systemProfileBytes();
    m_dialogs.answerInput(QStringLiteral("高一(4)班"));
    click("Command4");
    replaceText("Text2", QStringLiteral("44"));
    replaceText("Text3", QStringLiteral("1100"));
    click("cmdDown");
    m_dialogs.answerQuestion(true);
    click("Command5");
    click("Command2");
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_repository->systemProfileBytes(), before);
}

void TestClassWindow::shouldWriteTheTableInItsFixedOrder()
{
    // Start from a file without classes but with other entries that must stay.
    const QStringList start = {QStringLiteral("[Admin]"), QStringLiteral("pwd=secret"),
                               QStringLiteral("[ClassName]"), QStringLiteral("ClassNameCount=0")};
    QVERIFY(m_repository->writeSystemProfile(start));
    QVERIFY(RepositoryFixture::writeFile(m_repository->scratchProfile(),
                                         RepositoryFixture::encode(start)));
    openWindow();
    for (const QString &name : {ClassB, ClassA}) {
        m_dialogs.answerInput(name);
        click("Command4");
    }
    auto *list = child<QListWidget>("List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    replaceText("Text2", QStringLiteral("40"));
    replaceText("Text3", QStringLiteral("1001"));
    click("Command1");

    // The same writes one by one: the count, then per class its name, size, first and last.
    const QString expected = m_repository->scratchProfile();
    const auto write = [&expected](const char *section, const QString &key, const QString &value) {
        QVERIFY(writeProfileString(QString::fromLatin1(section), key, value, expected));
    };
    write("ClassName", QStringLiteral("ClassNameCount"), QStringLiteral("2"));
    write("ClassName", QStringLiteral("1"), ClassB);
    write("ClassCount", ClassB, QStringLiteral("0"));
    write("FirstNumber", ClassB, QStringLiteral("0"));
    write("LastNumber", ClassB, QStringLiteral("0"));
    write("ClassName", QStringLiteral("2"), ClassA);
    write("ClassCount", ClassA, QStringLiteral("40"));
    write("FirstNumber", ClassA, QStringLiteral("1001"));
    write("LastNumber", ClassA, QStringLiteral("1040"));
    QCOMPARE(m_repository->systemProfileBytes(), RepositoryFixture::readFile(expected));
}

void TestClassWindow::shouldKeepTheSelectionWhenTheListIsRefilled()
{
    openWindow();
    auto *list = child<QListWidget>("List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    child<QLineEdit>("Text2")->setFocus();
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentRow(), 2);
    replaceText("Text2", QStringLiteral("33"));
    QCOMPARE(m_window->model().classes().at(2).size, 33);
    QCOMPARE(m_window->model().classes().at(0).size, 40);
}

void TestClassWindow::shouldPressF1ForHelp()
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
    openWindow();
    m_window->installEventFilter(&counter);
    click("Command3");
    QCOMPARE(counter.presses, 1);
    QVERIFY(m_window->isVisible());
}

void TestClassWindow::shouldSaySoWhenTheTableCannotBeStored()
{
    openWindow();
    // A folder where the file should be: no store can replace it.
    QVERIFY(QFile::remove(m_repository->systemProfile()));
    QVERIFY(QDir().mkdir(m_repository->systemProfile()));
    click("Command1");
    QCOMPARE(m_dialogs.messages().size(), 1);
    QVERIFY(m_dialogs.messages().first().contains(QStringLiteral("没有保存成功")));
    QVERIFY(m_window->isVisible());
}

QTEST_MAIN(TestClassWindow)
#include "tst_class_window.moc"
