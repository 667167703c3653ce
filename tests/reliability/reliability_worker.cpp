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

#include "attempt_pattern.h"
#include "console_pattern.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/classes/class_table_model.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

using namespace reliability;

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
    QString error;
    const exam::SystemClock clock;
    if (!exam::storeLogin(path, ClassName, number, studentName(client), formerName(client), &error)
        || !exam::storeStartStamp(path, ClassName, number, clock, &error))
        return fail(error);
    const QDeadlineTimer end(durationMs);
    int round = 0;
    do {
        ++round;
        if (!exam::storeProgress(path, ClassName, number, progressOf(client, round), &error))
            return fail(error);
        // The pace of a client's saves: 60 processes share two cores in CI.
        QThread::msleep(static_cast<unsigned long>(intervalMs));
    } while (!end.hasExpired());
    if (!exam::storeHandIn(path, ClassName, number, handInOf(client, round + 1), &error))
        return fail(error);
    announce(round);
    return 0;
}

// Rounds of one store until the process is killed; a minute at most, should the test be gone.
int repeatRounds(const std::function<bool(int, QString *)> &store)
{
    const QDeadlineTimer end(60000);
    for (int round = 1; !end.hasExpired(); ++round) {
        QString error;
        if (!store(round, &error))
            return fail(error);
        announce(round);
    }
    return 0;
}

// The client's writes: three progress saves, then a hand-in, and again.
bool storeAttemptRound(const QString &path, int client, int round, QString *error)
{
    if (round % 4 == 0)
        return exam::storeHandIn(path, ClassName, studentNumber(client), handInOf(client, round),
                                 error);
    return exam::storeProgress(path, ClassName, studentNumber(client), progressOf(client, round),
                               error);
}

bool storeSaveAllRound(const exam::RepositoryPaths &paths, int round, QString *error)
{
    const exam::SaveAllResult result = exam::saveAllPapers(paths, roundPaperTable(round), {}, {});
    *error = result.errors.join(u'\n');
    return result.ok();
}

// What the class window's "确定" stores: the table of its model.
bool storeClassesRound(const QString &systemProfile, int round, QString *error)
{
    exam::ClassTableModel model;
    model.load(roundClasses(round));
    return exam::writeClassTable(systemProfile, model.classes(), error);
}

} // namespace

// The editor's "确定" on the paper: one editor, opened once, saving round after round.
int runEditor(const QString &root, const QString &workingFolder)
{
    FakeDialogs dialogs;
    exam::SecureRandomSource random;
    exam::PaperEditor editor(root, Paper, workingFolder, dialogs, random);
    QString error;
    if (!editor.open(&error))
        return fail(error);
    editor.activate();
    return repeatRounds(
        [&](int round, QString *roundError) { return storeEditorRound(editor, round, roundError); });
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
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == u"soak" && args.size() == 5)
        return runSoakClient(args.at(1), args.at(2).toInt(), args.at(3).toInt(),
                             args.at(4).toInt());
    if (mode == u"attempt" && args.size() == 3) {
        const QString path = args.at(1);
        const int client = args.at(2).toInt();
        return repeatRounds([&](int round, QString *error) {
            return storeAttemptRound(path, client, round, error);
        });
    }
    if (mode == u"saveall" && args.size() == 2) {
        const exam::RepositoryPaths paths(args.at(1));
        return repeatRounds(
            [&](int round, QString *error) { return storeSaveAllRound(paths, round, error); });
    }
    if (mode == u"classes" && args.size() == 2) {
        const QString systemProfile = exam::RepositoryPaths(args.at(1)).systemProfile();
        return repeatRounds([&](int round, QString *error) {
            return storeClassesRound(systemProfile, round, error);
        });
    }
    if (mode == u"editor" && args.size() == 3)
        return runEditor(args.at(1), args.at(2));
    return fail(QStringLiteral("usage: reliability_worker soak|attempt|saveall|classes|editor …"));
}
