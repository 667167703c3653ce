#pragma once

// A throw-away exam repository for the console's window tests: a temporary root with a sys
// folder, and the system profile written from text lines as the console stores it (GB18030, CRLF).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QStringList>
#include <QTemporaryDir>

class RepositoryFixture
{
public:
    RepositoryFixture() { QDir(m_dir.path()).mkpath(QStringLiteral("sys")); }

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString systemProfile() const { return m_dir.filePath(QStringLiteral("sys/sys.cho")); }
    // A second file in the sys folder, for building the expected result of a series of writes.
    QString scratchProfile() const { return m_dir.filePath(QStringLiteral("sys/expected.cho")); }

    static QByteArray encode(const QStringList &lines)
    {
        QStringEncoder gb18030("GB18030");
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += QByteArray(gb18030.encode(line)) + "\r\n";
        return bytes;
    }

    bool writeSystemProfile(const QStringList &lines) const
    {
        return writeFile(systemProfile(), encode(lines));
    }

    static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size();
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray systemProfileBytes() const { return readFile(systemProfile()); }

private:
    QTemporaryDir m_dir;
};
