#include "examtool/check_command.h"

#include "examtool/repository_check.h"

namespace exam::tool {
namespace {

int runCheck(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1Char('-'))) {
        err << QStringLiteral("用法: examtool check <考试库文件夹>\n");
        return ExitFailure;
    }
    const RepositoryCheck check = checkRepository(arguments.first());
    if (!check.readable) {
        err << QStringLiteral("examtool check: %1\n").arg(check.error);
        return ExitFailure;
    }
    for (const Finding &finding : check.findings)
        out << finding.text() << '\n';
    out.flush();
    if (check.findings.isEmpty()) {
        err << QStringLiteral("examtool check: 没有发现问题\n");
        return ExitClean;
    }
    err << QStringLiteral("examtool check: 发现 %1 个问题\n").arg(check.findings.size());
    return ExitFindings;
}

} // namespace

Command checkCommand()
{
    return {
        QStringLiteral("check"), QStringLiteral("检查考试库,只读不改"),
        QStringLiteral("用法: examtool check <考试库文件夹>\n"
                       "\n"
                       "读取整个考试库(只读,不改任何文件),每个问题输出一行“文件:行号: 说明”,\n"
                       "文件路径相对于考试库;针对整个文件或文件夹的问题没有行号。检查:\n"
                       "  - 没有字节顺序标记、按 GB18030 和 UTF-8 都能读、编码只能推测的文件;\n"
                       "  - 控制台不接受的班级和试卷名称,重复或只差字母大小写的名称;\n"
                       "  - 列出但缺少文件夹或试卷文件的试卷,没有列出的试卷文件夹和成绩文件夹;\n"
                       "  - 没有考号范围或起始考号大于结束考号的班级;\n"
                       "  - 试卷引用但不存在的题目文件和解题辅导文件;\n"
                       "  - 不属于任何班级或考号超出班级范围的成绩文件;\n"
                       "  - 应为数字却不是数字(或超出范围)的值。\n"
                       "\n"
                       "退出码: 0 没有发现问题;1 发现问题;2 无法读取考试库或参数有误。\n"),
        runCheck};
}

} // namespace exam::tool
