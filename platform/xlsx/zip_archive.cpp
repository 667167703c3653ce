#include "zip_archive.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <zip.h>

namespace xlsx {
namespace {

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = zipErrorText(&error);
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using FilePtr = std::unique_ptr<zip_file_t, FileCloser>;

struct SourceFreer
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFreer>;

ZipReadResult failedRead(const QString &text)
{
    ZipReadResult result;
    result.error = text;
    return result;
}

} // namespace

ZipReadResult readZip(const QString &path, const ZipLimits &limits)
{
    if (!QFileInfo(path).isFile())
        return failedRead(QStringLiteral("找不到文件 %1").arg(path));

    int code = 0;
    ArchivePtr archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!archive)
        return failedRead(
            QStringLiteral("%1 不是有效的 ZIP 文件（%2）").arg(path, zipErrorText(code)));

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > limits.maxEntries)
        return failedRead(QStringLiteral("%1 中的文件数目不合理").arg(path));

    ZipReadResult result;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE))
            return failedRead(QStringLiteral("%1 已损坏").arg(path));
        QByteArray name(stat.name);
        if (name.endsWith('/'))
            continue;
        // The stated size is only a claim; reading stops at the limit whatever it says.
        total += static_cast<qint64>(stat.size);
        if (stat.size > static_cast<zip_uint64_t>(limits.maxTotalSize) ||
            total > limits.maxTotalSize)
            return failedRead(QStringLiteral("%1 解压后过大").arg(path));

        FilePtr file(zip_fopen_index(archive.get(), index, 0));
        if (!file)
            return failedRead(QStringLiteral("无法读取 %1 中的 %2（%3）")
                                  .arg(path, QString::fromUtf8(name),
                                       zipErrorText(zip_get_error(archive.get()))));
        QByteArray data(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
        qsizetype filled = 0;
        while (filled < data.size()) {
            const zip_int64_t n = zip_fread(file.get(), data.data() + filled,
                                            static_cast<zip_uint64_t>(data.size() - filled));
            if (n <= 0)
                break;
            filled += static_cast<qsizetype>(n);
        }
        char extra;
        if (filled != data.size() || zip_fread(file.get(), &extra, 1) != 0)
            return failedRead(
                QStringLiteral("%1 中的 %2 已损坏").arg(path, QString::fromUtf8(name)));
        result.entries.push_back({std::move(name), std::move(data)});
    }
    result.ok = true;
    return result;
}

ZipWriteResult writeZip(const std::vector<ZipEntry> &entries, int compressionLevel)
{
    ZipWriteResult result;
    zip_error_t error;
    zip_error_init(&error);
    SourcePtr buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        result.error = zipErrorText(&error);
        zip_error_fini(&error);
        return result;
    }
    // The archive takes a reference of its own; ours keeps the finished bytes readable.
    zip_source_keep(buffer.get());
    ArchivePtr archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_source_free(buffer.get());
        result.error = zipErrorText(&error);
        zip_error_fini(&error);
        return result;
    }
    zip_error_fini(&error);

    for (const ZipEntry &entry : entries) {
        zip_source_t *source = zip_source_buffer(archive.get(), entry.data.constData(),
                                                 static_cast<zip_uint64_t>(entry.data.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive.get(), entry.name.constData(),
                                                        source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                                         : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            result.error = zipErrorText(zip_get_error(archive.get()));
            return result;
        }
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(compressionLevel));
    }
    if (zip_close(archive.get()) != 0) {
        result.error = zipErrorText(zip_get_error(archive.get()));
        return result;
    }
    (void)archive.release(); // zip_close freed it

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) != 0) {
        result.error = zipErrorText(zip_source_error(buffer.get()));
        return result;
    }
    result.bytes.resize(static_cast<qsizetype>(stat.size));
    const zip_int64_t read =
        zip_source_read(buffer.get(), result.bytes.data(), static_cast<zip_uint64_t>(stat.size));
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(stat.size)) {
        result.error = zipErrorText(zip_source_error(buffer.get()));
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace xlsx
