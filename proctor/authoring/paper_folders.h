#pragma once

// Folder work of paper management and of the paper export and import: making, emptying and
// removing a paper's folders, and copying a paper's files. Only the files directly in a folder are
// touched (never sub-folders), and nothing is done through a symbolic link, so no stored or typed
// name can make the console change anything outside the repository's own paper folders.
// A failure carries a Chinese text naming the folder or file.

#include "repository/result.h"

#include <QString>

namespace exam {

// A name that can stand as one folder name directly below SHIJUAN or CHENGJI: not empty after
// trimming, not "." or "..", without "/" or "\" and without control characters.
bool isSafeFolderName(const QString &name);

// Succeeds when every existing part of `path` below `root` is a real folder, not a symbolic link or
// a file, and `path` lies below `root`. Parts that do not exist yet are fine (they will be
// created).
Result staysInRepository(const QString &root, const QString &path);

// Creates `folder` (and missing parents) when missing, else deletes every file in it.
Result createOrEmptyFolder(const QString &folder);

// Deletes every file in `folder`, then the folder. A missing folder is fine. A folder that still
// holds a sub-folder is kept and reported.
Result removeFolderWithFiles(const QString &folder);

// Copies every file (not sub-folder) of `from` into `to` under its own name. A file already in `to`
// is replaced atomically, so a failed copy leaves it as it was. Stops at the first failure.
Result copyFilesInto(const QString &from, const QString &to);

// True when both paths name the same existing folder.
bool isSameFolder(const QString &a, const QString &b);

} // namespace exam
