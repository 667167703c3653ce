// Power cuts by process kills at chosen points: a worker process stores round after round and, in
// one round, kills itself (SIGKILL) just before one file operation of its stores (the worker's
// kill point). Every step of the round is cut in turn. Afterwards every profile it was writing must
// hold, byte for byte, either what it held after the last round the process announced or what the
// cut round was writing — never a mixture, never an empty or half-written file — and no folder of
// the repository may hold any other file than a temporary of a watched file, which the next store
// or listing then removes. Covered: the client's progress saves and hand-ins (then the client is
// started again and logs in through the login's own decision: an interrupted attempt resumes from
// the last save in the file, a finished one starts afresh), paper management's "save all", the
// class window's "确定" and the paper editor's "确定".
//
// A SIGKILL keeps what the kernel already has, so this shows atomicity against a crash of the
// program; what a power cut can lose is tst_crash_states' part. The round cut is drawn from a
// seed, logged; EXAM_POWER_CUT_SEED repeats a run.

#include "attempt_pattern.h"
#include "client_restart.h"
#include "console_pattern.h"
#include "reliability_repository.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/classes/class_table_model.h"
#include "repository/leftover_temporaries.h"

#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <functional>
#include <map>

using namespace reliability;
using namespace exam::platform;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The files a case watches, by their path below the repository root.
using FileStates = std::map<QString, QByteArray>;

FileStates readStates(const QString &root, const QStringList &files)
{
    FileStates states;
    for (const QString &file : files)
        states[file] = fileBytes(root + u'/' + file);
    return states;
}

// The bytes each watched file holds after rounds 1 … r of a worker, found by doing the same
// rounds in a repository of its own that starts out the same. Extended as far as a case needs.
class RoundReplay
{
public:
    RoundReplay(QStringList files, std::function<void(const QString &root)> prepare,
                std::function<void(const QString &root, int round)> storeRound)
        : m_files(std::move(files)), m_storeRound(std::move(storeRound))
    {
        prepare(m_dir.path());
        m_states.push_back(readStates(m_dir.path(), m_files));
    }

    const FileStates &after(int round)
    {
        while (int(m_states.size()) <= round) {
            m_storeRound(m_dir.path(), int(m_states.size()));
            m_states.push_back(readStates(m_dir.path(), m_files));
        }
        return m_states.at(std::size_t(round));
    }

private:
    QTemporaryDir m_dir;
    QStringList m_files;
    std::function<void(const QString &, int)> m_storeRound;
    std::vector<FileStates> m_states;
};

struct CutRun
{
    enum Outcome { Killed, RanThrough, Failed } outcome = Failed;
    int lastDone = 0; // the last round the worker announced
    QString detail;
};

// Runs the worker until it kills itself before operation `step` of round `round`, or runs through
// the round when the round has fewer operations.
CutRun runCut(const QStringList &arguments, int round, int step)
{
    QProcess worker;
    worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    worker.start(QStringLiteral(RELIABILITY_WORKER),
                 arguments + QStringList{QStringLiteral("cut"), QString::number(round),
                                         QString::number(step)});
    CutRun run;
    if (!worker.waitForFinished(120000)) {
        worker.kill();
        worker.waitForFinished();
        run.detail = QStringLiteral("the worker hung");
        return run;
    }
    const QByteArray output = worker.readAllStandardOutput().trimmed();
    run.lastDone = output.isEmpty() ? 0 : output.split('\n').constLast().toInt();
    if (worker.exitStatus() == QProcess::CrashExit && worker.exitCode() == SIGKILL)
        run.outcome = CutRun::Killed;
    else if (worker.exitStatus() == QProcess::NormalExit && worker.exitCode() == 0)
        run.outcome = CutRun::RanThrough;
    else
        run.detail = QStringLiteral("the worker ended with status %1, code %2")
                         .arg(int(worker.exitStatus()))
                         .arg(worker.exitCode());
    return run;
}

// Which of the two rounds each file holds (-1 when neither).
std::map<QString, int> matchRounds(const FileStates &now, const FileStates &done,
                                   const FileStates &underWay, int lastDone)
{
    std::map<QString, int> rounds;
    for (const auto &[file, bytes] : now) {
        if (bytes == done.at(file))
            rounds[file] = lastDone;
        else if (bytes == underWay.at(file))
            rounds[file] = lastDone + 1;
        else
            rounds[file] = -1;
    }
    return rounds;
}

// Every file below `root` that is neither one of `known` (paths below the root) nor a temporary
// of a profile, which a cut store may leave.
QStringList strayFiles(const QString &root, const QSet<QString> &known)
{
    QStringList stray;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root).relativeFilePath(it.next());
        if (!known.contains(path) && !exam::isLeftoverTemporary(it.fileName()))
            stray << path;
    }
    return stray;
}

QSet<QString> filesBelow(const QString &root)
{
    const QStringList files = strayFiles(root, {});
    return QSet<QString>(files.cbegin(), files.cend());
}

QStringList temporariesBelow(const QString &root)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (exam::isLeftoverTemporary(it.fileName()))
            found << it.fileName();
    }
    return found;
}

// Lists every folder below `root` as the programs list them, which removes temporaries.
void listEveryFolder(const QString &root)
{
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        exam::listProfileFolder(it.next());
}

void prepareStudent(const QString &root, int client)
{
    const QString path =
        exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(client));
    QVERIFY(exam::storeLogin(path, ClassName, studentNumber(client), studentName(client),
                             formerName(client)));
    QVERIFY(writeProfileString(ClassName, exam::ResultKeys::startStamp(studentNumber(client)),
                               QStringLiteral("2026,06,01  09:05:00"), path));
}

} // namespace

class PowerCutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldKeepWholeResultProfilesAndResumeFromTheLastSave();
    void shouldKeepWholeProfilesWhenSaveAllIsCut();
    void shouldKeepAWholeSystemProfileWhenTheClassWindowsStoreIsCut();
    void shouldKeepWholePaperFilesWhenTheEditorsSaveIsCut();

private:
    // One case: for every step of round `round`, a fresh repository from `prepare`, the worker
    // started with `arguments(root)` and cut there; `check(root, round the files hold)` then looks
    // at what is left. The files are compared with a replay of the same rounds.
    void cutEveryStep(const QString &what, int round, const QStringList &files,
                      const std::function<void(const QString &)> &prepare,
                      const std::function<void(const QString &, int)> &storeRound,
                      const std::function<QStringList(const QString &root)> &arguments,
                      const std::function<void(const QString &root, int inFile)> &check);

    quint32 m_seed = 0;
    QRandomGenerator m_random;
};

void PowerCutTest::initTestCase()
{
    bool given = false;
    m_seed = quint32(qEnvironmentVariableIntValue("EXAM_POWER_CUT_SEED", &given));
    if (!given)
        m_seed = QRandomGenerator::securelySeeded().generate();
    m_random.seed(m_seed);
    qInfo("seed %u (EXAM_POWER_CUT_SEED=%u repeats this run)", m_seed, m_seed);
}

void PowerCutTest::cutEveryStep(const QString &what, int round, const QStringList &files,
                                const std::function<void(const QString &)> &prepare,
                                const std::function<void(const QString &, int)> &storeRound,
                                const std::function<QStringList(const QString &)> &arguments,
                                const std::function<void(const QString &, int)> &check)
{
    RoundReplay replay(files, prepare, storeRound);
    QTemporaryDir replayed;
    prepare(replayed.path());
    for (int r = 1; r <= round; ++r)
        storeRound(replayed.path(), r);
    int newFound = 0;
    int step = 0;
    for (;; ++step) {
        QTemporaryDir dir;
        prepare(dir.path());
        QSet<QString> known = filesBelow(dir.path()) + filesBelow(replayed.path());
        const CutRun run = runCut(arguments(dir.path()), round, step);
        QVERIFY2(run.outcome != CutRun::Failed, qPrintable(run.detail));
        if (run.outcome == CutRun::RanThrough) {
            QCOMPARE(run.lastDone, round);
            break;
        }
        QCOMPARE(run.lastDone, round - 1);
        const auto rounds = matchRounds(readStates(dir.path(), files), replay.after(round - 1),
                                        replay.after(round), round - 1);
        int inFile = round - 1;
        for (const auto &[file, r] : rounds) {
            QVERIFY2(r >= 0, qPrintable(QStringLiteral(
                                            "%1, round %2 cut before step %3: %4 is neither round")
                                            .arg(what)
                                            .arg(round)
                                            .arg(step)
                                            .arg(file)));
            inFile = std::max(inFile, r);
        }
        newFound += inFile == round;
        QCOMPARE(strayFiles(dir.path(), known), QStringList());
        check(dir.path(), inFile);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(temporariesBelow(dir.path()), QStringList());
    }
    QVERIFY2(step > 0, "no kill point was reached");
    qInfo("%s: round %d cut before each of its %d file operations and after them; %d cuts found "
          "the cut round's files",
          qPrintable(what), round, step - 1, newFound);
}

void PowerCutTest::shouldKeepWholeResultProfilesAndResumeFromTheLastSave()
{
    const int client = 3;
    const QString file =
        QStringLiteral("CHENGJI/%1/%2%3.cho").arg(Paper, ClassName, studentNumber(client));
    const auto prepare = [&](const QString &root) {
        layOutRepository(root);
        prepareStudent(root, client);
    };
    const auto storeRound = [&](const QString &root, int round) {
        const QString path =
            exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(client));
        if (round % 4 == 0)
            QVERIFY(
                exam::storeHandIn(path, ClassName, studentNumber(client), handInOf(client, round)));
        else
            QVERIFY(exam::storeProgress(path, ClassName, studentNumber(client),
                                        progressOf(client, round)));
    };
    const auto arguments = [&](const QString &root) {
        return QStringList{
            QStringLiteral("attempt"),
            exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(client)),
            QString::number(client)};
    };
    // A restarted client logs in by its own rules: an interrupted attempt resumes the answers,
    // order and position of the last save in the file; a finished one (from round 4 on, the
    // hand-in's time stays in the file) is a retest from scratch.
    const auto check = [&](const QString &root, int inFile) {
        const ClientRestart restart = restartClient(root, client);
        QVERIFY(restart.loggedIn);
        QCOMPARE(restart.resumed, inFile < 4);
        if (!restart.resumed) {
            QCOMPARE(restart.answers, QList<double>(Questions, 0.0));
            return;
        }
        int lastProgress = inFile;
        while (lastProgress % 4 == 0)
            --lastProgress;
        QCOMPARE(restart.answers, roundAnswers(client, inFile));
        QCOMPARE(restart.order, roundOrder(lastProgress));
        QCOMPARE(restart.position, progressOf(lastProgress).currentPosition);
    };
    cutEveryStep(QStringLiteral("progress save"), int(m_random.bounded(2, 4)), {file}, prepare,
                 storeRound, arguments, check);
    cutEveryStep(QStringLiteral("hand-in"), 4, {file}, prepare, storeRound, arguments, check);
}

void PowerCutTest::shouldKeepWholeProfilesWhenSaveAllIsCut()
{
    QStringList files{QStringLiteral("sys/sys.cho")};
    for (const QString &paper : consolePapers())
        files << QStringLiteral("SHIJUAN/%1/%1.cho").arg(paper);
    const auto prepare = [](const QString &root) {
        layOutRepository(root);
        const exam::RepositoryPaths paths(root);
        for (const QString &paper : consolePapers())
            QVERIFY(paths.createPaperFolders(paper));
        QVERIFY(exam::saveAllPapers(paths, roundPaperTable(0), {}, {}).ok());
    };
    const auto storeRound = [](const QString &root, int round) {
        QVERIFY(
            exam::saveAllPapers(exam::RepositoryPaths(root), roundPaperTable(round), {}, {}).ok());
    };
    const auto check = [](const QString &root, int) {
        listEveryFolder(root);
        for (const QString &paper : consolePapers())
            QVERIFY(exam::ProfileSnapshot::load(exam::RepositoryPaths(root).paperProfile(paper))
                        .exists());
    };
    cutEveryStep(
        QStringLiteral("save all"), int(m_random.bounded(2, 7)), files, prepare, storeRound,
        [](const QString &root) {
            return QStringList{QStringLiteral("saveall"), root};
        },
        check);
}

void PowerCutTest::shouldKeepAWholeSystemProfileWhenTheClassWindowsStoreIsCut()
{
    const auto storeRound = [](const QString &root, int round) {
        exam::ClassTableModel model;
        model.load(roundClasses(round));
        QVERIFY(
            exam::writeClassTable(exam::RepositoryPaths(root).systemProfile(), model.classes()));
    };
    const auto check = [](const QString &root, int inFile) {
        listEveryFolder(root);
        const exam::ProfileSnapshot system =
            exam::ProfileSnapshot::load(exam::RepositoryPaths(root).systemProfile());
        QCOMPARE(exam::readClassTable(system), roundClasses(inFile));
    };
    cutEveryStep(
        QStringLiteral("class window"), int(m_random.bounded(2, 7)),
        {QStringLiteral("sys/sys.cho")}, layOutRepository, storeRound,
        [](const QString &root) {
            return QStringList{QStringLiteral("classes"), root};
        },
        check);
}

void PowerCutTest::shouldKeepWholePaperFilesWhenTheEditorsSaveIsCut()
{
    // The paper profile and every question file.
    QStringList files{QStringLiteral("SHIJUAN/%1/%1.cho").arg(Paper)};
    for (int k = 1; k <= Questions; ++k)
        files << QStringLiteral("SHIJUAN/%1/q%2.RTF").arg(Paper).arg(k)
              << QStringLiteral("SHIJUAN/%1/e%2.RTF").arg(Paper).arg(k);
    FakeDialogs dialogs;
    ScriptedRandom random;
    // One editor per repository it saves in, kept open from round to round as the worker keeps its.
    std::map<QString, std::pair<std::unique_ptr<QTemporaryDir>, std::unique_ptr<exam::PaperEditor>>>
        editors;
    const auto storeRound = [&](const QString &root, int round) {
        auto &[working, editor] = editors[root];
        if (!editor) {
            working = std::make_unique<QTemporaryDir>();
            editor =
                std::make_unique<exam::PaperEditor>(root, Paper, working->path(), dialogs, random);
            QVERIFY(editor->open());
            editor->activate();
        }
        QVERIFY(storeEditorRound(*editor, round));
    };
    QTemporaryDir working;
    const auto check = [&](const QString &root, int) {
        listEveryFolder(root);
        // The editor opens the paper again with all its questions.
        QTemporaryDir again;
        exam::PaperEditor editor(root, Paper, again.path(), dialogs, random);
        QVERIFY(editor.open());
        QCOMPARE(editor.table().count(), Questions);
    };
    cutEveryStep(
        QStringLiteral("paper editor"), int(m_random.bounded(2, 5)), files, layOutRepository,
        storeRound,
        [&](const QString &root) {
            return QStringList{QStringLiteral("editor"), root, working.path()};
        },
        check);
}

QTEST_MAIN(PowerCutTest)
#include "tst_power_cut.moc"
