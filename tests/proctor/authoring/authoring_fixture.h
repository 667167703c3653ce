#pragma once

// Builds small exam repositories in a temporary folder for the authoring tests.

#include "repository/profile_file.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

namespace authoring_test {

using KeyValues = QList<std::pair<QString, QString>>;

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Every file and folder below `root` with its bytes ("<dir>" for folders).
inline QMap<QString, QByteArray> tree(const QString &root)
{
    QMap<QString, QByteArray> result;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        result.insert(QDir(root).relativeFilePath(path),
                      info.isDir() ? QByteArray("<dir>") : readFile(path));
    }
    return result;
}

class Repository
{
public:
    Repository() : m_paths(m_dir.path()) {}

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }

    void setRoster(const QList<exam::PaperEntry> &papers)
    {
        QVERIFY(m_paths.createSystemFolder());
        QVERIFY(exam::writePaperRoster(m_paths.systemProfile(), papers));
    }

    // A paper folder and results folder, a profile whose MAIN holds `main` and whose raw tail
    // `extra` is appended as it is.
    void makePaper(const QString &name, const KeyValues &main, const QByteArray &extra = {})
    {
        QVERIFY(m_paths.createPaperFolders(name));
        QByteArray bytes = "[MAIN]\r\n";
        for (const auto &[key, value] : main)
            bytes += key.toUtf8() + '=' + value.toUtf8() + "\r\n";
        bytes += extra;
        writeFile(m_paths.paperProfile(name), bytes);
    }

    QString mainValue(const QString &paper, const QString &key) const
    {
        return readProfileString(QStringLiteral("MAIN"), key, QStringLiteral("<missing>"),
                                 m_paths.paperProfile(paper));
    }

    QString systemValue(const QString &section, const QString &key) const
    {
        return readProfileString(section, key, QStringLiteral("<missing>"),
                                 m_paths.systemProfile());
    }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
};

inline exam::PaperEntry entry(const QString &name, const QString &open = QStringLiteral("1"),
                              const QString &review = QStringLiteral("0"))
{
    return exam::PaperEntry{name, open, review};
}

} // namespace authoring_test
