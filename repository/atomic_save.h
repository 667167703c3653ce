#pragma once

// The one way the programs store a file: profiles, question files, workbooks, documents and the
// editor's copies all go through saveFileAtomically().
//
// The new bytes go to a temporary "<file>.XXXXXX" beside the file, reach the disk (fsync), and only
// then is the temporary renamed over the file and the folder flushed, so a reader sees the old file
// or the new one and a power cut at any moment leaves one of them under the name. Every file
// operation goes through fileOps() (repository/file_ops.h), where the crash-state tests record and
// cut it.

#include "repository/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace exam {

// Replaces (or creates) `filePath` with `bytes` as described above. The new file keeps the old
// one's permission bits (a new one gets 0666 less the umask). A missing folder and a read-only file
// are refused with the file left as it was; a failed attempt (a share where another computer has
// the file open) is retried briefly. The temporary of an attempt that failed is removed.
//
// A save that was cut off leaves its temporary behind; those of `filePath` are removed once the
// file is saved. A profile store removes them itself, under the file's update lock, before it
// saves.
enum class LeftoverTemporaries { Remove, RemovedByCaller };
Result saveFileAtomically(const QString &filePath, const QByteArray &bytes,
                          LeftoverTemporaries leftovers = LeftoverTemporaries::Remove);

// The first half of a save, for a store that renames later under a lock it takes then: `bytes` in
// a new temporary "<file>.XXXXXX" beside `filePath`, on disk, with a new file's permission bits.
// Its path goes to `*temporary`; a failure leaves nothing behind.
Result writeTemporaryFile(const QString &filePath, const QByteArray &bytes, QString *temporary);

// A file of a batch: its path and its bytes.
struct NewFile
{
    QString path;
    QByteArray bytes;
};

// Stores many new files at once (an import of a thousand questions), as safely as one by one but
// with one flush for all instead of two per file: each file's bytes go to its temporary beside it,
// one flush of the file system brings them all to the disk, and only then is each temporary
// renamed to its file and each folder flushed once. A reader never meets a file that is not
// whole. The names must not be in use. A failure removes every temporary and file of the batch.
// `progress` (may be empty) hears of each file written: how many are.
Result saveNewFilesAtomically(const QList<NewFile> &files,
                              const std::function<void(qsizetype)> &progress = {});

// Copies `from` over `to` with saveFileAtomically(): a failed copy leaves `to` as it was.
Result copyFileAtomically(const QString &from, const QString &to,
                          LeftoverTemporaries leftovers = LeftoverTemporaries::Remove);

// The text the C library gives for an error number (errno), for messages.
QString systemErrorText(int code);

} // namespace exam
