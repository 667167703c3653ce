#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace exam::platform {

// Keeps a second copy of a program on the same PC from running: a lock file named after the program
// in the user's runtime folder. The lock is held for the guard's lifetime and is taken over when
// the process that held it died.
class SingleInstanceGuard
{
public:
    // folder: where the lock lives; empty means the user's runtime folder.
    explicit SingleInstanceGuard(const QString &programName, const QString &folder = {});

    // True when this process now holds the lock (and so is the only copy).
    bool tryAcquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace exam::platform
