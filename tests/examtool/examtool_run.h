#pragma once

// Runs examtool inside the test's process with a command table and keeps its exit code and what
// it printed.

#include "examtool/command_line.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace examtool_test {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline Run runWith(const QList<exam::tool::Command> &table, const QStringList &arguments)
{
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.exitCode = exam::tool::runExamTool(table, arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

} // namespace examtool_test
