#pragma once

// RTF for question texts and explanations: read into a QTextDocument, write one back, or take
// the plain text of a file without building a document.

#include "repository/result.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// Replaces the document's content with the RTF document in `rtf`. Returns false, leaving the
// document untouched, when the data does not start like RTF. Damaged RTF (truncated, unbalanced,
// bad escapes) is read as far as it makes sense and still returns true.
bool readRtf(const QByteArray &rtf, QTextDocument *document);

// RTF for Word, WordPad, LibreOffice and readRtf(): code page 936 with Unicode escapes, so readers
// with and without Unicode support get the same characters.
QByteArray writeRtf(const QTextDocument &document);

// The visible text: paragraphs and line breaks as '\n', table cells separated by '\t'.
// Empty for data that is not RTF.
QString rtfPlainText(const QByteArray &rtf);

// Loads an RTF file into the document; a failure carries a message for the user and leaves the
// document as it was.
exam::Result loadRtfFile(const QString &path, QTextDocument *document);

// Stores the document as RTF atomically: readers see the old file or the new one, never a part.
exam::Result saveRtfFile(const QString &path, const QTextDocument &document);

} // namespace rtf
