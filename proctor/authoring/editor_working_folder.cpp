#include "proctor/authoring/editor_working_folder.h"

#include "repository/atomic_save.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace exam {

namespace {

// The plain "*.rtf" files directly in `folder`.
QFileInfoList rtfFiles(const QString &folder)
{
    QFileInfoList files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : entries) {
        if (isRtfFileName(info.fileName()))
            files.append(info);
    }
    return files;
}

// The file of this name in `folder`, ignoring letter case; the name as given when there is none.
QString existingSpelling(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    if (dir.exists(fileName))
        return dir.filePath(fileName);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return dir.filePath(fileName);
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    return first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly) &&
           first.readAll() == second.readAll();
}

} // namespace

bool isRtfFileName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

Result prepareWorkingFolder(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        return Result::failure(QStringLiteral("无法建立工作文件夹 %1。").arg(folder));
    }
    return removeRtfFiles(folder);
}

QString paperQuestionFile(const QString &paperFolder, const QString &fileName)
{
    const QString name = trimBlanks(fileName);
    if (name.isEmpty())
        return {};
    const QFileInfo info(resolvePath(paperFolder, {name}));
    return info.isFile() && !info.isSymLink() && isRtfFileName(info.fileName()) ? info.filePath()
                                                                                : QString();
}

Result copyQuestionFile(const QString &paperFolder, const QString &workingFolder,
                        const QString &fileName)
{
    const QString name = trimBlanks(fileName);
    if (name.isEmpty())
        return {};
    const QFileInfo existing(resolvePath(workingFolder, {name}));
    if (existing.exists() || existing.isSymLink())
        return {};
    const QString from = paperQuestionFile(paperFolder, name);
    if (from.isEmpty())
        return {};
    // A plain write, not QFile::copy(): the copy must be writable even when the paper's file is
    // not.
    QFile source(from);
    QFile copy(QDir(workingFolder).filePath(QFileInfo(from).fileName()));
    if (!source.open(QIODevice::ReadOnly) ||
        !copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        copy.write(source.readAll()) < 0) {
        return Result::failure(QStringLiteral("无法复制文件 %1。").arg(from));
    }
    return {};
}

NewQuestionFileNames::NewQuestionFileNames(const QString &workingFolder, const QString &paperFolder)
    : m_namer(QStringList{workingFolder, paperFolder})
{}

QString NewQuestionFileNames::next(RandomSource &random)
{
    return m_namer.next(QStringLiteral("RTF"), random);
}

Result copyRtfFiles(const QString &from, const QString &to)
{
    Result result;
    removeLeftoverTemporaries(to);
    for (const QFileInfo &info : rtfFiles(from)) {
        // A file that differs only in letter case is the same file to the other program.
        const QString target = existingSpelling(to, info.fileName());
        const QFileInfo existing(target);
        if (existing.exists() && existing.size() == info.size() &&
            sameBytes(info.filePath(), target))
            continue;
        if (const Result copied =
                copyFileAtomically(info.filePath(), target, LeftoverTemporaries::RemovedByCaller);
            !copied) {
            result.keepFirstFailure(copied);
        }
    }
    return result;
}

Result removeRtfFiles(const QString &folder)
{
    Result result;
    for (const QFileInfo &info : rtfFiles(folder)) {
        if (!QFile::remove(info.filePath()))
            result.keepFirstFailure(
                Result::failure(QStringLiteral("无法删除文件 %1。").arg(info.filePath())));
    }
    return result;
}

Result removeUnnamedRtfFiles(const QString &paperFolder, const QSet<QString> &keep)
{
    Result result;
    for (const QFileInfo &info : rtfFiles(paperFolder)) {
        if (keep.contains(info.fileName().toLower()))
            continue;
        if (!QFile::remove(info.filePath()))
            result.keepFirstFailure(
                Result::failure(QStringLiteral("无法删除文件 %1。").arg(info.filePath())));
    }
    return result;
}

} // namespace exam
