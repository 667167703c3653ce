#pragma once

// The quality analysis as a printable report: an A4 PDF with the paper figures, both charts and the
// question table, saved beside the workbook exports and opened with the desktop's PDF viewer.

#include "proctor/results/item_analysis.h"

#include <QString>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QWidget;

namespace exam {

// Writes the report to `path`. Returns false with a text for the user when the file cannot be
// written.
[[nodiscard]] bool writeQualityReport(const ResultsData &data, const ItemAnalysis &analysis,
                                      const QString &path, QString *error);

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
