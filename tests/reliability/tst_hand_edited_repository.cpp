// A repository a teacher has edited by hand: a UTF-8 sys.cho with a byte order mark and mixed CRLF
// and LF line ends, a section written twice, a paper listed twice, a class whose first number lies
// above its last, a paper listed without any folder, a question whose RTF file is missing and a
// result profile of 0 bytes. Every window of both programs opens on it (offscreen, with scripted
// dialogs), shows what can be shown, and a store keeps the file's own form.

#include "candidate/exam_test_support.h"
#include "candidate/exam_window.h"
#include "candidate/login_test_repository.h"
#include "candidate/login_window.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_management.h"
#include "proctor/authoring/paper_management_window.h"
#include "proctor/classes/class_window.h"
#include "proctor/classes/exam_room_window.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_window.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QTextEdit>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

const QString Paper = QStringLiteral("期中考试");
const QString GoodClass = QStringLiteral("高一(1)班");
const QString ReversedClass = QStringLiteral("倒置班");

// Pieces of sys.cho as a teacher's editor left them: UTF-8, both line ends.
const QByteArray SystemClasses =
    QStringLiteral("[ClassName]\r\nClassNameCount=2\n1=高一(1)班\r\n2=倒置班\n"
                   "[ClassCount]\r\n高一(1)班=3\n倒置班=5\r\n"
                   "[FirstNumber]\n高一(1)班=1\r\n倒置班=50\n"
                   "[LastNumber]\r\n高一(1)班=3\n倒置班=10\r\n")
        .toUtf8();
const QByteArray SystemRest =
    QStringLiteral("[ClassName]\r\nClassNameCount=9\r\n1=第二个节里的班\n"
                   "[TestName]\nTestNameCount=3\r\n1=期中考试\n2=期中考试\r\n3=没有文件夹的卷\n"
                   "期中考试=1\r\n没有文件夹的卷=1\n"
                   "[LetViewTest]\r\n期中考试=1\n"
                   "[期中考试]\r\n高一(1)班=1\n倒置班=1\r\n")
        .toUtf8();
const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HandEditedRepository
{
public:
    HandEditedRepository() : m_paths(m_dir.path())
    {
        QVERIFY(m_paths.createSystemFolder());
        QVERIFY(m_paths.createPaperFolders(Paper));
        writeBytes(m_paths.systemProfile(), Utf8Bom + SystemClasses + SystemRest);

        QStringEncoder gb18030("GB18030");
        writeBytes(
            m_paths.paperProfile(Paper),
            gb18030.encode(QStringLiteral(
                "[MAIN]\r\nTESTTIME=30\r\nQuestion_conut= 3\r\nMark= 5\r\nDISPLAY_SCORE=1\r\n"
                "CHANGE_QUESTION_SORT=0\r\n[1]\r\nQUESTION=q1.RTF\r\nexplain=e1.RTF\r\nanswer=1\r\n"
                "[2]\r\nQUESTION=missing.RTF\r\nexplain=missing-e.RTF\r\nanswer=2\r\n"
                "[3]\r\nQUESTION=q3.RTF\r\nexplain=e3.RTF\r\nanswer=13\r\n")));
        for (const QString &name :
             QStringList{u"q1.RTF"_qs, u"e1.RTF"_qs, u"q3.RTF"_qs, u"e3.RTF"_qs})
            writeBytes(m_paths.paperFile(Paper, name), "{\\rtf1\\ansi 题\\par}");

        // Student 1 handed in; student 2's file is empty; student 3 never came.
        QVERIFY(exam::storeLogin(resultProfile(1), GoodClass, QStringLiteral("1"),
                                 QStringLiteral("张三"), QString()));
        QVERIFY(exam::storeHandIn(resultProfile(1), GoodClass, QStringLiteral("1"),
                                  {QStringLiteral("00:05:00"), {1, 2, 13}, 15}));
        writeBytes(resultProfile(2), QByteArray());
    }

    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }
    QString systemProfile() const { return m_paths.systemProfile(); }
    QString resultProfile(int number) const
    {
        return m_paths.resultProfile(Paper, GoodClass, QString::number(number));
    }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
};

// Waits for the refresh the window has just started to be shown.
void waitForRefresh(exam::ResultsWindow &window)
{
    QSignalSpy finished(&window.refresher(), &exam::ResultsRefresher::finished);
    QVERIFY(finished.wait(60000));
}

} // namespace

class HandEditedRepositoryTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadTheFirstOfTwoSectionsAndEveryListedPaper();
    void shouldStoreTheClassWindowsTableInTheFilesOwnForm();
    void shouldOpenTheExamRoomWindow();
    void shouldOpenPaperManagementWithAPaperThatHasNoFolder();
    void shouldShowResultsOfAnEmptyProfileAndAReversedClass();
    void shouldLetAStudentWithAnEmptyProfileLogIn();
    void shouldSayWhenAQuestionFileIsMissing();
};

void HandEditedRepositoryTest::shouldReadTheFirstOfTwoSectionsAndEveryListedPaper()
{
    HandEditedRepository repository;
    const exam::ProfileSnapshot system = exam::ProfileSnapshot::load(repository.systemProfile());
    QCOMPARE(system.encoding(), exam::ProfileEncoding::Utf8Bom);
    const QList<exam::ClassEntry> classes = exam::readClassTable(system);
    QCOMPARE(classes.size(), 2);
    QCOMPARE(classes.at(1), (exam::ClassEntry{ReversedClass, 5, 50, 10}));
    QCOMPARE(exam::readPaperRoster(system).size(), 3);
    QCOMPARE(exam::readStudentResult(repository.resultProfile(2), GoodClass, QStringLiteral("2"), 3)
                 .state,
             exam::AttemptState::NotStarted);
}

void HandEditedRepositoryTest::shouldStoreTheClassWindowsTableInTheFilesOwnForm()
{
    HandEditedRepository repository;
    FakeDialogs dialogs;
    exam::ClassWindow window(repository.systemProfile(), dialogs);
    window.show();
    QCOMPARE(window.findChild<QListWidget *>(QStringLiteral("List1"))->count(), 2);
    auto *confirm = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(confirm);
    QTest::mouseClick(confirm, Qt::LeftButton);
    QCOMPARE(dialogs.messages(), QStringList());

    // Still UTF-8 with its mark; everything the class table does not own is untouched.
    const QByteArray stored = readBytes(repository.systemProfile());
    QVERIFY(stored.startsWith(QByteArray(Utf8Bom + SystemClasses.left(12))));
    QVERIFY(stored.endsWith(SystemRest));
    QCOMPARE(exam::readClassTable(exam::ProfileSnapshot::load(repository.systemProfile())).size(),
             2);
}

void HandEditedRepositoryTest::shouldOpenTheExamRoomWindow()
{
    HandEditedRepository repository;
    FakeDialogs dialogs;
    exam::ExamRoomWindow window(repository.systemProfile(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto lists = window.findChildren<QListWidget *>();
    QVERIFY(!lists.isEmpty());
    QVERIFY(lists.first()->count() >= 2);
}

void HandEditedRepositoryTest::shouldOpenPaperManagementWithAPaperThatHasNoFolder()
{
    HandEditedRepository repository;
    FakeDialogs dialogs;
    exam::PaperManagementWindow window(repository.root(), dialogs);
    window.show();
    QCOMPARE(window.management().table().count(), 3);
    window.management().select(2);
    QCOMPARE(window.management().selectedRow()->name(), QStringLiteral("没有文件夹的卷"));
    QCOMPARE(dialogs.messages(), QStringList());
}

void HandEditedRepositoryTest::shouldShowResultsOfAnEmptyProfileAndAReversedClass()
{
    HandEditedRepository repository;
    FakeDialogs dialogs;
    exam::ResultsWindow window(repository.root(), dialogs);
    QVERIFY(window.start());
    window.show();
    waitForRefresh(window);
    const exam::ResultsData &good = window.presenter().data();
    QCOMPARE(good.className, GoodClass);
    QCOMPARE(good.students.size(), 3);
    QCOMPARE(good.students.at(0).score, QStringLiteral("15"));
    QVERIFY(good.students.at(1).name.isEmpty());
    QVERIFY(!good.students.at(1).hasScore);
    // The question whose file is missing can be selected.
    window.presenter().selectQuestionRow(1);

    auto *classes = window.findChild<QComboBox *>(QStringLiteral("Combo2"));
    QVERIFY(classes);
    classes->setCurrentIndex(classes->findText(ReversedClass));
    window.refresh();
    waitForRefresh(window);
    QCOMPARE(window.presenter().data().className, ReversedClass);
    QCOMPARE(window.presenter().data().students.size(), 0);
    QCOMPARE(dialogs.messages(), QStringList());
}

void HandEditedRepositoryTest::shouldLetAStudentWithAnEmptyProfileLogIn()
{
    HandEditedRepository repository;
    FakeDialogs dialogs;
    ScriptedPasswordPrompt prompt;
    CandidateState state;
    LoginWindow window(repository.root(), state, dialogs, prompt);
    QVERIFY(window.start());
    window.show();
    QVERIFY(window.model().papers().contains(Paper));
    QVERIFY(
        window.model().logIn({Paper, GoodClass, QStringLiteral("2"), QStringLiteral("李四"), {}}));
    QCOMPARE(exam::readStudentResult(repository.resultProfile(2), GoodClass, QStringLiteral("2"), 3)
                 .name,
             QStringLiteral("李四"));
    // No number lies between 50 and 10.
    dialogs.clear();
    QVERIFY(!window.model().logIn(
        {Paper, ReversedClass, QStringLiteral("20"), QStringLiteral("王五"), {}}));
    QCOMPARE(dialogs.messages().size(), 1);
}

void HandEditedRepositoryTest::shouldSayWhenAQuestionFileIsMissing()
{
    HandEditedRepository repository;
    CandidateState state;
    state.paperName = Paper;
    state.className = GoodClass;
    state.examNumber = QStringLiteral("3");
    state.studentName = QStringLiteral("王五");
    ScriptedRandom random;
    FixedClock clock;
    QTemporaryDir cache;
    ExamEnvironment environment{
        repository.root(), true, cache.path(), &random, &clock, [](const QString &) {
            return std::unique_ptr<ExamTicker>(new ManualTicker);
        }};
    FakeDialogs dialogs;
    ExamWindow window(state, environment, dialogs);
    window.show();
    auto *question = window.findChild<QTextEdit *>(QStringLiteral("Rich题目"));
    QVERIFY(question);
    QCOMPARE(window.session().presentedCount(), 3);
    QCOMPARE(window.session().currentQuestion(), 1);
    QVERIFY(!question->toPlainText().contains(QStringLiteral("找不到")));

    window.session().next();
    QCOMPARE(window.session().currentQuestion(), 2);
    // The window says which file is missing where the question would be.
    QVERIFY(question->toPlainText().contains(QStringLiteral("missing.RTF")));
    // The student still answers and moves on.
    window.session().recordAnswer({true, false, false, false, false, false, false});
    QCOMPARE(window.session().answer(2), 1.0);
    window.session().next();
    QCOMPARE(window.session().currentQuestion(), 3);
}

QTEST_MAIN(HandEditedRepositoryTest)
#include "tst_hand_edited_repository.moc"
