// examtool: command-line tools for the people who look after a school's exam repository.
// Run "examtool --help".

#include "examtool/command_line.h"

#ifdef EXAM_TOOL_INTERCHANGE
#include "examtool/interchange_commands.h"

#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

int main(int argc, char *argv[])
{
#ifdef EXAM_TOOL_INTERCHANGE
    // Documents and PDF need fonts but never a screen: the tool runs where there is no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QList<exam::tool::Command> table = exam::tool::interchangeCommands();
#else
    QCoreApplication app(argc, argv);
    const QList<exam::tool::Command> table = exam::tool::commands();
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return exam::tool::runExamTool(table, arguments, out, err);
}
