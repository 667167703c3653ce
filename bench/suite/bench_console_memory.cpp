// Peak memory of the console holding one refresh of a class of 2 000 students and a paper of 200
// questions: the results window (offscreen) showing the refresh. The repository is written first;
// the peak is then reset, so the figure is the process at rest plus the refresh and its window
// (the aim: under 100 MB).

#include "suite_repository.h"

#include "platform/dialogs/fake_dialogs.h"
#include "proctor/results/results_loader.h"
#include "proctor/results/results_presenter.h"
#include "proctor/results/results_window.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

using namespace suite;
using namespace exam::platform;

namespace {

// A line of /proc/self/status in MB, e.g. "VmHWM".
double statusMegabytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Starts the peak over from the present size (Linux: writing 5 to clear_refs).
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void BM_ConsolePeakMemory(benchmark::State &state)
{
    SuiteRepository repository(int(state.range(0)), int(state.range(1)));
    FakeDialogs dialogs;
    double atRest = 0;
    double peak = 0;
    double held = 0;
    for (auto _ : state) {
        exam::ResultsWindow window(repository.root(), dialogs);
        window.show();
        QCoreApplication::processEvents();
        resetPeak();
        atRest = statusMegabytes("VmRSS");
        window.presenter().setData(exam::loadResults({repository.root(), Paper, ClassName}));
        QCoreApplication::processEvents();
        peak = statusMegabytes("VmHWM");
        held = statusMegabytes("VmRSS");
    }
    state.counters["rss_at_rest_mb"] = atRest;
    state.counters["peak_rss_mb"] = peak;
    state.counters["rss_holding_mb"] = held;
}
BENCHMARK(BM_ConsolePeakMemory)->Args({2000, 200})->Iterations(1)->Unit(benchmark::kMillisecond);

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
