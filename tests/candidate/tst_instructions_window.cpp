#include "candidate/instructions_window.h"

#include "login_test_repository.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace exam::candidate;

class TestInstructionsWindow : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowPaperAndStartTheExam_data()
    {
        QTest::addColumn<QString>("randomDraw");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("fullMark");
        QTest::newRow("whole paper")
            << QStringLiteral("0") << QStringLiteral("50  ") << QStringLiteral("100");
        QTest::newRow("draw of exactly 1")
            << QStringLiteral("1") << QStringLiteral("10") << QString();
        QTest::newRow("other draw values show the whole paper")
            << QStringLiteral("2") << QStringLiteral("50  ") << QStringLiteral("100");
    }
    void shouldShowPaperAndStartTheExam()
    {
        QFETCH(QString, randomDraw);
        QFETCH(QString, count);
        QFETCH(QString, fullMark);
        LoginTestRepository repo;
        const QString paper = QStringLiteral("期中考试");
        repo.addPaper(paper, QStringLiteral("1"), QStringLiteral("0"));
        repo.setPaperSetting(paper, QStringLiteral("about_test"), QStringLiteral("本卷共五十题"));
        repo.setPaperSetting(paper, QStringLiteral("full_mark"), QStringLiteral("100"));
        repo.setPaperSetting(paper, QStringLiteral("TESTTIME"), QStringLiteral("90"));
        repo.setPaperSetting(paper, QStringLiteral("Question_conut"), QStringLiteral(" 50"));
        repo.setPaperSetting(paper, QStringLiteral("rnd_test"), randomDraw);
        repo.setPaperSetting(paper, QStringLiteral("rnd_test_No"), QStringLiteral("10"));
        CandidateState state;
        state.paperName = paper;

        auto *window = new InstructionsWindow(repo.root(), state);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<InstructionsWindow> guard(window);
        int started = 0;
        window->setStartHook([&] { ++started; });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QCOMPARE(window->objectName(), QStringLiteral("考试说明"));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("  本卷共五十题"));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Lab总分"))->text(), fullMark);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Lab考试总时间"))->text(),
                 QStringLiteral("90"));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("LAB总题数"))->text(), count);
        auto *start = window->findChild<QPushButton *>(QStringLiteral("Command1"));
        QCOMPARE(start->text(), QStringLiteral("单击开始考试"));

        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(started, 1);
        QTRY_VERIFY(guard.isNull()); // closed and gone
    }

    void shouldOfferReviewWithoutPaperProfile()
    {
        LoginTestRepository repo;
        CandidateState state;
        state.paperName = QStringLiteral("已删除的卷");
        state.reviewMode = true;
        InstructionsWindow window(repo.root(), state);
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("Command1"))->text(),
                 QStringLiteral("单击开始查阅试卷"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Lab总分"))->text(),
                 QStringLiteral("0"));
    }

    void shouldCloseWithoutHook()
    {
        LoginTestRepository repo;
        CandidateState state;
        InstructionsWindow window(repo.root(), state);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestInstructionsWindow)
#include "tst_instructions_window.moc"
