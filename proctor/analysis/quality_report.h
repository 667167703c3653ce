#pragma once

// The quality analysis as a printable report: an A4 PDF with the paper figures, both charts and the
// question table, saved beside the workbook exports and opened with the desktop's PDF viewer.

#include "proctor/results/item_analysis.h"
#include "repository/result.h"

#include <QString>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QWidget;

namespace exam {

// Writes the report to `path`; fails with a text for the user when the file cannot be written.
Result writeQualityReport(const ResultsData &data, const ItemAnalysis &analysis,
                          const QString &path);

// What the report needs from its surroundings.
struct QualityReportContext
{
    platform::Dialogs *dialogs = nullptr;
    QString outputFolder;                              // empty: defaultExportFolder()
    std::function<bool(const QString &)> openDocument; // empty: the desktop's handler
};

// The whole action: write the report under a free name, open it, tell the teacher which file it is.
// Returns the path written, empty when nothing was.
QString runQualityReport(QWidget *parent, const ResultsData &data, const ItemAnalysis &analysis,
                         const QualityReportContext &context);

} // namespace exam
