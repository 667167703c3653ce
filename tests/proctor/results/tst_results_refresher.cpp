#include "proctor/results/results_refresher.h"

#include "repository/profile_file.h"
#include "results_repository.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace exam;

namespace {

// A loader that holds every pass until the test lets it go, and counts the passes that ran.
class GatedLoader
{
public:
    ResultsRefresher::Loader loader()
    {
        return [this](const ResultsRequest &request, const std::atomic<bool> &cancel) {
            std::unique_lock lock(m_mutex);
            ++m_started;
            m_changed.notify_all();
            // The refresher only sets the flag, so a cancelled pass is noticed on the next wake-up.
            while (m_released == 0 && !cancel)
                m_changed.wait_for(lock, std::chrono::milliseconds(5));
            if (m_released > 0)
                --m_released;
            ResultsData data;
            data.paper = request.paper;
            data.className = request.className;
            return data;
        };
    }
    void release()
    {
        std::lock_guard lock(m_mutex);
        ++m_released;
        m_changed.notify_all();
    }
    int started()
    {
        std::lock_guard lock(m_mutex);
        return m_started;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_started = 0;
    int m_released = 0;
};

ResultsRequest request(const QString &paper)
{
    return {QStringLiteral("/nowhere"), paper, QStringLiteral("一班")};
}

} // namespace

class TestResultsRefresher : public QObject
{
    Q_OBJECT

private slots:
    void shouldDeliverOnePassOnTheOwningThread()
    {
        GatedLoader gate;
        ResultsRefresher refresher(nullptr, gate.loader());
        QSignalSpy finished(&refresher, &ResultsRefresher::finished);
        QVERIFY(refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::User));
        QVERIFY(refresher.isRunning());
        gate.release();
        QVERIFY(finished.wait());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(1).value<ResultsRequest>().paper, QStringLiteral("A"));
        QVERIFY(!refresher.isRunning());
    }

    void shouldDropATimerTickWhileAPassRuns()
    {
        GatedLoader gate;
        ResultsRefresher refresher(nullptr, gate.loader());
        QSignalSpy finished(&refresher, &ResultsRefresher::finished);
        refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::Timer);
        QVERIFY(!refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::Timer));
        QVERIFY(!refresher.hasPendingRequest());
        gate.release();
        QVERIFY(finished.wait());
        QCOMPARE(gate.started(), 1);
        QVERIFY(!refresher.isRunning());
    }

    void shouldRunTheTeachersRequestAfterTheRunningPass()
    {
        GatedLoader gate;
        ResultsRefresher refresher(nullptr, gate.loader());
        QSignalSpy finished(&refresher, &ResultsRefresher::finished);
        QSignalSpy started(&refresher, &ResultsRefresher::started);
        refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::Timer);
        QVERIFY(!refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::User));
        QVERIFY(!refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::User));
        QVERIFY(refresher.hasPendingRequest());
        gate.release();
        QTRY_COMPARE(started.size(), 2);
        QCOMPARE(finished.size(), 1); // same paper and class: the first pass is shown too
        gate.release();
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(gate.started(), 2);
    }

    void shouldNotShowAPassForAnotherChoice()
    {
        GatedLoader gate;
        ResultsRefresher refresher(nullptr, gate.loader());
        QSignalSpy finished(&refresher, &ResultsRefresher::finished);
        QSignalSpy started(&refresher, &ResultsRefresher::started);
        refresher.request(request(QStringLiteral("A")), ResultsRefresher::Trigger::User);
        refresher.request(request(QStringLiteral("B")), ResultsRefresher::Trigger::User);
        gate.release();
        QTRY_COMPARE(started.size(), 2);
        QCOMPARE(finished.size(), 0);
        gate.release();
        QVERIFY(finished.wait());
        QCOMPARE(finished.first().at(0).value<ResultsData>().paper, QStringLiteral("B"));
    }

    void shouldStopAPassWhenDestroyed()
    {
        GatedLoader gate;
        auto refresher = std::make_unique<ResultsRefresher>(nullptr, gate.loader());
        refresher->request(request(QStringLiteral("A")), ResultsRefresher::Trigger::User);
        QTRY_COMPARE(gate.started(), 1);
        refresher.reset(); // cancels and joins; nothing is delivered to a dead object
        QCoreApplication::processEvents();
        QCOMPARE(gate.started(), 1);
    }

    // Timer ticks read only the files that changed (or that the console touched); the teacher's
    // request reads every file. Files opened: the system and paper profiles and the students'.
    void shouldReadOnlyChangedFilesOnTimerTicks()
    {
        ResultsRepository repository;
        repository.addClass(QStringLiteral("一班"), 3, 1, 3);
        repository.addPaper(QStringLiteral("期中"), {QStringLiteral("1")});
        for (int number = 1; number <= 3; ++number)
            repository.handIn(QStringLiteral("期中"), QStringLiteral("一班"), number,
                              QStringLiteral("张三"), QStringLiteral("90"));
        // Written an hour ago: nothing is racily clean.
        QDirIterator files(repository.root(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        }
        ResultsRefresher refresher;
        QSignalSpy finished(&refresher, &ResultsRefresher::finished);
        const ResultsRequest request{repository.root(), QStringLiteral("期中"),
                                     QStringLiteral("一班")};
        const auto opensOf = [&](ResultsRefresher::Trigger trigger) {
            const quint64 before = profileFileOpenCount();
            refresher.request(request, trigger);
            return finished.wait() ? profileFileOpenCount() - before : quint64(999);
        };
        QCOMPARE(opensOf(ResultsRefresher::Trigger::User), quint64(5));
        QCOMPARE(opensOf(ResultsRefresher::Trigger::Timer), quint64(0));
        refresher.invalidate(
            repository.resultProfile(QStringLiteral("期中"), QStringLiteral("一班"), 2));
        QCOMPARE(opensOf(ResultsRefresher::Trigger::Timer), quint64(1));
        QCOMPARE(opensOf(ResultsRefresher::Trigger::User), quint64(5));
        QCOMPARE(finished.last().at(0).value<ResultsData>().students.at(1).score,
                 QStringLiteral("90"));
    }
};

QTEST_GUILESS_MAIN(TestResultsRefresher)
#include "tst_results_refresher.moc"
