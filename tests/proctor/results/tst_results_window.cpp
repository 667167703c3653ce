#include "proctor/results/results_window.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/results/question_panel.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/row_texts.h"
#include "results_repository.h"
#include "window_driving.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace exam;
using namespace exam::platform;

namespace {

const QString paper = QStringLiteral("单元测验");
const QString className = QStringLiteral("初二(3)班");

QStringList rowsOf(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows.append(list->item(i)->text());
    return rows;
}

void clickRow(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// Counts the F1 presses that reach a window (the console's help filter acts on them).
class F1Counter : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1)
            ++presses;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dialogs.clear();
        m_repository = std::make_unique<ResultsRepository>();
    }
    void cleanup()
    {
        m_window.reset();
        m_repository.reset();
    }

    void shouldSayThereIsNoPaperAndNotOpen()
    {
        m_repository->addClass(className, 3, 1, 3);
        FakeDialogs dialogs;
        ResultsWindow window(m_repository->root(), dialogs);
        QVERIFY(!window.start());
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("对不起! 现在没有任何考试!")});
    }

    void shouldSayThereIsNoClassAndNotOpen()
    {
        m_repository->addPaper(paper, {});
        FakeDialogs dialogs;
        ResultsWindow window(m_repository->root(), dialogs);
        QVERIFY(!window.start());
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("对不起! 现在没有任何成绩!")});
    }

    void openerShouldReturnFalseAfterTheMessageWhenThereIsNoPaper()
    {
        // The console ends itself on this false; no window was shown.
        FakeDialogs dialogs;
        QVERIFY(!openResultsWindow(nullptr, m_repository->root(), dialogs));
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("对不起! 现在没有任何考试!")});
    }

    void shouldShowTheClassAfterOpening()
    {
        openWindowOnClass(40);
        auto *names = list(u"List1");
        auto *scores = list(u"List2");
        QCOMPARE(names->count(), 40);
        QCOMPARE(names->item(0)->text(),
                 studentNamesRow(QStringLiteral("1"), QStringLiteral("学生1"), QString()));
        QCOMPARE(scores->count(), 40);
        QVERIFY(button(u"Cmd输出")->isEnabled());
        QCOMPARE(list(u"Lst统计")->item(0)->text(), statisticsRow(QStringLiteral("平均分")));
        QCOMPARE(list(u"List5")->count(), 2);
        QCOMPARE(rowsOf(list(u"List6")), QStringList(2, answerRow(0)));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("成绩管理"));
    }

    void shouldSortByScoreWithTheButtons()
    {
        openWindowOnClass(6);
        QTest::mouseClick(button(u"CMD成绩"), Qt::LeftButton);
        const QStringList descending = rowsOf(list(u"List1"));
        QVERIFY(descending.first().startsWith(QStringLiteral("5_____")));
        QTest::mouseClick(button(u"CMD成绩"), Qt::LeftButton);
        QStringList ascending = rowsOf(list(u"List1"));
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(ascending, descending);
    }

    void shouldSelectTheSameRowInBothListsAndShowTheAnswers()
    {
        openWindowOnClass(6);
        clickRow(list(u"List2"), 2);
        QCOMPARE(list(u"List1")->currentRow(), 2);
        QCOMPARE(m_window->presenter().selectedStudent()->number, QStringLiteral("3"));
        QCOMPARE(rowsOf(list(u"List6")), (QStringList{answerRow(3), answerRow(13)}));
        clickRow(list(u"List1"), 4);
        QCOMPARE(list(u"List2")->currentRow(), 4);
    }

    void shouldScrollBothStudentListsTogether()
    {
        openWindowOnClass(200);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *names = list(u"List1");
        QVERIFY(names->verticalScrollBar()->maximum() > 50);
        names->verticalScrollBar()->setValue(50);
        QCOMPARE(list(u"List2")->verticalScrollBar()->value(), 50);
        list(u"List2")->verticalScrollBar()->setValue(70);
        QCOMPARE(names->verticalScrollBar()->value(), 70);
        // A refresh returns both to the top.
        QTest::mouseClick(button(u"CMD_刷新"), Qt::LeftButton);
        QTRY_COMPARE(names->verticalScrollBar()->value(), 0);
        QCOMPARE(list(u"List2")->verticalScrollBar()->value(), 0);
    }

    void questionListShouldKeepTheSelectedQuestionInView()
    {
        m_repository->addClass(className, 3, 1, 3);
        m_repository->addPaper(paper, QStringList(80, QStringLiteral("1")));
        for (int n = 1; n <= 3; ++n)
            m_repository->handIn(paper, className, n, QStringLiteral("学生%1").arg(n),
                                 QStringLiteral("60"), QStringList(80, QString::number(n)));
        m_window = std::make_unique<ResultsWindow>(m_repository->root(), m_dialogs);
        QSignalSpy finished(&m_window->refresher(), &ResultsRefresher::finished);
        QVERIFY(m_window->start());
        QVERIFY(finished.wait());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *questions = list(u"List5");
        const auto inView = [questions](int row) {
            const QRect rect = questions->visualItemRect(questions->item(row));
            return rect.top() >= 0 && rect.bottom() < questions->viewport()->height();
        };
        clickRow(questions, 60);
        const int scrolled = questions->verticalScrollBar()->value();
        QVERIFY(scrolled > 0 && inView(60));

        // A student's answers fill the list beside it; neither list moves.
        clickRow(list(u"List1"), 1);
        QCOMPARE(rowsOf(list(u"List6")).at(60), answerRow(2));
        QCOMPARE(questions->verticalScrollBar()->value(), scrolled);
        QCOMPARE(list(u"List6")->verticalScrollBar()->value(), scrolled);
        QCOMPARE(questions->currentRow(), 60);

        // A refresh and a sort keep the selected question in view.
        QTest::mouseClick(button(u"CMD_刷新"), Qt::LeftButton);
        QVERIFY(finished.wait());
        QCOMPARE(questions->verticalScrollBar()->value(), scrolled);
        QTest::mouseClick(button(u"Cmd得分率"), Qt::LeftButton);
        QCOMPARE(questions->currentRow(), 60);
        QVERIFY(inView(60));
    }

    void studentListsShouldShowWholeNamesWithoutScrolling()
    {
        m_repository->addClass(className, 40, 1, 40);
        m_repository->addPaper(paper, {QStringLiteral("13"), QStringLiteral("2")});
        for (int n = 1; n <= 40; ++n) {
            m_repository->writeStudent(paper, className, n,
                                       {{QString(), QStringLiteral("欧阳春晓%1").arg(n)},
                                        {QStringLiteral("LAST"), QStringLiteral("司马小燕")},
                                        {QStringLiteral("TIME2"), QStringLiteral("00:10:00")},
                                        {QStringLiteral("DF"), QStringLiteral("100")}});
        }
        m_window = std::make_unique<ResultsWindow>(m_repository->root(), m_dialogs);
        QSignalSpy finished(&m_window->refresher(), &ResultsRefresher::finished);
        QVERIFY(m_window->start());
        QVERIFY(finished.wait());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        for (const char16_t *name : {u"List1", u"List2"}) {
            QListWidget *students = list(name);
            const QFontMetrics metrics(students->font());
            for (int i = 0; i < students->count(); ++i) {
                QString row = students->item(i)->text();
                while (row.endsWith(u'_'))
                    row.chop(1);
                QVERIFY2(metrics.horizontalAdvance(row) < students->viewport()->width(),
                         qPrintable(row));
            }
        }
    }

    void shouldActOnNoStudentWhenAListOnlyGetsTheFocus()
    {
        openWindowOnClass(3);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        // Tabbing into a list gives it a current row but selects nobody: the two actions on the
        // selected student must do nothing.
        list(u"List2")->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list(u"List2")->hasFocus());
        QCOMPARE(m_window->presenter().selectedStudentRow(), -1);
        QVERIFY(list(u"List1")->selectedItems().isEmpty());
        QTest::mouseClick(button(u"Cmd删除成绩"), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(m_repository->resultProfile(paper, className, 1)));
        // A click does select.
        clickRow(list(u"List2"), 0);
        QCOMPARE(m_window->presenter().selectedStudentRow(), 0);
        QCOMPARE(list(u"List1")->selectedItems().size(), 1);
    }

    void shouldDeleteAResultOnlyAfterTheTeacherSaysYes()
    {
        openWindowOnClass(6);
        clickRow(list(u"List1"), 2);
        const QString profile = m_repository->resultProfile(paper, className, 3);
        // Unanswered, the question takes its default button: No.
        QTest::mouseClick(button(u"Cmd删除成绩"), Qt::LeftButton);
        QCOMPARE(m_dialogs.calls().size(), 1);
        QCOMPARE(m_dialogs.calls().first().kind, FakeDialogs::Kind::YesNo);
        QCOMPARE(m_dialogs.calls().first().text,
                 QStringLiteral("确实要删除 初二(3)班 3号 学生3 在试卷“单元测验”中的成绩吗?"));
        QCOMPARE(m_dialogs.calls().first().defaultButton, Dialogs::Button::No);
        QVERIFY(QFileInfo::exists(profile));
        m_dialogs.answerQuestion(true);
        QTest::mouseClick(button(u"Cmd删除成绩"), Qt::LeftButton);
        QVERIFY(!QFileInfo::exists(profile));
        QCOMPARE(
            QDir(m_repository->paths().deletedResultsFolder(paper)).entryList(QDir::Files).size(),
            1);
        QCOMPARE(m_dialogs.messages(), QStringList());
        // Now he has no file: nothing to ask, nothing to do.
        QTest::mouseClick(button(u"Cmd删除成绩"), Qt::LeftButton);
        QCOMPARE(m_dialogs.calls().size(), 2);
    }

    void shouldGrantRetestToTheThirdRowOfAScoreSortedList()
    {
        openWindowOnClass(6);
        QTest::mouseClick(button(u"CMD成绩"), Qt::LeftButton);
        clickRow(list(u"List1"), 2);
        const QString number = m_window->presenter().selectedStudent()->number;
        QVERIFY(number != QStringLiteral("3"));
        QTest::mouseClick(button(u"Cmd允许重考"), Qt::LeftButton);
        const auto time2 = [this](const QString &n) {
            return ProfileSnapshot::load(m_repository->resultProfile(paper, className, n.toInt()))
                .value(className, n + QStringLiteral("TIME2"));
        };
        QCOMPARE(time2(number), QString());
        QCOMPARE(time2(QStringLiteral("3")), QStringLiteral("00:10:00"));
        QVERIFY(m_dialogs.calls().isEmpty());

        // A grant that cannot be written (a folder stands where the file belongs) is said.
        const QString profile = m_repository->resultProfile(paper, className, number.toInt());
        QVERIFY(QFile::remove(profile));
        QVERIFY(QDir().mkpath(profile));
        QTest::mouseClick(button(u"Cmd允许重考"), Qt::LeftButton);
        QCOMPARE(m_dialogs.messages().size(), 1);
        QVERIFY2(m_dialogs.messages().first().startsWith(QStringLiteral("未能允许 初二(3)班 ")),
                 qPrintable(m_dialogs.messages().first()));
    }

    void shouldShowQuestionTextAndDistributionWithColours()
    {
        openWindowOnClass(6);
        auto *panel = m_window->findChild<QuestionPanel *>();
        clickRow(list(u"List5"), 1); // question 2, standard answer 13
        QCOMPARE(list(u"List6")->currentRow(), 1);
        QCOMPARE(m_window->findChild<QTextEdit *>(QStringLiteral("Rich考题"))->toPlainText(),
                 QStringLiteral("第二题"));
        for (int k = 0; k < 8; ++k) {
            auto *cell = m_window->findChild<QLabel *>(QStringLiteral("Lab分布_%1").arg(k));
            QVERIFY(cell);
            const QColor expected =
                (k == 1 || k == 3) ? QuestionPanel::highlightColor() : panel->neutralColor();
            QCOMPARE(cell->palette().color(QPalette::Window), expected);
        }
        // Answers to question 2: all five who handed in answered 13; student 4 has no answer.
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Lab分布_1"))->text(),
                 QStringLiteral("5"));
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Lab分布_2"))->text(),
                 QStringLiteral("0"));
    }

    void shouldShowAHintWhenTheQuestionFileIsMissing()
    {
        openWindowOnClass(3);
        clickRow(list(u"List5"), 0); // question 1 has no file on disk
        auto *text = m_window->findChild<QTextEdit *>(QStringLiteral("Rich考题"));
        QVERIFY(text->toPlainText().isEmpty());
        QVERIFY(!text->placeholderText().isEmpty());
    }

    void shouldRefreshOnTheTimerOnlyWhenTicked()
    {
        openWindowOnClass(3);
        auto *timer = m_window->findChild<QTimer *>(QStringLiteral("Timer刷新"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), ResultsWindow::AutoRefreshInterval);
        QSignalSpy started(&m_window->refresher(), &ResultsRefresher::started);
        timer->setInterval(1);
        QSignalSpy ticks(timer, &QTimer::timeout);
        QTRY_VERIFY(ticks.size() >= 2);
        QCOMPARE(started.size(), 0);
        m_window->findChild<QCheckBox *>(QStringLiteral("Chk自动刷新"))->setChecked(true);
        m_repository->handIn(paper, className, 3, QStringLiteral("新名字"), QStringLiteral("99"));
        QTRY_COMPARE(list(u"List1")->item(2)->text(),
                     studentNamesRow(QStringLiteral("3"), QStringLiteral("新名字"), QString()));
        QVERIFY(started.size() >= 1);
    }

    void shouldTellThatTheExportIsNotThereYet()
    {
        openWindowOnClass(3);
        QTest::mouseClick(button(u"Cmd输出"), Qt::LeftButton);
        QCOMPARE(m_dialogs.messages().size(), 1);
        bool exported = false;
        m_window->setExportHandler(
            [&](QWidget *, const ResultsData &data) { exported = data.students.size() == 3; });
        QTest::mouseClick(button(u"Cmd输出"), Qt::LeftButton);
        QVERIFY(exported);
    }

    void shouldHandTheRefreshToTheQualityAnalysis()
    {
        openWindowOnClass(3);
        QVERIFY(button(u"Cmd质量分析")->isHidden());
        QStringList analysed;
        m_window->setAnalysisHandler(
            [&](QWidget *, const ResultsData &data) { analysed.append(data.className); });
        QVERIFY(!button(u"Cmd质量分析")->isHidden());
        QCOMPARE(button(u"Cmd质量分析")->text(), QStringLiteral("质量分析"));
        QTest::mouseClick(button(u"Cmd质量分析"), Qt::LeftButton);
        QCOMPARE(analysed, QStringList{m_window->presenter().data().className});
        QVERIFY(m_dialogs.calls().isEmpty());
    }

    void shouldPressF1ForTheConsolesHelp()
    {
        openWindowOnClass(3);
        F1Counter counter;
        m_window->installEventFilter(&counter);
        QTest::mouseClick(button(u"CmdHELP"), Qt::LeftButton);
        QCOMPARE(counter.presses, 1);
        QVERIFY(m_dialogs.calls().isEmpty());
    }

    void shouldCloseOnReturn()
    {
        openWindowOnClass(3);
        m_window->show();
        QTest::mouseClick(button(u"CMD_退出"), Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
    }

private:
    // A class 1 … size (ClassCount = size); student n scored n × 37 mod 100, answered 3 (odd n) or
    // 1 and 13; student 4 logged in only.
    void openWindowOnClass(int size)
    {
        m_repository->addClass(className, size, 1, size);
        m_repository->addClass(QStringLiteral("其他班"), 1, 900, 900);
        m_repository->addPaper(paper, {QStringLiteral("3"), QStringLiteral("13")});
        m_repository->writeQuestionFile(
            paper, 2,
            QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg936 {\\fonttbl{\\f0\\fcharset134 "
                              "SimSun;}}\\f0 \\'b5\\'da\\'b6\\'fe\\'cc\\'e2\\par}"));
        for (int n = 1; n <= size; ++n) {
            if (n == 4) {
                m_repository->writeStudent(paper, className, n,
                                           {{QString(), QStringLiteral("学生4")}});
                continue;
            }
            m_repository->handIn(paper, className, n, QStringLiteral("学生%1").arg(n),
                                 QString::number(n * 37 % 100),
                                 {QString::number(n % 2 ? 3 : 1), QStringLiteral("13")});
        }
        m_window = std::make_unique<ResultsWindow>(m_repository->root(), m_dialogs);
        QSignalSpy finished(&m_window->refresher(), &ResultsRefresher::finished);
        QVERIFY(m_window->start());
        QVERIFY(finished.wait());
        QCOMPARE(m_window->findChild<QComboBox *>(QStringLiteral("Combo2"))->currentText(),
                 className);
    }

    QListWidget *list(QStringView name) const
    {
        return window_driving::control<QListWidget>(*m_window, name.toString());
    }
    QPushButton *button(QStringView name) const
    {
        return window_driving::control<QPushButton>(*m_window, name.toString());
    }

    FakeDialogs m_dialogs;
    std::unique_ptr<ResultsRepository> m_repository;
    std::unique_ptr<ResultsWindow> m_window;
};

QTEST_MAIN(TestResultsWindow)
#include "tst_results_window.moc"
