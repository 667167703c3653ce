#include "proctor/results/file_stamp.h"

#include <QFile>

#include <sys/stat.h>

namespace exam {

namespace {

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

FileStamp readFileStamp(const QString &path)
{
    FileStamp stamp;
    struct stat status = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = status.st_size;
    stamp.modifiedNs = nanoseconds(status.st_mtim);
    stamp.changedNs = nanoseconds(status.st_ctim);
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    return stamp;
}

} // namespace exam
