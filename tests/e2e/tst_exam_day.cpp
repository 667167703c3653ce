// One exam from start to end on one temporary repository: the console's windows set up classes,
// a paper and the exam room, the paper editor's presentation class writes the questions; thirty
// clients sit the paper; the results window shows what they were scored.

#include "platform/dialogs/fake_dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_management_window.h"
#include "proctor/authoring/question_table.h"
#include "proctor/classes/class_window.h"
#include "proctor/classes/exam_room_window.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_window.h"
#include "repository/paper_profile.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"
#include "tools/scripted_client.h"
#include "window_driving.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <numeric>

using namespace exam::platform;

using exam::demo::ClientOutcome;
using exam::demo::ClientRun;

namespace {

const QString Paper = QStringLiteral("期末考试");
const QString ClassA = QStringLiteral("高二(1)班");
const QString ClassB = QStringLiteral("高二(2)班");
const QString ReloginPassword = QStringLiteral("469"); // what a new paper gets

struct Question
{
    QString answer;
    QString mark; // empty: the paper's default mark
};
// Single and multiple choice; the last question has a mark of its own.
const QList<Question> Questions = {
    {QStringLiteral("1"), {}},   {QStringLiteral("2"), {}},
    {QStringLiteral("13"), {}},  {QStringLiteral("4"), {}},
    {QStringLiteral("123"), {}}, {QStringLiteral("2"), QStringLiteral("25")}};
constexpr qint16 DefaultMark = 15;
constexpr double WrongAnswer = 5; // option E is no question's standard answer

int markOf(int question)
{
    const QString &mark = Questions.at(question - 1).mark;
    return mark.isEmpty() ? DefaultMark : mark.toInt();
}

struct Student
{
    QString className;
    QString number;
    QString name;
    int index = 0;
    bool knows(int question) const { return (index + question) % 4 != 0; }
    int expectedScore() const
    {
        int score = 0;
        for (int k = 1; k <= Questions.size(); ++k)
            score += knows(k) ? markOf(k) : 0;
        return score;
    }
};

class FixedClock final : public exam::Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 6, 20), QTime(9, 0)); }
};

} // namespace

class TestExamDay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldRunOneExamFromClassesToResults();

private:
    template <typename T> static T *child(QWidget *window, const QString &name)
    {
        return window_driving::findControl<T>(*window, name);
    }
    static void typeInto(QWidget *window, const QString &field, const QString &text);
    void createClasses();
    void createPaper();
    void writeQuestions();
    void openExamRoom();
    ClientOutcome sit(const Student &student, const QString &password = {}, int interruptAfter = -1,
                      bool allCorrect = false, const QList<int> &keep = {});
    void checkResults(exam::ResultsWindow &window, const QString &className);

    QTemporaryDir m_dir;
    QString m_root;
    FakeDialogs m_dialogs;
    QList<Student> m_students;
    QHash<QString, int> m_expected; // examination number → score
    exam::SecureRandomSource m_random;
    FixedClock m_clock;
};

void TestExamDay::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("repository"));
    QVERIFY(QDir().mkpath(m_root));
    const QStringList names{QStringLiteral("赵"), QStringLiteral("钱"), QStringLiteral("孙"),
                            QStringLiteral("李"), QStringLiteral("周"), QStringLiteral("吴")};
    for (int i = 0; i < 30; ++i) {
        const bool first = i < 20;
        const int number = first ? 1001 + i : 2001 + (i - 20);
        m_students.append({first ? ClassA : ClassB, QString::number(number),
                           names.at(i % names.size()) + QStringLiteral("同学%1").arg(i + 1), i});
        m_expected.insert(QString::number(number), m_students.last().expectedScore());
    }
}

void TestExamDay::typeInto(QWidget *window, const QString &field, const QString &text)
{
    auto *edit = child<QLineEdit>(window, field);
    QVERIFY(edit);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

void TestExamDay::createClasses()
{
    const exam::RepositoryPaths paths(m_root);
    exam::ClassWindow window(paths.systemProfile(), m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *list = child<QListWidget>(&window, QStringLiteral("List1"));
    const struct
    {
        QString name, size, first, last;
    } classes[] = {{ClassA, QStringLiteral("20"), QStringLiteral("1001"), QStringLiteral("1020")},
                   {ClassB, QStringLiteral("10"), QStringLiteral("2001"), QStringLiteral("2010")}};
    for (const auto &c : classes) {
        m_dialogs.answerInput(c.name);
        QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Command4")), Qt::LeftButton);
        QTRY_COMPARE(list->count(), int(&c - classes) + 1);
        list->setFocus();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(list->count() - 1)).center());
        QCOMPARE(child<QLineEdit>(&window, QStringLiteral("Text1"))->text(), c.name);
        typeInto(&window, QStringLiteral("Text3"), c.first);
        typeInto(&window, QStringLiteral("Text4"), c.last);
        typeInto(&window, QStringLiteral("Text2"), c.size);
    }
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(m_dialogs.messages(), QStringList());

    const auto stored = exam::readClassTable(exam::ProfileSnapshot::load(paths.systemProfile()));
    QCOMPARE(stored, (QList<exam::ClassEntry>{{ClassA, 20, 1001, 1020}, {ClassB, 10, 2001, 2010}}));
}

void TestExamDay::createPaper()
{
    exam::PaperManagementWindow window(m_root, m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    m_dialogs.answerInput(Paper);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Command6")), Qt::LeftButton);
    auto *list = child<QListWidget>(&window, QStringLiteral("List1"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), Paper);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Command3")), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));

    const exam::RepositoryPaths paths(m_root);
    QVERIFY(QFileInfo(paths.paperFolder(Paper)).isDir());
    QVERIFY(QFileInfo(paths.paperResultsFolder(Paper)).isDir());
    const auto settings = exam::readPaperSettings(
        exam::ProfileSnapshot::load(paths.paperProfile(Paper)), exam::PaperReader::Client);
    QCOMPARE(settings.reloginPassword, ReloginPassword);
}

// The teacher writes the questions in the paper editor: a text and an explanation each, the
// standard answer ticked, the last question with a mark of its own.
void TestExamDay::writeQuestions()
{
    exam::PaperEditor editor(m_root, Paper, m_dir.filePath(QStringLiteral("PCTEST")), m_dialogs,
                             m_random);
    if (const exam::Result opened = editor.open(); !opened)
        QFAIL(qPrintable(opened.message()));
    editor.activate();
    editor.editDefaultMark(QString::number(DefaultMark));
    for (int k = 1; k <= Questions.size(); ++k) {
        if (k > 1)
            editor.insert();
        QCOMPARE(editor.current(), k);
        QTextCursor(editor.questionDocument())
            .insertText(QStringLiteral("第%1题:请选择正确的选项。").arg(k));
        QTextCursor(editor.explanationDocument())
            .insertText(QStringLiteral("第%1题的解题辅导。").arg(k));
        editor.setAnswerTicks(exam::ticksFromAnswer(Questions.at(k - 1).answer));
        if (!Questions.at(k - 1).mark.isEmpty()) {
            editor.setUsesDefaultMark(false);
            editor.editOwnMark(Questions.at(k - 1).mark);
        }
    }
    if (const exam::Result saved = editor.save(); !saved)
        QFAIL(qPrintable(saved.message()));
    editor.clearWorkingFolder();

    const exam::RepositoryPaths paths(m_root);
    const exam::PaperData paper = exam::loadPaper(paths.paperProfile(Paper));
    QCOMPARE(paper.questionCount, qint16(Questions.size()));
    QCOMPARE(paper.defaultMark, DefaultMark);
    for (int k = 1; k <= Questions.size(); ++k) {
        QCOMPARE(paper.question(k).answer, Questions.at(k - 1).answer);
        QCOMPARE(paper.question(k).mark.trimmed(), Questions.at(k - 1).mark);
        QTextDocument document;
        QVERIFY(
            rtf::loadRtfFile(paths.paperFile(Paper, paper.question(k).questionFile), &document));
        QVERIFY(document.toPlainText().startsWith(QStringLiteral("第%1题").arg(k)));
    }
}

void TestExamDay::openExamRoom()
{
    const exam::RepositoryPaths paths(m_root);
    exam::ExamRoomWindow window(paths.systemProfile(), m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *papers = child<QListWidget>(&window, QStringLiteral("List11"));
    auto *open = child<QListWidget>(&window, QStringLiteral("List1"));
    QCOMPARE(papers->count(), 1);
    QTest::mouseClick(papers->viewport(), Qt::LeftButton, {},
                      papers->visualItemRect(papers->item(0)).center());
    // A new paper is open; a click closes it, a second one opens it again.
    QCOMPARE(open->item(0)->text(), QStringLiteral("是"));
    for (const QString &expected : {QStringLiteral("否"), QStringLiteral("是")}) {
        QTest::mouseClick(open->viewport(), Qt::LeftButton, {},
                          open->visualItemRect(open->item(0)).center());
        QCOMPARE(open->item(0)->text(), expected);
    }
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("全部选定")), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));

    const auto system = exam::ProfileSnapshot::load(paths.systemProfile());
    QVERIFY(exam::readPaperRoster(system).constFirst().isOpen());
    for (const QString &c : {ClassA, ClassB})
        QVERIFY(exam::isAdmitted(system, Paper, c, exam::AdmissionReader::ClientAtStartup));
}

// `keep`: questions the student leaves as they are.
ClientOutcome TestExamDay::sit(const Student &student, const QString &password, int interruptAfter,
                               bool allCorrect, const QList<int> &keep)
{
    ClientRun run;
    run.paper = Paper;
    run.className = student.className;
    run.number = student.number;
    run.name = student.name;
    run.password = password;
    run.interruptAfter = interruptAfter;
    run.answerFor = [student, allCorrect, keep](int k) {
        if (keep.contains(k))
            return -1.0;
        return allCorrect || student.knows(k) ? Questions.at(k - 1).answer.toDouble() : WrongAnswer;
    };
    // Every other PC mounts the repository from the school's share and reads a local copy.
    run.runsLocally = student.index % 2 == 0;
    run.localCacheFolder = m_dir.filePath(QStringLiteral("pc%1/kbtest4").arg(student.index));
    return exam::demo::sitPaper(m_root, run, m_random, m_clock);
}

void TestExamDay::checkResults(exam::ResultsWindow &window, const QString &className)
{
    auto *classes = child<QComboBox>(&window, QStringLiteral("Combo2"));
    classes->setCurrentIndex(classes->findText(className));
    window.refresh();
    exam::ResultsPresenter &presenter = window.presenter();
    QTRY_VERIFY(presenter.hasData() && presenter.data().className == className &&
                !window.refresher().isRunning());

    QList<Student> inClass;
    std::copy_if(m_students.cbegin(), m_students.cend(), std::back_inserter(inClass),
                 [&](const Student &s) { return s.className == className; });
    const exam::ResultsData &data = presenter.data();
    QCOMPARE(data.students.size(), inClass.size());
    QList<int> scores;
    for (int i = 0; i < inClass.size(); ++i) {
        const exam::StudentRecord &record = data.students.at(i);
        QCOMPARE(record.number, inClass.at(i).number);
        QCOMPARE(record.name, inClass.at(i).name);
        QVERIFY(record.hasScore);
        QCOMPARE(record.score.toInt(), m_expected.value(record.number));
        QVERIFY(!record.remainingTime.isEmpty());
        scores.append(m_expected.value(record.number));
    }

    // What the teacher sees: one row per student in both lists, each with the name and the score.
    auto *names = child<QListWidget>(&window, QStringLiteral("List1"));
    auto *scoreList = child<QListWidget>(&window, QStringLiteral("List2"));
    QCOMPARE(names->count(), inClass.size());
    QCOMPARE(scoreList->count(), inClass.size());
    for (int i = 0; i < inClass.size(); ++i) {
        QVERIFY2(names->item(i)->text().contains(inClass.at(i).name),
                 qPrintable(names->item(i)->text()));
        QVERIFY2(scoreList->item(i)->text().contains(
                     QString::number(m_expected.value(inClass.at(i).number))),
                 qPrintable(scoreList->item(i)->text()));
    }

    const exam::ScoreStatistics &statistics = data.statistics;
    QCOMPARE(statistics.participants(), qint64(inClass.size()));
    QCOMPARE(statistics.highest(), qint64(*std::max_element(scores.cbegin(), scores.cend())));
    QCOMPARE(statistics.lowest(), qint64(*std::min_element(scores.cbegin(), scores.cend())));
    QCOMPARE(statistics.total(), qint64(std::accumulate(scores.cbegin(), scores.cend(), 0)));
    const qint64 passed =
        std::count_if(scores.cbegin(), scores.cend(), [](int s) { return s >= 60; });
    QCOMPARE(statistics.passed(), passed);
    QCOMPARE(statistics.average(),
             std::accumulate(scores.cbegin(), scores.cend(), 0.0) / scores.size());
    auto *panel = child<QListWidget>(&window, QStringLiteral("Lst统计"));
    QStringList panelRows;
    for (int i = 0; i < panel->count(); ++i)
        panelRows.append(panel->item(i)->text());
    QCOMPARE(panelRows, presenter.statisticsRows());
    QVERIFY(panelRows.join(u'|').contains(statistics.shortAverageText()));

    // Per question: how many of the class answered it right.
    QCOMPARE(data.questions.size(), Questions.size());
    for (int k = 1; k <= Questions.size(); ++k) {
        const auto right = std::count_if(inClass.cbegin(), inClass.cend(), [&](const Student &s) {
            return s.knows(k) || m_expected.value(s.number) == 100;
        });
        QCOMPARE(data.questions.at(k - 1).correct, int(right));
    }
}

void TestExamDay::shouldRunOneExamFromClassesToResults()
{
    for (void (TestExamDay::*step)() : {&TestExamDay::createClasses, &TestExamDay::createPaper,
                                        &TestExamDay::writeQuestions, &TestExamDay::openExamRoom}) {
        (this->*step)();
        if (QTest::currentTestFailed())
            return;
    }

    const Student &interrupted = m_students.at(5);
    const Student &retested = m_students.at(22);
    // Full mark: 5 × 15 + 25.
    QCOMPARE(exam::totalMark(exam::loadPaper(exam::RepositoryPaths(m_root).paperProfile(Paper))),
             qint16(100));

    QList<int> answeredBeforeFailure;
    for (const Student &student : std::as_const(m_students)) {
        const bool interrupts = &student == &interrupted;
        const ClientOutcome outcome = sit(student, {}, interrupts ? 3 : -1);
        if (interrupts)
            answeredBeforeFailure = outcome.order.mid(0, 3);
        QVERIFY2(outcome.loggedIn, qPrintable(outcome.dialogTexts.join(u'|')));
        QCOMPARE(outcome.order.size(), Questions.size());
        QCOMPARE(outcome.handedIn, !interrupts);
        if (!interrupts)
            QVERIFY2(outcome.handInMessage.contains(
                         QStringLiteral("您的成绩为:%1").arg(student.expectedScore())),
                     qPrintable(outcome.handInMessage));
    }

    // The failed PC's student logs in again on another PC with the re-login password and goes on
    // with the same order; the three answers saved before the failure are kept.
    const exam::RepositoryPaths paths(m_root);
    const QString interruptedProfile =
        paths.resultProfile(Paper, interrupted.className, interrupted.number);
    QCOMPARE(exam::attemptState(exam::ProfileSnapshot::load(interruptedProfile),
                                interrupted.className, interrupted.number),
             exam::AttemptState::Interrupted);
    const ClientOutcome resumed =
        sit(interrupted, ReloginPassword, -1, false, answeredBeforeFailure);
    QVERIFY2(resumed.loggedIn, qPrintable(resumed.dialogTexts.join(u'|')));
    QVERIFY(resumed.resumed);
    QVERIFY(resumed.handedIn);
    QCOMPARE(resumed.order.mid(0, 3), answeredBeforeFailure);

    exam::ResultsWindow window(m_root, m_dialogs);
    QVERIFY(window.start());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    checkResults(window, ClassA);
    checkResults(window, ClassB);

    // A student of the second class is let sit the paper again: the teacher selects his row and
    // allows the retest; this time he answers every question right.
    auto *names = child<QListWidget>(&window, QStringLiteral("List1"));
    const int row = static_cast<int>(retested.number.toInt() - 2001);
    names->setCurrentRow(row);
    QCOMPARE(window.presenter().selectedStudent()->number, retested.number);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Cmd允许重考")), Qt::LeftButton);
    const QString retestedProfile = paths.resultProfile(Paper, retested.className, retested.number);
    QCOMPARE(exam::attemptState(exam::ProfileSnapshot::load(retestedProfile), retested.className,
                                retested.number),
             exam::AttemptState::Interrupted);
    const ClientOutcome again = sit(retested, ReloginPassword, -1, true);
    QVERIFY2(again.handedIn, qPrintable(again.dialogTexts.join(u'|')));
    m_expected[retested.number] = 100;
    checkResults(window, ClassB);
    QCOMPARE(window.presenter().data().statistics.highest(), qint64(100));

    // Another student's result is deleted after the teacher confirms: his next login is a fresh
    // start without any password, and only his new result counts.
    const Student &deleted = m_students.at(25);
    names->setCurrentRow(static_cast<int>(deleted.number.toInt() - 2001));
    m_dialogs.answerQuestion(true);
    QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("Cmd删除成绩")), Qt::LeftButton);
    QCOMPARE(m_dialogs.calls().last().text,
             QStringLiteral("确实要删除 %1 %2号 %3 在试卷“%4”中的成绩吗?")
                 .arg(deleted.className, deleted.number, deleted.name, Paper));
    QCOMPARE(exam::attemptState(exam::ProfileSnapshot::load(
                                    paths.resultProfile(Paper, deleted.className, deleted.number)),
                                deleted.className, deleted.number),
             exam::AttemptState::NotStarted);
    const ClientOutcome fresh = sit(deleted, {}, -1, true);
    QVERIFY2(fresh.loggedIn && !fresh.resumed && fresh.handedIn,
             qPrintable(fresh.dialogTexts.join(u'|')));
    m_expected[deleted.number] = 100;
    checkResults(window, ClassB);
}

QTEST_MAIN(TestExamDay)
#include "tst_exam_day.moc"
