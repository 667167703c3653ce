#pragma once

// The paper editor's working folder: a local folder that holds copies of one paper's question
// files while the editor is open. It starts empty; a question's files are copied in the first time
// the question is shown, so opening a large paper copies nothing. The editor loads and saves only
// these copies; "确定" copies them back into the paper folder (the files of questions never shown
// are there already) and removes the paper's files that no question names any more.
//
// Only "*.rtf" files (any letter case) directly in a folder are touched, never sub-folders or
// symbolic links. A failure carries a Chinese text naming the folder or file.

#include "repository/paper_profile.h"
#include "repository/result.h"

#include <QSet>
#include <QString>

namespace exam {

class RandomSource;

// True for a file name ending in ".rtf", in any letter case.
bool isRtfFileName(const QString &fileName);

// Creates the folder when missing, otherwise deletes every "*.rtf" file in it.
Result prepareWorkingFolder(const QString &folder);

// The paper folder's file of a question file name (trimmed, matched ignoring letter case) when it
// is a plain "*.rtf" file there, the kind the editor copies; empty otherwise.
QString paperQuestionFile(const QString &paperFolder, const QString &fileName);

// Copies the paper folder's file of a question file name into the working folder, under the paper
// folder's spelling, unless the working folder has a file of that name already (an earlier copy,
// perhaps edited since, or a new question's file) or the paper folder has none. The copy is a
// scratch file, not flushed to disk: the paper folder keeps the file until "确定".
Result copyQuestionFile(const QString &paperFolder, const QString &workingFolder,
                        const QString &fileName);

// Names for new question files ("<n>.RTF", as newDocumentName() draws them) that are free in the
// working folder and in the paper folder too: a question file not copied yet must not be replaced
// at "确定" by a new file of the same name. Each folder is listed once.
class NewQuestionFileNames
{
public:
    NewQuestionFileNames(const QString &workingFolder, const QString &paperFolder);
    // Empty when no free name was drawn (a broken source or an unreadable folder).
    QString next(RandomSource &random);

private:
    DocumentNamer m_namer;
};

// Copies every "*.rtf" file of `from` into `to` under its own name with copyFileAtomically(); a
// file of the same name (in any letter case) is replaced, and left alone when it holds the same
// bytes already. Continues after a failure and reports the first one.
Result copyRtfFiles(const QString &from, const QString &to);

// Deletes every "*.rtf" file of `folder`.
Result removeRtfFiles(const QString &folder);

// Deletes every "*.rtf" file of `paperFolder` whose lower-case name is not in `keep`.
Result removeUnnamedRtfFiles(const QString &paperFolder, const QSet<QString> &keep);

} // namespace exam
