#pragma once

// The examtool command line: "examtool <command> [arguments]". "examtool --help" (or "help")
// lists the commands, "examtool <command> --help" (or "help <command>") shows one. Each command is
// one entry of the table in command_line.cpp; adding a command is writing its function and adding
// its entry.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace exam::tool {

// Exit codes of every command.
enum ExitCode : int {
    ExitClean = 0,    // done, nothing to report
    ExitFindings = 1, // done, with findings
    ExitFailure = 2,  // the command line is wrong or the repository cannot be read
};

struct Command
{
    QString name;
    QString summary; // one line in the command list
    QString help;    // the command's own help, from its usage line on
    // Runs the command with the arguments after its name; never called with --help.
    std::function<int(const QStringList &arguments, QTextStream &out, QTextStream &err)> run;
};

// The commands that need Qt Core only.
const QList<Command> &commands();

// Runs examtool with the arguments after the program name; returns the exit code. The first form
// knows the commands of `table`, the second those of commands().
int runExamTool(const QList<Command> &table, const QStringList &arguments, QTextStream &out,
                QTextStream &err);
int runExamTool(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace exam::tool
