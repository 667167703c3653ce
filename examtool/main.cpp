// examtool: command-line tools for the people who look after a school's exam repository.
// Run "examtool --help".

#include "examtool/command_line.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return exam::tool::runExamTool(arguments, out, err);
}
