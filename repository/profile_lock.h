#pragma once

// The update lock of one profile file: every read-modify-write of a profile (ProfileBatch::store)
// and every removal of a result profile holds it, so the console's retest grant or delete and the
// student's own save of the same file happen one after the other, never interleaved.
//
// It is an advisory lock (flock) on the file itself; a store replaces the file, so after taking
// the lock the holder checks that the name still leads to the locked file and else starts again.
// While the file does not exist the lock is taken on its folder instead. The stored files stay as
// they are: no lock file is written. Where the file system has no locks (some network shares)
// the lock counts as held, and stores behave as they did without it.

#include "repository/result.h"

#include <QString>
#include <chrono>

namespace exam {

class ProfileLock
{
public:
    enum class State { Held, Busy, Unsupported };

    // Waits up to `wait` for the lock of `filePath`; Busy when another holder kept it that long.
    static ProfileLock acquire(const QString &filePath, std::chrono::milliseconds wait);

    ProfileLock(ProfileLock &&other) noexcept;
    ProfileLock &operator=(ProfileLock &&other) noexcept;
    ProfileLock(const ProfileLock &) = delete;
    ProfileLock &operator=(const ProfileLock &) = delete;
    ~ProfileLock();

    State state() const { return m_state; }
    // True when the caller may go on: the lock is held, or the file system has none.
    bool mayWrite() const { return m_state != State::Busy; }

private:
    ProfileLock(int fd, State state) : m_fd(fd), m_state(state) {}
    int m_fd = -1;
    State m_state = State::Busy;
};

// How long a store waits for another writer of the same file.
inline constexpr std::chrono::milliseconds StoreLockWait{10000};

// Removes a profile file under its update lock, so that a store of it under way finishes first and
// the next one starts from no file. Succeeds when the file is gone (or was never there).
Result removeProfileFile(const QString &filePath);

} // namespace exam
