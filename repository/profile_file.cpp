#include "repository/profile_file.h"

#include "repository/atomic_save.h"
#include "repository/file_ops.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_format.h"
#include "repository/profile_lock.h"
#include "repository/profile_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>

namespace exam {
namespace {

std::atomic<quint64> g_openCount{0};

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

// Opens before asking whether the file exists: a results refresh reads thousands of files that
// do, and each question costs a look-up of the path.
ReadStatus readWholeFile(const QString &filePath, QByteArray *bytes)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return ReadStatus::Missing;
        ++g_openCount;
        return ReadStatus::Failed;
    }
    ++g_openCount;
    if (file.size() > MaxProfileBytes)
        return ReadStatus::Failed;
    *bytes = file.readAll();
    if (bytes->size() > MaxProfileBytes || file.error() != QFileDevice::NoError)
        return ReadStatus::Failed;
    return ReadStatus::Read;
}

// Reads the file, or the one whose name differs from it only in letter case (files copied from
// Windows); the spelling asked for is tried first, without listing the folder.
ReadStatus readAnyCase(const QString &filePath, QByteArray *bytes)
{
    const ReadStatus status = readWholeFile(filePath, bytes);
    if (status != ReadStatus::Missing)
        return status;
    const QString variant = existingCaseVariant(filePath);
    return variant == filePath ? status : readWholeFile(variant, bytes);
}

// Loads the document a write works on: the current file, or an empty new one. `current` receives
// the file's bytes, or stays null when there is no file.
Result loadForWrite(const QString &filePath, ProfileDocument *document, QByteArray *current)
{
    switch (readWholeFile(filePath, current)) {
    case ReadStatus::Missing:
        *current = QByteArray();
        *document = ProfileDocument();
        return {};
    case ReadStatus::Failed:
        return Result::failure(
            QStringLiteral("无法读取文件: %1").arg(QDir::toNativeSeparators(filePath)));
    case ReadStatus::Read: break;
    }
    *document = ProfileDocument::parse(*current);
    return {};
}

QString refusedNameText(const QString &section, const QString &key)
{
    return QStringLiteral("无法保存名称 [%1] %2: 名称为空或含有不能保存的字符。").arg(section, key);
}

} // namespace

Result removeProfileFile(const QString &filePath)
{
    const QString target = existingCaseVariant(filePath);
    const ProfileLock lock = ProfileLock::acquire(target, StoreLockWait);
    if (!lock.mayWrite()) {
        return Result::failure(QStringLiteral("文件正由另一个程序保存,请稍后再试: %1")
                                   .arg(QDir::toNativeSeparators(target)));
    }
    if (!QFileInfo::exists(target))
        return {};
    if (!fileOps().remove(target)) {
        return Result::failure(QStringLiteral("无法删除文件 %1: %2")
                                   .arg(QDir::toNativeSeparators(target), systemErrorText(errno)));
    }
    fileOps().syncFolder(QFileInfo(target).absolutePath());
    return {};
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
    if (readAnyCase(filePath, &bytes) != ReadStatus::Read)
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

ProfileSnapshot::Section ProfileSnapshot::section(const QString &name) const
{
    Section section;
    if (d) {
        section.d = d;
        section.m_number = d->index.sectionNumber(name).value_or(-1);
    }
    return section;
}

QString ProfileSnapshot::Section::value(const QString &key, const QString &defaultValue) const
{
    if (m_number < 0)
        return profileDefaultText(defaultValue);
    return d->index.value(m_number, key).value_or(profileDefaultText(defaultValue));
}

double ProfileSnapshot::Section::leadingNumberOf(const QString &key) const
{
    // Up to 15 digits and nothing else: the text would be the same digits, a whole number that a
    // double holds exactly.
    const std::optional<QByteArrayView> raw =
        m_number < 0 ? std::nullopt : d->index.rawValue(m_number, key);
    if (raw && !raw->isEmpty() && raw->size() <= 15 &&
        std::all_of(raw->begin(), raw->end(), [](char c) { return c >= '0' && c <= '9'; })) {
        qint64 whole = 0;
        for (const char c : *raw)
            whole = whole * 10 + (c - '0');
        return double(whole);
    }
    return leadingNumber(value(key));
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
bool ProfileBatch::placePrepared(const QString &target, const QString &temporary,
                                 const ProfileLock &lock) const
{
    FileOps &ops = fileOps();
    if (lock.state() == ProfileLock::State::Busy || QFileInfo::exists(target) ||
        !ops.rename(temporary, target)) {
        ops.remove(temporary);
        return false;
    }
    // Under the lock no other store of this file is under way: its other temporaries were cut off
    // (or prepared by a rival new store, which then goes the usual way).
    if (lock.state() == ProfileLock::State::Held)
        removeTemporariesOf(target);
    return true;
}

Result ProfileBatch::store() const
{
    const QString target = existingCaseVariant(m_filePath);
    QString prepared;
    bool preparedAllApplied = true;
    QString preparedRefusal;
    if (!QFileInfo::exists(target) && QFileInfo(target).dir().exists()) {
        ProfileDocument fresh;
        preparedAllApplied = apply(fresh, &preparedRefusal);
        if (fresh.isModified() && !writeTemporaryFile(target, fresh.toBytes(), &prepared))
            prepared.clear();
    }
    {
        // Held from the read to the rename, so no other writer's store can fall in between.
        const ProfileLock lock = ProfileLock::acquire(target, StoreLockWait);
        if (!prepared.isEmpty() && placePrepared(target, prepared, lock)) {
            prepared.clear();
        } else {
            if (!lock.mayWrite()) {
                return Result::failure(QStringLiteral("文件正由另一个程序保存,请稍后再试: %1")
                                           .arg(QDir::toNativeSeparators(target)));
            }
            return storeUnderLock(target, lock);
        }
    }
    fileOps().syncFolder(QFileInfo(target).absolutePath());
    if (!preparedAllApplied)
        return Result::failure(preparedRefusal);
    return {};
}

Result ProfileBatch::storeUnderLock(const QString &target, const ProfileLock &lock) const
{
    ProfileDocument document;
    QByteArray current;
    if (Result loaded = loadForWrite(target, &document, &current); !loaded)
        return loaded;
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
        if (Result saved = saveFileAtomically(target, bytes, LeftoverTemporaries::RemovedByCaller);
            !saved)
            return saved;
    }
    if (!allApplied)
        return Result::failure(refusal);
    return {};
}

} // namespace exam

QString readProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          const QString &filePath)
{
    QByteArray bytes;
    if (exam::readAnyCase(filePath, &bytes) != exam::ReadStatus::Read)
        return exam::profileDefaultText(defaultValue);
    return exam::findProfileValue(bytes, section, key)
        .value_or(exam::profileDefaultText(defaultValue));
}

bool writeProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &filePath)
{
    exam::ProfileBatch batch(filePath);
    batch.set(section, key, value);
    return batch.store().ok();
}
