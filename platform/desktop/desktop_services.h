#pragma once

#include <QString>
#include <QUrl>

// Opens a web address in the user's browser. False when the desktop could not open it.
bool openWebAddress(const QUrl &address);

// The help file of a program folder: help.chm when it is there, else the HTML help beside it
// (help/index.html). Empty when neither exists.
QString helpFilePath(const QString &programFolder);

// Opens the program folder's help with the desktop's handler. False when there is no help or it
// could not be opened.
bool openHelp(const QString &programFolder);

// Opens a document (an exported workbook or paper) with the desktop's handler.
bool openDocument(const QString &filePath);
