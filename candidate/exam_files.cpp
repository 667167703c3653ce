#include "candidate/exam_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace exam::candidate {

namespace {

void removeMatching(const QString &folder, const QStringList &patterns)
{
    QDir dir(folder);
    // Name filters match without regard to letter case unless QDir::CaseSensitive is given.
    const QStringList names = dir.entryList(patterns, QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        dir.remove(name);
}

bool copyReplacing(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to) && !QFile::remove(to))
        return false;
    return QFile::copy(from, to);
}

} // namespace

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(QChar(0));
}

ExamFiles::ExamFiles(const QString &repositoryRoot, const QString &paperName, bool runsLocally,
                     const QString &localCacheFolder)
    : m_paths(repositoryRoot), m_paperName(paperName), m_runsLocally(runsLocally),
      m_cacheFolder(localCacheFolder)
{}

QString ExamFiles::preparePaperProfile()
{
    const QString inPlace = m_paths.paperProfile(m_paperName);
    if (m_runsLocally)
        return inPlace;
    if (m_cacheFolder.isEmpty() || !exam::ensureFolder(m_cacheFolder)) {
        m_runsLocally = true;
        return inPlace;
    }
    removeMatching(m_cacheFolder, {QStringLiteral("*.rtf")});
    const QString copy = QDir(m_cacheFolder).filePath(m_paperName.trimmed() + u".cho");
    if (!copyReplacing(inPlace, copy)) {
        m_runsLocally = true;
        return inPlace;
    }
    return copy;
}

QString ExamFiles::documentPath(const QString &fileName, QString *error)
{
    if (!isPlainFileName(fileName)) {
        if (error)
            *error = fileName.isEmpty() ? QStringLiteral("本题没有试题文件。")
                                        : QStringLiteral("试题文件名无效: ") + fileName;
        return {};
    }
    const QString copy = QDir(m_cacheFolder).filePath(fileName);
    // A document copied before is read from the copy alone, so it stays readable while the
    // share is away for a moment.
    if (!m_runsLocally && m_copied.contains(fileName) && QFileInfo(copy).isFile())
        return copy;
    const QString source = m_paths.paperFile(m_paperName, fileName);
    if (!QFileInfo(source).isFile()) {
        if (error)
            *error = QStringLiteral("找不到试题文件: ") + fileName;
        return {};
    }
    if (m_runsLocally)
        return source;
    if (!copyReplacing(source, copy)) {
        if (error)
            *error = QStringLiteral("无法复制试题文件到本机: ") + fileName;
        return {};
    }
    m_copied.insert(fileName);
    return copy;
}

void ExamFiles::removeLocalCopies() const
{
    if (m_runsLocally)
        return;
    removeMatching(m_cacheFolder, {QStringLiteral("*.rtf"), QStringLiteral("*.cho")});
}

} // namespace exam::candidate
