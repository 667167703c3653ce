// proctor, the teacher console: splash, login, main menu and the administration windows, working
// on the exam repository that holds the program.

#include "platform/desktop/single_instance.h"
#include "platform/dialogs/qt_dialogs.h"
#include "proctor/shell/console_flow.h"
#include "proctor/shell/help_key_filter.h"
#include "proctor/shell/menu_actions.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("proctor"));
    QApplication::setApplicationDisplayName(QStringLiteral("教师端"));
    QApplication::setApplicationVersion(QStringLiteral(EXAM_VERSION));
    // Standard buttons of message boxes ("确定", "取消") in the teacher's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // A second copy on the same PC ends at once, without a word.
    exam::platform::SingleInstanceGuard guard(QStringLiteral("proctor"));
    if (!guard.tryAcquire())
        return 0;

    const QString programFolder = QCoreApplication::applicationDirPath();
    exam::platform::QtDialogs dialogs;

    exam::HelpKeyFilter help([&dialogs, programFolder] {
        exam::openConsoleHelp(programFolder, dialogs, QApplication::activeWindow());
    });
    app.installEventFilter(&help);

    const exam::ConsoleContext context{
        programFolder, exam::repositoryRootFromProgramFolder(programFolder), &dialogs};
    const exam::RepositoryPaths paths(context.repositoryRoot);
    exam::ConsoleFlow flow({paths.systemProfile(), QApplication::applicationVersion()},
                           exam::makeMenuOpeners(context), dialogs, [] { QApplication::quit(); });
    flow.start();
    return app.exec();
}
