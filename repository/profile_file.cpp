#include "repository/profile_file.h"

#include "repository/file_ops.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_format.h"
#include "repository/profile_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace exam {
namespace {

std::atomic<quint64> g_openCount{0};

constexpr int StoreAttempts = 4;

// Larger files are not profiles; reading them whole could exhaust memory.
constexpr qint64 MaxProfileBytes = 64 * 1024 * 1024;

// The file itself, or a file in the same folder whose name differs only in letter case.
QString existingCaseVariant(const QString &filePath)
{
    const QFileInfo info(filePath);
    if (info.exists())
        return filePath;
    const QDir folder = info.dir();
    if (!folder.exists())
        return filePath;
    const QString wanted = info.fileName();
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return filePath;
}

enum class ReadStatus { Read, Missing, Failed };

ReadStatus readWholeFile(const QString &filePath, QByteArray *bytes)
{
    QFile file(filePath);
    if (!file.exists())
        return ReadStatus::Missing;
    ++g_openCount;
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::Failed;
    if (file.size() > MaxProfileBytes)
        return ReadStatus::Failed;
    *bytes = file.readAll();
    if (bytes->size() > MaxProfileBytes || file.error() != QFileDevice::NoError)
        return ReadStatus::Failed;
    return ReadStatus::Read;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

bool hasWriteBit(QFileDevice::Permissions permissions)
{
    // The User bits say what the current user may do, which for root is everything.
    return permissions &
           (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther);
}

QString temporaryNameFor(const QString &filePath)
{
    static constexpr char Characters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name = filePath + u'.';
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(Characters[QRandomGenerator::global()->bounded(62)]);
    return name;
}

QString systemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Writes `bytes` to a new temporary file beside `filePath` and makes them reach the disk. The
// temporary's name goes to `temporary`. `keepMode` is the old file's permission bits; a new file
// gets the usual ones (0666 less umask).
bool writeTemporary(const QString &filePath, const QByteArray &bytes, std::optional<mode_t> keepMode,
                    QString *temporary, QString *failure)
{
    FileOps &ops = fileOps();
    int fd = -1;
    for (int name = 0; name < 8 && fd < 0; ++name) {
        *temporary = temporaryNameFor(filePath);
        fd = ops.open(*temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    }
    if (fd < 0) {
        *failure = systemErrorText(errno);
        return false;
    }
    bool written = ops.write(fd, bytes) && (!keepMode || ops.setPermissions(fd, *keepMode))
                   && ops.syncFile(fd);
    int code = errno;
    if (!ops.close(fd) && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        ops.remove(*temporary);
        *failure = systemErrorText(code);
    }
    return written;
}

// One try at replacing the file: the new bytes go to a temporary file beside it, reach the disk,
// and only then is the temporary renamed over the file, and the rename itself made durable by
// flushing the folder. A power cut at any step leaves the old file or the new one under the name.
bool replaceFile(const QString &filePath, const QByteArray &bytes, std::optional<mode_t> keepMode,
                 QString *failure)
{
    FileOps &ops = fileOps();
    QString temporary;
    if (!writeTemporary(filePath, bytes, keepMode, &temporary, failure))
        return false;
    if (!ops.rename(temporary, filePath)) {
        *failure = systemErrorText(errno);
        ops.remove(temporary);
        return false;
    }
    ops.syncFolder(QFileInfo(filePath).absolutePath());
    return true;
}

// Replaces the file atomically (see replaceFile), keeping the old file's permission bits.
bool storeAtomically(const QString &filePath, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(filePath);
    if (!info.dir().exists()) {
        setError(
            error,
            QStringLiteral("文件夹不存在: %1").arg(QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    std::optional<mode_t> keepMode;
    if (info.exists()) {
        // The write bits stand for the read-only attribute: root could replace the file anyway.
        if (!info.isFile() || !info.isWritable() || !hasWriteBit(info.permissions())) {
            setError(error, QStringLiteral("文件是只读的,无法保存: %1")
                                .arg(QDir::toNativeSeparators(filePath)));
            return false;
        }
        struct stat status {};
        if (::stat(QFile::encodeName(filePath).constData(), &status) == 0)
            keepMode = status.st_mode & 07777;
    }
    // On a network share the rename can fail while another computer has the file open: retry
    // briefly before giving up.
    QString failure;
    for (int attempt = 0; attempt < StoreAttempts; ++attempt) {
        if (attempt > 0)
            QThread::msleep(25UL << attempt);
        if (replaceFile(filePath, bytes, keepMode, &failure))
            return true;
    }
    setError(
        error,
        QStringLiteral("无法保存文件 %1: %2").arg(QDir::toNativeSeparators(filePath), failure));
    return false;
}

// Loads the document a write works on: the current file, or an empty new one. `current` receives
// the file's bytes, or stays null when there is no file.
bool loadForWrite(const QString &filePath, ProfileDocument *document, QByteArray *current,
                  QString *error)
{
    switch (readWholeFile(filePath, current)) {
    case ReadStatus::Missing:
        *current = QByteArray();
        *document = ProfileDocument();
        return true;
    case ReadStatus::Failed:
        setError(error, QStringLiteral("无法读取文件: %1").arg(QDir::toNativeSeparators(filePath)));
        return false;
    case ReadStatus::Read:
        break;
    }
    *document = ProfileDocument::parse(*current);
    return true;
}

QString refusedNameText(const QString &section, const QString &key)
{
    return QStringLiteral("无法保存名称 [%1] %2: 名称为空或含有不能保存的字符。").arg(section, key);
}

} // namespace

bool storeFileAtomically(const QString &filePath, const QByteArray &bytes, QString *error)
{
    return storeAtomically(filePath, bytes, error);
}

bool removeProfileFile(const QString &filePath, QString *error)
{
    const QString target = existingCaseVariant(filePath);
    const ProfileLock lock = ProfileLock::acquire(target, StoreLockWait);
    if (!lock.mayWrite()) {
        setError(error, QStringLiteral("文件正由另一个程序保存,请稍后再试: %1")
                            .arg(QDir::toNativeSeparators(target)));
        return false;
    }
    if (!QFileInfo::exists(target))
        return true;
    if (!fileOps().remove(target)) {
        setError(error, QStringLiteral("无法删除文件 %1: %2")
                            .arg(QDir::toNativeSeparators(target), systemErrorText(errno)));
        return false;
    }
    fileOps().syncFolder(QFileInfo(target).absolutePath());
    return true;
}

quint64 profileFileOpenCount()
{
    return g_openCount.load(std::memory_order_relaxed);
}

struct ProfileSnapshot::Data
{
    bool exists = false;
    ProfileIndex index;
};

ProfileSnapshot::ProfileSnapshot() = default;
ProfileSnapshot::~ProfileSnapshot() = default;
ProfileSnapshot::ProfileSnapshot(const ProfileSnapshot &other) = default;
ProfileSnapshot &ProfileSnapshot::operator=(const ProfileSnapshot &other) = default;
ProfileSnapshot::ProfileSnapshot(ProfileSnapshot &&other) noexcept = default;
ProfileSnapshot &ProfileSnapshot::operator=(ProfileSnapshot &&other) noexcept = default;

ProfileSnapshot ProfileSnapshot::load(const QString &filePath)
{
    QByteArray bytes;
    if (readWholeFile(existingCaseVariant(filePath), &bytes) != ReadStatus::Read)
        return ProfileSnapshot();
    return fromBytes(bytes);
}

ProfileSnapshot ProfileSnapshot::fromBytes(const QByteArray &fileBytes)
{
    auto data = std::make_shared<Data>();
    data->exists = true;
    data->index = ProfileIndex::build(fileBytes);
    ProfileSnapshot snapshot;
    snapshot.d = std::move(data);
    return snapshot;
}

bool ProfileSnapshot::exists() const
{
    return d && d->exists;
}

ProfileEncoding ProfileSnapshot::encoding() const
{
    return d ? d->index.encoding() : ProfileEncoding::Gb18030;
}

QString ProfileSnapshot::value(const QString &section, const QString &key,
                               const QString &defaultValue) const
{
    if (!d)
        return profileDefaultText(defaultValue);
    return d->index.value(section, key).value_or(profileDefaultText(defaultValue));
}

bool ProfileSnapshot::contains(const QString &section, const QString &key) const
{
    return d && d->index.value(section, key).has_value();
}

bool ProfileSnapshot::containsSection(const QString &section) const
{
    return d && d->index.containsSection(section);
}

ProfileBatch::ProfileBatch(QString filePath) : m_filePath(std::move(filePath)) {}

void ProfileBatch::set(const QString &section, const QString &key, const QString &value)
{
    m_writes.append({section, key, value});
}

// The writes on `document`: true when each could be made, else the first refusal in `refusal`.
bool ProfileBatch::apply(ProfileDocument &document, QString *refusal) const
{
    bool allApplied = true;
    for (const Write &write : m_writes) {
        if (!document.set(write.section, write.key, write.value)) {
            allApplied = false;
            if (refusal->isEmpty())
                *refusal = refusedNameText(write.section, write.key);
        }
    }
    return allApplied;
}

// A new file whose bytes are on disk already needs its folder's lock (which stands for every new
// file of the folder: sixty students logging in at once) only for the rename. True when the
// prepared temporary became the file; else it is gone and the store goes the usual way.
bool ProfileBatch::placePrepared(const QString &target, const QString &temporary, const ProfileLock &lock) const
{
    FileOps &ops = fileOps();
    if (lock.state() == ProfileLock::State::Busy || QFileInfo::exists(target) || !ops.rename(temporary, target)) {
        ops.remove(temporary);
        return false;
    }
    // Under the lock no other store of this file is under way: its other temporaries were cut off
    // (or prepared by a rival new store, which then goes the usual way).
    if (lock.state() == ProfileLock::State::Held)
        removeTemporariesOf(target);
    return true;
}

bool ProfileBatch::store(QString *error) const
{
    const QString target = existingCaseVariant(m_filePath);
    QString prepared;
    bool preparedAllApplied = true;
    QString preparedRefusal;
    if (!QFileInfo::exists(target) && QFileInfo(target).dir().exists()) {
        ProfileDocument fresh;
        preparedAllApplied = apply(fresh, &preparedRefusal);
        QString failure;
        if (fresh.isModified() && !writeTemporary(target, fresh.toBytes(), std::nullopt, &prepared, &failure))
            prepared.clear();
    }
    {
        // Held from the read to the rename, so no other writer's store can fall in between.
        const ProfileLock lock = ProfileLock::acquire(target, StoreLockWait);
        if (!prepared.isEmpty() && placePrepared(target, prepared, lock)) {
            prepared.clear();
        } else {
            if (!lock.mayWrite()) {
                setError(error, QStringLiteral("文件正由另一个程序保存,请稍后再试: %1")
                                    .arg(QDir::toNativeSeparators(target)));
                return false;
            }
            return storeUnderLock(target, lock, error);
        }
    }
    fileOps().syncFolder(QFileInfo(target).absolutePath());
    if (!preparedAllApplied)
        setError(error, preparedRefusal);
    return preparedAllApplied;
}

bool ProfileBatch::storeUnderLock(const QString &target, const ProfileLock &lock, QString *error) const
{
    ProfileDocument document;
    QByteArray current;
    if (!loadForWrite(target, &document, &current, error))
        return false;
    QString refusal;
    const bool allApplied = apply(document, &refusal);
    const QByteArray bytes = document.isModified() ? document.toBytes() : current;
    // Values that are already stored need no store: the periodic save of an exam whose answers
    // did not change costs no disk flush.
    const bool unchanged = !current.isNull() && bytes == current;
    if (document.isModified() && !unchanged) {
        // No store of this file is under way but this one: temporaries beside it were left by
        // stores that were cut off.
        if (lock.state() == ProfileLock::State::Held)
            removeTemporariesOf(target);
        if (!storeAtomically(target, bytes, error))
            return false;
    }
    if (!allApplied)
        setError(error, refusal);
    return allApplied;
}

} // namespace exam

QString readProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &filePath)
{
    QByteArray bytes;
    if (exam::readWholeFile(exam::existingCaseVariant(filePath), &bytes) != exam::ReadStatus::Read)
        return exam::profileDefaultText(defaultValue);
    return exam::findProfileValue(bytes, section, key)
        .value_or(exam::profileDefaultText(defaultValue));
}

bool writeProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &filePath)
{
    exam::ProfileBatch batch(filePath);
    batch.set(section, key, value);
    return batch.store();
}
