#pragma once

// What identifies a file's content without reading it: size, modification and change times at the
// file system's full resolution, and the file's identity (device and inode). An atomic store
// (a new file renamed over the old one) changes the identity even when size and times agree.

#include <QString>
#include <QtGlobal>

namespace exam {

struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // since the epoch
    qint64 changedNs = 0;  // status change (ctime); 0 where the file system gives none
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The stamp of the file at `path`; a missing or unreadable path gives a stamp with exists false.
FileStamp readFileStamp(const QString &path);

} // namespace exam
