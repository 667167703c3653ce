#pragma once

// What a power cut can leave on disk after a recorded store. RecordingFileOps records every file
// operation of the stores made while it is installed (and performs them); crashStates() then
// builds every on-disk state a crash at any point of the record may leave, under the rules a
// POSIX file system such as ext4 keeps:
// - data written but not yet flushed by fsync of its file may be lost, kept in part (half of a
//   write, or the file's new length filled with zeros) or kept whole; a truncation not yet flushed
//   may be lost;
// - a flush of the whole file system (syncfs) makes all data written before it durable; the names
//   are taken as still in doubt, the weaker rule;
// - a name created, renamed or removed in a folder is durable only once the folder is flushed;
//   until then any of those changes may have reached the disk or not, in any order;
// - what was flushed before the cut stays.
// Files that existed before the record are taken as durable. Only the folders the record touches
// are modelled.

#include "repository/file_ops.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>

namespace reliability {

struct FileOp
{
    enum Kind { Create, Truncate, Write, SyncFile, Rename, SyncFolder, SyncFileSystem, Remove };
    Kind kind;
    QString path; // the file; for Rename the old name; for SyncFolder the folder
    QString to;   // Rename: the new name
    qint64 offset = 0;
    QByteArray bytes;

    static FileOp on(Kind kind, const QString &path, const QString &to = QString(),
                     qint64 offset = 0, const QByteArray &bytes = QByteArray())
    {
        FileOp op{kind, path, to, offset, bytes};
        return op;
    }
    bool changesNames() const { return kind == Create || kind == Rename || kind == Remove; }
    bool isFlush() const
    {
        return kind == SyncFile || kind == SyncFolder || kind == SyncFileSystem;
    }
    QString folder() const
    {
        return kind == SyncFolder || kind == SyncFileSystem ? path : QFileInfo(path).absolutePath();
    }
};

// Performs every operation with the real calls and records it.
class RecordingFileOps final : public exam::FileOps
{
public:
    QList<FileOp> ops;

    int open(const QString &path, int flags, mode_t mode) override
    {
        const bool existed = QFileInfo::exists(path);
        const int fd = m_real.open(path, flags, mode);
        if (fd < 0)
            return fd;
        if ((flags & O_CREAT) && !existed)
            ops.append(FileOp::on(FileOp::Create, absolute(path)));
        if (flags & O_TRUNC)
            ops.append(FileOp::on(FileOp::Truncate, absolute(path)));
        m_open[fd] = {absolute(path), 0};
        return fd;
    }
    bool write(int fd, QByteArrayView bytes) override
    {
        OpenFile &file = m_open[fd];
        ops.append(
            FileOp::on(FileOp::Write, file.path, QString(), file.offset, bytes.toByteArray()));
        file.offset += bytes.size();
        return m_real.write(fd, bytes);
    }
    bool setPermissions(int fd, mode_t mode) override { return m_real.setPermissions(fd, mode); }
    bool syncFile(int fd) override
    {
        ops.append(FileOp::on(FileOp::SyncFile, m_open[fd].path));
        return m_real.syncFile(fd);
    }
    bool close(int fd) override
    {
        m_open.erase(fd);
        return m_real.close(fd);
    }
    bool rename(const QString &from, const QString &to) override
    {
        ops.append(FileOp::on(FileOp::Rename, absolute(from), absolute(to)));
        return m_real.rename(from, to);
    }
    bool syncFolder(const QString &folder) override
    {
        ops.append(FileOp::on(FileOp::SyncFolder, QDir(folder).absolutePath()));
        return m_real.syncFolder(folder);
    }
    bool syncFileSystem(const QString &folder) override
    {
        ops.append(FileOp::on(FileOp::SyncFileSystem, QDir(folder).absolutePath()));
        return m_real.syncFileSystem(folder);
    }
    bool remove(const QString &path) override
    {
        ops.append(FileOp::on(FileOp::Remove, absolute(path)));
        return m_real.remove(path);
    }

private:
    struct OpenFile
    {
        QString path;
        qint64 offset = 0;
    };
    static QString absolute(const QString &path) { return QFileInfo(path).absoluteFilePath(); }
    exam::PosixFileOps m_real;
    std::map<int, OpenFile> m_open;
};

// The files of the recorded folders: absolute path → bytes.
using DiskState = std::map<QString, QByteArray>;

inline DiskState readFolders(const QSet<QString> &folders)
{
    DiskState state;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                state[dir.filePath(name)] = file.readAll();
        }
    }
    return state;
}

inline QSet<QString> foldersOf(const QList<FileOp> &ops)
{
    QSet<QString> folders;
    for (const FileOp &op : ops)
        folders.insert(op.folder());
    return folders;
}

namespace detail {

// How an unflushed data operation reached the disk.
enum class Fate { Lost, Half, Zeros, Whole };

struct Inode
{
    QByteArray bytes;
};

// The record with every name operation resolved to the inode it acted on.
struct ResolvedOp
{
    FileOp op;
    int inode = -1; // data ops: the file written; Create: the new file
};

inline QByteArray applyData(QByteArray bytes, const FileOp &op, Fate fate)
{
    if (fate == Fate::Lost)
        return bytes;
    if (op.kind == FileOp::Truncate)
        return QByteArray();
    QByteArray data = op.bytes;
    if (fate == Fate::Half)
        data.truncate(data.size() / 2);
    else if (fate == Fate::Zeros)
        data.fill('\0');
    const qint64 end = op.offset + data.size();
    if (bytes.size() < end)
        bytes.resize(end, '\0');
    bytes.replace(op.offset, data.size(), data);
    return bytes;
}

} // namespace detail

// Calls `visit` with every state a crash after 0 … n recorded operations may leave, `before` being
// the recorded folders' files before the first operation. Returns how many states it visited.
inline int crashStates(const DiskState &before, const QList<FileOp> &ops,
                       const std::function<void(const DiskState &, int cutAfter)> &visit)
{
    using namespace detail;
    // Give every file an inode and resolve each operation against the names as they were then.
    QList<Inode> initialInodes;
    QHash<QString, int> names;
    for (const auto &[path, bytes] : before) {
        names.insert(path, int(initialInodes.size()));
        initialInodes.append({bytes});
    }
    int inodeCount = int(initialInodes.size());
    QList<ResolvedOp> resolved;
    for (const FileOp &op : ops) {
        ResolvedOp r{op, -1};
        switch (op.kind) {
        case FileOp::Create:
            r.inode = inodeCount++;
            names.insert(op.path, r.inode);
            break;
        case FileOp::Truncate:
        case FileOp::Write:
        case FileOp::SyncFile: r.inode = names.value(op.path, -1); break;
        case FileOp::Rename:
            names.insert(op.to, names.value(op.path, -1));
            names.remove(op.path);
            break;
        case FileOp::Remove: names.remove(op.path); break;
        case FileOp::SyncFolder:
        case FileOp::SyncFileSystem: break;
        }
        resolved.append(r);
    }

    int visited = 0;
    for (qsizetype cut = 0; cut <= resolved.size(); ++cut) {
        // Which operations before the cut are durable for sure, and which are in doubt.
        QList<qsizetype> doubtfulNames;
        QList<qsizetype> doubtfulData;
        QList<bool> durable(cut, false);
        for (qsizetype i = 0; i < cut; ++i) {
            const ResolvedOp &r = resolved.at(i);
            bool flushed = false;
            for (qsizetype j = i + 1; j < cut && !flushed; ++j) {
                const FileOp &later = resolved.at(j).op;
                flushed =
                    r.op.changesNames()
                        ? later.kind == FileOp::SyncFolder && later.path == r.op.folder()
                        : (later.kind == FileOp::SyncFile && resolved.at(j).inode == r.inode) ||
                              later.kind == FileOp::SyncFileSystem;
            }
            if (r.op.isFlush())
                continue;
            durable[i] = flushed;
            if (!flushed)
                (r.op.changesNames() ? doubtfulNames : doubtfulData).append(i);
        }
        const qsizetype nameChoices = qsizetype(1) << doubtfulNames.size();
        qsizetype dataChoices = 1;
        for (qsizetype i : doubtfulData)
            dataChoices *= resolved.at(i).op.kind == FileOp::Write ? 4 : 2;
        for (qsizetype n = 0; n < nameChoices; ++n) {
            for (qsizetype d = 0; d < dataChoices; ++d) {
                QHash<qsizetype, Fate> fate;
                qsizetype rest = d;
                for (qsizetype i : doubtfulData) {
                    const int kinds = resolved.at(i).op.kind == FileOp::Write ? 4 : 2;
                    const int k = int(rest % kinds);
                    rest /= kinds;
                    fate.insert(i, kinds == 2 ? (k ? Fate::Whole : Fate::Lost) : Fate(k));
                }
                QSet<qsizetype> namesKept;
                for (qsizetype k = 0; k < doubtfulNames.size(); ++k) {
                    if (n & (qsizetype(1) << k))
                        namesKept.insert(doubtfulNames.at(k));
                }
                QList<Inode> inodes = initialInodes;
                inodes.resize(inodeCount);
                QHash<QString, int> disk;
                int initial = 0;
                for (const auto &entry : before)
                    disk.insert(entry.first, initial++);
                for (qsizetype i = 0; i < cut; ++i) {
                    const ResolvedOp &r = resolved.at(i);
                    if (r.op.changesNames()) {
                        if (!durable.at(i) && !namesKept.contains(i))
                            continue;
                        if (r.op.kind == FileOp::Create)
                            disk.insert(r.op.path, r.inode);
                        else if (r.op.kind == FileOp::Remove)
                            disk.remove(r.op.path);
                        else if (disk.contains(r.op.path))
                            disk.insert(r.op.to, disk.take(r.op.path));
                    } else if (r.op.kind == FileOp::Write || r.op.kind == FileOp::Truncate) {
                        if (r.inode >= 0)
                            inodes[r.inode].bytes =
                                applyData(inodes.at(r.inode).bytes, r.op,
                                          durable.at(i) ? Fate::Whole : fate.value(i));
                    }
                }
                DiskState state;
                for (auto it = disk.cbegin(); it != disk.cend(); ++it)
                    state[it.key()] = inodes.at(it.value()).bytes;
                visit(state, int(cut));
                ++visited;
            }
        }
    }
    return visited;
}

// Replaces the files of the folders in `state` by the state's files.
inline void layDown(const DiskState &state, const QSet<QString> &folders)
{
    for (const QString &folder : folders) {
        QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            dir.remove(name);
    }
    for (const auto &[path, bytes] : state) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

} // namespace reliability
