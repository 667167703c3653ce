// Power cuts by the file system's rules rather than by timing: each kind of store runs once with
// every file operation recorded, then every on-disk state a crash at any point of it may leave
// (crash_states.h) is laid down in turn. In each, every file the store touched must hold its old
// bytes or its new bytes; any other file may only be a temporary of a cut store. A program started
// again on the state must go on from it: the student client logs in through the login's own
// decision and resumes exactly the answers of the file it finds (or starts afresh on a finished
// or missing attempt), the console's readers read the old or the new table, a listing of the
// folder shows no temporaries and removes them, and the next store of the file gives the file the
// store meant to write, with no temporary left. An import of questions writes its documents as one
// batch: a paper whose profile names the new questions finds all their documents whole.

#include "client_restart.h"
#include "console_pattern.h"
#include "crash_states.h"
#include "reliability_repository.h"

#include "interchange/paper_import.h"
#include "proctor/authoring/paper_management_save.h"
#include "repository/leftover_temporaries.h"
#include "repository/paper_profile.h"
#include "repository/random_source.h"

#include <QCryptographicHash>
#include <QTest>

#include <functional>

using namespace reliability;

namespace {

enum class Store {
    Login,
    ProgressSave,
    HandIn,
    RetestGrant,
    ClassTable,
    PaperProfile,
    SaveAll,
    QuestionImport
};

constexpr int Imported = 2;

constexpr int Client = 6;

QString resultProfile(const QString &root)
{
    return exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(Client));
}

// The repository as the store finds it.
void prepare(Store store, const QString &root)
{
    layOutRepository(root);
    const QString path = resultProfile(root);
    const QString number = studentNumber(Client);
    const exam::RepositoryPaths paths(root);
    switch (store) {
    case Store::Login: return;
    case Store::ProgressSave:
    case Store::HandIn:
    case Store::RetestGrant:
        QVERIFY(exam::storeLogin(path, ClassName, number, studentName(Client), formerName(Client)));
        QVERIFY(writeProfileString(ClassName, exam::ResultKeys::startStamp(number),
                                   QStringLiteral("2026,06,01  09:05:00"), path));
        QVERIFY(exam::storeProgress(path, ClassName, number, progressOf(Client, 1)));
        if (store == Store::RetestGrant)
            QVERIFY(exam::storeHandIn(path, ClassName, number, handInOf(Client, 2)));
        return;
    case Store::ClassTable:
    case Store::PaperProfile:
    case Store::QuestionImport: return;
    case Store::SaveAll:
        for (const QString &paper : consolePapers())
            QVERIFY(paths.createPaperFolders(paper));
        QVERIFY(exam::saveAllPapers(paths, roundPaperTable(0), {}, {}).ok());
        return;
    }
}

// The store whose crash states are explored; the same call again is the next store.
bool runStore(Store store, const QString &root)
{
    const QString path = resultProfile(root);
    const QString number = studentNumber(Client);
    const exam::RepositoryPaths paths(root);
    switch (store) {
    case Store::Login:
        return exam::storeLogin(path, ClassName, number, studentName(Client), formerName(Client))
            .ok();
    case Store::ProgressSave:
        return exam::storeProgress(path, ClassName, number, progressOf(Client, 2)).ok();
    case Store::HandIn: return exam::storeHandIn(path, ClassName, number, handInOf(Client, 3)).ok();
    case Store::RetestGrant: return exam::storeRetestGrant(path, ClassName, number).ok();
    case Store::ClassTable:
        return exam::writeClassTable(paths.systemProfile(), roundClasses(1)).ok();
    case Store::PaperProfile: {
        exam::PaperData paper = exam::loadPaper(paths.paperProfile(Paper));
        paper.question(3).answer = QStringLiteral("1234567");
        return exam::savePaper(paths.paperProfile(Paper), paper).ok();
    }
    case Store::SaveAll: return exam::saveAllPapers(paths, roundPaperTable(1), {}, {}).ok();
    case Store::QuestionImport: {
        QList<exam::interchange::InterchangeQuestion> questions;
        for (int q = 1; q <= Imported; ++q) {
            exam::interchange::InterchangeQuestion question;
            question.questionRtf =
                QByteArray("{\\rtf1 imported question ") + QByteArray::number(q) + '}';
            question.explanationRtf = QByteArray("{\\rtf1 why ") + QByteArray::number(q) + '}';
            question.answer = QStringLiteral("2");
            question.mark = QStringLiteral("5");
            questions.append(question);
        }
        exam::SecureRandomSource random;
        return exam::interchange::appendQuestionsToPaper(root, Paper, questions, random).ok;
    }
    }
    return false;
}

// Another import adds other questions under other names, so only the stores that write the same
// files again are repeated on a crash state.
bool isRepeatable(Store store)
{
    return store != Store::QuestionImport;
}

bool isResultStore(Store store)
{
    return store == Store::Login || store == Store::ProgressSave || store == Store::HandIn ||
           store == Store::RetestGrant;
}

QByteArray fingerprint(const DiskState &state)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto &[path, bytes] : state) {
        hash.addData(path.toUtf8());
        hash.addData(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    }
    return hash.result();
}

// What is wrong with a crash state, or an empty text.
QString problemWith(const DiskState &state, const DiskState &before, const DiskState &after)
{
    for (const auto &[path, bytes] : state) {
        const auto old = before.find(path);
        const auto stored = after.find(path);
        if (old == before.end() && stored == after.end()) {
            const QFileInfo info(path);
            bool temporary = false;
            for (const auto &entry : after)
                temporary = temporary ||
                            exam::isTemporaryOf(info.fileName(), QFileInfo(entry.first).fileName());
            if (!temporary)
                return QStringLiteral("unknown file ") + path;
            continue;
        }
        if ((old == before.end() || old->second != bytes) &&
            (stored == after.end() || stored->second != bytes))
            return QStringLiteral("%1 is neither old nor new (%2 bytes)")
                .arg(path)
                .arg(bytes.size());
    }
    for (const auto &[path, bytes] : before) {
        if (after.count(path) && !state.count(path))
            return QStringLiteral("%1 is gone").arg(path);
    }
    return QString();
}

QStringList temporariesIn(const QSet<QString> &folders)
{
    QStringList found;
    for (const QString &folder : folders) {
        for (const QString &name :
             QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (exam::isLeftoverTemporary(name))
                found << name;
        }
    }
    return found;
}

// The student client started on the state resumes what its file holds, or starts afresh.
void checkClientRestart(const QString &root, const DiskState &state)
{
    const QString path = QFileInfo(resultProfile(root)).absoluteFilePath();
    const auto file = state.find(path);
    const exam::ProfileSnapshot snapshot = file == state.end()
                                               ? exam::ProfileSnapshot()
                                               : exam::ProfileSnapshot::fromBytes(file->second);
    const exam::StudentResult stored =
        exam::readStudentResult(snapshot, ClassName, studentNumber(Client), Questions);
    const ClientRestart restart = restartClient(root, Client);
    QVERIFY(restart.loggedIn);
    QCOMPARE(restart.resumed, stored.state == exam::AttemptState::Interrupted);
    QList<double> expected(Questions, 0.0);
    if (restart.resumed) {
        for (int q = 0; q < Questions; ++q)
            expected[q] = double(stored.answers.at(q));
    }
    QCOMPARE(restart.answers, expected);
}

// The console's readers find the old or the new data.
void checkConsoleReaders(Store store, const QString &root)
{
    const exam::RepositoryPaths paths(root);
    if (store == Store::ClassTable) {
        const QList<exam::ClassEntry> classes =
            exam::readClassTable(exam::ProfileSnapshot::load(paths.systemProfile()));
        const QList<exam::ClassEntry> old{{ClassName, qint16(Students), 1, qint16(Students)}};
        QVERIFY(classes == old || classes == roundClasses(1));
    } else if (store == Store::PaperProfile) {
        const exam::PaperData paper = exam::loadPaper(paths.paperProfile(Paper));
        QCOMPARE(int(paper.questionCount), Questions);
        const QString answer = paper.question(3).answer;
        QVERIFY(answer == standardAnswer(3) || answer == u"1234567");
    } else if (store == Store::QuestionImport) {
        const exam::PaperData paper = exam::loadPaper(paths.paperProfile(Paper));
        QVERIFY(paper.questionCount == Questions || paper.questionCount == Questions + Imported);
        for (int q = Questions + 1; q <= paper.questionCount; ++q) {
            for (const QString &name :
                 {paper.question(q).questionFile, paper.question(q).explainFile})
                QVERIFY2(QFileInfo::exists(paths.paperFile(Paper, name)), qPrintable(name));
        }
    } else if (store == Store::SaveAll) {
        for (const QString &paper : consolePapers())
            QVERIFY(exam::ProfileSnapshot::load(paths.paperProfile(paper)).exists());
    }
}

} // namespace

class CrashStatesTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldLeaveOldOrNewFileInEveryCrashState_data();
    void shouldLeaveOldOrNewFileInEveryCrashState();
};

void CrashStatesTest::shouldLeaveOldOrNewFileInEveryCrashState_data()
{
    QTest::addColumn<Store>("store");
    QTest::newRow("result profile: first login creates it") << Store::Login;
    QTest::newRow("result profile: progress save") << Store::ProgressSave;
    QTest::newRow("result profile: hand-in") << Store::HandIn;
    QTest::newRow("result profile: the console's retest grant") << Store::RetestGrant;
    QTest::newRow("system profile: the class window's store") << Store::ClassTable;
    QTest::newRow("paper profile: save paper") << Store::PaperProfile;
    QTest::newRow("system and paper profiles: save all") << Store::SaveAll;
    QTest::newRow("paper folder and profile: import of questions") << Store::QuestionImport;
}

void CrashStatesTest::shouldLeaveOldOrNewFileInEveryCrashState()
{
    QFETCH(Store, store);
    QTemporaryDir dir;
    const QString root = dir.path();
    prepare(store, root);

    const exam::RepositoryPaths paths(root);
    QSet<QString> folders{QDir(paths.systemFolder()).absolutePath(),
                          QDir(paths.paperFolder(Paper)).absolutePath(),
                          QDir(paths.paperResultsFolder(Paper)).absolutePath()};
    for (const QString &paper : consolePapers()) {
        if (QFileInfo::exists(paths.paperFolder(paper)))
            folders << QDir(paths.paperFolder(paper)).absolutePath();
    }
    const DiskState before = readFolders(folders);
    RecordingFileOps recorder;
    {
        const exam::ScopedFileOps recording(recorder);
        QVERIFY(runStore(store, root));
    }
    const DiskState after = readFolders(folders);
    QVERIFY(before != after);
    QVERIFY(!recorder.ops.isEmpty());

    QSet<QByteArray> distinct;
    QList<DiskState> toRestart;
    QStringList problems;
    const int explored =
        crashStates(before, recorder.ops, [&](const DiskState &state, int cutAfter) {
            const QString problem = problemWith(state, before, after);
            if (!problem.isEmpty())
                problems << QStringLiteral("cut after operation %1 of %2: %3")
                                .arg(cutAfter)
                                .arg(recorder.ops.size())
                                .arg(problem);
            if (!distinct.contains(fingerprint(state))) {
                distinct.insert(fingerprint(state));
                toRestart.append(state);
            }
        });
    if (!problems.isEmpty())
        QFAIL(qPrintable(QStringLiteral("%1 of %2 crash states are broken, the first: %3")
                             .arg(problems.size())
                             .arg(explored)
                             .arg(problems.constFirst())));
    qInfo("%d file operations, %d crash states explored, %d distinct on disk",
          int(recorder.ops.size()), explored, int(distinct.size()));

    for (const DiskState &state : toRestart) {
        layDown(state, folders);
        if (isResultStore(store)) {
            checkClientRestart(root, state);
        } else {
            for (const QString &folder : folders) {
                for (const QString &name : exam::listProfileFolder(folder))
                    QVERIFY2(!exam::isLeftoverTemporary(name), qPrintable(name));
            }
            checkConsoleReaders(store, root);
        }
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(temporariesIn(folders), QStringList());
        if (!isRepeatable(store))
            continue;

        // The next store of the same data stores exactly it.
        layDown(state, folders);
        QVERIFY(runStore(store, root));
        QCOMPARE(temporariesIn(folders), QStringList());
        for (const auto &[path, bytes] : after) {
            if (!exam::isLeftoverTemporary(QFileInfo(path).fileName()))
                QCOMPARE(readFolders({QFileInfo(path).absolutePath()}).at(path), bytes);
        }
    }
}

QTEST_MAIN(CrashStatesTest)
#include "tst_crash_states.moc"
