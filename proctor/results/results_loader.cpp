#include "proctor/results/results_loader.h"

#include "repository/leftover_temporaries.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/result_profile.h"
#include "repository/system_profile.h"

#include <QFileInfo>
#include <QThread>

#include <thread>
#include <vector>

namespace exam {

namespace {

QString key(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

qint16 numberIn(const ProfileSnapshot &profile, const char *section, const QString &keyName)
{
    return profileNumber(profile.value(key(section), keyName, QStringLiteral("0")));
}

// Reads `count` students into `readings`, spreading them over worker threads that each take the
// next unread position until none is left.
void readStudents(QList<StudentReading> &readings, const ResultsData &data, const FolderIndex &folder,
                  const std::atomic<bool> *cancel, int threads)
{
    const qsizetype count = readings.size();
    // Taken before the threads start: each thread then writes only its own elements.
    StudentReading *const out = readings.data();
    std::atomic<qsizetype> next{0};
    const auto work = [&]() {
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const qsizetype i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= count)
                return;
            const QString number = QString::number(int(data.firstNumber) + i);
            const QString path = folder.find(data.className + number + QStringLiteral(".cho"));
            out[i] = readStudent(path, data.className, number, data.questionCount());
        }
    };
    // One core stays free for the window, which keeps answering while a refresh runs.
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount() - 1);
    // A thread for a class of usual size costs more than it saves.
    const qsizetype wanted = std::min<qsizetype>(threads, (count + 127) / 128);
    std::vector<std::thread> workers;
    for (qsizetype t = 1; t < wanted; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread &worker : workers)
        worker.join();
}

} // namespace

ResultsChoices readResultsChoices(const QString &root)
{
    const ProfileSnapshot system = ProfileSnapshot::load(RepositoryPaths(root).systemProfile());
    ResultsChoices choices;
    choices.papers = readNumberedList(system, key(SystemKeys::PaperSection), key(SystemKeys::PaperCountKey));
    choices.classes = readNumberedList(system, key(SystemKeys::ClassSection), key(SystemKeys::ClassCountKey));
    return choices;
}

FolderIndex::FolderIndex(const QString &folder)
    : m_folder(folder)
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
    const QString name = m_exactNames.contains(fileName) ? fileName
                                                         : m_byFoldedName.value(fileName.toCaseFolded());
    if (!name.isEmpty())
        return m_folder + u'/' + name;
    // A listing taken while a client renames its new file over the old one may miss that entry.
    const QString direct = m_folder + u'/' + fileName;
    return QFileInfo::exists(direct) ? direct : QString();
}

StudentReading readStudent(const QString &resultProfilePath, const QString &className,
                           const QString &number, int questionCount)
{
    const ProfileSnapshot profile =
        resultProfilePath.isEmpty() ? ProfileSnapshot() : ProfileSnapshot::load(resultProfilePath);
    const StudentResult result = readStudentResult(profile, className, number, questionCount);
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
    const RepositoryPaths paths(request.root);
    ResultsData data;
    data.paper = trimBlanks(request.paper);
    data.className = trimBlanks(request.className);

    const ProfileSnapshot system = ProfileSnapshot::load(paths.systemProfile());
    data.classCount = numberIn(system, SystemKeys::ClassSizeSection, data.className);
    data.firstNumber = numberIn(system, SystemKeys::FirstNumberSection, data.className);
    data.lastNumber = numberIn(system, SystemKeys::LastNumberSection, data.className);

    const ProfileSnapshot paperProfile = ProfileSnapshot::load(paths.paperProfile(data.paper));
    const PaperSettings settings = readPaperSettings(paperProfile, PaperReader::Console);
    data.thresholds = {profileNumber(settings.aGrade), profileNumber(settings.bGrade),
                       profileNumber(settings.cGrade), profileNumber(settings.dGrade)};
    const PaperData paper = loadPaper(paperProfile);
    for (int q = 1; q <= paper.questionCount; ++q) {
        // Wide, like the answers: "23456" or "1234567" do not fit in 16 bits.
        data.standardAnswers.append(roundHalfEven(leadingNumber(paper.question(q).answer)));
        data.questionFiles.append(paper.question(q).questionFile);
        data.questionMarks.append(questionMark(paper.question(q).mark, paper.defaultMark));
    }

    QList<StudentReading> readings(studentPositions(data.firstNumber, data.lastNumber));
    const FolderIndex folder(paths.paperResultsFolder(data.paper));
    readStudents(readings, data, folder, cancel, threads);
    computeResults(data, readings);
    return data;
}

} // namespace exam
