// Names and values meant to break out: class and paper names with path parts, a student name with
// CR and LF, number fields of 40 digits. Each is refused or neutralised, and nothing outside the
// repository is touched.

#include "candidate/login_model.h"
#include "candidate/login_rules.h"
#include "candidate/login_test_repository.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_management.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/classes/class_table_model.h"
#include "proctor/results/results_loader.h"
#include "repository/name_rules.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QDirIterator>
#include <QTest>
#include <cmath>
#include <tuple>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

const QString FortyDigits = QStringLiteral("1234567890123456789012345678901234567890");

// Every path below `folder`, to see that nothing appeared outside the repository.
QStringList treeBelow(const QString &folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    return paths;
}

// A repository root one level inside a temporary folder, so that an escape would land beside it.
class Sandbox
{
public:
    Sandbox() : m_root(m_outer.filePath(QStringLiteral("repo"))), m_paths(m_root)
    {
        QVERIFY(QDir().mkpath(m_root));
        QVERIFY(m_paths.createSystemFolder());
    }
    QString outer() const { return m_outer.path(); }
    QString root() const { return m_root; }
    const exam::RepositoryPaths &paths() const { return m_paths; }
    // What lies outside the repository: only the repository itself.
    QStringList outside() const
    {
        return QDir(m_outer.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    QTemporaryDir m_outer;
    QString m_root;
    exam::RepositoryPaths m_paths;
};

} // namespace

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldRefuseNamesWithPathParts_data();
    void shouldRefuseNamesWithPathParts();
    void shouldRefuseANewPaperNamedWithPathParts();
    void shouldKeepListedPathNamesInsideTheRepositoryOnSaveAll();
    void shouldKeepResultProfilesOfPathClassNamesInsideTheRepository();
    void shouldWriteAStudentNameWithLineBreaksOnOneLine();
    void shouldRefuseFortyDigitClassNumbers();
    void shouldClampFortyDigitValuesReadFromFiles();
    void shouldRefuseAFortyDigitExaminationNumberAtLogin();
};

void HostileInputTest::shouldRefuseNamesWithPathParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent") << QStringLiteral("..");
    QTest::newRow("up and out") << QStringLiteral("../../逃出");
    QTest::newRow("backslashes") << QStringLiteral("..\\..\\逃出");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd");
    QTest::newRow("drive") << QStringLiteral("C:\\Windows");
    QTest::newRow("section") << QStringLiteral("[ClassName]");
    QTest::newRow("key") << QStringLiteral("a=b");
    QTest::newRow("line break") << QStringLiteral("高一\r\n[Admin]");
}

void HostileInputTest::shouldRefuseNamesWithPathParts()
{
    QFETCH(QString, name);
    QVERIFY(!exam::checkPaperName(name));
    QVERIFY(!exam::checkClassName(name));
    exam::ClassTableModel model;
    model.load({{QStringLiteral("高一(1)班"), 40, 1, 40}});
    QVERIFY(!model.addClass(name).isEmpty());
    QCOMPARE(model.names(), QStringList{QStringLiteral("高一(1)班")});
}

void HostileInputTest::shouldRefuseANewPaperNamedWithPathParts()
{
    Sandbox sandbox;
    FakeDialogs dialogs;
    exam::PaperManagement management(sandbox.root(), dialogs);
    management.open();
    dialogs.answerInput(QStringLiteral("../../逃出"));
    management.newPaper();
    QCOMPARE(management.table().count(), 0);
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(management.saveAll());
    QCOMPARE(sandbox.outside(), QStringList{QStringLiteral("repo")});
}

void HostileInputTest::shouldKeepListedPathNamesInsideTheRepositoryOnSaveAll()
{
    Sandbox sandbox;
    // A hand-edited roster lists names that reach out of the repository.
    const QList<exam::PaperEntry> roster{{QStringLiteral("../../逃出"), QStringLiteral("1"), {}},
                                         {QStringLiteral(".."), QStringLiteral("1"), {}},
                                         {QStringLiteral("正常试卷"), QStringLiteral("1"), {}}};
    QVERIFY(exam::writePaperRoster(sandbox.paths().systemProfile(), roster));
    const exam::PaperTable table = exam::PaperTable::load(sandbox.paths());
    QCOMPARE(table.count(), 3);
    const exam::SaveAllResult result =
        exam::saveAllPapers(sandbox.paths(), table, table.names(), table.names());
    QVERIFY(!result.ok());
    QCOMPARE(sandbox.outside(), QStringList{QStringLiteral("repo")});
    QVERIFY(QFileInfo(sandbox.paths().paperFolder(QStringLiteral("正常试卷"))).isDir());
    for (const QString &path : treeBelow(sandbox.outer()))
        QVERIFY2(path == sandbox.root() || path.startsWith(sandbox.root() + u'/'),
                 qPrintable(path));
}

void HostileInputTest::shouldKeepResultProfilesOfPathClassNamesInsideTheRepository()
{
    Sandbox sandbox;
    const QString paper = QStringLiteral("期中");
    QVERIFY(sandbox.paths().createPaperFolders(paper));
    for (const QString &className :
         {QStringLiteral("../../.."), QStringLiteral("/tmp/x"), QStringLiteral("..")}) {
        const QString path = sandbox.paths().resultProfile(paper, className, QStringLiteral("1"));
        QVERIFY2(QFileInfo(path).absoluteFilePath().startsWith(
                     sandbox.paths().paperResultsFolder(paper) + u'/'),
                 qPrintable(path));
        // Stored or refused, the login must not land outside the results folder.
        std::ignore = exam::storeLogin(path, className, QStringLiteral("1"), QStringLiteral("张三"),
                                       QString());
    }
    QCOMPARE(sandbox.outside(), QStringList{QStringLiteral("repo")});
}

void HostileInputTest::shouldWriteAStudentNameWithLineBreaksOnOneLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("高一(1)班17.cho"));
    const QString className = QStringLiteral("高一(1)班");
    const QString name =
        QStringLiteral("张三\r\n[Admin]\r\npwd=\n17DF=100") + QChar(0) + QStringLiteral("尾");
    QVERIFY(
        exam::storeLogin(path, className, QStringLiteral("17"), name, QStringLiteral("旧\n名")));
    const exam::ProfileSnapshot profile = exam::ProfileSnapshot::load(path);
    QVERIFY(!profile.containsSection(QStringLiteral("Admin")));
    QVERIFY(!profile.contains(className, exam::ResultKeys::score(QStringLiteral("17"))));
    const QString stored = profile.value(className, QStringLiteral("17"));
    QVERIFY(stored.startsWith(QStringLiteral("张三")));
    QVERIFY(!stored.contains(u'\r') && !stored.contains(u'\n'));
    QCOMPARE(profile.value(className, exam::ResultKeys::formerName(QStringLiteral("17"))),
             QStringLiteral("旧 名"));
    // What the login window stores of such a name.
    QCOMPARE(cleanTypedName(QStringLiteral("\r\n张三\r\n")), QStringLiteral("张三"));
}

void HostileInputTest::shouldRefuseFortyDigitClassNumbers()
{
    exam::ClassTableModel model;
    model.load({{QStringLiteral("高一(1)班"), 40, 1, 40}});
    QVERIFY(!exam::classFieldNumber(FortyDigits).has_value());
    model.setFieldText(exam::ClassTableModel::Field::Size, FortyDigits);
    QCOMPARE(model.sizeConfirmed().message, exam::NumberOutOfRangeMessage);
    model.setFieldText(exam::ClassTableModel::Field::Last, FortyDigits);
    QVERIFY(model.lastNumberConfirmed().isRefused());
    QCOMPARE(model.classes().constFirst(),
             (exam::ClassEntry{QStringLiteral("高一(1)班"), 40, 1, 40}));
}

void HostileInputTest::shouldClampFortyDigitValuesReadFromFiles()
{
    QCOMPARE(exam::profileNumber(FortyDigits), qint16(32767));
    QCOMPARE(exam::profileNumber(u'-' + FortyDigits), qint16(-32768));

    // A class range and a score of 40 digits in hand-edited files.
    Sandbox sandbox;
    const QString paper = QStringLiteral("期中");
    const QString className = QStringLiteral("高一(1)班");
    QVERIFY(sandbox.paths().createPaperFolders(paper));
    const QString system = sandbox.paths().systemProfile();
    QVERIFY(exam::writePaperRoster(system, {{paper, QStringLiteral("1"), QStringLiteral("1")}}));
    QVERIFY(exam::writeClassTable(system, {{className, 2, 1, 2}}));
    QVERIFY(writeProfileString(QStringLiteral("ClassCount"), className, FortyDigits, system));
    QVERIFY(writeProfileString(QStringLiteral("MAIN"), QStringLiteral("Question_conut"),
                               QStringLiteral(" 1"), sandbox.paths().paperProfile(paper)));
    const QString result = sandbox.paths().resultProfile(paper, className, QStringLiteral("1"));
    QVERIFY(exam::storeLogin(result, className, QStringLiteral("1"), QStringLiteral("张三"),
                             QString()));
    QVERIFY(writeProfileString(className, QStringLiteral("1DF"), FortyDigits, result));
    QVERIFY(writeProfileString(className, QStringLiteral("1TIME2"), QStringLiteral("00:01:00"),
                               result));
    QVERIFY(writeProfileString(className, QStringLiteral("1DA1"), FortyDigits, result));

    const exam::ResultsData data = exam::loadResults({sandbox.root(), paper, className});
    QCOMPARE(data.classCount, qint16(32767));
    QCOMPARE(data.students.size(), 2);
    QVERIFY(data.students.at(0).hasScore);
    QVERIFY(std::isfinite(data.students.at(0).scoreValue));
    QVERIFY(std::isfinite(data.statistics.average()));
    QVERIFY(!data.statistics.averageText().isEmpty());
}

void HostileInputTest::shouldRefuseAFortyDigitExaminationNumberAtLogin()
{
    LoginTestRepository repository;
    repository.addClass(QStringLiteral("高一(1)班"), 1, 40);
    repository.addPaper(QStringLiteral("期中"), QStringLiteral("1"), QStringLiteral("0"));
    repository.admit(QStringLiteral("期中"), QStringLiteral("高一(1)班"), QStringLiteral("1"));
    FakeDialogs dialogs;
    ScriptedPasswordPrompt prompt;
    CandidateState state;
    LoginModel model(repository.root(), state, dialogs, prompt);
    QVERIFY(model.start());
    const QStringList before = treeBelow(repository.root());
    QVERIFY(!model.logIn({QStringLiteral("期中"),
                          QStringLiteral("高一(1)班"),
                          FortyDigits,
                          QStringLiteral("张三"),
                          {}}));
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(treeBelow(repository.root()), before);
}

QTEST_MAIN(HostileInputTest)
#include "tst_hostile_input.moc"
