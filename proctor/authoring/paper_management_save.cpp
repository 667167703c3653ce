#include "proctor/authoring/paper_management_save.h"

#include "proctor/authoring/paper_folders.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"
#include "repository/system_profile.h"

#include <QDir>

namespace exam {

namespace {

QString unsafeName(const QString &name)
{
    return QStringLiteral("试卷名称“%1”不能用作文件夹名称,未作改动").arg(name);
}

// The results folder and the paper folder of one paper, in the order they are worked on.
QStringList paperFolders(const RepositoryPaths &paths, const QString &name)
{
    return {paths.paperResultsFolder(name), paths.paperFolder(name)};
}

// Runs one folder operation on the given folders of a paper, collecting every failure.
bool forEachPaperFolder(const RepositoryPaths &paths, const QString &name, QStringList &errors,
                        bool (*operation)(const QString &, QString *),
                        const QStringList &folders)
{
    if (!isSafeFolderName(name)) {
        errors << unsafeName(name);
        return false;
    }
    bool ok = true;
    for (const QString &folder : folders) {
        QString error;
        if (!staysInRepository(paths.root(), folder, &error) || !operation(folder, &error)) {
            errors << error;
            ok = false;
        }
    }
    return ok;
}

bool deletePaperFolders(const RepositoryPaths &paths, const QString &name, QStringList &errors)
{
    // The results deleted in the results window belong to the paper and go with it; their
    // sub-folder would otherwise keep the results folder from being removed.
    return forEachPaperFolder(paths, name, errors, removeFolderWithFiles,
                              QStringList{paths.deletedResultsFolder(name)} + paperFolders(paths, name));
}

bool createPaperFolders(const RepositoryPaths &paths, const QString &name, QStringList &errors)
{
    return forEachPaperFolder(paths, name, errors, createOrEmptyFolder, paperFolders(paths, name));
}

void writeSettings(const RepositoryPaths &paths, const PaperRow &row, QStringList &errors)
{
    const QString name = row.name();
    if (!isSafeFolderName(name)) {
        errors << unsafeName(name);
        return;
    }
    const QString folder = paths.paperFolder(name);
    QString error;
    if (!staysInRepository(paths.root(), folder, &error)) {
        errors << error;
        return;
    }
    if (!QFileInfo(folder).isDir()) {
        errors << QStringLiteral("找不到试卷文件夹 %1,未能保存试卷“%2”的设置")
                      .arg(QDir::toNativeSeparators(folder), name);
        return;
    }
    if (!writePaperSettings(paths.paperProfile(name), row.settings(), &error))
        errors << QStringLiteral("未能保存试卷“%1”的设置: %2").arg(name, error);
}

} // namespace

SaveAllResult saveAllPapers(const RepositoryPaths &paths, const PaperTable &table,
                            const QStringList &createdPapers, const QStringList &deletedPapers)
{
    SaveAllResult result;

    for (const QString &deleted : deletedPapers) {
        const QString name = trimBlanks(deleted);
        // Another list entry of that name (listed again, or imported) owns the folders now; a
        // paper created again under the name has its folders emptied in the next step.
        if (table.containsName(name, Qt::CaseInsensitive))
            continue;
        if (!deletePaperFolders(paths, name, result.errors))
            result.deletedLeft << deleted;
    }

    for (const QString &created : createdPapers) {
        if (!createPaperFolders(paths, trimBlanks(created), result.errors))
            result.createdLeft << created;
    }

    QString error;
    QList<PaperEntry> roster;
    roster.reserve(table.count());
    for (const PaperRow &row : table.rows())
        roster << row.rosterEntry();
    if (!paths.createSystemFolder(&error) || !writePaperRoster(paths.systemProfile(), roster, &error))
        result.errors << QStringLiteral("未能保存试卷列表: %1").arg(error);

    for (const PaperRow &row : table.rows())
        writeSettings(paths, row, result.errors);

    return result;
}

} // namespace exam
