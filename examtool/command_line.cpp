#include "examtool/command_line.h"

#include "examtool/check_command.h"

#include <algorithm>

namespace exam::tool {
namespace {

bool isHelpOption(const QString &argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

const Command *findCommand(const QList<Command> &table, const QString &name)
{
    const auto it = std::find_if(table.cbegin(), table.cend(),
                                 [&name](const Command &command) { return command.name == name; });
    return it == table.cend() ? nullptr : &*it;
}

void printOverview(const QList<Command> &table, QTextStream &stream)
{
    stream << QStringLiteral("用法: examtool <命令> [参数]\n\n"
                             "维护考试库的工具:考试库是 proctor 和 candidate 所在的文件夹。\n\n"
                             "命令:\n");
    for (const Command &command : table)
        stream << "  " << command.name.leftJustified(10) << command.summary << '\n';
    stream << QStringLiteral("\n“examtool <命令> --help”显示该命令的说明。\n");
}

} // namespace

const QList<Command> &commands()
{
    static const QList<Command> table = {checkCommand()};
    return table;
}

int runExamTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return runExamTool(commands(), arguments, out, err);
}

int runExamTool(const QList<Command> &table, const QStringList &arguments, QTextStream &out,
                QTextStream &err)
{
    if (arguments.isEmpty()) {
        printOverview(table, err);
        return ExitFailure;
    }
    const QString &first = arguments.first();
    if (isHelpOption(first) || first == QLatin1String("help")) {
        if (arguments.size() == 1) {
            printOverview(table, out);
            return ExitClean;
        }
        if (const Command *command = findCommand(table, arguments.at(1))) {
            out << command->help;
            return ExitClean;
        }
    }
    const Command *command = findCommand(table, first);
    if (!command) {
        err << QStringLiteral("examtool: 没有命令“%1”\n\n").arg(first);
        printOverview(table, err);
        return ExitFailure;
    }
    const QStringList rest = arguments.mid(1);
    if (std::any_of(rest.cbegin(), rest.cend(), isHelpOption)) {
        out << command->help;
        return ExitClean;
    }
    return command->run(rest, out, err);
}

} // namespace exam::tool
