#include "proctor/results/results_refresher.h"

#include <QMetaObject>
#include <QPointer>

namespace exam {

ResultsRefresher::ResultsRefresher(QObject *parent, Loader loader)
    : QObject(parent), m_loader(std::move(loader))
{
    if (!m_loader) {
        m_loader = [this](const ResultsRequest &request, const std::atomic<bool> &cancel) {
            return m_cache.load(request, m_pass, &cancel);
        };
    }
}

ResultsRefresher::~ResultsRefresher()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool ResultsRefresher::request(const ResultsRequest &request, Trigger trigger)
{
    if (isRunning()) {
        if (trigger == Trigger::User)
            m_pending = request;
        return false;
    }
    start(request, trigger);
    return true;
}

void ResultsRefresher::start(const ResultsRequest &request, Trigger trigger)
{
    m_cancel = false;
    m_pass = trigger == Trigger::Timer ? ResultsCache::Pass::Changed : ResultsCache::Pass::Full;
    emit started(request);
    m_worker = std::thread([this, request]() {
        ResultsData data = m_loader(request, m_cancel);
        if (m_cancel)
            return;
        // Queued to the refresher's thread; dropped by Qt if the refresher is gone by then (its
        // destructor joins this thread first, so `this` is valid here).
        QMetaObject::invokeMethod(
            this, [this, data = std::move(data), request]() { complete(data, request); },
            Qt::QueuedConnection);
    });
}

void ResultsRefresher::complete(const ResultsData &data, const ResultsRequest &request)
{
    if (m_worker.joinable())
        m_worker.join();
    // A pass for another paper or class was asked for meanwhile: these figures are stale.
    if (!m_pending || *m_pending == request)
        emit finished(data, request);
    if (m_pending) {
        const ResultsRequest next = *m_pending;
        m_pending.reset();
        start(next, Trigger::User);
    }
}

} // namespace exam
