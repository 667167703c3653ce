#include "proctor/results/results_cache.h"

#include "repository/paper_profile.h"
#include "repository/profile_file.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>

#include <thread>
#include <vector>

namespace exam {

namespace {

constexpr int MissingReadAttempts = 3;

qint64 wallClockNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1'000'000;
}

QString key(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

qint16 numberIn(const ProfileSnapshot &profile, const char *section, const QString &keyName)
{
    return profileNumber(profile.value(key(section), keyName, QStringLiteral("0")));
}

// Runs work(i) for i = 0 … count − 1 on worker threads that each take the next position until none
// is left. Each call must write only its own position's results.
template <typename Work>
void forEachPosition(qsizetype count, int threads, const std::atomic<bool> *cancel,
                     const Work &work)
{
    std::atomic<qsizetype> next{0};
    const auto run = [&]() {
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const qsizetype i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= count)
                return;
            work(i);
        }
    };
    // Every core: the window waits for the pass and the system still lets it answer in between
    // (a large class read on both cores of a two-core machine takes half as long).
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    // A thread for a class of usual size costs more than it saves.
    const qsizetype wanted = std::min<qsizetype>(threads, (count + 127) / 128);
    std::vector<std::thread> workers;
    for (qsizetype t = 1; t < wanted; ++t)
        workers.emplace_back(run);
    run();
    for (std::thread &worker : workers)
        worker.join();
}

void readClassAndPaperInto(ResultsData &data, const ProfileSnapshot &system,
                           const ProfileSnapshot &paperProfile)
{
    data.classCount = numberIn(system, SystemKeys::ClassSizeSection, data.className);
    data.firstNumber = numberIn(system, SystemKeys::FirstNumberSection, data.className);
    data.lastNumber = numberIn(system, SystemKeys::LastNumberSection, data.className);

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
}

// What one position of a pass found: its file's key (empty when the class has no file for it) and
// whether the file was read in this pass.
struct PositionRead
{
    QString fileKey;
    bool read = false;
};

} // namespace

ResultsCache::ResultsCache(StampReader stamps, Clock clock, qint64 racyWindowNs)
    : m_stamps(std::move(stamps)), m_clock(clock ? std::move(clock) : Clock(wallClockNs)),
      m_racyWindowNs(racyWindowNs)
{}

void ResultsCache::invalidate(const QString &resultProfilePath)
{
    const std::lock_guard lock(m_invalidatedMutex);
    m_invalidated.insert(QFileInfo(resultProfilePath).fileName().toCaseFolded());
}

void ResultsCache::dropInvalidated()
{
    QSet<QString> invalidated;
    {
        const std::lock_guard lock(m_invalidatedMutex);
        invalidated.swap(m_invalidated);
    }
    for (const QString &fileKey : std::as_const(invalidated)) {
        if (m_entries.remove(fileKey))
            m_last.reset();
    }
}

bool ResultsCache::racy(const FileStamp &stamp, qint64 passStart) const
{
    return stamp.exists && stamp.modifiedNs >= passStart - m_racyWindowNs;
}

bool ResultsCache::readClassAndPaper(const ResultsRequest &request, Pass pass, qint64 passStart)
{
    const RepositoryPaths paths(request.root);
    const Source system{paths.systemProfile(), m_stamps(paths.systemProfile())};
    const QString paperPath = paths.paperProfile(request.paper);
    const Source paper{paperPath, m_stamps(paperPath)};
    if (pass == Pass::Changed && m_classAndPaper && !m_classAndPaperRacy &&
        system.path == m_systemSource.path && system.stamp == m_systemSource.stamp &&
        paper.path == m_paperSource.path && paper.stamp == m_paperSource.stamp)
        return false;

    ResultsData data;
    data.paper = trimBlanks(request.paper);
    data.className = trimBlanks(request.className);
    readClassAndPaperInto(data, ProfileSnapshot::load(system.path),
                          ProfileSnapshot::load(paper.path));
    m_systemSource = system;
    m_paperSource = paper;
    m_classAndPaperRacy = racy(system.stamp, passStart) || racy(paper.stamp, passStart);
    // Readings hold as many answers as the paper had questions.
    if (!m_classAndPaper || m_classAndPaper->questionCount() != data.questionCount())
        m_entries.clear();
    m_classAndPaper = std::move(data);
    m_last.reset();
    return true;
}

ResultsData ResultsCache::load(const ResultsRequest &request, Pass pass,
                               const std::atomic<bool> *cancel, int threads)
{
    const qint64 passStart = m_clock();
    m_filesRead = 0;
    if (!(request == m_request) || pass == Pass::Full) {
        m_request = request;
        m_classAndPaper.reset();
        m_entries.clear();
        m_last.reset();
    }
    dropInvalidated();
    const bool classAndPaperRead = readClassAndPaper(request, pass, passStart);

    ResultsData data = *m_classAndPaper;
    const int questionCount = data.questionCount();
    QList<StudentReading> readings(studentPositions(data.firstNumber, data.lastNumber));
    std::vector<PositionRead> positions(std::size_t(readings.size()));
    std::vector<Entry> fresh(positions.size());
    const FolderIndex folder(RepositoryPaths(request.root).paperResultsFolder(data.paper));
    StudentReading *const out = readings.data();
    const QHash<QString, Entry> &entries = m_entries; // read by all threads, written by none
    forEachPosition(readings.size(), threads, cancel, [&](qsizetype i) {
        const QString number = QString::number(int(data.firstNumber) + i);
        const QString fileName = data.className + number + QStringLiteral(".cho");
        const QString path = folder.find(fileName);
        if (path.isEmpty()) {
            out[i] = readStudent(ProfileSnapshot(), data.className, number, questionCount);
            return;
        }
        PositionRead &position = positions[std::size_t(i)];
        position.fileKey = fileName.toCaseFolded();
        FileStamp stamp = m_stamps(path);
        const auto cached = entries.constFind(position.fileKey);
        if (pass == Pass::Changed && cached != entries.cend() && !cached->racy &&
            cached->stamp == stamp) {
            out[i] = cached->reading;
            return;
        }
        ProfileSnapshot profile = ProfileSnapshot::load(path);
        // Under many clients saving at once, a file that a save is replacing was seen missing for
        // a moment (a few times in a million reads): the stamp found it, so it is read again.
        for (int attempt = 1; !profile.exists() && stamp.exists && attempt < MissingReadAttempts;
             ++attempt) {
            stamp = m_stamps(path);
            profile = ProfileSnapshot::load(path);
        }
        out[i] = readStudent(profile, data.className, number, questionCount);
        fresh[std::size_t(i)] = {stamp, racy(stamp, passStart), out[i]};
        position.read = true;
    });
    if (cancel && cancel->load())
        return data;

    QHash<QString, Entry> kept;
    kept.reserve(m_entries.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const PositionRead &position = positions[i];
        if (position.fileKey.isEmpty())
            continue;
        if (position.read) {
            ++m_filesRead;
            kept.insert(position.fileKey, std::move(fresh[i]));
        } else {
            kept.insert(position.fileKey, m_entries.value(position.fileKey));
        }
    }
    // Without a file read and without one gone, the pass is the last one again.
    const bool unchanged =
        !classAndPaperRead && m_filesRead == 0 && kept.size() == m_entries.size();
    m_entries = std::move(kept);
    if (unchanged && m_last)
        return *m_last;
    computeResults(data, readings);
    m_last = data;
    return data;
}

} // namespace exam
