// The results window's costs: the sort routine, one refresh of a usual class and of a very large
// one, the share of a refresh that runs on the user-interface thread, and the longest stall of the
// event loop while a refresh runs.

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/results/results_loader.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_refresher.h"
#include "proctor/results/results_window.h"
#include "proctor/results/sort_routine.h"
#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace exam;

namespace {

const QString paper = QStringLiteral("期中考试");
const QString className = QStringLiteral("高一(1)班");

void writeGb18030(const QString &path, const QString &text)
{
    QStringEncoder encoder("GB18030");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write bench repository");
    file.write(encoder.encode(text));
}

// Profile text built line by line (long string-builder chains upset GCC's warnings at -O3).
class ProfileText
{
public:
    void section(const QString &name)
    {
        m_text.append(u'[').append(name).append(QStringLiteral("]\r\n"));
    }
    void line(const QString &key, const QString &value)
    {
        m_text.append(key).append(u'=').append(value).append(QStringLiteral("\r\n"));
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

// A repository with one class of `students` students (all handed in) and a paper of `questions`
// questions, laid out as the programs write it.
class BenchRepository
{
public:
    BenchRepository(int students, int questions)
    {
        const RepositoryPaths paths(m_dir.path());
        QDir().mkpath(paths.systemFolder());
        paths.createPaperFolders(paper);
        ProfileText system;
        system.section(QStringLiteral("ClassName"));
        system.line(QStringLiteral("ClassNameCount"), QStringLiteral("1"));
        system.line(QStringLiteral("1"), className);
        system.section(QStringLiteral("ClassCount"));
        system.line(className, QString::number(students));
        system.section(QStringLiteral("FirstNumber"));
        system.line(className, QStringLiteral("1"));
        system.section(QStringLiteral("LastNumber"));
        system.line(className, QString::number(students));
        system.section(QStringLiteral("TestName"));
        system.line(QStringLiteral("TestNameCount"), QStringLiteral("1"));
        system.line(QStringLiteral("1"), paper);
        system.line(paper, QStringLiteral("1"));
        writeGb18030(paths.systemProfile(), system.text());

        QRandomGenerator random(7);
        const QStringList options{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                  QStringLiteral("13"), QStringLiteral("24"), QStringLiteral("0")};
        ProfileText paperText;
        paperText.section(QStringLiteral("MAIN"));
        paperText.line(QStringLiteral("A_grade"), QStringLiteral("90"));
        paperText.line(QStringLiteral("B_grade"), QStringLiteral("80"));
        paperText.line(QStringLiteral("C_grade"), QStringLiteral("70"));
        paperText.line(QStringLiteral("D_grade"), QStringLiteral("60"));
        paperText.line(QStringLiteral("Question_conut"), QStringLiteral(" %1").arg(questions));
        for (int q = 1; q <= questions; ++q) {
            paperText.section(QString::number(q));
            paperText.line(QStringLiteral("QUESTION"), QStringLiteral("%1.RTF").arg(10000 + q));
            paperText.line(QStringLiteral("explain"), QStringLiteral("%1.RTF").arg(20000 + q));
            paperText.line(QStringLiteral("answer"), options.at(q % 6));
            paperText.line(QStringLiteral("mark"), QString());
        }
        writeGb18030(paths.paperProfile(paper), paperText.text());

        for (int n = 1; n <= students; ++n) {
            const QString number = QString::number(n);
            ProfileText result;
            result.section(className);
            result.line(number, QStringLiteral("学生%1").arg(n));
            result.line(QStringLiteral("%1LAST").arg(n), QString());
            result.line(QStringLiteral("%1TIME1").arg(n), QStringLiteral("2008,06,01  09:05:00"));
            result.line(QStringLiteral("%1TIME").arg(n), QStringLiteral("0:10:00"));
            result.line(QStringLiteral("%1DangQian").arg(n), QStringLiteral("1"));
            for (int q = 1; q <= questions; ++q)
                result.line(QStringLiteral("%1DA%2").arg(n).arg(q), options.at(random.bounded(7)));
            for (int q = 1; q <= questions; ++q)
                result.line(QStringLiteral("%1SX%2").arg(n).arg(q), QString::number(q));
            result.line(QStringLiteral("%1TIME2").arg(n), QStringLiteral("00:10:00"));
            result.line(QStringLiteral("%1DF").arg(n), QString::number(random.bounded(101)));
            writeGb18030(paths.resultProfile(paper, className, number), result.text());
        }
    }

    ResultsRequest request() const { return {m_dir.path(), paper, className}; }

private:
    QTemporaryDir m_dir;
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

// The whole work of one refresh (files read, tables, statistics, question table, ranks).
void BM_Refresh(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    quint64 opens = 0;
    for (auto _ : state) {
        const quint64 before = profileFileOpenCount();
        benchmark::DoNotOptimize(loadResults(bench.request()));
        opens = profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_Refresh)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on one thread, for comparison.
void BM_RefreshOneThread(benchmark::State &state)
{
    BenchRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(loadResults(bench.request(), nullptr, 1));
}
BENCHMARK(BM_RefreshOneThread)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_ShowRefreshInWindow)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_WindowRefreshStall)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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
