#pragma once

#include "proctor/authoring/authoring_hooks.h"

namespace exam {

// Opens the paper editor modally over the active window on request.row.name(), working in
// editorWorkingFolder(); returns when it has closed. Plugged into paper management with
// setPaperEditorOpener().
void openPaperEditor(const AuthoringRequest &request);

} // namespace exam
