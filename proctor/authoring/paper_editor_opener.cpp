#include "proctor/authoring/paper_editor_opener.h"

#include "platform/desktop/working_folders.h"
#include "proctor/authoring/paper_editor_window.h"
#include "repository/random_source.h"

namespace exam {

void openPaperEditor(const AuthoringRequest &request)
{
    SecureRandomSource random;
    PaperEditorWindow window(request.repositoryRoot, request.row.name(), editorWorkingFolder(),
                             *request.dialogs, random, request.parent);
    if (window.isOpen())
        window.exec();
}

} // namespace exam
