#include "candidate/exam_session.h"
#include "candidate/question_order.h"

#include "exam_test_support.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace exam::candidate;

namespace {

std::unique_ptr<ExamSession> startSession(ExamRepository &repo, CandidateState &state,
                                          bool runsLocally = true)
{
    auto session = std::make_unique<ExamSession>(state, repo.environment(runsLocally));
    session->start();
    return session;
}

exam::OptionTicks tick(std::initializer_list<int> options)
{
    exam::OptionTicks ticks{};
    for (int j : options)
        ticks[j - 1] = true;
    return ticks;
}

QList<int> savedOrder(const ExamRepository &repo, int count)
{
    QList<int> order;
    for (int i = 1; i <= count; ++i)
        order.append(repo.result(QStringLiteral("SX%1").arg(i)).toInt());
    return order;
}

} // namespace

class TestExamSession : public QObject
{
    Q_OBJECT

private slots:
    void freshStartInPaperOrder()
    {
        ExamRepository repo;
        repo.writePaper(3, 90, 2);
        CandidateState state = repo.state();
        auto session = startSession(repo, state);

        QCOMPARE(session->order(), QList<int>({1, 2, 3}));
        QCOMPARE(repo.random.drawn, 0);
        QCOMPARE(session->clockText(), QStringLiteral("01:30:00"));
        QCOMPARE(state.remainingTime, 5400);
        QCOMPARE(state.testMinutes, 90);
        QCOMPARE(state.questionCount, 3);
        QCOMPARE(state.defaultMark, 2);
        QCOMPARE(state.currentPosition, 1);
        QCOMPARE(repo.result(QStringLiteral("TIME1")), QStringLiteral("2026,06,01  09:05:00"));
        // The first save happened at once.
        QCOMPARE(repo.result(QStringLiteral("TIME")), QStringLiteral("01:30:00"));
        QCOMPARE(repo.result(QStringLiteral("DangQian")), QStringLiteral("1"));
        QCOMPARE(repo.result(QStringLiteral("DA3")), QStringLiteral("0"));
        QCOMPARE(savedOrder(repo, 3), QList<int>({1, 2, 3}));
        QCOMPARE(session->windowTitle(), QStringLiteral("高一(2)班 17 张三 张小三 期中测验"));
        QCOMPARE(session->selectFrameCaption(), QStringLiteral("选择试题          总题数: 3"));
        QCOMPARE(session->questionCaption(), QStringLiteral("题号:1      分值:2"));
        QVERIFY(repo.clockTimer()->isActive());
        QCOMPARE(repo.clockTimer()->interval(), 1000);
        QCOMPARE(repo.saveTimer()->interval(), 60000);
    }

    void shuffleUsesTheRandomSource()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1);
        repo.setMain(QStringLiteral("CHANGE_QUESTION_SORT"), QStringLiteral("1"));
        repo.random.draws << 0.9 << 0.4 << 0.9;
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QCOMPARE(session->order(), QList<int>({3, 2, 1}));
        QCOMPARE(savedOrder(repo, 3), QList<int>({3, 2, 1}));
        // Position 1 shows question 3, with question 3's own mark.
        QCOMPARE(session->currentQuestion(), 3);
    }

    void randomDrawOfTenOutOfFifty()
    {
        ExamRepository repo;
        repo.writePaper(50, 30, 1);
        repo.setMain(QStringLiteral("rnd_test"), QStringLiteral("1"));
        repo.setMain(QStringLiteral("rnd_test_No"), QStringLiteral("10"));
        for (int k = 0; k < 50; ++k)
            repo.random.draws.enqueue((49 - k) / 50.0); // k ↔ 50 - k + 1 swaps
        CandidateState state = repo.state();
        auto session = startSession(repo, state);

        QCOMPARE(repo.random.drawn, 50); // a draw always shuffles
        QCOMPARE(session->presentedCount(), 10);
        QCOMPARE(session->navigation().pageMaximum(), 10);
        QCOMPARE(session->selectFrameCaption(), QStringLiteral("选择试题          总题数: 10"));
        QCOMPARE(repo.result(QStringLiteral("DA50")), QStringLiteral("0"));
        QCOMPARE(repo.result(QStringLiteral("SX10")), QString::number(session->order().at(9)));
        QCOMPARE(repo.result(QStringLiteral("SX11")), QStringLiteral("<missing>"));
        QVERIFY(isUsableOrder(session->order(), 50, 10));
    }

    void freshOrderFollowsThePaperSettings_data()
    {
        QTest::addColumn<QStringList>("settings"); // "KEY=value", or "-KEY" to drop the key
        QTest::addColumn<int>("questions");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<int>("presented");
        const QList<double> threeDraws{0.9, 0.4, 0.9}; // 1 ↔ 3, 2 ↔ 2, 3 ↔ 3
        QTest::newRow("sort key 0: paper order")
            << QStringList{} << 3 << QList<double>{} << QList<int>{1, 2, 3} << 3;
        QTest::newRow("sort key missing: shuffled")
            << QStringList{QStringLiteral("-CHANGE_QUESTION_SORT")} << 3 << threeDraws
            << QList<int>{3, 2, 1} << 3;
        QTest::newRow("rnd_test 2 draws too")
            << QStringList{QStringLiteral("rnd_test=2"), QStringLiteral("rnd_test_No=2")} << 4
            << QList<double>{0.9, 0.9, 0.0, 0.0} << QList<int>{2, 1, 4, 3} << 2;
        QTest::newRow("draw above the question count")
            << QStringList{QStringLiteral("rnd_test=1"), QStringLiteral("rnd_test_No=9")} << 3
            << threeDraws << QList<int>{3, 2, 1} << 3;
        QTest::newRow("draw of none")
            << QStringList{QStringLiteral("rnd_test=1"), QStringLiteral("rnd_test_No=0")} << 3
            << threeDraws << QList<int>{3, 2, 1} << 0;
    }
    void freshOrderFollowsThePaperSettings()
    {
        QFETCH(QStringList, settings);
        QFETCH(int, questions);
        QFETCH(QList<double>, draws);
        QFETCH(QList<int>, order);
        QFETCH(int, presented);
        ExamRepository repo;
        repo.writePaper(questions, 30, 1);
        for (const QString &setting : settings) {
            if (setting.startsWith(u'-'))
                repo.removeMain(setting.mid(1));
            else
                repo.setMain(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        }
        for (double u : draws)
            repo.random.draws.enqueue(u);
        CandidateState state = repo.state();
        auto session = startSession(repo, state);

        QCOMPARE(repo.random.drawn, draws.size());
        QCOMPARE(session->order(), order);
        QCOMPARE(session->presentedCount(), presented);
        QCOMPARE(session->selectFrameCaption(),
                 QStringLiteral("选择试题          总题数: %1").arg(presented));
        QCOMPARE(savedOrder(repo, presented), order.mid(0, presented));
        QCOMPARE(repo.result(QStringLiteral("SX%1").arg(presented + 1)),
                 QStringLiteral("<missing>"));
        QCOMPARE(session->currentQuestion(), presented > 0 ? order.first() : 0);
    }

    void reloginRestoresOrderAnswersClockAndPosition()
    {
        ExamRepository repo;
        repo.writePaper(30, 45, 1);
        repo.setMain(QStringLiteral("CHANGE_QUESTION_SORT"), QStringLiteral("1"));
        QList<int> order;
        {
            CandidateState state = repo.state();
            for (int k = 0; k < 30; ++k)
                repo.random.draws.enqueue(((k * 7) % 30) / 30.0);
            auto session = startSession(repo, state);
            order = session->order();
            session->selectQuestionButton(12);
            session->recordAnswer(tick({1, 3}));
            repo.clockTimer()->fire(75);
            QVERIFY(session->saveProgress());
        }
        repo.clock.time = repo.clock.time.addSecs(600);
        CandidateState state = repo.state(true);
        auto session = startSession(repo, state);
        QCOMPARE(session->order(), order);
        QCOMPARE(session->answer(order.at(11)), 13.0);
        QCOMPARE(session->clockText(), QStringLiteral("00:43:45"));
        QCOMPARE(state.currentPosition, 12);
        QCOMPARE(repo.result(QStringLiteral("TIME1")), QStringLiteral("2026,06,01  09:05:00"));
        QCOMPARE(session->optionTicks(), tick({1, 3}));
    }

    void reloginWithoutSavedProgressStartsSafely()
    {
        ExamRepository repo;
        repo.writePaper(4, 20, 1);
        repo.setResult(QStringLiteral("TIME1"), QStringLiteral("2026,06,01  09:00:00"));
        repo.setResult(QStringLiteral("DangQian"), QStringLiteral("99"));
        CandidateState state = repo.state(true);
        auto session = startSession(repo, state);
        QCOMPARE(session->order(), QList<int>({1, 2, 3, 4}));
        QCOMPARE(session->clockText(), QStringLiteral("00:20:00"));
        QCOMPARE(state.currentPosition, 1);
    }

    void reloginOnADrawKeepsTheAnsweredQuestions_data()
    {
        QTest::addColumn<QStringList>("storedOrder");
        QTest::addColumn<QList<int>>("resumed"); // empty: drawn afresh
        QTest::newRow("saved order usable") << QStringList{"4", "7", "5"} << QList<int>{4, 7, 5};
        QTest::newRow("order missing") << QStringList{} << QList<int>{};
        QTest::newRow("question left the paper") << QStringList{"2", "9", "5"} << QList<int>{};
        QTest::newRow("question twice") << QStringList{"5", "5", "7"} << QList<int>{};
    }
    void reloginOnADrawKeepsTheAnsweredQuestions()
    {
        QFETCH(QStringList, storedOrder);
        QFETCH(QList<int>, resumed);
        ExamRepository repo;
        repo.writePaper(8, 30, 1, QStringList(8, QStringLiteral("2")));
        repo.setMain(QStringLiteral("rnd_test"), QStringLiteral("1"));
        repo.setMain(QStringLiteral("rnd_test_No"), QStringLiteral("3"));
        repo.setResult(QStringLiteral("TIME1"), QStringLiteral("2026,06,01  09:00:00"));
        repo.setResult(QStringLiteral("TIME"), QStringLiteral("00:20:00"));
        for (int p = 1; p <= storedOrder.size(); ++p)
            repo.setResult(QStringLiteral("SX%1").arg(p), storedOrder.at(p - 1));
        repo.setResult(QStringLiteral("DA5"), QStringLiteral("2"));
        repo.setResult(QStringLiteral("DA7"), QStringLiteral("13"));
        CandidateState state = repo.state(true);
        auto session = startSession(repo, state);

        const QList<int> presented = session->order().mid(0, 3);
        QVERIFY(isUsableOrder(session->order(), 8, 3));
        if (!resumed.isEmpty())
            QCOMPARE(presented, resumed);
        QCOMPARE(repo.random.drawn, resumed.isEmpty() ? 8 : 0);
        QVERIFY(presented.contains(5) && presented.contains(7));
        QCOMPARE(session->answer(5), 2.0);
        QCOMPARE(session->answer(7), 13.0);
        QCOMPARE(session->clockText(), QStringLiteral("00:20:00"));
        QCOMPARE(savedOrder(repo, 3), presented);
        QVERIFY(session->handIn().stored);
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("1")); // question 5 is right
    }

    void untimedPaperNeverRunsOut_data()
    {
        QTest::addColumn<QString>("testTime");
        QTest::newRow("empty") << QString();
        QTest::newRow("zero") << QStringLiteral("0");
        QTest::newRow("negative") << QStringLiteral("-5");
        QTest::newRow("not a number") << QStringLiteral("abc");
    }
    void untimedPaperNeverRunsOut()
    {
        QFETCH(QString, testTime);
        ExamRepository repo;
        repo.writePaper(2, 30, 1, {QStringLiteral("1"), QStringLiteral("1")});
        repo.setMain(QStringLiteral("TESTTIME"), testTime);
        {
            CandidateState state = repo.state();
            auto session = startSession(repo, state);
            QSignalSpy timeUp(session.get(), &ExamSession::timeUp);
            QCOMPARE(session->clockText(), QStringLiteral("不限时"));
            repo.clockTimer()->fire(3600);
            session->clockTick();
            QCOMPARE(timeUp.count(), 0);
            QVERIFY(session->answeringOpen());
            session->recordAnswer(tick({1}));
            QVERIFY(repo.saveTimer()->fire());
            QCOMPARE(repo.result(QStringLiteral("TIME")), QStringLiteral("不限时"));
            QCOMPARE(repo.result(QStringLiteral("DA1")), QStringLiteral("1"));
            QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("<missing>"));
        }
        // Back after an interruption the paper is still without a limit.
        CandidateState state = repo.state(true);
        auto session = startSession(repo, state);
        QSignalSpy timeUp(session.get(), &ExamSession::timeUp);
        QCOMPARE(session->clockText(), QStringLiteral("不限时"));
        repo.clockTimer()->fire(60);
        session->clockTick();
        QCOMPARE(timeUp.count(), 0);
        QCOMPARE(session->answer(1), 1.0);
        QVERIFY(session->handIn().stored);
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("不限时"));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("1"));
    }

    void clockRunsDownAndTimesOut()
    {
        ExamRepository repo;
        repo.writePaper(2, 1, 1);
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QSignalSpy timeUp(session.get(), &ExamSession::timeUp);
        repo.clockTimer()->fire(59);
        QCOMPARE(session->clockText(), QStringLiteral("00:00:01"));
        QCOMPARE(timeUp.count(), 0);
        repo.clockTimer()->fire();
        QCOMPARE(session->clockText(), QStringLiteral("00:00:00"));
        QCOMPARE(timeUp.count(), 1);
        QVERIFY(!repo.clockTimer()->isActive());
        QVERIFY(!session->answeringOpen());
        session->recordAnswer(tick({1}));
        QCOMPARE(session->answer(1), 0.0);
    }

    void longTimeLimitsWork()
    {
        ExamRepository repo;
        repo.writePaper(1, 600, 1);
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QCOMPARE(session->clockText(), QStringLiteral("10:00:00"));
        repo.clockTimer()->fire();
        QCOMPARE(session->clockText(), QStringLiteral("09:59:59"));
    }

    void handInScoresAndStores()
    {
        ExamRepository repo;
        repo.writePaper(
            4, 30, 2, {QStringLiteral("124"), QStringLiteral("1"), QString(), QStringLiteral("3")},
            {QString(), QStringLiteral("1.5"), QStringLiteral("0"), QStringLiteral("1.5")});
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        session->recordAnswer(tick({1, 2, 4})); // right, 2
        session->next();
        session->recordAnswer(tick({1})); // right, 1.5 → 4 (rounded 3.5)
        session->next();                  // empty standard, nothing ticked: right, 0
        session->next();
        session->recordAnswer(tick({2})); // wrong
        repo.clockTimer()->fire(5);

        const ExamSession::HandInOutcome outcome = session->handIn();
        QVERIFY(outcome.stored);
        QVERIFY(outcome.message.contains(QStringLiteral("本试卷总分为:5")));
        QVERIFY(outcome.message.contains(QStringLiteral("您的成绩为:4 ")));
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("4"));
        QCOMPARE(repo.result(QStringLiteral("TIME2")), QStringLiteral("00:29:55"));
        QCOMPARE(repo.result(QStringLiteral("DA1")), QStringLiteral("124"));
        QCOMPARE(repo.result(QStringLiteral("DA4")), QStringLiteral("2"));
        QVERIFY(session->handedIn());
        QVERIFY(!repo.saveTimer()->isActive());
    }

    void failedSaveWarnsAndIsRetried()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QVERIFY(session->saveWarning().isEmpty());
        QSignalSpy status(session.get(), &ExamSession::saveStatusChanged);

        QVERIFY(QDir(repo.resultsFolder()).removeRecursively());
        session->recordAnswer(tick({2}));
        QVERIFY(repo.saveTimer()->fire());
        QVERIFY(!session->saveWarning().isEmpty());
        QCOMPARE(status.count(), 1);

        QVERIFY(QDir().mkpath(repo.resultsFolder()));
        QVERIFY(repo.saveTimer()->fire());
        QVERIFY(session->saveWarning().isEmpty());
        QCOMPARE(status.count(), 2);
        QCOMPARE(repo.result(QStringLiteral("DA1")), QStringLiteral("2"));
    }

    void startStampIsWrittenOnceTheFolderIsBack()
    {
        ExamRepository repo;
        repo.writePaper(2, 30, 1);
        QVERIFY(QDir(repo.resultsFolder()).removeRecursively());
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QVERIFY(!session->saveWarning().isEmpty());
        QVERIFY(QDir().mkpath(repo.resultsFolder()));
        repo.clock.time = repo.clock.time.addSecs(60);
        QVERIFY(repo.saveTimer()->fire());
        QVERIFY(session->saveWarning().isEmpty());
        QCOMPARE(repo.result(QStringLiteral("TIME1")), QStringLiteral("2026,06,01  09:05:00"));
        QCOMPARE(repo.result(QStringLiteral("TIME")), QStringLiteral("00:30:00"));
    }

    void reviewWritesNothing()
    {
        ExamRepository repo;
        repo.writePaper(3, 30, 1, {QStringLiteral("1"), QStringLiteral("2"), QString()});
        repo.setResult(QStringLiteral("SX1"), QStringLiteral("2"));
        repo.setResult(QStringLiteral("SX2"), QStringLiteral("3"));
        repo.setResult(QStringLiteral("SX3"), QStringLiteral("1"));
        repo.setResult(QStringLiteral("DA1"), QStringLiteral("12"));
        repo.setResult(QStringLiteral("DA2"), QStringLiteral("2"));
        repo.setResult(QStringLiteral("DA3"), QStringLiteral("0"));
        repo.setResult(QStringLiteral("TIME2"), QStringLiteral("00:10:00"));
        repo.setResult(QStringLiteral("DF"), QStringLiteral("2"));
        const QByteArray before = repo.resultBytes();

        CandidateState state = repo.state(false, true);
        auto session = startSession(repo, state);
        QCOMPARE(session->order(), QList<int>({2, 3, 1}));
        QCOMPARE(session->scoreLabelText(), QStringLiteral("成绩:2"));
        QVERIFY(session->windowTitle().endsWith(QStringLiteral("  |查阅试卷|")));
        QVERIFY(!repo.clockTimer()->isActive());
        QCOMPARE(session->questionCaption(),
                 QStringLiteral("题号:1      分值:1   标准答案: 2  您答对了!"));
        QCOMPARE(session->questionButton(1).tint, Tint::ReviewRight);
        QCOMPARE(session->questionButton(2).tint, Tint::ReviewRight); // no standard answer
        QCOMPARE(session->questionButton(3).tint, Tint::ReviewWrong);
        session->next();
        QCOMPARE(session->questionCaption(),
                 QStringLiteral("题号:2      分值:1 本题标准答案尚未输入."));
        // "显示答案" adds the explanation; in review the clock stays off either way.
        session->toggleAnswerDisplay();
        QVERIFY(session->answerShown());
        QVERIFY(session->explanationDocument().endsWith(QStringLiteral("e3.RTF")));
        QCOMPARE(session->questionCaption(),
                 QStringLiteral("题号:2      分值:1 本题标准答案尚未输入."));
        session->previous();
        QCOMPARE(session->questionCaption(),
                 QStringLiteral("题号:1      分值:1   标准答案: 2  您答对了!"));
        QVERIFY(!repo.clockTimer()->isActive());
        session->toggleAnswerDisplay();
        QVERIFY(!session->answerShown());
        QVERIFY(!repo.clockTimer()->isActive());
        session->recordAnswer(tick({5}));
        session->clockTick();
        QVERIFY(session->saveProgress());
        QVERIFY(session->handIn().stored);
        QCOMPARE(repo.resultBytes(), before);
    }

    void emptyPaperStartsWithoutQuestions()
    {
        ExamRepository repo; // no paper profile at all
        CandidateState state = repo.state();
        auto session = startSession(repo, state);
        QCOMPARE(session->presentedCount(), 0);
        QCOMPARE(session->currentQuestion(), 0);
        QVERIFY(session->questionCaption().isEmpty());
        session->next();
        session->jumpForward();
        QCOMPARE(state.currentPosition, 1);
        QVERIFY(session->handIn().stored);
        QCOMPARE(repo.result(QStringLiteral("DF")), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestExamSession)
#include "tst_exam_session.moc"
