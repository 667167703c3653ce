#include "interchange/paper_writers.h"

#include "repository/atomic_save.h"

namespace exam::interchange {

Result writePaperExport(const PaperContent &paper, ExportFormat format, const QString &path)
{
    QByteArray bytes;
    switch (format) {
    case ExportFormat::MoodleXml: bytes = moodleXml(paper); break;
    case ExportFormat::Gift: bytes = giftText(paper); break;
    case ExportFormat::Pdf:
    case ExportFormat::PdfTeacher:
        if (Result drawn = paperPdf(paper, format == ExportFormat::PdfTeacher, bytes); !drawn)
            return drawn;
        break;
    }
    return saveFileAtomically(path, bytes);
}

} // namespace exam::interchange
