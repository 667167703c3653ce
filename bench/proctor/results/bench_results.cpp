// The results window's costs: the sort routine, one refresh of a usual class and of a very large
// one (read afresh, with nothing changed since the last pass, and with five students saved since),
// beside the floor of only opening and reading the same files; the share of a refresh that runs on
// the user-interface thread, and the longest stall of the event loop while a refresh runs.

#include "bench/suite/suite_repository.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/results/results_cache.h"
#include "proctor/results/results_loader.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_refresher.h"
#include "proctor/results/results_window.h"
#include "proctor/results/sort_routine.h"
#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace exam;
using namespace exam::platform;

namespace {

// One class, all handed in, and one paper: the same repository the side-by-side suite measures.
class BenchRepository : public suite::SuiteRepository
{
public:
    using SuiteRepository::SuiteRepository;
    ResultsRequest request() const { return {root(), suite::Paper, suite::ClassName}; }
};

BenchRepository &repository(int students, int questions)
{
    static std::map<std::pair<int, int>, std::unique_ptr<BenchRepository>> made;
    auto &slot = made[{students, questions}];
    if (!slot)
        slot = std::make_unique<BenchRepository>(students, questions);
    return *slot;
}

void BM_SortRoutine(benchmark::State &state)
{
    QRandomGenerator random(3);
    QList<double> keys;
    for (int i = 0; i < state.range(0); ++i)
        keys.append(random.bounded(101)); // scores: many ties
    for (auto _ : state)
        benchmark::DoNotOptimize(sortPermutation(keys, SortDirection::Descending));
}
BENCHMARK(BM_SortRoutine)->Arg(32767)->Unit(benchmark::kMillisecond);

// Every file a refresh opens: the system and paper profiles and the students' result profiles.
QStringList refreshedFiles(const BenchRepository &bench)
{
    const RepositoryPaths paths(bench.root());
    QStringList files{paths.systemProfile(), paths.paperProfile(suite::Paper)};
    for (int n = 1; n <= bench.students(); ++n)
        files << paths.resultProfile(suite::Paper, suite::ClassName, QString::number(n));
    return files;
}

// Dates every file of the repository an hour back, as files stored earlier in the exam are: none is
// racily clean, so a pass re-reads only what changed.
void ageFiles(const BenchRepository &bench)
{
    QDirIterator files(bench.root(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                              QFileDevice::FileModificationTime))
            qFatal("cannot date the benchmark repository back");
    }
}

// The floor of a refresh: opening and reading the files it reads, in the same order, nothing else.
void BM_ReadFloor(benchmark::State &state)
{
    const QStringList files = refreshedFiles(repository(int(state.range(0)), int(state.range(1))));
    qint64 bytes = 0;
    for (auto _ : state) {
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read the benchmark repository");
            const QByteArray content = file.readAll();
            bytes += content.size();
            benchmark::DoNotOptimize(content.constData());
        }
    }
    state.counters["file_opens"] = double(files.size());
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadFloor)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The whole work of one refresh read afresh, as the teacher's "刷新" does (files read, tables,
// statistics, question table, ranks).
void BM_Refresh(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    ResultsCache cache;
    quint64 opens = 0;
    for (auto _ : state) {
        const quint64 before = profileFileOpenCount();
        benchmark::DoNotOptimize(cache.load(bench.request(), ResultsCache::Pass::Full));
        opens = profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_Refresh)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A timer tick when no student saved since the last one.
void BM_RefreshUnchanged(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    ageFiles(bench);
    ResultsCache cache;
    cache.load(bench.request(), ResultsCache::Pass::Full);
    quint64 opens = 0;
    for (auto _ : state) {
        const quint64 before = profileFileOpenCount();
        benchmark::DoNotOptimize(cache.load(bench.request(), ResultsCache::Pass::Changed));
        opens = profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_RefreshUnchanged)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A timer tick after five students saved (each store replaces the file, as the client's does).
void BM_RefreshFiveChanged(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    ageFiles(bench);
    const QStringList files = refreshedFiles(bench).mid(2, 5);
    QList<QByteArray> saved;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read the benchmark repository");
        saved << file.readAll();
    }
    ResultsCache cache;
    cache.load(bench.request(), ResultsCache::Pass::Full);
    quint64 opens = 0;
    qint64 round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (qsizetype i = 0; i < files.size(); ++i) {
            QByteArray bytes = saved.at(i);
            bytes.replace("TIME=0:10:00", round % 2 ? "TIME=0:09:00" : "TIME=0:10:00");
            QFile file(files.at(i) + QStringLiteral(".tmp"));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                state.SkipWithError("cannot write the benchmark repository");
            file.close();
            QFile::remove(files.at(i));
            QFile::rename(file.fileName(), files.at(i));
        }
        state.ResumeTiming();
        const quint64 before = profileFileOpenCount();
        benchmark::DoNotOptimize(cache.load(bench.request(), ResultsCache::Pass::Changed));
        opens = profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_RefreshFiveChanged)
    ->Args({60, 100})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The same on one thread, for comparison.
void BM_RefreshOneThread(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(loadResults(bench.request(), nullptr, 1));
}
BENCHMARK(BM_RefreshOneThread)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a refresh costs the user-interface thread: showing the data in the window's lists.
void BM_ShowRefreshInWindow(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    const ResultsData data = loadResults(bench.request());
    FakeDialogs dialogs;
    ResultsWindow window(bench.request().root, dialogs);
    window.presenter().selectQuestionRow(0);
    for (auto _ : state)
        window.presenter().setData(data);
}
BENCHMARK(BM_ShowRefreshInWindow)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond);

// A refresh through the window as the teacher starts it, with the event loop running: reports the
// longest time the loop did not get to run (ms) while the pass was read and shown.
void BM_WindowRefreshStall(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    FakeDialogs dialogs;
    ResultsWindow window(bench.request().root, dialogs);
    window.show();
    double longestStall = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&window.refresher(), &ResultsRefresher::finished, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        QTimer ticker;
        ticker.setInterval(1);
        QElapsedTimer sinceTick;
        sinceTick.start();
        QObject::connect(&ticker, &QTimer::timeout, [&]() {
            longestStall = std::max(longestStall, double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        ticker.start();
        if (!window.start())
            state.SkipWithError("no classes");
        loop.exec();
        QCoreApplication::processEvents();
        longestStall = std::max(longestStall, double(sinceTick.nsecsElapsed()) / 1e6);
    }
    state.counters["longest_stall_ms"] = longestStall;
}
BENCHMARK(BM_WindowRefreshStall)
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
