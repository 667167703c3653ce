#include "examtool/interchange_commands.h"

#include "interchange/paper_content.h"
#include "interchange/paper_import.h"
#include "interchange/paper_writers.h"
#include "interchange/question_readers.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHash>

#include <optional>

namespace exam::tool {
namespace {

// Progress goes to standard error as one line rewritten in place, for runs long enough to wait on.
constexpr int ProgressFrom = 200;
constexpr int ProgressStep = 100;

std::function<void(int, int)> progressLine(QTextStream &err, const QString &what)
{
    return [&err, what](int done, int total) {
        if (total < ProgressFrom)
            return;
        if (done % ProgressStep == 0 || done == total)
            err << '\r' << what.arg(done).arg(total) << Qt::flush;
        if (done == total)
            err << '\n';
    };
}

struct Options
{
    QString paper;
    QString format;
    QString repository;
    QStringList files;
};

// Parses "--paper NAME [--repository DIR] ARGUMENTS…"; false (usage printed) when it is wrong.
bool parseOptions(const QString &command, const QString &usage, const QStringList &arguments,
                  int wantedFiles, Options &options, QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption paper(QStringLiteral("paper"), {}, QStringLiteral("name"));
    const QCommandLineOption repository(QStringLiteral("repository"), {}, QStringLiteral("dir"));
    const QCommandLineOption format(QStringLiteral("format"), {}, QStringLiteral("format"));
    parser.addOptions({paper, repository, format});
    const bool parsed = parser.parse(QStringList{command} + arguments);
    options.paper = parser.value(paper).trimmed();
    options.format = parser.value(format);
    options.files = parser.positionalArguments();
    const bool filesFit =
        wantedFiles < 0 ? !options.files.isEmpty() : options.files.size() == wantedFiles;
    if (!parsed || options.paper.isEmpty() || !filesFit ||
        (parser.isSet(format) != (command == QLatin1String("export")))) {
        if (!parsed)
            err << QStringLiteral("examtool %1: %2\n").arg(command, parser.errorText());
        err << usage;
        return false;
    }
    options.repository =
        parser.isSet(repository)
            ? parser.value(repository)
            : repositoryRootFromProgramFolder(QCoreApplication::applicationDirPath());
    return true;
}

QString place(const QString &file, int line)
{
    return line > 0 ? QStringLiteral("%1:%2").arg(file).arg(line) : file;
}

const QString ImportUsage = QStringLiteral(
    "用法: examtool import --paper <试卷名> [--repository <考试库文件夹>] <文件>…\n");

int runImport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parseOptions(QStringLiteral("import"), ImportUsage, arguments, -1, options, err))
        return ExitFailure;

    // Every file is read before anything is stored: one broken file stops the whole import.
    QList<interchange::InterchangeQuestion> questions;
    int skipped = 0;
    bool broken = false;
    for (const QString &file : std::as_const(options.files)) {
        const interchange::ReadResult read = interchange::readQuestionFile(file);
        if (!read.ok()) {
            err << QStringLiteral("%1: 错误: %2\n").arg(place(file, read.errorLine), read.error);
            broken = true;
            continue;
        }
        for (const interchange::SkippedQuestion &skip : read.skipped)
            out << QStringLiteral("%1: 跳过: %2\n").arg(place(file, skip.line), skip.reason);
        skipped += static_cast<int>(read.skipped.size());
        questions += read.questions;
    }
    if (broken) {
        err << QStringLiteral("examtool import: 文件有错误,没有导入任何考题\n");
        return ExitFailure;
    }

    SecureRandomSource random;
    const interchange::PaperImportOutcome outcome = interchange::appendQuestionsToPaper(
        options.repository, options.paper, questions, random,
        progressLine(err, QStringLiteral("已写入 %1/%2 道考题")));
    if (!outcome.ok) {
        err << QStringLiteral("examtool import: %1,没有导入任何考题\n").arg(outcome.error);
        return ExitFailure;
    }
    out << QStringLiteral("已把 %1 道考题加入试卷“%2”").arg(outcome.added).arg(options.paper);
    if (skipped > 0)
        out << QStringLiteral(",跳过 %1 道").arg(skipped);
    out << '\n';
    return skipped > 0 ? ExitFindings : ExitClean;
}

const QString ExportUsage = QStringLiteral(
    "用法: examtool export --paper <试卷名> --format moodle-xml|gift|pdf|pdf-teacher\n"
    "                      [--repository <考试库文件夹>] <输出文件>\n");

std::optional<interchange::ExportFormat> exportFormat(const QString &name)
{
    using interchange::ExportFormat;
    static const QHash<QString, ExportFormat> formats = {
        {QStringLiteral("moodle-xml"), ExportFormat::MoodleXml},
        {QStringLiteral("gift"), ExportFormat::Gift},
        {QStringLiteral("pdf"), ExportFormat::Pdf},
        {QStringLiteral("pdf-teacher"), ExportFormat::PdfTeacher}};
    const auto it = formats.constFind(name);
    return it == formats.cend() ? std::nullopt : std::optional(*it);
}

int runExport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parseOptions(QStringLiteral("export"), ExportUsage, arguments, 1, options, err))
        return ExitFailure;
    const std::optional<interchange::ExportFormat> format = exportFormat(options.format);
    if (!format) {
        err << QStringLiteral("examtool export: 没有格式“%1”\n").arg(options.format) << ExportUsage;
        return ExitFailure;
    }
    interchange::PaperContent paper;
    Result exported =
        interchange::loadPaperContent(options.repository, options.paper, paper,
                                      progressLine(err, QStringLiteral("已读取 %1/%2 道考题")));
    if (exported)
        exported = interchange::writePaperExport(paper, *format, options.files.constFirst());
    if (!exported) {
        err << QStringLiteral("examtool export: %1\n").arg(exported.message());
        return ExitFailure;
    }
    out << QStringLiteral("已把试卷“%1”的 %2 道考题输出到 %3\n")
               .arg(paper.name)
               .arg(paper.questions.size())
               .arg(options.files.constFirst());
    return ExitClean;
}

} // namespace

Command importCommand()
{
    return {QStringLiteral("import"),
            QStringLiteral("把 Aiken、GIFT、Moodle XML 文件中的考题加入试卷"),
            ImportUsage +
                QStringLiteral(
                    "\n"
                    "把文件中的考题加到试卷的最后一题之后,写入试卷文件夹和试卷文件,\n"
                    "与试卷编辑窗口中按“确定”保存的一样。试卷须已在试卷管理中建立。\n"
                    "文件格式按扩展名和内容识别:.xml 为 Moodle XML,.gift 为 GIFT,\n"
                    "其他文件中有“ANSWER:”行的为 Aiken,否则为 GIFT;编码可为 UTF-8 或 GB18030。\n"
                    "只导入单选、多选和判断题;其他题型和超过 7 个选项的考题跳过,\n"
                    "每道一行“文件:行号: 跳过: 原因”。任何文件有错误时一道题也不导入。\n"
                    "\n"
                    "  --repository <文件夹>  考试库,默认为 examtool 所在的文件夹\n"
                    "\n"
                    "退出码: 0 全部导入;1 导入了,但跳过了一些考题;2 "
                    "没有导入(文件有错误或参数有误)。\n"),
            runImport};
}

Command exportCommand()
{
    return {QStringLiteral("export"), QStringLiteral("把试卷输出为 Moodle XML、GIFT 或 PDF 文件"),
            ExportUsage + QStringLiteral(
                              "\n"
                              "  moodle-xml   Moodle XML:单选、多选和判断题,题目中的图片一并写入,\n"
                              "               解题辅导为总体反馈,分值为默认分数\n"
                              "  gift         GIFT 文本:只有文字,分值写在每题前的注释行中\n"
                              "  pdf          A4 的学生用卷:考题、选项和分值\n"
                              "  pdf-teacher  A4 的教师用卷:另有标准答案和解题辅导\n"
                              "\n"
                              "  --repository <文件夹>  考试库,默认为 examtool 所在的文件夹\n"
                              "\n"
                              "退出码: 0 已输出;2 "
                              "没有输出(试卷不存在、考题文件无法读取、文件无法保存或参数有误)。\n"),
            runExport};
}

QList<Command> interchangeCommands()
{
    return commands() + QList<Command>{importCommand(), exportCommand()};
}

} // namespace exam::tool
