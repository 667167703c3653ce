// make-demo: lays out the demo exam repository in a folder, beside the installed programs.
//
//   make-demo <repository folder>
//
// A folder that holds a repository already (sys/sys.cho) is left as it is.

#include "repository/clock.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"
#include "tools/demo_repository.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Pictures and documents are drawn without a window: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: make-demo <repository folder>\n";
        return 2;
    }
    const QString root = QFileInfo(args.at(1)).absoluteFilePath();
    if (QFileInfo::exists(exam::RepositoryPaths(root).systemProfile())) {
        err << "make-demo: " << root << " holds a repository already; nothing was changed.\n";
        return 0;
    }
    exam::SecureRandomSource random;
    const exam::SystemClock clock;
    if (const exam::Result written = exam::demo::writeDemoRepository(root, random, clock);
        !written) {
        err << "make-demo: " << written.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Demo repository written to " << root << '\n';
    return 0;
}
