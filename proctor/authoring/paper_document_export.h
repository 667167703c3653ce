#pragma once

// "输出到 WORD": the paper selected in paper management made into a printable document from the
// repository's template sys/paper.dot, saved as an RTF file and opened with the desktop's word
// processor.

#include "platform/desktop/desktop_services.h"
#include "proctor/authoring/authoring_hooks.h"

#include <QString>
#include <functional>

namespace exam {

struct PaperDocumentContext
{
    QString outputFolder;                              // empty: the user's documents folder
    std::function<bool(const QString &)> openDocument; // empty: the desktop's handler
};

using PaperDocumentOutcome = platform::WrittenDocument;

// The user's documents folder (made when missing), or the home folder.
QString documentsFolder();
// "<paper>.<extension>" in the folder, or "<paper> (2).<extension>" … when taken; characters that
// cannot stand in a file name become "_".
QString freeDocumentPath(const QString &folder, const QString &paper, const QString &extension);

// Builds and saves the document of `request.row`'s paper (cover from the row, questions from the
// paper profile). Stops at the first question or explanation file that cannot be read; what was
// filled up to there is saved all the same.
PaperDocumentOutcome writePaperDocument(const AuthoringRequest &request, bool withExplanations,
                                        const QString &outputFolder);

// The whole action: the question about explanations, the document, opening it, the message.
void exportPaperDocument(const AuthoringRequest &request, const PaperDocumentContext &context);

// The action for setWordExporter().
AuthoringAction paperDocumentExporter(PaperDocumentContext context = {});

} // namespace exam
