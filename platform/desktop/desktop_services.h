#pragma once

#include <QString>
#include <QUrl>

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

// The lines that end an export's message: where the file was saved and, when it could not be
// opened, that the teacher should open it from there.
QString savedDocumentNote(const QString &filePath, bool opened);

} // namespace exam::platform
