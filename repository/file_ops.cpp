#include "repository/file_ops.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exam {
namespace {

PosixFileOps g_posix;
std::atomic<FileOps *> g_current{&g_posix};

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

int PosixFileOps::open(const QString &path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(native(path).constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool PosixFileOps::write(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

bool PosixFileOps::setPermissions(int fd, mode_t mode)
{
    return ::fchmod(fd, mode) == 0;
}

bool PosixFileOps::syncFile(int fd)
{
    return ::fsync(fd) == 0;
}

bool PosixFileOps::close(int fd)
{
    // After EINTR the descriptor is gone on Linux: never close it twice.
    return ::close(fd) == 0 || errno == EINTR;
}

bool PosixFileOps::rename(const QString &from, const QString &to)
{
    return ::rename(native(from).constData(), native(to).constData()) == 0;
}

namespace {

bool syncThroughFolder(const QString &folder, int (*sync)(int))
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = sync(fd) == 0;
    const int code = errno;
    ::close(fd);
    errno = code;
    return synced;
}

} // namespace

bool PosixFileOps::syncFolder(const QString &folder)
{
    return syncThroughFolder(folder, ::fsync);
}

bool PosixFileOps::syncFileSystem(const QString &folder)
{
    return syncThroughFolder(folder, ::syncfs);
}

bool PosixFileOps::remove(const QString &path)
{
    return ::unlink(native(path).constData()) == 0;
}

FileOps &fileOps()
{
    return *g_current.load(std::memory_order_acquire);
}

ScopedFileOps::ScopedFileOps(FileOps &ops)
    : m_previous(g_current.exchange(&ops, std::memory_order_acq_rel))
{}

ScopedFileOps::~ScopedFileOps()
{
    g_current.store(m_previous, std::memory_order_release);
}

} // namespace exam
