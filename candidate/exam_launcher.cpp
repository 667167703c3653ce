#include "candidate/exam_launcher.h"

#include "candidate/exam_window.h"
#include "platform/desktop/working_folders.h"
#include "repository/repository_paths.h"

#include <QCoreApplication>

namespace exam::candidate {

ExamWindow *openExamWindow(const QString &programFolder, CandidateState &state,
                           platform::Dialogs &dialogs, exam::RandomSource &random,
                           const exam::Clock &clock)
{
    ExamEnvironment environment;
    environment.repositoryRoot = exam::repositoryRootFromProgramFolder(programFolder);
    environment.runsLocally = !platform::isOnNetworkFileSystem(programFolder);
    environment.localCacheFolder = platform::clientCopyFolder();
    environment.random = &random;
    environment.clock = &clock;

    auto *window = new ExamWindow(state, environment, dialogs);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(window, &ExamWindow::examEnded, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    window->show();
    return window;
}

} // namespace exam::candidate
