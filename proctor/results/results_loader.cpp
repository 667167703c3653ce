#include "proctor/results/results_loader.h"

#include "proctor/results/results_cache.h"
#include "repository/leftover_temporaries.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QFileInfo>

namespace exam {

namespace {

QString key(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

} // namespace

ResultsChoices readResultsChoices(const QString &root)
{
    const ProfileSnapshot system = ProfileSnapshot::load(RepositoryPaths(root).systemProfile());
    ResultsChoices choices;
    choices.papers =
        readNumberedList(system, key(SystemKeys::PaperSection), key(SystemKeys::PaperCountKey));
    choices.classes =
        readNumberedList(system, key(SystemKeys::ClassSection), key(SystemKeys::ClassCountKey));
    return choices;
}

FolderIndex::FolderIndex(const QString &folder) : m_folder(folder)
{
    // Temporaries of cut stores are no files of the folder.
    const QStringList names = listProfileFolder(folder);
    m_exactNames.reserve(names.size());
    m_byFoldedName.reserve(names.size());
    for (const QString &name : names) {
        m_exactNames.insert(name);
        const QString folded = name.toCaseFolded();
        if (!m_byFoldedName.contains(folded))
            m_byFoldedName.insert(folded, name);
    }
}

QString FolderIndex::find(const QString &fileName) const
{
    // The exact spelling wins over another one that differs only in case.
    const QString name =
        m_exactNames.contains(fileName) ? fileName : m_byFoldedName.value(fileName.toCaseFolded());
    if (!name.isEmpty())
        return m_folder + u'/' + name;
    // A listing taken while a client renames its new file over the old one may miss that entry.
    const QString direct = m_folder + u'/' + fileName;
    return QFileInfo::exists(direct) ? direct : QString();
}

StudentReading readStudent(const ProfileSnapshot &resultProfile, const QString &className,
                           const QString &number, int questionCount)
{
    const StudentResult result = readStudentResult(resultProfile, className, number, questionCount);
    StudentReading reading;
    reading.name = result.name;
    reading.formerName = result.formerName;
    reading.scoreText = result.score;
    reading.remainingTime = result.handInTime;
    reading.answers = result.answers;
    return reading;
}

ResultsData loadResults(const ResultsRequest &request, const std::atomic<bool> *cancel, int threads)
{
    return ResultsCache().load(request, ResultsCache::Pass::Full, cancel, threads);
}

} // namespace exam
