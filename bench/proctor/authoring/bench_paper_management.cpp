// Opening the paper-management window and saving all papers, for repositories of many papers:
// both read or write every paper's profile and the system profile once.

#include "bench/bench_checks.h"
#include "proctor/authoring/paper_management_save.h"
#include "proctor/authoring/paper_table.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A repository of `count` saved papers with settings and ten question sections each.
struct Papers
{
    explicit Papers(int count) : paths(dir.path())
    {
        QList<exam::PaperEntry> roster;
        for (int i = 0; i < count; ++i) {
            const QString name =
                QStringLiteral("试卷%1").arg(QChar(u'A' + i % 26)) + QString::number(i);
            table.append(exam::newPaperRow(name));
            roster.append(exam::PaperEntry{name, QStringLiteral("1"), QStringLiteral("0")});
        }
        bench::require(exam::saveAllPapers(paths, table, table.names(), {}).ok(), "saveAllPapers");
        for (const QString &name : table.names()) {
            exam::PaperData paper;
            paper.questionCount = 10;
            paper.defaultMark = 5;
            paper.questions =
                QList<exam::PaperQuestion>(12, exam::PaperQuestion{QStringLiteral("12345678.RTF"),
                                                                   QStringLiteral("87654321.RTF"),
                                                                   QStringLiteral("124"),
                                                                   {}});
            bench::require(exam::savePaper(paths.paperProfile(name), paper), "savePaper");
        }
    }

    QTemporaryDir dir;
    exam::RepositoryPaths paths;
    exam::PaperTable table;
};

void openPaperTable(benchmark::State &state)
{
    const Papers papers(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::PaperTable::load(papers.paths));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(openPaperTable)->Arg(20)->Arg(200);

void saveAllPapers(benchmark::State &state)
{
    const Papers papers(static_cast<int>(state.range(0)));
    exam::PaperTable table = exam::PaperTable::load(papers.paths);
    int round = 0;
    for (auto _ : state) {
        // A changed setting in every paper, so that every store writes.
        for (qsizetype i = 0; i < table.count(); ++i)
            table.row(i).set(exam::PaperColumn::TestTime, QString::number(30 + round % 2));
        ++round;
        benchmark::DoNotOptimize(exam::saveAllPapers(papers.paths, table, {}, {}));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(saveAllPapers)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
