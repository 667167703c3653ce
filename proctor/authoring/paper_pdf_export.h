#pragma once

// "输出到 PDF": the paper selected in paper management as an A4 PDF copy for print, the students'
// copy or, when the teacher says so, the teacher's copy with the standard answers and the
// explanations. Saved in the documents folder and opened with the desktop's viewer.

#include "proctor/authoring/authoring_hooks.h"
#include "proctor/authoring/paper_document_export.h"

namespace exam {

// The whole action: which copy, the file, opening it, the message. The paper is read as it is
// stored (settings changed in paper management since the last save are not in it).
void exportPaperPdf(const AuthoringRequest &request, const PaperDocumentContext &context);

// The action for setPdfExporter().
AuthoringAction paperPdfExporter(PaperDocumentContext context = {});

} // namespace exam
