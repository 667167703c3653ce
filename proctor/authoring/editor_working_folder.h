#pragma once

// The paper editor's working folder: a local folder that holds copies of one paper's question
// files while the editor is open. The editor loads and saves only these copies; "确定" copies them
// back into the paper folder and removes the paper's files that no question names any more.
//
// Only "*.rtf" files (any letter case) directly in a folder are touched, never sub-folders or
// symbolic links. Each function returns false and puts a Chinese text naming the folder or file
// into `error` when given.

#include <QSet>
#include <QString>

namespace exam {

// True for a file name ending in ".rtf", in any letter case.
bool isRtfFileName(const QString &fileName);

// Creates the folder when missing, otherwise deletes every "*.rtf" file in it.
[[nodiscard]] bool prepareWorkingFolder(const QString &folder, QString *error = nullptr);

// Copies every "*.rtf" file of the paper folder into the (emptied) working folder. The copies are
// scratch files: they are not flushed to disk one by one, which keeps opening a large paper fast.
[[nodiscard]] bool fillWorkingFolder(const QString &paperFolder, const QString &workingFolder,
                       QString *error = nullptr);

// Copies every "*.rtf" file of `from` into `to` under its own name with copyFileAtomically(); a
// file of the same name (in any letter case) is replaced, and left alone when it holds the same
// bytes already. Continues after a failure and reports the first one.
[[nodiscard]] bool copyRtfFiles(const QString &from, const QString &to, QString *error = nullptr);

// Deletes every "*.rtf" file of `folder`.
[[nodiscard]] bool removeRtfFiles(const QString &folder, QString *error = nullptr);

// Deletes every "*.rtf" file of `paperFolder` whose lower-case name is not in `keep`.
[[nodiscard]] bool removeUnnamedRtfFiles(const QString &paperFolder, const QSet<QString> &keep,
                           QString *error = nullptr);

} // namespace exam
