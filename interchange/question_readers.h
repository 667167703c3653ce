#pragma once

// Readers of question files from other programs. Each returns the questions this system can hold,
// the ones it cannot (with their line and the reason), or an error with its line when the file is
// broken, in which case none of its questions may be imported.
//
// - Aiken: the question on its own line(s), the options one per line ("A. …" or "A) …"), then
//   "ANSWER: X"; a blank line between questions.
// - GIFT, the choice questions: "::title::", "{=right ~wrong}", several right options with weights
//   "~%50%…", true/false "{T}"/"{F}" (options 是 and 非), general feedback "####…" as the
//   explanation, "//" comments, "$CATEGORY:" lines, the escapes \~ \= \# \{ \} \: and \n.
// - Moodle XML: "multichoice" (one or several right answers) and "truefalse"; HTML question texts
//   with their embedded pictures ("@@PLUGINFILE@@/…" and base64 <file>), "generalfeedback" as the
//   explanation, "defaultgrade" as the mark.
// Other question types (short answer, matching, numerical, essay, cloze, description, …) and
// questions with more than seven options are skipped.

#include "interchange/interchange_question.h"

#include <QString>

namespace exam::interchange {

enum class SourceFormat { Aiken, Gift, MoodleXml };

ReadResult readAiken(const QString &text);
ReadResult readGift(const QString &text);
ReadResult readMoodleXml(const QString &text);

// ".xml" files and text starting with "<" are Moodle XML, ".gift" files GIFT; other files are
// Aiken when a line starts with "ANSWER:", else GIFT.
SourceFormat detectFormat(const QString &fileName, const QString &text);

// Reads the file in the format it is in (see decodeSourceText for the encodings); a file that
// cannot be opened is an error at line 0.
ReadResult readQuestionFile(const QString &path);

} // namespace exam::interchange
