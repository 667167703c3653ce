#include "interchange/paper_writers.h"

#include "repository/atomic_save.h"

namespace exam::interchange {

bool writePaperExport(const PaperContent &paper, ExportFormat format, const QString &path,
                      QString *error)
{
    QByteArray bytes;
    switch (format) {
    case ExportFormat::MoodleXml: bytes = moodleXml(paper); break;
    case ExportFormat::Gift: bytes = giftText(paper); break;
    case ExportFormat::Pdf:
    case ExportFormat::PdfTeacher:
        if (!paperPdf(paper, format == ExportFormat::PdfTeacher, bytes, error))
            return false;
        break;
    }
    return saveFileAtomically(path, bytes).reportTo(error);
}

} // namespace exam::interchange
