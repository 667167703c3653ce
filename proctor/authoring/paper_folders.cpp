#include "proctor/authoring/paper_folders.h"

#include "repository/atomic_save.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace exam {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QFileInfoList filesIn(const QString &folder)
{
    // Links are listed as files: removing one removes the link, never what it points to.
    return QDir(folder).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

Result removeFilesIn(const QString &folder)
{
    for (const QFileInfo &file : filesIn(folder)) {
        if (!QFile::remove(file.absoluteFilePath()))
            return Result::failure(
                QStringLiteral("未能删除文件 %1").arg(shown(file.absoluteFilePath())));
    }
    return {};
}

} // namespace

bool isSafeFolderName(const QString &name)
{
    const QString trimmed = trimBlanks(name);
    if (trimmed.isEmpty() || trimmed == u"." || trimmed == u"..")
        return false;
    for (const QChar c : trimmed) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

Result staysInRepository(const QString &root, const QString &path)
{
    const QString refused =
        QStringLiteral("文件夹 %1 不在考试系统的文件夹中(或经由符号链接),为安全起见未作改动")
            .arg(shown(path));
    const QString relative = QDir(root).relativeFilePath(path);
    if (relative.isEmpty() || relative == u"." || QDir::isAbsolutePath(relative) ||
        relative == u".." || relative.startsWith(QStringLiteral("../"))) {
        return Result::failure(refused);
    }
    QString current = QDir(root).absolutePath();
    for (const QString &part : relative.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") {
            return Result::failure(refused);
        }
        current += u'/' + part;
        const QFileInfo info(current);
        if (info.isSymLink()) {
            return Result::failure(refused);
        }
        if (!info.exists())
            return {};
        if (!info.isDir()) {
            return Result::failure(QStringLiteral("未能使用文件夹 %1: %2 是文件而不是文件夹")
                                       .arg(shown(path), shown(current)));
        }
    }
    return {};
}

Result createOrEmptyFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
            return Result::failure(QStringLiteral("未能创建文件夹 %1").arg(shown(folder)));
        }
        return {};
    }
    if (!info.isDir()) {
        return Result::failure(
            QStringLiteral("未能创建文件夹 %1: 已有同名的文件").arg(shown(folder)));
    }
    return removeFilesIn(folder);
}

Result removeFolderWithFiles(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!info.isDir() || info.isSymLink()) {
        return Result::failure(QStringLiteral("%1 不是文件夹,未作改动").arg(shown(folder)));
    }
    if (Result removed = removeFilesIn(folder); !removed)
        return removed;
    if (!QDir().rmdir(folder)) {
        return Result::failure(
            QStringLiteral("未能删除文件夹 %1(其中还有子文件夹,或没有删除的权限)")
                .arg(shown(folder)));
    }
    return {};
}

Result copyFilesInto(const QString &from, const QString &to)
{
    if (!QFileInfo(from).isDir()) {
        return Result::failure(QStringLiteral("找不到文件夹 %1").arg(shown(from)));
    }
    if (!QFileInfo(to).isDir()) {
        return Result::failure(QStringLiteral("找不到文件夹 %1").arg(shown(to)));
    }
    const QDir target(to);
    removeLeftoverTemporaries(to);
    for (const QFileInfo &file : QDir(from).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        // What a cut save left behind is no file of the paper.
        if (isLeftoverTemporary(file.fileName()))
            continue;
        if (Result copied =
                copyFileAtomically(file.absoluteFilePath(), target.filePath(file.fileName()),
                                   LeftoverTemporaries::RemovedByCaller);
            !copied)
            return copied;
    }
    return {};
}

bool isSameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace exam
