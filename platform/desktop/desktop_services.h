#pragma once

#include "platform/dialogs/dialogs.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace exam::platform {

// Opens a web address in the user's browser. False when the desktop could not open it.
bool openWebAddress(const QUrl &address);

// The help file of a program folder: help.chm when it is there, else the HTML help beside it
// (help/index.html). Empty when neither exists.
QString helpFilePath(const QString &programFolder);

// Opens the program folder's help with the desktop's handler. False when there is no help or it
// could not be opened.
bool openHelp(const QString &programFolder);

// Opens a document (an exported workbook or paper) with the desktop's handler. True only when the
// handler said it opened the file: on Linux xdg-open's exit status (a handler that is still
// running after a few seconds is the program showing the file, which counts as opened).
bool openDocument(const QString &filePath);

// A document an export wrote: whole (ok), in part (a path and an error), or not at all.
struct [[nodiscard]] WrittenDocument
{
    bool ok = false;
    QString filePath; // the document written, also a partly filled one; empty when none was
    QString error;    // for the user; empty on success
};

// Opens a written document with `open` (the desktop's handler when empty) and tells the teacher in
// a box: `doneText` and where the file is when the whole document was written; otherwise, as a
// warning, `failedText`, the reason and, when part of it was written, where that part is. A file
// that could not be opened comes with the advice to open it from there.
void openWrittenDocument(Dialogs &dialogs, QWidget *parent, const WrittenDocument &document,
                         const QString &doneText, const QString &failedText,
                         const std::function<bool(const QString &)> &open = {});

} // namespace exam::platform
