#include "proctor/authoring/paper_transfer.h"

#include "proctor/authoring/paper_folders.h"
#include "repository/profile_values.h"

#include <QDir>
#include <QFileInfo>

namespace exam {

namespace {

TransferResult failed(const QString &error, const QString &folder = {})
{
    return TransferResult{false, error, folder};
}

} // namespace

QString paperNameFromProfileFile(const QString &fileName)
{
    const QString title = trimBlanks(fileName);
    const qsizetype end = title.indexOf(QStringLiteral(".cho"), 0, Qt::CaseInsensitive);
    if (end < 0)
        return {};
    return trimBlanks(title.left(end));
}

bool importNameClashes(const QStringList &listedNames, const QString &paper)
{
    for (const QString &listed : listedNames) {
        if (trimBlanks(listed).contains(paper, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

TransferResult exportPaperFolder(const RepositoryPaths &paths, const QString &paper,
                                 const QString &chosenFolder)
{
    const QString name = trimBlanks(paper);
    if (!isSafeFolderName(name))
        return failed(QStringLiteral("试卷名称“%1”不能用作文件夹名称,未能输出").arg(name));
    const QString source = paths.paperFolder(name);
    if (!QFileInfo(source).isDir())
        return failed(QStringLiteral("试卷文件夹 %1 不存在,请先保存试卷再输出")
                          .arg(QDir::toNativeSeparators(source)));

    const QString target = QDir(chosenFolder).filePath(name);
    TransferResult result;
    result.folder = target;
    if (isSameFolder(source, target))
        return result;
    if (!QFileInfo(target).isDir() && !QDir().mkpath(target))
        return failed(QStringLiteral("未能创建文件夹 %1").arg(QDir::toNativeSeparators(target)));
    if (const Result copied = copyFilesInto(source, target); !copied)
        return failed(copied.message(), target);
    return result;
}

TransferResult importPaperFolder(const RepositoryPaths &paths, const QString &paper,
                                 const QString &profilePath)
{
    const QString name = trimBlanks(paper);
    if (!isSafeFolderName(name))
        return failed(QStringLiteral("试卷名称“%1”不能用作文件夹名称,未能导入").arg(name));
    const QString source = QFileInfo(trimBlanks(profilePath)).absolutePath();

    TransferResult result;
    result.folder = paths.paperFolder(name);
    // Emptying the folder the files come from would lose them before they are copied.
    for (const QString &folder : {paths.paperResultsFolder(name), result.folder}) {
        if (isSameFolder(source, folder))
            continue;
        Result emptied = staysInRepository(paths.root(), folder);
        if (emptied)
            emptied = createOrEmptyFolder(folder);
        if (!emptied)
            return failed(emptied.message(), result.folder);
    }
    if (isSameFolder(source, result.folder))
        return result;
    if (const Result copied = copyFilesInto(source, result.folder); !copied)
        return failed(copied.message(), result.folder);
    return result;
}

} // namespace exam
