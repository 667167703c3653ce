#pragma once

// A paper written out for other programs and for print:
// - Moodle XML: each question a "multichoice" (one or several right options; "truefalse" when its
//   options are 是 and 非), the question part of the document as HTML with its pictures embedded
//   ("@@PLUGINFILE@@" and base64), the lettered lines as the answers, the explanation as general
//   feedback, the mark as default grade;
// - GIFT: the same in plain text (pictures and formatting stay behind; GIFT has no marks, so each
//   question's mark is written in a comment line before it);
// - PDF, A4, with a Chinese font embedded: the students' copy (questions, options, marks) or the
//   teacher's copy (also the standard answers and the explanations).
// A question without lettered lines keeps its whole text as the question; its answers are the
// bare letters up to the last one its standard answer names.

#include "interchange/paper_content.h"

#include <QByteArray>
#include <QString>

namespace exam::interchange {

enum class ExportFormat { MoodleXml, Gift, Pdf, PdfTeacher };

QByteArray moodleXml(const PaperContent &paper);
QByteArray giftText(const PaperContent &paper); // UTF-8

// The PDF copy; fails with a Chinese text when nothing could be drawn.
Result paperPdf(const PaperContent &paper, bool teacherCopy, QByteArray &pdf);

// Writes the paper in `format` to `path`, atomically; a failure carries a Chinese text.
Result writePaperExport(const PaperContent &paper, ExportFormat format, const QString &path);

} // namespace exam::interchange
