#include "proctor/shell/menu_actions.h"

#include "proctor/analysis/quality_window.h"
#include "proctor/authoring/paper_document_export.h"
#include "proctor/authoring/paper_editor_opener.h"
#include "proctor/authoring/paper_management_window.h"
#include "proctor/authoring/paper_pdf_export.h"
#include "proctor/classes/class_window.h"
#include "proctor/classes/exam_room_window.h"
#include "proctor/export/results_export.h"
#include "proctor/results/results_window.h"
#include "proctor/shell/password_window.h"
#include "repository/repository_paths.h"

// Each administration window plugs in here: include its header and set its opener below.

namespace exam {

MenuOpeners makeMenuOpeners(const ConsoleContext &context)
{
    const QString systemProfile = RepositoryPaths(context.repositoryRoot).systemProfile();
    platform::Dialogs *dialogs = context.dialogs;

    // "编辑试卷" and the double click in paper management open the paper editor.
    setPaperEditorOpener(openPaperEditor);
    // "输出到 WORD" fills the repository's paper template and opens the document.
    setWordExporter(paperDocumentExporter());
    // "输出到 PDF" prints the paper as the students' or the teacher's copy.
    setPdfExporter(paperPdfExporter());

    MenuOpeners openers;
    openers.papers = [root = context.repositoryRoot, dialogs](QWidget *parent) {
        PaperManagementWindow window(root, *dialogs, parent);
        window.exec();
    };
    openers.examRooms = [systemProfile, dialogs](QWidget *parent) {
        ExamRoomWindow window(systemProfile, *dialogs, parent);
        window.exec();
    };
    openers.classes = [systemProfile, dialogs](QWidget *parent) {
        ClassWindow window(systemProfile, *dialogs, parent);
        window.exec();
    };
    openers.results = [root = context.repositoryRoot, dialogs](QWidget *parent) {
        // A repository without papers or classes closes only the results window after its message:
        // the console stays open for the teacher's other work.
        openResultsWindow(parent, root, *dialogs, scoreSheetExporter({root, dialogs, {}, {}}),
                          qualityAnalyser({dialogs, {}, {}}));
    };
    openers.password = [systemProfile, dialogs](QWidget *parent) {
        PasswordWindow window(systemProfile, *dialogs, parent);
        window.exec();
    };
    return openers;
}

} // namespace exam
