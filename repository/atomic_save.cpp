#include "repository/atomic_save.h"

#include "repository/file_ops.h"
#include "repository/leftover_temporaries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace exam {
namespace {

constexpr int SaveAttempts = 4;

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

enum class Flush { Now, WithTheBatch };

// Writes `bytes` to a new temporary file beside `filePath` and makes them reach the disk, or leaves
// that to the flush of a batch (the temporary's name goes to `temporary`). `keepMode` is the old
// file's permission bits; a new file gets the usual ones (0666 less umask). Returns the failure's
// text, or nothing.
std::optional<QString> writeTemporary(const QString &filePath, const QByteArray &bytes,
                                      std::optional<mode_t> keepMode, QString *temporary,
                                      Flush flush = Flush::Now)
{
    FileOps &ops = fileOps();
    int fd = -1;
    for (int name = 0; name < 8 && fd < 0; ++name) {
        *temporary = temporaryNameFor(filePath);
        fd = ops.open(*temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    }
    if (fd < 0)
        return systemErrorText(errno);
    bool written = ops.write(fd, bytes) && (!keepMode || ops.setPermissions(fd, *keepMode)) &&
                   (flush == Flush::WithTheBatch || ops.syncFile(fd));
    int code = errno;
    if (!ops.close(fd) && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        ops.remove(*temporary);
        return systemErrorText(code);
    }
    return std::nullopt;
}

// One try at replacing the file: the temporary, then the rename, then the folder flushed.
std::optional<QString> replaceFile(const QString &filePath, const QByteArray &bytes,
                                   std::optional<mode_t> keepMode)
{
    FileOps &ops = fileOps();
    QString temporary;
    if (std::optional<QString> failed = writeTemporary(filePath, bytes, keepMode, &temporary))
        return failed;
    if (!ops.rename(temporary, filePath)) {
        const int code = errno;
        ops.remove(temporary);
        return systemErrorText(code);
    }
    ops.syncFolder(QFileInfo(filePath).absolutePath());
    return std::nullopt;
}

QString saveFailure(const QString &filePath, const QString &why)
{
    return QStringLiteral("无法保存文件 %1: %2").arg(QDir::toNativeSeparators(filePath), why);
}

QString missingFolder(const QString &filePath)
{
    return QStringLiteral("无法保存文件 %1: 文件夹不存在").arg(QDir::toNativeSeparators(filePath));
}

} // namespace

QString systemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

Result saveFileAtomically(const QString &filePath, const QByteArray &bytes,
                          LeftoverTemporaries leftovers)
{
    const QFileInfo info(filePath);
    if (!info.dir().exists()) {
        return Result::failure(missingFolder(filePath));
    }
    std::optional<mode_t> keepMode;
    if (info.exists()) {
        // The write bits stand for the read-only attribute: root could replace the file anyway.
        if (!info.isFile() || !info.isWritable() || !hasWriteBit(info.permissions())) {
            return Result::failure(QStringLiteral("文件是只读的,无法保存: %1")
                                       .arg(QDir::toNativeSeparators(filePath)));
        }
        struct stat status = {};
        if (::stat(QFile::encodeName(filePath).constData(), &status) == 0)
            keepMode = status.st_mode & 07777;
    }
    // On a network share the rename can fail while another computer has the file open: retry
    // briefly before giving up.
    QString failure;
    for (int attempt = 0; attempt < SaveAttempts; ++attempt) {
        if (attempt > 0)
            QThread::msleep(25UL << attempt);
        const std::optional<QString> failed = replaceFile(filePath, bytes, keepMode);
        if (!failed) {
            if (leftovers == LeftoverTemporaries::Remove)
                removeTemporariesOf(filePath);
            return {};
        }
        failure = *failed;
    }
    return Result::failure(saveFailure(filePath, failure));
}

Result writeTemporaryFile(const QString &filePath, const QByteArray &bytes, QString *temporary)
{
    if (const std::optional<QString> failed =
            writeTemporary(filePath, bytes, std::nullopt, temporary))
        return Result::failure(saveFailure(filePath, *failed));
    return {};
}

Result saveNewFilesAtomically(const QList<NewFile> &files,
                              const std::function<void(qsizetype)> &progress)
{
    FileOps &ops = fileOps();
    QStringList temporaries;
    temporaries.reserve(files.size());
    qsizetype renamed = 0;
    const auto fail = [&](const QString &message) {
        for (qsizetype i = 0; i < renamed; ++i)
            ops.remove(files.at(i).path);
        for (qsizetype i = renamed; i < temporaries.size(); ++i)
            ops.remove(temporaries.at(i));
        return Result::failure(message);
    };
    QStringList folders;
    for (const NewFile &file : files) {
        const QString folder = QFileInfo(file.path).absolutePath();
        if (folders.contains(folder))
            continue;
        if (!QFileInfo(folder).isDir())
            return fail(missingFolder(file.path));
        folders.append(folder);
    }
    for (const NewFile &file : files) {
        QString temporary;
        if (const std::optional<QString> failed = writeTemporary(
                file.path, file.bytes, std::nullopt, &temporary, Flush::WithTheBatch))
            return fail(saveFailure(file.path, *failed));
        temporaries.append(temporary);
        if (progress)
            progress(temporaries.size());
    }
    for (const QString &folder : std::as_const(folders)) {
        if (!ops.syncFileSystem(folder))
            return fail(saveFailure(folder, systemErrorText(errno)));
    }
    for (; renamed < files.size(); ++renamed) {
        if (!ops.rename(temporaries.at(renamed), files.at(renamed).path))
            return fail(saveFailure(files.at(renamed).path, systemErrorText(errno)));
    }
    for (const QString &folder : std::as_const(folders))
        ops.syncFolder(folder);
    return {};
}

Result copyFileAtomically(const QString &from, const QString &to, LeftoverTemporaries leftovers)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        return Result::failure(QStringLiteral("无法读取文件 %1: %2")
                                   .arg(QDir::toNativeSeparators(from), source.errorString()));
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        return Result::failure(QStringLiteral("无法读取文件 %1: %2")
                                   .arg(QDir::toNativeSeparators(from), source.errorString()));
    }
    return saveFileAtomically(to, bytes, leftovers);
}

} // namespace exam
