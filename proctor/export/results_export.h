#pragma once

// "输出到 EXCEL": the results of the last refresh written into a new workbook made from the
// repository's score template (sys/score.xlt), saved as .xlsx and opened with the desktop's
// spreadsheet program.

#include "platform/desktop/desktop_services.h"
#include "proctor/results/results_data.h"

#include <QString>
#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QWidget;

namespace exam {

using ScoreExportOutcome = platform::WrittenDocument;

// Opens the template, fills the four sheets and saves the workbook as a new file in
// `outputFolder`, named after the paper and the class. When a sheet is missing from the template
// the sheets before it are filled and saved all the same, so the teacher keeps what was done.
ScoreExportOutcome exportScoreSheet(const ResultsData &data, const QString &templatePath,
                                    const QString &outputFolder);

// What the export needs from its surroundings.
struct ScoreExportContext
{
    QString repositoryRoot;
    platform::Dialogs *dialogs = nullptr;
    QString outputFolder;                              // empty: defaultExportFolder()
    std::function<bool(const QString &)> openDocument; // empty: the desktop's handler
};

// The whole action: export, open the workbook, tell the teacher how it went.
void runScoreSheetExport(QWidget *parent, const ResultsData &data,
                         const ScoreExportContext &context);

// The export as the results window's export handler.
std::function<void(QWidget *, const ResultsData &)> scoreSheetExporter(ScoreExportContext context);

} // namespace exam
