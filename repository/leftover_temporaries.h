#pragma once

// A store writes its new file as "<file>.XXXXXX" (six letters or digits) beside the file and then
// renames it over the file. A process cut off before the rename leaves that temporary behind. It is
// never data: listings leave it out, and it is removed the next time its file is stored or its
// folder is listed, provided no store of that file is under way (its update lock is free).

#include <QString>
#include <QStringList>

namespace exam {

// True when `name` is "<fileName>.XXXXXX".
bool isTemporaryOf(const QString &name, const QString &fileName);

// True when `name` is a store's temporary of a profile or a question document of the repository:
// "<anything>.cho.XXXXXX" or "<anything>.rtf.XXXXXX", any case.
bool isLeftoverTemporary(const QString &name);

// Removes the temporaries of `filePath` in its folder; for a profile the caller holds its update
// lock.
void removeTemporariesOf(const QString &filePath);

// Removes the temporaries that cut stores left in `folder`, those of files no store is writing; a
// batch of saves into the folder then need not look for them file by file.
void removeLeftoverTemporaries(const QString &folder);

// The names of the files in `folder` (hidden and system files included), without the temporaries
// of cut stores; those whose file is not being stored are removed on the way.
QStringList listProfileFolder(const QString &folder);

} // namespace exam
