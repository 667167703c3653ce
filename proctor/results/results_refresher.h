#pragma once

// Runs refreshes of the results window off the user-interface thread. One pass at a time: a timer
// tick while a pass runs is dropped; a request by the teacher while a pass runs is kept (the latest
// one) and started when the running pass ends; the running pass is then shown only when it was for
// the same paper and class. finished() is emitted on the thread that owns the
// refresher, with the data of one complete pass.
//
// A timer tick re-reads only the result profiles that changed since the last pass (ResultsCache);
// a request by the teacher reads everything afresh.

#include "proctor/results/results_cache.h"
#include "proctor/results/results_data.h"
#include "proctor/results/results_loader.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace exam {

class ResultsRefresher : public QObject
{
    Q_OBJECT

public:
    // Does the reading; runs on a worker thread. Should return soon when the flag is set.
    using Loader = std::function<ResultsData(const ResultsRequest &, const std::atomic<bool> &)>;

    enum class Trigger { User, Timer };

    // Without a loader, the refresher's ResultsCache does the reading.
    explicit ResultsRefresher(QObject *parent = nullptr, Loader loader = {});
    // Cancels a running pass and waits for its thread.
    ~ResultsRefresher() override;

    // Starts a pass, unless one is running (see the class comment). Returns true when a pass
    // started.
    bool request(const ResultsRequest &request, Trigger trigger);
    bool isRunning() const { return m_worker.joinable(); }
    bool hasPendingRequest() const { return m_pending.has_value(); }
    // The next pass reads this result profile again, after the console changed or deleted it.
    void invalidate(const QString &resultProfilePath) { m_cache.invalidate(resultProfilePath); }

signals:
    void started(const exam::ResultsRequest &request);
    void finished(const exam::ResultsData &data, const exam::ResultsRequest &request);

private:
    void start(const ResultsRequest &request, Trigger trigger);
    void complete(const ResultsData &data, const ResultsRequest &request);

    Loader m_loader;
    ResultsCache m_cache; // used by the worker only, one pass at a time
    ResultsCache::Pass m_pass =
        ResultsCache::Pass::Full; // of the running pass; set before it starts
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::optional<ResultsRequest> m_pending;
};

} // namespace exam
