#include "proctor/authoring/paper_management_save.h"

#include "proctor/authoring/paper_folders.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"
#include "repository/system_profile.h"

#include <QDir>

namespace exam {

namespace {

// Collects the failures of one save, each under the paper it belongs to.
class Failures
{
public:
    explicit Failures(SaveAllResult &result) : m_result(result) {}

    void add(const QString &paper, const QString &why)
    {
        m_result.errors << QStringLiteral("试卷“%1”: %2").arg(paper, why);
        if (!m_result.failedPapers.contains(paper, Qt::CaseInsensitive))
            m_result.failedPapers << paper;
    }

private:
    SaveAllResult &m_result;
};

QString unsafeName()
{
    return QStringLiteral("名称不能用作文件夹名称,未作改动");
}

// The results folder and the paper folder of one paper, in the order they are worked on.
QStringList paperFolders(const RepositoryPaths &paths, const QString &name)
{
    return {paths.paperResultsFolder(name), paths.paperFolder(name)};
}

// Runs one folder operation on the given folders of a paper, collecting every failure.
bool forEachPaperFolder(const RepositoryPaths &paths, const QString &name, Failures &failures,
                        Result (*operation)(const QString &), const QStringList &folders)
{
    if (!isSafeFolderName(name)) {
        failures.add(name, unsafeName());
        return false;
    }
    bool ok = true;
    for (const QString &folder : folders) {
        Result done = staysInRepository(paths.root(), folder);
        if (done)
            done = operation(folder);
        if (!done) {
            failures.add(name, done.message());
            ok = false;
        }
    }
    return ok;
}

void writeSettings(const RepositoryPaths &paths, const PaperRow &row, bool justCreated,
                   Failures &failures)
{
    const QString name = row.name();
    if (!isSafeFolderName(name)) {
        failures.add(name, unsafeName());
        return;
    }
    const QString folder = paths.paperFolder(name);
    if (const Result inside = staysInRepository(paths.root(), folder); !inside) {
        failures.add(name, inside.message());
        return;
    }
    if (!QFileInfo(folder).isDir()) {
        failures.add(name, QStringLiteral("找不到试卷文件夹 %1,设置没有保存")
                               .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    const QString profile = paths.paperProfile(name);
    const Result written = justCreated ? writeNewPaperSettings(profile, row.settings())
                                       : writePaperSettings(profile, row.settings());
    if (!written)
        failures.add(name, QStringLiteral("设置没有保存: %1").arg(written.message()));
}

bool containsName(const QStringList &names, const QString &name)
{
    return names.contains(trimBlanks(name), Qt::CaseInsensitive);
}

} // namespace

bool SaveAllResult::savedPaper(const QString &name) const
{
    return !containsName(failedPapers, name);
}

SaveAllResult saveAllPapers(const RepositoryPaths &paths, const PaperTable &table,
                            const QStringList &createdPapers, const QStringList &deletedPapers)
{
    SaveAllResult result;
    Failures failures(result);

    for (const QString &deleted : deletedPapers) {
        const QString name = trimBlanks(deleted);
        // Another list entry of that name (listed again, or imported) owns the folders now; a
        // paper created again under the name has its folders emptied in the next step.
        if (table.containsName(name, Qt::CaseInsensitive))
            continue;
        // The results deleted in the results window belong to the paper and go with it; their
        // sub-folder would otherwise keep the results folder from being removed.
        const QStringList folders =
            QStringList{paths.deletedResultsFolder(name)} + paperFolders(paths, name);
        if (!forEachPaperFolder(paths, name, failures, removeFolderWithFiles, folders))
            result.deletedLeft << deleted;
    }

    QStringList justCreated;
    for (const QString &created : createdPapers) {
        const QString name = trimBlanks(created);
        if (forEachPaperFolder(paths, name, failures, createOrEmptyFolder,
                               paperFolders(paths, name)))
            justCreated << name;
        else
            result.createdLeft << created;
    }

    QList<PaperEntry> roster;
    roster.reserve(table.count());
    for (const PaperRow &row : table.rows())
        roster << row.rosterEntry();
    Result stored = paths.createSystemFolder();
    if (stored)
        stored = writePaperRoster(paths.systemProfile(), roster);
    if (!stored)
        result.errors << QStringLiteral("试卷列表没有保存: %1").arg(stored.message());

    for (const PaperRow &row : table.rows())
        writeSettings(paths, row, containsName(justCreated, row.name()), failures);
    return result;
}

} // namespace exam
