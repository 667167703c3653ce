#pragma once

// Refreshes that re-read only what changed. The cache keeps, per result profile of the class, the
// file's stamp (size, times at full resolution, identity) and what was read from it; a refresh
// lists the results folder once, reads the files that are new or whose stamp changed, reuses the
// others and forgets files that are gone. The system and paper profiles are kept the same way.
//
// A file system with coarse modification times (1–2 s on SMB) can rewrite a file within the tick
// of its stamp without changing it. So a file whose modification time lies within the racy window
// before a pass's start (or after it) is "racily clean": the next pass reads it again, whatever
// its stamp says. A later write moves its time past that window, so the stamp then tells.
//
// One pass at a time (the refresher guarantees it); invalidate() may be called from any thread.

#include "proctor/results/file_stamp.h"
#include "proctor/results/results_data.h"
#include "proctor/results/results_loader.h"

#include <QHash>
#include <QSet>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

namespace exam {

class ResultsCache
{
public:
    enum class Pass {
        Full,    // every file read afresh (the teacher's "刷新")
        Changed, // only new, changed and racily clean files read (the timer)
    };

    using StampReader = std::function<FileStamp(const QString &path)>;
    // Nanoseconds since the epoch on the clock the file system stamps files with.
    using Clock = std::function<qint64()>;

    static constexpr qint64 DefaultRacyWindowNs = 2'000'000'000;

    explicit ResultsCache(StampReader stamps = readFileStamp, Clock clock = {},
                          qint64 racyWindowNs = DefaultRacyWindowNs);

    // One pass; the same data loadResults() gives for the files as they are. `cancel` and
    // `threads` as for loadResults(); a cancelled pass is incomplete (not to be shown); the cache
    // stays sound.
    ResultsData load(const ResultsRequest &request, Pass pass,
                     const std::atomic<bool> *cancel = nullptr, int threads = 0);

    // The next pass reads this result profile again (after the console rewrote or deleted it).
    void invalidate(const QString &resultProfilePath);

    // Result profiles read by the last pass (the others came from the cache).
    int filesReadLastPass() const { return m_filesRead; }

private:
    struct Entry
    {
        FileStamp stamp;
        bool racy = false;
        StudentReading reading;
    };
    struct Source
    {
        QString path;
        FileStamp stamp;
    };

    bool racy(const FileStamp &stamp, qint64 passStart) const;
    // Reads the class range, thresholds and questions unless both profiles are clean; true when
    // they were read.
    bool readClassAndPaper(const ResultsRequest &request, Pass pass, qint64 passStart);
    void dropInvalidated();

    StampReader m_stamps;
    Clock m_clock;
    qint64 m_racyWindowNs;

    ResultsRequest m_request;
    std::optional<ResultsData> m_classAndPaper; // the fields without students
    Source m_systemSource;
    Source m_paperSource;
    bool m_classAndPaperRacy = false;
    QHash<QString, Entry> m_entries; // by case-folded file name
    std::optional<ResultsData> m_last;
    int m_filesRead = 0;

    std::mutex m_invalidatedMutex;
    QSet<QString> m_invalidated; // case-folded file names
};

} // namespace exam
