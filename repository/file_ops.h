#pragma once

// The file-system calls a profile store makes, one virtual function each, so that a test can record
// every step of a store (to work out what a power cut could leave on disk) or cut a store at any
// step. Stores use fileOps(); the default is the real POSIX calls.

#include <QByteArrayView>
#include <QString>
#include <sys/types.h>

namespace exam {

class FileOps
{
public:
    virtual ~FileOps() = default;

    // open(2): a descriptor, or -1.
    virtual int open(const QString &path, int flags, mode_t mode) = 0;
    // Writes all of `bytes` at the descriptor's position.
    virtual bool write(int fd, QByteArrayView bytes) = 0;
    virtual bool setPermissions(int fd, mode_t mode) = 0;
    // fsync(2): the file's data and size reach the disk.
    virtual bool syncFile(int fd) = 0;
    virtual bool close(int fd) = 0;
    virtual bool rename(const QString &from, const QString &to) = 0;
    // fsync(2) of the folder: the names created, renamed and removed in it reach the disk.
    virtual bool syncFolder(const QString &folder) = 0;
    // syncfs(2) of the folder's file system: the data of every file written on it reaches the disk.
    virtual bool syncFileSystem(const QString &folder) = 0;
    virtual bool remove(const QString &path) = 0;
};

// The real calls.
class PosixFileOps : public FileOps
{
public:
    int open(const QString &path, int flags, mode_t mode) override;
    bool write(int fd, QByteArrayView bytes) override;
    bool setPermissions(int fd, mode_t mode) override;
    bool syncFile(int fd) override;
    bool close(int fd) override;
    bool rename(const QString &from, const QString &to) override;
    bool syncFolder(const QString &folder) override;
    bool syncFileSystem(const QString &folder) override;
    bool remove(const QString &path) override;
};

// The operations stores use now.
FileOps &fileOps();

// Makes every store of the process use `ops` until the guard goes (tests and the test worker; set
// it before any store runs on another thread). `ops` must outlive the guard.
class ScopedFileOps
{
public:
    explicit ScopedFileOps(FileOps &ops);
    ~ScopedFileOps();
    ScopedFileOps(const ScopedFileOps &) = delete;
    ScopedFileOps &operator=(const ScopedFileOps &) = delete;

private:
    FileOps *m_previous;
};

} // namespace exam
