// The road of one paper from the teacher's first question to the student's score: paper
// management creates the paper and opens the paper editor through "编辑试卷"; the editor window,
// driven as a teacher drives it, writes three questions in Chinese rich text with answers and
// marks; the exam room opens the paper to a class; the client's login and exam logic sit it; the
// score and the result profile are checked against the paper the editor wrote.

#include "candidate/exam_session.h"
#include "candidate/login_model.h"
#include "candidate/password_prompt.h"
#include "platform/dialogs/fake_dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/authoring_hooks.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_window.h"
#include "proctor/authoring/paper_management.h"
#include "repository/clock.h"
#include "repository/paper_profile.h"
#include "repository/profile_file.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"
#include "window_driving.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace exam::candidate;
using namespace exam::platform;

using window_driving::click;
using window_driving::control;

namespace {

const QString Paper = QStringLiteral("期中考试");
const QString Class = QStringLiteral("高一(1)班");
const QString Number = QStringLiteral("1017");

struct Question
{
    QString text;
    QList<int> options; // ticked, in the order the teacher clicks them
    QString ownMark;    // empty: the paper's default mark
};
// Default mark 4: 4 + 2.5 rounds half to even to 6, then 9.
const QList<Question> Questions = {
    {QStringLiteral("下列哪些是质数？1.二 2.四 3.五 4.九"), {3, 1}, {}},
    {QStringLiteral("水的化学式是 H₂O。1.是 2.非"), {1}, QStringLiteral("2.5")},
    {QStringLiteral("选出所有的偶数：1.二 2.四 3.六 4.八"), {4, 2, 3, 1}, QStringLiteral("3")}};

class NoPassword final : public PasswordPrompt
{
public:
    std::optional<QString> ask(const QString &) override { return std::nullopt; }
};

// Chinese text arrives from the input method; the first words are set in bold.
void typeQuestion(QTextEdit *edit, const QString &text)
{
    edit->setFocus();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCursor cursor = edit->textCursor();
    cursor.insertText(text.left(2), bold);
    cursor.insertText(text.mid(2), QTextCharFormat());
}

void retype(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// The teacher's work in the editor window, as it happens between "编辑试卷" and "确定".
void writeQuestions(exam::PaperEditorWindow &window)
{
    retype(control<QLineEdit>(window, QStringLiteral("Text设置默认分值")), QStringLiteral("4"));
    for (int k = 1; k <= Questions.size(); ++k) {
        if (k > 1)
            click(window, QStringLiteral("Cmd下一题")); // on the last question: a new one
        const Question &q = Questions.at(k - 1);
        typeQuestion(control<QTextEdit>(window, QStringLiteral("RichTextBox1")), q.text);
        control<QTextEdit>(window, QStringLiteral("RichTextBox2"))
            ->insertPlainText(QStringLiteral("第%1题的解题辅导").arg(k));
        for (int option : q.options)
            click(window, QStringLiteral("Chk答案_%1").arg(option));
        if (!q.ownMark.isEmpty()) {
            // A new question takes the mark of the one above, so the switch may be off already.
            if (control<QCheckBox>(window, QStringLiteral("Chk使用默认分值"))->isChecked())
                click(window, QStringLiteral("Chk使用默认分值"));
            retype(control<QLineEdit>(window, QStringLiteral("Text分值")), q.ownMark);
        }
    }
    click(window, QStringLiteral("Cmd_ok"));
}

class FixedClock final : public exam::Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 11, 2), QTime(8, 30)); }
};

} // namespace

class TestPaperRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void paperWrittenInTheEditorShouldBeSatAndScored();

private:
    QTemporaryDir m_cache;
};

void TestPaperRoad::initTestCase()
{
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestPaperRoad::cleanup()
{
    exam::setPaperEditorOpener({});
}

void TestPaperRoad::paperWrittenInTheEditorShouldBeSatAndScored()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const exam::RepositoryPaths paths(dir.path());
    QVERIFY(paths.createSystemFolder());
    QVERIFY(
        exam::writeClassTable(paths.systemProfile(), {exam::ClassEntry{Class, 45, 1001, 1045}}));

    // The console: a new paper, then "编辑试卷" opens the editor window on it.
    FakeDialogs consoleDialogs;
    exam::SecureRandomSource consoleRandom;
    const QString workingFolder = m_cache.path() + QStringLiteral("/PCTEST");
    bool edited = false;
    exam::setPaperEditorOpener([&](const exam::AuthoringRequest &request) {
        exam::PaperEditorWindow window(request.repositoryRoot, request.row.name(), workingFolder,
                                       *request.dialogs, consoleRandom);
        window.show();
        writeQuestions(window);
        edited = !window.isVisible() && window.result() == QDialog::Accepted;
    });
    exam::PaperManagement management(paths.root(), consoleDialogs);
    management.open();
    consoleDialogs.answerInput(Paper);
    management.newPaper();
    management.editPaper();
    QVERIFY(edited);
    QVERIFY2(consoleDialogs.messages().isEmpty(),
             qPrintable(consoleDialogs.messages().join(u'\n')));
    // Paper management shows the counts the editor wrote.
    QCOMPARE(management.selectedRow()->at(exam::PaperColumn::QuestionCount), QStringLiteral("3"));
    QCOMPARE(management.selectedRow()->at(exam::PaperColumn::FullMark), QStringLiteral("9"));
    QCOMPARE(management.selectedRow()->at(exam::PaperColumn::DefaultMark), QStringLiteral("4"));

    // What the editor stored: answers in digit form, own marks, files in the paper folder.
    const exam::PaperData stored = exam::loadPaper(paths.paperProfile(Paper));
    QCOMPARE(stored.questionCount, 3);
    QCOMPARE(stored.question(1).answer, QStringLiteral("13"));
    QCOMPARE(stored.question(2).answer, QStringLiteral("1"));
    QCOMPARE(stored.question(3).answer, QStringLiteral("1234"));
    QCOMPARE(stored.question(1).mark, QString());
    QCOMPARE(stored.question(3).mark, QStringLiteral("3"));

    // The exam room opens the paper to the class.
    QVERIFY(exam::writeExamRooms(paths.systemProfile(), {exam::ExamRoomPaper{Paper, true, {true}}},
                                 {Class}));

    // The client: login, then the exam; the student answers questions 1 and 3 right, 2 wrong.
    CandidateState state;
    FakeDialogs clientDialogs;
    NoPassword prompt;
    LoginModel login(paths.root(), state, clientDialogs, prompt);
    QVERIFY(login.start());
    QCOMPARE(login.papers(), QStringList({Paper}));
    QVERIFY(login.logIn(LoginEntries{Paper, Class, Number, QStringLiteral("李明"), QString()}));

    exam::SecureRandomSource clientRandom;
    FixedClock clock;
    ExamEnvironment environment;
    environment.repositoryRoot = paths.root();
    environment.localCacheFolder = m_cache.path() + QStringLiteral("/kbtest4");
    environment.random = &clientRandom;
    environment.clock = &clock;
    ExamSession session(state, environment);
    session.start();
    QCOMPARE(session.presentedCount(), 3);
    QSet<int> seen;
    for (int position = 1; position <= 3; ++position) {
        const int k = session.currentQuestion();
        seen.insert(k);
        QFile shown(session.questionDocument());
        QVERIFY(shown.open(QIODevice::ReadOnly));
        QTextDocument document;
        QVERIFY(rtf::readRtf(shown.readAll(), &document));
        QCOMPARE(document.toPlainText(), Questions.at(k - 1).text);
        QTextCursor first(&document);
        first.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(first.charFormat().fontWeight(), int(QFont::Bold));

        exam::OptionTicks ticks{};
        const QList<int> options = k == 2 ? QList<int>{2} : Questions.at(k - 1).options;
        for (int option : options)
            ticks[static_cast<size_t>(option - 1)] = true;
        session.recordAnswer(ticks);
        session.next();
    }
    QCOMPARE(seen, QSet<int>({1, 2, 3}));

    const ExamSession::HandInOutcome outcome = session.handIn();
    QVERIFY2(outcome.stored, qPrintable(outcome.message));
    QVERIFY(outcome.message.contains(QStringLiteral("您的成绩为:7")));

    // The result profile: the student's name, answers, score and the finished marker.
    const QString result = paths.resultProfile(Paper, Class, Number);
    const auto value = [&](const QString &suffix) {
        return readProfileString(Class, Number + suffix, QStringLiteral("<missing>"), result);
    };
    QCOMPARE(value(QStringLiteral("DF")), QStringLiteral("7"));
    QCOMPARE(value(QStringLiteral("DA1")), QStringLiteral("13"));
    QCOMPARE(value(QStringLiteral("DA2")), QStringLiteral("2"));
    QCOMPARE(value(QStringLiteral("DA3")), QStringLiteral("1234"));
    QVERIFY(value(QStringLiteral("TIME2")) != QStringLiteral("<missing>"));
    QVERIFY(!value(QStringLiteral("TIME2")).isEmpty());
}

QTEST_MAIN(TestPaperRoad)
#include "tst_paper_road.moc"
