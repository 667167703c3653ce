#include "proctor/authoring/paper_pdf_export.h"

#include "interchange/paper_content.h"
#include "interchange/paper_writers.h"
#include "platform/desktop/desktop_services.h"
#include "platform/dialogs/dialogs.h"
#include "repository/profile_values.h"

namespace exam {

void exportPaperPdf(const AuthoringRequest &request, const PaperDocumentContext &context)
{
    platform::Dialogs &dialogs = *request.dialogs;
    const QString paper = trimBlanks(request.row.name());
    if (paper.isEmpty()) {
        dialogs.message(nullptr, QStringLiteral("没有选中试卷。"),
                        platform::Dialogs::Icon::Warning);
        return;
    }
    const bool teacherCopy =
        dialogs.yesNo(nullptr, QStringLiteral("是否输出教师用卷(含标准答案和解题辅导)?"),
                      platform::Dialogs::Button::No);

    interchange::PaperContent content;
    const QString folder =
        context.outputFolder.isEmpty() ? documentsFolder() : context.outputFolder;
    const QString name = teacherCopy ? paper + QStringLiteral(" 教师用卷") : paper;
    const QString path = freeDocumentPath(folder, name, QStringLiteral("pdf"));
    Result written = interchange::loadPaperContent(request.repositoryRoot, paper, content);
    if (written)
        written = interchange::writePaperExport(content,
                                                teacherCopy ? interchange::ExportFormat::PdfTeacher
                                                            : interchange::ExportFormat::Pdf,
                                                path);
    if (!written) {
        dialogs.message(nullptr, QStringLiteral("试卷没有输出到 PDF。\n\n") + written.message(),
                        platform::Dialogs::Icon::Warning);
        return;
    }
    platform::openWrittenDocument(dialogs, nullptr, {true, path, {}},
                                  QStringLiteral("试卷已输出到 PDF。"), {}, context.openDocument);
}

AuthoringAction paperPdfExporter(PaperDocumentContext context)
{
    return [context](const AuthoringRequest &request) { exportPaperPdf(request, context); };
}

} // namespace exam
