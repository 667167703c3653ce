// The score sheet of a large class: 2 000 students × 200 questions, written into the default
// template and saved as .xlsx. Target: the whole export under 2 s.
#include "bench/bench_checks.h"
#include "platform/xlsx/workbook.h"
#include "proctor/export/results_export.h"
#include "proctor/export/score_sheet.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace exam;

namespace {

const QString scoreTemplate = QStringLiteral(EXAM_TEMPLATES_DIR "/score.xlt");

ResultsData largeClass(int students, int questions)
{
    ResultsData data;
    data.paper = QStringLiteral("期末考试");
    data.className = QStringLiteral("高三年级");
    data.classCount = qint16(students);
    data.firstNumber = 1;
    data.lastNumber = qint16(students);
    data.thresholds = {90, 80, 70, 60};
    for (int q = 0; q < questions; ++q)
        data.standardAnswers.append(q % 7 + 1);
    QList<StudentReading> readings;
    for (int i = 0; i < students; ++i) {
        StudentReading r;
        r.name = QStringLiteral("学生%1").arg(i);
        r.formerName = i % 10 == 0 ? QStringLiteral("曾用名%1").arg(i) : QString();
        // Every twentieth student is still in the exam.
        r.scoreText = i % 20 == 0 ? QStringLiteral("-1") : QString::number(40 + i % 61);
        r.remainingTime = i % 20 == 0
                              ? QString()
                              : QStringLiteral("00:%1:00").arg(i % 60, 2, 10, QLatin1Char('0'));
        for (int q = 0; q < questions; ++q)
            r.answers.append((i + q) % 3 == 0 ? 13 : (i + q) % 7 + 1);
        readings.append(r);
    }
    computeResults(data, readings);
    return data;
}

void BM_ExportScoreSheet(benchmark::State &state)
{
    const ResultsData data = largeClass(int(state.range(0)), int(state.range(1)));
    QTemporaryDir folder;
    for (auto _ : state) {
        const ScoreExportOutcome outcome = exportScoreSheet(data, scoreTemplate, folder.path());
        if (!outcome.ok) {
            state.SkipWithError(qPrintable(outcome.error));
            break;
        }
        state.PauseTiming();
        QFile::remove(outcome.filePath);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExportScoreSheet)->Args({60, 100})->Args({2000, 200})->Unit(benchmark::kMillisecond);

// The filling alone, without reading the template and writing the file.
void BM_FillScoreSheets(benchmark::State &state)
{
    const ResultsData data = largeClass(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        xlsx::Workbook book;
        bench::require(book.open(scoreTemplate), "open");
        state.ResumeTiming();
        benchmark::DoNotOptimize(fillScoreSheets(book, data));
    }
}
BENCHMARK(BM_FillScoreSheets)->Args({2000, 200})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
