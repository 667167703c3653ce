#include "repository/repository_paths.h"

#include "repository/profile_values.h"

#include <QDir>
#include <QFileInfo>

namespace exam {
namespace {

const QString SystemFolderName = QStringLiteral("sys");
const QString SystemProfileName = QStringLiteral("sys.cho");
const QString PapersFolderName = QStringLiteral("SHIJUAN");
const QString ResultsFolderName = QStringLiteral("CHENGJI");
const QString ProfileSuffix = QStringLiteral(".cho");
const QString DeletedResultsFolderName = QStringLiteral("已删除");

QString joined(const QString &base, const QString &part)
{
    if (base.isEmpty())
        return part;
    if (base.endsWith(QLatin1Char('/')))
        return base + part;
    return base + QLatin1Char('/') + part;
}

// The entry of `folder` named `part`, exactly or else ignoring letter case; `part` itself when
// neither exists.
QString resolvePart(const QString &folder, const QString &part)
{
    const QString exact = joined(folder, part);
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    if (!dir.exists())
        return exact;
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (name.compare(part, Qt::CaseInsensitive) == 0)
            return joined(folder, name);
    }
    return exact;
}

} // namespace

QString safePathPart(const QString &name)
{
    QString part = name;
    part.replace(QLatin1Char('/'), QChar(0xFF0F)).replace(QChar(0), QChar(0xFFFD));
    if (part.isEmpty())
        return QString(QChar(0xFF3F));
    if (part == QLatin1String(".") || part == QLatin1String(".."))
        part.replace(QLatin1Char('.'), QChar(0xFF0E));
    return part;
}

QString repositoryRootFromProgramFolder(const QString &programFolder)
{
    return trimBlanks(programFolder);
}

QString resolvePath(const QString &base, const QStringList &parts)
{
    QString path = base;
    for (const QString &part : parts)
        path = resolvePart(path, safePathPart(part));
    return path;
}

Result ensureFolder(const QString &path)
{
    if (QDir().mkpath(path) && QFileInfo(path).isDir())
        return {};
    return Result::failure(
        QStringLiteral("无法创建文件夹: %1").arg(QDir::toNativeSeparators(path)));
}

RepositoryPaths::RepositoryPaths(const QString &root)
    : m_root(repositoryRootFromProgramFolder(root))
{}

QString RepositoryPaths::systemFolder() const
{
    return resolvePath(m_root, {SystemFolderName});
}

QString RepositoryPaths::systemProfile() const
{
    return resolvePath(m_root, {SystemFolderName, SystemProfileName});
}

QString RepositoryPaths::systemFile(const QString &fileName) const
{
    return resolvePath(m_root, {SystemFolderName, fileName});
}

QString RepositoryPaths::papersFolder() const
{
    return resolvePath(m_root, {PapersFolderName});
}

QString RepositoryPaths::paperFolder(const QString &paper) const
{
    return resolvePath(m_root, {PapersFolderName, trimBlanks(paper)});
}

QString RepositoryPaths::paperProfile(const QString &paper) const
{
    const QString name = trimBlanks(paper);
    return resolvePath(m_root, {PapersFolderName, name, name + ProfileSuffix});
}

QString RepositoryPaths::paperFile(const QString &paper, const QString &fileName) const
{
    return resolvePath(m_root, {PapersFolderName, trimBlanks(paper), fileName});
}

QString RepositoryPaths::resultsFolder() const
{
    return resolvePath(m_root, {ResultsFolderName});
}

QString RepositoryPaths::paperResultsFolder(const QString &paper) const
{
    return resolvePath(m_root, {ResultsFolderName, trimBlanks(paper)});
}

QString RepositoryPaths::deletedResultsFolder(const QString &paper) const
{
    return resolvePath(m_root, {ResultsFolderName, trimBlanks(paper), DeletedResultsFolderName});
}

QString RepositoryPaths::resultProfile(const QString &paper, const QString &className,
                                       const QString &number) const
{
    const QString fileName = trimBlanks(className) + trimBlanks(number) + ProfileSuffix;
    return resolvePath(m_root, {ResultsFolderName, trimBlanks(paper), fileName});
}

Result RepositoryPaths::createPaperFolders(const QString &paper) const
{
    if (Result made = ensureFolder(paperResultsFolder(paper)); !made)
        return made;
    return ensureFolder(paperFolder(paper));
}

Result RepositoryPaths::createSystemFolder() const
{
    return ensureFolder(systemFolder());
}

} // namespace exam
