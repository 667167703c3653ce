#include "proctor/export/results_export.h"

#include "platform/desktop/desktop_services.h"
#include "platform/dialogs/dialogs.h"
#include "platform/xlsx/workbook.h"
#include "proctor/export/export_location.h"
#include "proctor/export/score_sheet.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFileInfo>

namespace exam {

ScoreExportOutcome exportScoreSheet(const ResultsData &data, const QString &templatePath,
                                    const QString &outputFolder)
{
    ScoreExportOutcome outcome;
    if (!QFileInfo(templatePath).isFile()) {
        outcome.error =
            QStringLiteral("找不到成绩模板 %1。").arg(QDir::toNativeSeparators(templatePath));
        return outcome;
    }
    xlsx::Workbook book;
    if (!book.open(templatePath)) {
        outcome.error = book.errorString();
        return outcome;
    }
    const Result filled = fillScoreSheets(book, data);

    if (!QDir().mkpath(outputFolder)) {
        outcome.error =
            QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(outputFolder));
        return outcome;
    }
    const QString path = freeExportPath(
        outputFolder, QStringLiteral("%1-%2-考试成绩").arg(data.paper, data.className),
        QStringLiteral("xlsx"));
    if (!book.save(path)) {
        outcome.error = book.errorString();
        return outcome;
    }
    outcome.filePath = path;
    outcome.ok = filled.ok();
    outcome.error = filled.message();
    return outcome;
}

void runScoreSheetExport(QWidget *parent, const ResultsData &data,
                         const ScoreExportContext &context)
{
    const QString templatePath =
        RepositoryPaths(context.repositoryRoot).systemFile(QStringLiteral("score.xlt"));
    const QString folder =
        context.outputFolder.isEmpty() ? defaultExportFolder() : context.outputFolder;
    const ScoreExportOutcome outcome = exportScoreSheet(data, templatePath, folder);

    platform::openWrittenDocument(
        *context.dialogs, parent, outcome, QStringLiteral("考试成绩已经输出到EXCEL中!"),
        QStringLiteral("本功能需要您的计算机安装有 EXCEL 软件."), context.openDocument);
}

std::function<void(QWidget *, const ResultsData &)> scoreSheetExporter(ScoreExportContext context)
{
    return [context](QWidget *parent, const ResultsData &data) {
        runScoreSheetExport(parent, data, context);
    };
}

} // namespace exam
