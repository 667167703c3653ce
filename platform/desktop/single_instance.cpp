#include "single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace exam::platform {

namespace {

QString lockFolder(const QString &folder)
{
    if (!folder.isEmpty())
        return folder;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::homePath();
    return runtime;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString &programName, const QString &folder)
    : m_lock(std::make_unique<QLockFile>(
          QDir(lockFolder(folder)).filePath(programName + QStringLiteral(".lock"))))
{
    // A lock is never stale while its process lives; only a dead owner's lock is taken over.
    m_lock->setStaleLockTime(0);
}

bool SingleInstanceGuard::tryAcquire()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}

} // namespace exam::platform
