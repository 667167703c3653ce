#include "proctor/classes/exam_room_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/classes/repository_fixture.h"
#include "repository/profile_file.h"
#include "window_driving.h"

#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace exam::platform;

using exam::ExamRoomWindow;
using exam::NoText;
using exam::YesText;

class TestExamRoomWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shouldShowPapersAndClassesWithNoPaperSelected();
    void shouldAdmitEveryClassWithoutAdmissionSections();
    void shouldWriteEveryFlagPaperByPaper();
    void shouldToggleTheOpenFlagByClickAndDoubleClick();
    void shouldNotLeakAllNoneFromOnePaperToAnother();
    void shouldKeepPairedListsOnTheSameRow();
    void shouldKeepPairedListsScrolledAlike();
    void shouldWriteNothingOnCancel();

private:
    template <typename T> T *child(const char *name) const
    {
        return window_driving::findControl<T>(*m_window, QString::fromUtf8(name));
    }
    void openWindow();
    void click(const char *button) const;
    static void clickRow(QListWidget *list, int row);
    static void doubleClickRow(QListWidget *list, int row);
    static QStringList texts(const QListWidget *list);

    std::unique_ptr<RepositoryFixture> m_repository;
    FakeDialogs m_dialogs;
    std::unique_ptr<ExamRoomWindow> m_window;
};

namespace {

const QStringList Papers = {QStringLiteral("期中"), QStringLiteral("期末"), QStringLiteral("练习")};
const QStringList Classes = {QStringLiteral("一班"), QStringLiteral("二班"), QStringLiteral("三班"),
                             QStringLiteral("四班")};

QStringList roster(const QStringList &papers, const QStringList &classes)
{
    QStringList lines = {QStringLiteral("[ClassName]"),
                         QStringLiteral("ClassNameCount=%1").arg(classes.size())};
    for (int i = 0; i < classes.size(); ++i)
        lines << QStringLiteral("%1=%2").arg(i + 1).arg(classes.at(i));
    lines << QStringLiteral("[TestName]") << QStringLiteral("TestNameCount=%1").arg(papers.size());
    for (int i = 0; i < papers.size(); ++i)
        lines << QStringLiteral("%1=%2").arg(i + 1).arg(papers.at(i));
    return lines;
}

} // namespace

void TestExamRoomWindow::init()
{
    m_repository = std::make_unique<RepositoryFixture>();
    QVERIFY(m_repository->isValid());
    QVERIFY(m_repository->writeSystemProfile(roster(Papers, Classes)));
    m_dialogs.clear();
}

void TestExamRoomWindow::cleanup()
{
    m_window.reset();
    m_repository.reset();
}

void TestExamRoomWindow::openWindow()
{
    m_window = std::make_unique<ExamRoomWindow>(m_repository->systemProfile(), m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestExamRoomWindow::click(const char *button) const
{
    auto *widget = child<QPushButton>(button);
    QVERIFY2(widget, button);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TestExamRoomWindow::clickRow(QListWidget *list, int row)
{
    QVERIFY(list);
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// What a real double click delivers: a click, then the double click.
void TestExamRoomWindow::doubleClickRow(QListWidget *list, int row)
{
    clickRow(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(row)).center());
}

QStringList TestExamRoomWindow::texts(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

void TestExamRoomWindow::shouldShowPapersAndClassesWithNoPaperSelected()
{
    openWindow();
    QCOMPARE(m_window->objectName(), QStringLiteral("考场管理"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("考场管理"));
    QCOMPARE(texts(child<QListWidget>("List11")), Papers);
    QCOMPARE(texts(child<QListWidget>("List1")), QStringList(3, NoText));
    QCOMPARE(texts(child<QListWidget>("List22")), Classes);
    QCOMPARE(texts(child<QListWidget>("List2")), QStringList(4, QString()));
    QCOMPARE(child<QPushButton>("全部选定取消")->text(), QStringLiteral("全部取消"));
}

void TestExamRoomWindow::shouldAdmitEveryClassWithoutAdmissionSections()
{
    openWindow();
    clickRow(child<QListWidget>("List11"), 1);
    QCOMPARE(texts(child<QListWidget>("List2")), QStringList(4, YesText));
    click("Command1");
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    const auto profile = exam::ProfileSnapshot::load(m_repository->systemProfile());
    for (const QString &paper : Papers) {
        QCOMPARE(profile.value(QStringLiteral("TestName"), paper), QStringLiteral("0"));
        for (const QString &className : Classes)
            QCOMPARE(profile.value(paper, className), QStringLiteral("1"));
    }
}

void TestExamRoomWindow::shouldWriteEveryFlagPaperByPaper()
{
    const QString expected = m_repository->scratchProfile();
    QVERIFY(RepositoryFixture::writeFile(expected, m_repository->systemProfileBytes()));
    openWindow();
    auto *papers = child<QListWidget>("List11");
    auto *openFlags = child<QListWidget>("List1");
    auto *admissions = child<QListWidget>("List2");
    clickRow(openFlags, 0); // 期中 opens
    clickRow(papers, 1);
    clickRow(admissions, 2); // 期末: 三班 refused
    clickRow(papers, 2);
    click("全部选定取消");   // 练习: nobody
    clickRow(admissions, 3); // … but 四班
    click("Command1");

    // The same writes one by one: per paper its open flag, then its class entries.
    const bool open[3] = {true, false, false};
    const bool admitted[3][4] = {
        {true, true, true, true}, {true, true, false, true}, {false, false, false, true}};
    int writes = 0;
    for (int p = 0; p < 3; ++p) {
        QVERIFY(writeProfileString(QStringLiteral("TestName"), Papers.at(p),
                                   open[p] ? QStringLiteral("1") : QStringLiteral("0"), expected));
        ++writes;
        for (int c = 0; c < 4; ++c) {
            QVERIFY(writeProfileString(Papers.at(p), Classes.at(c),
                                       admitted[p][c] ? QStringLiteral("1") : QStringLiteral("0"),
                                       expected));
            ++writes;
        }
    }
    QCOMPARE(writes, 3 + 12);
    QCOMPARE(m_repository->systemProfileBytes(), RepositoryFixture::readFile(expected));
}

void TestExamRoomWindow::shouldToggleTheOpenFlagByClickAndDoubleClick()
{
    openWindow();
    auto *papers = child<QListWidget>("List11");
    auto *openFlags = child<QListWidget>("List1");
    clickRow(openFlags, 2);
    QCOMPARE(texts(openFlags), (QStringList{NoText, NoText, YesText}));
    QCOMPARE(papers->currentRow(), 2);
    QCOMPARE(m_window->model().selectedPaper(), 2);
    clickRow(openFlags, 2);
    QCOMPARE(texts(openFlags), QStringList(3, NoText));

    doubleClickRow(papers, 0);
    QCOMPARE(texts(openFlags), (QStringList{YesText, NoText, NoText}));
    QCOMPARE(m_window->model().selectedPaper(), 0);
    QCOMPARE(openFlags->currentRow(), 0);
}

void TestExamRoomWindow::shouldNotLeakAllNoneFromOnePaperToAnother()
{
    QStringList lines = roster(Papers, Classes);
    lines << QStringLiteral("[期末]") << QStringLiteral("二班=0");
    QVERIFY(m_repository->writeSystemProfile(lines));
    openWindow();
    auto *papers = child<QListWidget>("List11");
    auto *admissions = child<QListWidget>("List2");
    clickRow(papers, 0);
    click("全部选定取消");
    QCOMPARE(texts(admissions), QStringList(4, NoText));
    clickRow(papers, 1);
    QCOMPARE(texts(admissions), (QStringList{YesText, NoText, YesText, YesText}));
    click("全部选定");
    clickRow(papers, 0);
    QCOMPARE(texts(admissions), QStringList(4, NoText));

    // A double click on a class name toggles it for the selected paper only.
    auto *classNames = child<QListWidget>("List22");
    doubleClickRow(classNames, 3);
    QCOMPARE(texts(admissions), (QStringList{NoText, NoText, NoText, YesText}));
    QCOMPARE(admissions->currentRow(), 3);
    QCOMPARE(m_window->model().admissionText(1, 3), YesText);
}

void TestExamRoomWindow::shouldKeepPairedListsOnTheSameRow()
{
    openWindow();
    auto *papers = child<QListWidget>("List11");
    auto *admissions = child<QListWidget>("List2");
    auto *classNames = child<QListWidget>("List22");
    clickRow(papers, 1);
    QCOMPARE(child<QListWidget>("List1")->currentRow(), 1);
    clickRow(admissions, 2);
    QCOMPARE(classNames->currentRow(), 2);
    clickRow(classNames, 0);
    QCOMPARE(admissions->currentRow(), 0);
    // A single click on a class name selects; it does not toggle.
    QCOMPARE(texts(admissions), (QStringList{YesText, YesText, NoText, YesText}));
}

void TestExamRoomWindow::shouldKeepPairedListsScrolledAlike()
{
    QStringList many;
    for (int i = 1; i <= 60; ++i)
        many << QStringLiteral("试卷%1").arg(i);
    QVERIFY(m_repository->writeSystemProfile(roster(many, Classes)));
    openWindow();
    auto *papers = child<QListWidget>("List11");
    auto *openFlags = child<QListWidget>("List1");
    QVERIFY(papers->verticalScrollBar()->maximum() > 10);
    papers->verticalScrollBar()->setValue(10);
    QCOMPARE(openFlags->verticalScrollBar()->value(), 10);
    openFlags->verticalScrollBar()->setValue(20);
    QCOMPARE(papers->verticalScrollBar()->value(), 20);
    // A toggle far down keeps the pair where it was.
    clickRow(openFlags, 45);
    QCOMPARE(openFlags->item(45)->text(), YesText);
    QCOMPARE(papers->verticalScrollBar()->value(), openFlags->verticalScrollBar()->value());
    QCOMPARE(papers->currentRow(), 45);
}

void TestExamRoomWindow::shouldWriteNothingOnCancel()
{
    openWindow();
    const QByteArray before = m_repository->systemProfileBytes();
    clickRow(child<QListWidget>("List1"), 0);
    clickRow(child<QListWidget>("List11"), 1);
    click("全部选定取消");
    click("Command2");
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
    QCOMPARE(m_repository->systemProfileBytes(), before);
    QVERIFY(m_dialogs.calls().isEmpty());
}

QTEST_MAIN(TestExamRoomWindow)
#include "tst_exam_room_window.moc"
