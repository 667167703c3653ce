#include "repository/profile_lock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exam {
namespace {

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ProfileLock ProfileLock::acquire(const QString &filePath, std::chrono::milliseconds wait)
{
    const QByteArray file = QFile::encodeName(filePath);
    const QByteArray folder = QFile::encodeName(QFileInfo(filePath).absolutePath());
    const QDeadlineTimer deadline(wait);
    unsigned long pauseMs = 1;
    for (;;) {
        bool onFolder = false;
        int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            onFolder = true;
            fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
        // A file or folder that cannot be opened for reading cannot be locked either; the store
        // itself reports what is wrong.
        if (fd < 0)
            return ProfileLock(-1, State::Unsupported);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat locked = {};
            struct stat named = {};
            const bool nameExists = ::stat(file.constData(), &named) == 0;
            const bool stillThere =
                onFolder ? !nameExists
                         : (nameExists && ::fstat(fd, &locked) == 0 && sameFile(locked, named));
            if (stillThere)
                return ProfileLock(fd, State::Held);
            ::close(fd); // replaced, removed or created meanwhile: lock what the name is now
            continue;
        }
        const int failure = errno;
        ::close(fd);
        if (failure != EWOULDBLOCK && failure != EINTR)
            return ProfileLock(-1, State::Unsupported);
        if (deadline.hasExpired())
            return ProfileLock(-1, State::Busy);
        QThread::msleep(pauseMs);
        pauseMs = std::min(pauseMs * 2, 16UL);
    }
}

ProfileLock::ProfileLock(ProfileLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_state(other.m_state)
{}

ProfileLock &ProfileLock::operator=(ProfileLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_state = other.m_state;
    }
    return *this;
}

ProfileLock::~ProfileLock()
{
    // Closing the descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace exam
