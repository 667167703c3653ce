#include "proctor/authoring/paper_editor_opener.h"

#include "platform/desktop/working_folders.h"
#include "proctor/authoring/paper_editor_window.h"
#include "repository/random_source.h"

#include <QApplication>

namespace exam {

void openPaperEditor(const AuthoringRequest &request)
{
    SecureRandomSource random;
    // Opened from paper management, the window the teacher works in; the editor belongs to it.
    PaperEditorWindow window(request.repositoryRoot, request.row.name(),
                             platform::editorWorkingFolder(), *request.dialogs, random,
                             QApplication::activeWindow());
    if (window.isOpen())
        window.exec();
}

} // namespace exam
