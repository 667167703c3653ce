#include "proctor/authoring/authoring_hooks.h"

namespace exam {

namespace {
AuthoringAction &editorOpener()
{
    static AuthoringAction action;
    return action;
}

AuthoringAction &exporter()
{
    static AuthoringAction action;
    return action;
}

AuthoringAction &pdfAction()
{
    static AuthoringAction action;
    return action;
}
} // namespace

void setPaperEditorOpener(AuthoringAction opener)
{
    editorOpener() = std::move(opener);
}

const AuthoringAction &paperEditorOpener()
{
    return editorOpener();
}

void setWordExporter(AuthoringAction action)
{
    exporter() = std::move(action);
}

const AuthoringAction &wordExporter()
{
    return exporter();
}

void setPdfExporter(AuthoringAction action)
{
    pdfAction() = std::move(action);
}

const AuthoringAction &pdfExporter()
{
    return pdfAction();
}

} // namespace exam
