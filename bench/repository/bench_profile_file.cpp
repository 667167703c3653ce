// Profile-file access: single reads against snapshots, a results scan, a save group, parsing.
//
// Run from a Release build: build/<dir>/bench/repository/bench_profile_file

#include "bench/bench_checks.h"
#include "repository/profile_file.h"
#include "repository/profile_format.h"
#include "repository/profile_values.h"
#include "repository/result_profile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Questions = 100;
constexpr int Students = 60;
const QString ClassName = QStringLiteral("高一(1)班");

QString number(int student)
{
    return QString::number(1001 + student);
}

// The keys a finished attempt leaves: name, former name, stamps, position, answers, order, score.
QStringList resultKeys(const QString &n)
{
    QStringList keys = {exam::ResultKeys::name(n),       exam::ResultKeys::formerName(n),
                        exam::ResultKeys::startStamp(n), exam::ResultKeys::remainingTime(n),
                        exam::ResultKeys::position(n),   exam::ResultKeys::handInTime(n),
                        exam::ResultKeys::score(n)};
    for (int i = 1; i <= Questions; ++i)
        keys << exam::ResultKeys::answer(n, i) << exam::ResultKeys::order(n, i);
    return keys;
}

exam::ProgressSave progress()
{
    exam::ProgressSave save{QStringLiteral("0:12:34"), 17, {}, {}};
    for (int i = 1; i <= Questions; ++i) {
        save.answers.append(double((i * 7) % 1000));
        save.order.append(Questions + 1 - i);
    }
    return save;
}

void writeResult(const QString &path, const QString &n)
{
    bench::require(exam::storeLogin(path, ClassName, n, QStringLiteral("张三"), QString()),
                   "storeLogin");
    bench::require(exam::storeProgress(path, ClassName, n, progress()), "storeProgress");
    bench::require(
        exam::storeHandIn(path, ClassName, n, {QStringLiteral("00:10:00"), progress().answers, 85}),
        "storeHandIn");
}

// One results folder shared by the benchmarks, made once.
const QTemporaryDir &resultsFolder()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        for (int s = 0; s < Students; ++s)
            writeResult(dir.filePath(ClassName + number(s) + QStringLiteral(".cho")), number(s));
        return true;
    }();
    Q_UNUSED(filled);
    return dir;
}

QString resultPath(int student)
{
    return resultsFolder().filePath(ClassName + number(student) + QStringLiteral(".cho"));
}

void BM_ResultProfile_EachKeyByItself(benchmark::State &state)
{
    const QString path = resultPath(0);
    const QStringList keys = resultKeys(number(0));
    for (auto _ : state) {
        for (const QString &key : keys)
            benchmark::DoNotOptimize(readProfileString(ClassName, key, QString(), path));
    }
    state.counters["keys"] = double(keys.size());
}
BENCHMARK(BM_ResultProfile_EachKeyByItself)->Unit(benchmark::kMillisecond);

void BM_ResultProfile_OneSnapshot(benchmark::State &state)
{
    const QString path = resultPath(0);
    const QStringList keys = resultKeys(number(0));
    for (auto _ : state) {
        const exam::ProfileSnapshot snapshot = exam::ProfileSnapshot::load(path);
        for (const QString &key : keys)
            benchmark::DoNotOptimize(snapshot.value(ClassName, key));
    }
    state.counters["keys"] = double(keys.size());
}
BENCHMARK(BM_ResultProfile_OneSnapshot)->Unit(benchmark::kMillisecond);

// The console's scan of one class: every student's name, times, score and 100 answers.
void BM_ResultsScan_Snapshots(benchmark::State &state)
{
    resultsFolder();
    quint64 opens = 0;
    for (auto _ : state) {
        const quint64 before = exam::profileFileOpenCount();
        for (int s = 0; s < Students; ++s)
            benchmark::DoNotOptimize(
                exam::readStudentResult(resultPath(s), ClassName, number(s), Questions));
        opens = exam::profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_ResultsScan_Snapshots)->Unit(benchmark::kMillisecond);

void BM_ResultsScan_EachKeyByItself(benchmark::State &state)
{
    resultsFolder();
    quint64 opens = 0;
    for (auto _ : state) {
        const quint64 before = exam::profileFileOpenCount();
        for (int s = 0; s < Students; ++s) {
            const QString n = number(s);
            const QString path = resultPath(s);
            for (const QString &key :
                 {exam::ResultKeys::name(n), exam::ResultKeys::formerName(n),
                  exam::ResultKeys::startStamp(n), exam::ResultKeys::handInTime(n)})
                benchmark::DoNotOptimize(readProfileString(ClassName, key, QString(), path));
            benchmark::DoNotOptimize(readProfileString(ClassName, exam::ResultKeys::score(n),
                                                       QStringLiteral("-1"), path));
            for (int i = 1; i <= Questions; ++i)
                benchmark::DoNotOptimize(
                    readProfileString(ClassName, exam::ResultKeys::answer(n, i), QString(), path));
        }
        opens = exam::profileFileOpenCount() - before;
    }
    state.counters["file_opens"] = double(opens);
}
BENCHMARK(BM_ResultsScan_EachKeyByItself)->Unit(benchmark::kMillisecond);

// The client's save every 60 seconds: TIME, DangQian, 100 answers, 100 order keys (202 writes).
// Every round stores other values, so that no write finds its value already stored.
exam::ProgressSave progressRound(int round)
{
    exam::ProgressSave save = progress();
    save.remainingTime = QStringLiteral("0:%1:00").arg(round % 60);
    for (int i = 0; i < Questions; ++i) {
        save.answers[i] = double((i * 7 + round) % 1000);
        save.order[i] = (i + round) % Questions + 1;
    }
    return save;
}

void BM_SaveGroup_OneBatch(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.cho"));
    writeResult(path, number(0));
    const exam::ProgressSave saves[] = {progressRound(1), progressRound(2)};
    int round = 0;
    for (auto _ : state)
        bench::require(exam::storeProgress(path, ClassName, number(0), saves[++round % 2]),
                       "storeProgress");
}
BENCHMARK(BM_SaveGroup_OneBatch)->Unit(benchmark::kMillisecond);

void BM_SaveGroup_EachWriteByItself(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.cho"));
    writeResult(path, number(0));
    const exam::ProgressSave saves[] = {progressRound(1), progressRound(2)};
    const QString n = number(0);
    int round = 0;
    for (auto _ : state) {
        const exam::ProgressSave &save = saves[++round % 2];
        bench::require(writeProfileString(ClassName, exam::ResultKeys::remainingTime(n),
                                          save.remainingTime, path),
                       "writeProfileString");
        bench::require(writeProfileString(ClassName, exam::ResultKeys::position(n),
                                          QString::number(save.currentPosition + round % 2), path),
                       "writeProfileString");
        for (int i = 0; i < Questions; ++i)
            bench::require(writeProfileString(ClassName, exam::ResultKeys::answer(n, i + 1),
                                              exam::shortestNumberText(save.answers.at(i)), path),
                           "writeProfileString");
        for (int i = 0; i < Questions; ++i)
            bench::require(writeProfileString(ClassName, exam::ResultKeys::order(n, i + 1),
                                              QString::number(save.order.at(i)), path),
                           "writeProfileString");
    }
}
BENCHMARK(BM_SaveGroup_EachWriteByItself)->Unit(benchmark::kMillisecond);

// About 1 MB of result profiles of many students in one file, a section each (GB18030 names), so
// that every key is indexed.
QByteArray oneMegabyteProfile()
{
    QStringEncoder gb18030("GB18030");
    QByteArray text;
    for (int student = 0; text.size() < 1024 * 1024; ++student) {
        const QString n = number(student);
        QString lines = QLatin1Char('[') + ClassName + n + QStringLiteral("]\r\n");
        for (int i = 1; i <= Questions; ++i)
            lines += exam::ResultKeys::answer(n, i) + QLatin1Char('=') +
                     QString::number(i * 13 % 1000) + QStringLiteral("\r\n");
        text += gb18030.encode(lines);
    }
    return text;
}

void BM_Parse_OneMegabyte(benchmark::State &state)
{
    const QByteArray bytes = oneMegabyteProfile();
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::ProfileSnapshot::fromBytes(bytes));
    state.SetBytesProcessed(qint64(state.iterations()) * bytes.size());
    state.counters["keys"] = double(exam::ProfileIndex::build(bytes).keyCount());
    if (exam::ProfileIndex::build(bytes).keyCount() != bytes.count('='))
        state.SkipWithError("the snapshot indexed another number of keys than the file holds");
}
BENCHMARK(BM_Parse_OneMegabyte)->Unit(benchmark::kMillisecond);

void BM_Parse_OneMegabyteForWrite(benchmark::State &state)
{
    const QByteArray bytes = oneMegabyteProfile();
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::ProfileDocument::parse(bytes));
    state.SetBytesProcessed(qint64(state.iterations()) * bytes.size());
}
BENCHMARK(BM_Parse_OneMegabyteForWrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
