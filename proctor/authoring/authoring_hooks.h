#pragma once

// Windows that paper management reaches but that live elsewhere in the console: the paper editor
// and the Word and PDF exports. Each is set once at start-up (main.cpp or the main menu's actions);
// while one is not set, paper management says that the function is not available yet.

#include "proctor/authoring/paper_table.h"

#include <QString>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {

struct AuthoringRequest
{
    platform::Dialogs *dialogs =
        nullptr; // never null; boxes belong to the window the teacher works in
    QString repositoryRoot;
    PaperRow row; // the selected paper's row as the window holds it
};

// Runs modally: returns when the opened window has closed.
using AuthoringAction = std::function<void(const AuthoringRequest &)>;

// The paper editor, opened on row.name() (also currentPaper()) after the papers were saved.
void setPaperEditorOpener(AuthoringAction opener);
const AuthoringAction &paperEditorOpener();

// The export of the selected paper into a word-processor document ("输出到 WORD").
void setWordExporter(AuthoringAction exporter);
const AuthoringAction &wordExporter();

// The export of the selected paper as a PDF copy for print ("输出到 PDF").
void setPdfExporter(AuthoringAction exporter);
const AuthoringAction &pdfExporter();

} // namespace exam
