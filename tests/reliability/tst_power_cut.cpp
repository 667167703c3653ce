// Power cuts: a process is killed (SIGKILL) at a random moment while it stores, again and again;
// afterwards every profile it was writing must hold, byte for byte, either what it held after the
// last store the process finished or what the store under way was writing — never a mixture, never
// an empty or half-written file. Covered: the client's progress saves and hand-ins (and a re-login
// then resumes from the last save in the file), paper management's "save all", and the class
// window's "确定" and the paper editor's "确定".
//
// EXAM_POWER_CUTS sets how many kills each case makes (default 6).

#include "attempt_pattern.h"
#include "console_pattern.h"
#include "reliability_repository.h"

#include "candidate/exam_session.h"
#include "candidate/exam_test_support.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/classes/class_table_model.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>

using namespace reliability;

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

// Starts the worker, lets it complete at least one store, keeps reading its output until a random
// moment, kills it there and returns the last round it announced as finished.
int killAtRandomMoment(const QStringList &arguments, QRandomGenerator &random)
{
    QProcess worker;
    worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    worker.start(QStringLiteral(RELIABILITY_WORKER), arguments);
    if (!worker.waitForStarted(60000))
        return -1;
    QByteArray output;
    while (!output.contains('\n') && worker.waitForReadyRead(60000))
        output += worker.readAllStandardOutput();
    const QDeadlineTimer killMoment(qint64(random.bounded(60)));
    while (!killMoment.hasExpired() && worker.state() == QProcess::Running) {
        worker.waitForReadyRead(int(std::max<qint64>(1, killMoment.remainingTime())));
        output += worker.readAllStandardOutput();
    }
    worker.kill();
    worker.waitForFinished(60000);
    output += worker.readAllStandardOutput();
    const QList<QByteArray> lines = output.left(output.lastIndexOf('\n')).split('\n');
    return lines.constLast().toInt();
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

// Files the stores left behind beside the watched ones. A store writes an unnamed temporary file,
// links it under a temporary name (the file's name and six characters) and renames that over the
// file; a kill between the link and the rename leaves the complete new file under that name. No
// reader looks at such names, so they are tolerated here; anything else is not.
QStringList strayFiles(const QString &folder)
{
    static const QRegularExpression kept(QStringLiteral("\\.(cho|rtf)(\\.[A-Za-z0-9]{6})?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList stray;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = kept.match(name);
        if (!match.hasMatch())
            stray << name;
        else if (match.hasCaptured(2))
            qInfo("a cut store left %s", qPrintable(name));
    }
    return stray;
}

void prepareStudent(const QString &root, int client)
{
    const QString path = exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(client));
    QVERIFY(exam::storeLogin(path, ClassName, studentNumber(client), studentName(client), formerName(client)));
    QVERIFY(writeProfileString(ClassName, exam::ResultKeys::startStamp(studentNumber(client)),
                                     QStringLiteral("2026,06,01  09:05:00"), path));
}

} // namespace

class PowerCutTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldKeepWholeResultProfilesAndResumeFromTheLastSave();
    void shouldKeepWholeProfilesWhenSaveAllIsCut();
    void shouldKeepAWholeSystemProfileWhenTheClassWindowsStoreIsCut();
    void shouldKeepWholePaperFilesWhenTheEditorsSaveIsCut();

private:
    // How many kills came after the store under way had replaced the file but before the process
    // announced it (the others found the last announced store).
    void reportCuts(int cutsInTheStore) const
    {
        qInfo("%d of %d kills found the store under way already in place", cutsInTheStore, m_cuts);
    }

    QRandomGenerator m_random{QRandomGenerator::securelySeeded()};
    const int m_cuts = environmentNumber("EXAM_POWER_CUTS", 6);
};

void PowerCutTest::shouldKeepWholeResultProfilesAndResumeFromTheLastSave()
{
    int cutsInTheStore = 0;
    for (int cut = 0; cut < m_cuts; ++cut) {
        ReliabilityRepository repository;
        const int client = cut;
        const QString file = QDir(repository.root()).relativeFilePath(repository.resultProfile(client));
        prepareStudent(repository.root(), client);
        RoundReplay replay(
            {file}, [&](const QString &root) {
                layOutRepository(root);
                prepareStudent(root, client);
            },
            [&](const QString &root, int round) {
                const QString path = exam::RepositoryPaths(root).resultProfile(Paper, ClassName, studentNumber(client));
                if (round % 4 == 0)
                    QVERIFY(exam::storeHandIn(path, ClassName, studentNumber(client), handInOf(client, round)));
                else
                    QVERIFY(exam::storeProgress(path, ClassName, studentNumber(client), progressOf(client, round)));
            });

        const int lastDone = killAtRandomMoment(
            {QStringLiteral("attempt"), repository.resultProfile(client), QString::number(client)}, m_random);
        QVERIFY2(lastDone > 0, "the worker never finished a store");
        const auto rounds = matchRounds(readStates(repository.root(), {file}), replay.after(lastDone),
                                        replay.after(lastDone + 1), lastDone);
        const int inFile = rounds.at(file);
        QVERIFY2(inFile >= 0, qPrintable(QStringLiteral("cut after round %1: the result profile is neither round").arg(lastDone)));
        QCOMPARE(strayFiles(repository.paths().paperResultsFolder(Paper)), QStringList());
        cutsInTheStore += inFile > lastDone;

        // Re-login: the exam resumes with the answers, order and position of the last save in the
        // file (a hand-in stores answers too, but no order or position).
        int lastProgress = inFile;
        while (lastProgress % 4 == 0)
            --lastProgress;
        CandidateState state;
        state.paperName = Paper;
        state.className = ClassName;
        state.examNumber = studentNumber(client);
        state.studentName = studentName(client);
        state.resumeMode = true;
        ScriptedRandom random;
        FixedClock clock;
        QTemporaryDir cache;
        ExamEnvironment environment{repository.root(), true, cache.path(), &random, &clock,
                                    [](const QString &) { return std::unique_ptr<ExamTicker>(new ManualTicker); }};
        ExamSession session(state, environment);
        session.start();
        QCOMPARE(session.answers(), roundAnswers(client, inFile));
        QCOMPARE(session.order(), roundOrder(lastProgress));
        QCOMPARE(session.state().currentPosition, progressOf(lastProgress).currentPosition);
    }
    reportCuts(cutsInTheStore);
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
    RoundReplay replay(files, prepare, [](const QString &root, int round) {
        QVERIFY(exam::saveAllPapers(exam::RepositoryPaths(root), roundPaperTable(round), {}, {}).ok());
    });
    int cutsInTheStore = 0;
    for (int cut = 0; cut < m_cuts; ++cut) {
        QTemporaryDir dir;
        prepare(dir.path());
        const int lastDone = killAtRandomMoment({QStringLiteral("saveall"), dir.path()}, m_random);
        QVERIFY2(lastDone > 0, "the worker never finished a save");
        const auto rounds = matchRounds(readStates(dir.path(), files), replay.after(lastDone),
                                        replay.after(lastDone + 1), lastDone);
        for (const auto &[file, round] : rounds)
            QVERIFY2(round >= 0, qPrintable(QStringLiteral("cut after round %1: %2 is neither round").arg(lastDone).arg(file)));
        cutsInTheStore += std::any_of(rounds.begin(), rounds.end(), [&](const auto &r) { return r.second > lastDone; });
        // Each paper's profile can be read as a whole.
        for (const QString &paper : consolePapers())
            QVERIFY(exam::ProfileSnapshot::load(exam::RepositoryPaths(dir.path()).paperProfile(paper)).exists());
        QCOMPARE(strayFiles(dir.path() + QStringLiteral("/sys")), QStringList());
    }
    reportCuts(cutsInTheStore);
}

void PowerCutTest::shouldKeepAWholeSystemProfileWhenTheClassWindowsStoreIsCut()
{
    const QString file = QStringLiteral("sys/sys.cho");
    const auto prepare = [](const QString &root) { layOutRepository(root); };
    RoundReplay replay({file}, prepare, [](const QString &root, int round) {
        exam::ClassTableModel model;
        model.load(roundClasses(round));
        QVERIFY(exam::writeClassTable(exam::RepositoryPaths(root).systemProfile(), model.classes()));
    });
    int cutsInTheStore = 0;
    for (int cut = 0; cut < m_cuts; ++cut) {
        QTemporaryDir dir;
        prepare(dir.path());
        const int lastDone = killAtRandomMoment({QStringLiteral("classes"), dir.path()}, m_random);
        QVERIFY2(lastDone > 0, "the worker never finished a store");
        const auto rounds = matchRounds(readStates(dir.path(), {file}), replay.after(lastDone),
                                        replay.after(lastDone + 1), lastDone);
        const int inFile = rounds.at(file);
        QVERIFY2(inFile >= 0, qPrintable(QStringLiteral("cut after round %1: sys.cho is neither round").arg(lastDone)));
        const exam::ProfileSnapshot system = exam::ProfileSnapshot::load(exam::RepositoryPaths(dir.path()).systemProfile());
        QCOMPARE(exam::readClassTable(system), roundClasses(inFile));
        QCOMPARE(strayFiles(dir.path() + QStringLiteral("/sys")), QStringList());
        cutsInTheStore += inFile > lastDone;
    }
    reportCuts(cutsInTheStore);
}

void PowerCutTest::shouldKeepWholePaperFilesWhenTheEditorsSaveIsCut()
{
    // The paper profile and every question file.
    QStringList files{QStringLiteral("SHIJUAN/%1/%1.cho").arg(Paper)};
    for (int k = 1; k <= Questions; ++k)
        files << QStringLiteral("SHIJUAN/%1/q%2.RTF").arg(Paper).arg(k) << QStringLiteral("SHIJUAN/%1/e%2.RTF").arg(Paper).arg(k);
    FakeDialogs dialogs;
    ScriptedRandom random;
    QTemporaryDir replayWorking;
    std::unique_ptr<exam::PaperEditor> replayEditor;
    RoundReplay replay(files, layOutRepository, [&](const QString &root, int round) {
        if (!replayEditor) {
            replayEditor = std::make_unique<exam::PaperEditor>(root, Paper, replayWorking.path(), dialogs, random);
            QVERIFY(replayEditor->open());
            replayEditor->activate();
        }
        QVERIFY(storeEditorRound(*replayEditor, round, nullptr));
    });
    int cutsInTheStore = 0;
    for (int cut = 0; cut < m_cuts; ++cut) {
        QTemporaryDir dir;
        QTemporaryDir working;
        layOutRepository(dir.path());
        const int lastDone = killAtRandomMoment({QStringLiteral("editor"), dir.path(), working.path()}, m_random);
        QVERIFY2(lastDone > 0, "the worker never finished a save");
        const auto rounds = matchRounds(readStates(dir.path(), files), replay.after(lastDone),
                                        replay.after(lastDone + 1), lastDone);
        for (const auto &[file, round] : rounds)
            QVERIFY2(round >= 0, qPrintable(QStringLiteral("cut after round %1: %2 is neither round").arg(lastDone).arg(file)));
        cutsInTheStore += std::any_of(rounds.begin(), rounds.end(), [&](const auto &r) { return r.second > lastDone; });
        QCOMPARE(strayFiles(exam::RepositoryPaths(dir.path()).paperFolder(Paper)), QStringList());

        // The editor opens the paper again with all its questions.
        QTemporaryDir again;
        exam::PaperEditor editor(dir.path(), Paper, again.path(), dialogs, random);
        QVERIFY(editor.open());
        QCOMPARE(editor.table().count(), Questions);
    }
    reportCuts(cutsInTheStore);
}

QTEST_MAIN(PowerCutTest)
#include "tst_power_cut.moc"
