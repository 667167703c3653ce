#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace xlsx {

// One file of a zip archive, held in memory.
struct ZipEntry
{
    QByteArray name; // the archive's own name, UTF-8, '/' separated
    QByteArray data;
};

struct [[nodiscard]] ZipReadResult
{
    bool ok = false;
    QString error;
    std::vector<ZipEntry> entries; // in archive order, folders left out
};

struct [[nodiscard]] ZipWriteResult
{
    bool ok = false;
    QString error;
    QByteArray bytes;
};

// Limits that keep a hostile or broken archive from exhausting memory.
struct ZipLimits
{
    qint64 maxTotalSize = qint64(512) * 1024 * 1024;
    int maxEntries = 10000;
};

// Reads every file of the archive at path. Fails with a readable message on a missing file,
// a file that is not a zip archive, a damaged entry or an archive beyond the limits.
ZipReadResult readZip(const QString &path, const ZipLimits &limits = {});

// Packs the entries, in the given order, into a zip archive held in memory (deflate at the
// given level, 1 fastest … 9 smallest).
ZipWriteResult writeZip(const std::vector<ZipEntry> &entries, int compressionLevel = 6);

} // namespace xlsx
