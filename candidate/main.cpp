#include "candidate/candidate_state.h"
#include "candidate/client_flow.h"
#include "candidate/exam_launcher.h"
#include "candidate/password_dialog.h"

#include "platform/desktop/single_instance.h"
#include "platform/dialogs/qt_dialogs.h"
#include "repository/clock.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    using namespace exam::candidate;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("candidate"));
    QApplication::setApplicationDisplayName(QStringLiteral("考试系统"));
    QApplication::setApplicationVersion(QStringLiteral(EXAM_CANDIDATE_VERSION));
    // Standard buttons of message boxes ("确定", "取消") in the students' language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    exam::platform::QtDialogs dialogs;
    exam::platform::SingleInstanceGuard guard(QStringLiteral("candidate"));
    if (!claimSingleInstance(guard, dialogs))
        return 0;

    CandidateState state;
    DialogPasswordPrompt prompt;
    ClientFlow flow(exam::repositoryRootFromProgramFolder(QCoreApplication::applicationDirPath()),
                    state, dialogs, prompt);
    exam::SecureRandomSource random;
    const exam::SystemClock clock;
    flow.setExamLauncher([&] {
        openExamWindow(QCoreApplication::applicationDirPath(), state, dialogs, random, clock);
    });
    if (!flow.start())
        return 0;
    return QApplication::exec();
}
