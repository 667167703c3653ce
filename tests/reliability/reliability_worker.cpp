// The processes the reliability tests start: a student client that saves and hands in, and the
// console's "save all" and class-window "确定" repeated. Each completed store is announced on
// standard output as its round number, one line each, so the test knows what was stored before it
// killed the process.
//
//   reliability_worker soak <result profile> <client> <duration ms> <interval ms>
//       login, start stamp, a progress save every <interval> ms for <duration> ms, then the
//       hand-in; prints the last progress round.
//   reliability_worker attempt <result profile> <client>
//   reliability_worker saveall <root>
//   reliability_worker classes <root>
//   reliability_worker editor <root> <working folder>
//       store round 1, 2, 3, … until killed (or for at most a minute).
// The last four take "cut <round> <step>" at the end: the process kills itself (SIGKILL) in round
// <round> just before the file operation number <step> (0-based) of its stores, or, when <step> is
// the round's operation count, after the round's stores but before announcing it. A <step> beyond
// that lets the round finish and be announced, and the process ends with exit code 0.

#include "attempt_pattern.h"
#include "console_pattern.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/classes/class_table_model.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include "repository/file_ops.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using namespace reliability;
using namespace exam::platform;

int fail(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return 2;
}

void announce(int round)
{
    std::printf("%d\n", round);
    std::fflush(stdout);
}

int runSoakClient(const QString &path, int client, int durationMs, int intervalMs)
{
    const QString number = studentNumber(client);
    const exam::SystemClock clock;
    exam::Result stored =
        exam::storeLogin(path, ClassName, number, studentName(client), formerName(client));
    if (stored)
        stored = exam::storeStartStamp(path, ClassName, number, clock);
    if (!stored)
        return fail(stored.message());
    const QDeadlineTimer end(durationMs);
    int round = 0;
    do {
        ++round;
        stored = exam::storeProgress(path, ClassName, number, progressOf(client, round));
        if (!stored)
            return fail(stored.message());
        // The pace of a client's saves: 60 processes share two cores in CI.
        QThread::msleep(static_cast<unsigned long>(intervalMs));
    } while (!end.hasExpired());
    stored = exam::storeHandIn(path, ClassName, number, handInOf(client, round + 1));
    if (!stored)
        return fail(stored.message());
    announce(round);
    return 0;
}

// The real file operations, with a kill point: counts the operations of the armed round and kills
// the process before the chosen one.
class CuttingFileOps final : public exam::PosixFileOps
{
public:
    int cutRound = -1;
    int cutStep = -1;
    bool armed = false;
    int count = 0;

    void reached()
    {
        if (armed && count++ == cutStep)
            std::raise(SIGKILL);
    }
    int open(const QString &path, int flags, mode_t mode) override
    {
        reached();
        return PosixFileOps::open(path, flags, mode);
    }
    bool write(int fd, QByteArrayView bytes) override
    {
        reached();
        return PosixFileOps::write(fd, bytes);
    }
    bool setPermissions(int fd, mode_t mode) override
    {
        reached();
        return PosixFileOps::setPermissions(fd, mode);
    }
    bool syncFile(int fd) override
    {
        reached();
        return PosixFileOps::syncFile(fd);
    }
    bool close(int fd) override
    {
        reached();
        return PosixFileOps::close(fd);
    }
    bool rename(const QString &from, const QString &to) override
    {
        reached();
        return PosixFileOps::rename(from, to);
    }
    bool syncFolder(const QString &folder) override
    {
        reached();
        return PosixFileOps::syncFolder(folder);
    }
    bool syncFileSystem(const QString &folder) override
    {
        reached();
        return PosixFileOps::syncFileSystem(folder);
    }
    bool remove(const QString &path) override
    {
        reached();
        return PosixFileOps::remove(path);
    }
};

CuttingFileOps g_cutter;

// Rounds of one store until the process is killed (or cut); a minute at most, should the test be
// gone.
int repeatRounds(const std::function<exam::Result(int)> &store)
{
    const QDeadlineTimer end(60000);
    for (int round = 1; !end.hasExpired(); ++round) {
        g_cutter.armed = round == g_cutter.cutRound;
        if (const exam::Result stored = store(round); !stored)
            return fail(stored.message());
        g_cutter.reached(); // the kill point after the round's stores
        announce(round);
        if (g_cutter.armed)
            return 0; // the step lies beyond the round: nothing was cut
    }
    return 0;
}

// The client's writes: three progress saves, then a hand-in, and again.
exam::Result storeAttemptRound(const QString &path, int client, int round)
{
    if (round % 4 == 0)
        return exam::storeHandIn(path, ClassName, studentNumber(client), handInOf(client, round));
    return exam::storeProgress(path, ClassName, studentNumber(client), progressOf(client, round));
}

exam::Result storeSaveAllRound(const exam::RepositoryPaths &paths, int round)
{
    const exam::SaveAllResult result = exam::saveAllPapers(paths, roundPaperTable(round), {}, {});
    if (result.ok())
        return {};
    return exam::Result::failure(result.errors.join(u'\n'));
}

// What the class window's "确定" stores: the table of its model.
exam::Result storeClassesRound(const QString &systemProfile, int round)
{
    exam::ClassTableModel model;
    model.load(roundClasses(round));
    return exam::writeClassTable(systemProfile, model.classes());
}

} // namespace

// The editor's "确定" on the paper: one editor, opened once, saving round after round.
int runEditor(const QString &root, const QString &workingFolder)
{
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    exam::PaperEditor editor(root, Paper, workingFolder, dialogs, random);
    if (const exam::Result opened = editor.open(); !opened)
        return fail(opened.message());
    editor.activate();
    return repeatRounds([&](int round) { return storeEditorRound(editor, round); });
}

int main(int argc, char **argv)
{
    // Only the editor needs text documents, and with them a GUI application.
    const bool editorMode = argc > 1 && qstrcmp(argv[1], "editor") == 0;
    if (editorMode)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        editorMode ? std::make_unique<QGuiApplication>(argc, argv)
                   : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() > 3 && args.at(args.size() - 3) == u"cut") {
        g_cutter.cutRound = args.at(args.size() - 2).toInt();
        g_cutter.cutStep = args.at(args.size() - 1).toInt();
        args.resize(args.size() - 3);
    }
    const exam::ScopedFileOps cutting(g_cutter);
    const QString mode = args.value(0);
    if (mode == u"soak" && args.size() == 5)
        return runSoakClient(args.at(1), args.at(2).toInt(), args.at(3).toInt(),
                             args.at(4).toInt());
    if (mode == u"attempt" && args.size() == 3) {
        const QString path = args.at(1);
        const int client = args.at(2).toInt();
        return repeatRounds([&](int round) { return storeAttemptRound(path, client, round); });
    }
    if (mode == u"saveall" && args.size() == 2) {
        const exam::RepositoryPaths paths(args.at(1));
        return repeatRounds([&](int round) { return storeSaveAllRound(paths, round); });
    }
    if (mode == u"classes" && args.size() == 2) {
        const QString systemProfile = exam::RepositoryPaths(args.at(1)).systemProfile();
        return repeatRounds([&](int round) { return storeClassesRound(systemProfile, round); });
    }
    if (mode == u"editor" && args.size() == 3)
        return runEditor(args.at(1), args.at(2));
    return fail(QStringLiteral("usage: reliability_worker soak|attempt|saveall|classes|editor …"));
}
