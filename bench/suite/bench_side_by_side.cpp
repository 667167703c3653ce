// Each of the system's costs beside the baseline it replaces, in one run:
// - a results refresh against reading every key with a call of its own (one file open per key);
//   the refresh is timed by the process's CPU time, as it reads on worker threads, once with the
//   thread count the console uses and once with two threads forced, so that the parallel path is
//   measured on a two-core machine too;
// - the 60-second progress save of a 104-question paper against its 210 writes made one by one;
// - the profile parser against inih, SimpleIni and QSettings on the same 1 MB file, every section
//   a student of its own, so that each indexes every key;
// - the results sort routine against the quadratic selection it is defined by.
// Before timing, each benchmark checks that it produces what its peer produces (the same tables,
// the same file bytes, the same number of keys, the same order) and fails otherwise.
// bench/run.sh prints the figures side by side with their ratios.

#include "bench/bench_checks.h"
#include "suite_repository.h"

#include "proctor/results/results_loader.h"
#include "proctor/results/sort_routine.h"
#include "repository/profile_file.h"
#include "repository/profile_format.h"
#include "repository/profile_values.h"
#include "repository/result_profile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>

// SimpleIni reads bytes as they are, as the profile parser does (no Unicode check).
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <benchmark/benchmark.h>
#include <ini.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

using namespace suite;

namespace {

SuiteRepository &repository(int students, int questions)
{
    static std::map<std::pair<int, int>, std::unique_ptr<SuiteRepository>> made;
    auto &slot = made[{students, questions}];
    if (!slot)
        slot = std::make_unique<SuiteRepository>(students, questions);
    return *slot;
}

void countOpens(benchmark::State &state, quint64 opensBefore)
{
    state.counters["file_opens"] = benchmark::Counter(
        double(exam::profileFileOpenCount() - opensBefore), benchmark::Counter::kAvgIterations);
}

// --- Results refresh ----------------------------------------------------------------------------

exam::ResultsData refreshOneKeyPerCall(const QString &root);

// The tables a refresh shows, as text: every row of the student table and the question table.
QString tablesOf(const exam::ResultsData &data)
{
    QString text;
    for (const exam::StudentRecord &s : data.students) {
        text += QStringLiteral("%1|%2|%3|%4|%5|%6|")
                    .arg(s.number, s.name, s.score, s.remainingTime, s.rank, s.formerName);
        for (qint64 answer : s.answers)
            text += QString::number(answer) + u',';
        text += u'\n';
    }
    for (const exam::QuestionRow &q : data.questions) {
        text += QStringLiteral("%1|%2|%3|%4|")
                    .arg(q.number)
                    .arg(q.standardAnswer)
                    .arg(q.correct)
                    .arg(q.correctRate);
        for (int count : q.optionCounts)
            text += QString::number(count) + u',';
        text += u'\n';
    }
    return text;
}

// Arguments: students, questions, reading threads (0: as the console chooses).
void BM_Refresh(benchmark::State &state)
{
    SuiteRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    const exam::ResultsRequest request{bench.root(), Paper, ClassName};
    const int threads = int(state.range(2));
    if (tablesOf(exam::loadResults(request, nullptr, threads)) !=
        tablesOf(refreshOneKeyPerCall(bench.root())))
        state.SkipWithError("the refresh and the one-key-per-call baseline show different tables");
    const quint64 before = exam::profileFileOpenCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::loadResults(request, nullptr, threads));
    countOpens(state, before);
}
BENCHMARK(BM_Refresh)
    ->ArgNames({"students", "questions", "threads"})
    ->Args({60, 100, 0})
    ->Args({2000, 200, 0})
    ->Args({2000, 200, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The literal way: every value through readProfileString, each call opening its file, then the
// same tables computed from what was read.
exam::ResultsData refreshOneKeyPerCall(const QString &root)
{
    const exam::RepositoryPaths paths(root);
    const QString system = paths.systemProfile();
    const QString paper = paths.paperProfile(Paper);
    auto number = [](const QString &text) { return exam::profileNumber(text); };
    exam::ResultsData data;
    data.paper = Paper;
    data.className = ClassName;
    data.classCount = number(
        readProfileString(QStringLiteral("ClassCount"), ClassName, QStringLiteral("0"), system));
    data.firstNumber = number(
        readProfileString(QStringLiteral("FirstNumber"), ClassName, QStringLiteral("0"), system));
    data.lastNumber = number(
        readProfileString(QStringLiteral("LastNumber"), ClassName, QStringLiteral("0"), system));
    data.thresholds.excellent = number(readProfileString(
        QStringLiteral("MAIN"), QStringLiteral("A_grade"), QStringLiteral("0"), paper));
    data.thresholds.good = number(readProfileString(
        QStringLiteral("MAIN"), QStringLiteral("B_grade"), QStringLiteral("0"), paper));
    data.thresholds.medium = number(readProfileString(
        QStringLiteral("MAIN"), QStringLiteral("C_grade"), QStringLiteral("0"), paper));
    data.thresholds.pass = number(readProfileString(
        QStringLiteral("MAIN"), QStringLiteral("D_grade"), QStringLiteral("0"), paper));
    const int questions = number(readProfileString(
        QStringLiteral("MAIN"), QStringLiteral("Question_conut"), QStringLiteral("0"), paper));
    for (int q = 1; q <= questions; ++q) {
        const QString section = QString::number(q);
        data.standardAnswers.append(qint64(exam::leadingNumber(
            readProfileString(section, QStringLiteral("ANSWER"), QString(), paper))));
        data.questionFiles.append(
            readProfileString(section, QStringLiteral("QUESTION"), QString(), paper));
    }
    QList<exam::StudentReading> readings;
    for (int n = data.firstNumber; n <= data.lastNumber; ++n) {
        const QString num = QString::number(n);
        const QString path = paths.resultProfile(Paper, ClassName, num);
        exam::StudentReading reading;
        reading.name = readProfileString(ClassName, exam::ResultKeys::name(num), QString(), path);
        reading.formerName =
            readProfileString(ClassName, exam::ResultKeys::formerName(num), QString(), path);
        reading.remainingTime =
            readProfileString(ClassName, exam::ResultKeys::handInTime(num), QString(), path);
        reading.scoreText =
            readProfileString(ClassName, exam::ResultKeys::score(num), QStringLiteral("-1"), path);
        for (int q = 1; q <= questions; ++q)
            reading.answers.append(qint64(exam::leadingNumber(
                readProfileString(ClassName, exam::ResultKeys::answer(num, q), QString(), path))));
        readings.append(reading);
    }
    exam::computeResults(data, readings);
    return data;
}

void BM_Refresh_BaselineOneKeyPerCall(benchmark::State &state)
{
    SuiteRepository &bench = repository(int(state.range(0)), int(state.range(1)));
    const quint64 before = exam::profileFileOpenCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(refreshOneKeyPerCall(bench.root()));
    countOpens(state, before);
}
BENCHMARK(BM_Refresh_BaselineOneKeyPerCall)
    ->ArgNames({"students", "questions"})
    ->Args({60, 100})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// --- The 60-second save -------------------------------------------------------------------------

constexpr int SaveQuestions = 104; // TIME, DangQian, 104 answers, 104 order keys: 210 writes
const QString SaveNumber = QStringLiteral("17");

exam::ProgressSave saveRound(int round)
{
    exam::ProgressSave save{
        QStringLiteral("0:%1:00").arg(round % 60), round % SaveQuestions + 1, {}, {}};
    for (int i = 0; i < SaveQuestions; ++i) {
        save.answers.append(double((i * 7 + round) % 1000));
        save.order.append((i + round) % SaveQuestions + 1);
    }
    return save;
}

class SaveFile
{
public:
    SaveFile() : m_path(m_dir.filePath(ClassName + SaveNumber + QStringLiteral(".cho")))
    {
        bench::require(
            exam::storeLogin(m_path, ClassName, SaveNumber, QStringLiteral("张三"), QString()),
            "storeLogin");
        bench::require(exam::storeProgress(m_path, ClassName, SaveNumber, saveRound(0)),
                       "storeProgress");
    }
    const QString &path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void storeOneByOne(const QString &path, const exam::ProgressSave &save, int *writes)
{
    *writes = 2;
    bench::require(writeProfileString(ClassName, exam::ResultKeys::remainingTime(SaveNumber),
                                      save.remainingTime, path),
                   "writeProfileString");
    bench::require(writeProfileString(ClassName, exam::ResultKeys::position(SaveNumber),
                                      QString::number(save.currentPosition), path),
                   "writeProfileString");
    for (int i = 0; i < SaveQuestions; ++i, ++*writes)
        bench::require(writeProfileString(ClassName, exam::ResultKeys::answer(SaveNumber, i + 1),
                                          exam::shortestNumberText(save.answers.at(i)), path),
                       "writeProfileString");
    for (int i = 0; i < SaveQuestions; ++i, ++*writes)
        bench::require(writeProfileString(ClassName, exam::ResultKeys::order(SaveNumber, i + 1),
                                          QString::number(save.order.at(i)), path),
                       "writeProfileString");
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The batch and the single writes leave the same bytes.
bool saveSidesAgree()
{
    SaveFile batch;
    SaveFile single;
    int writes = 0;
    bench::require(exam::storeProgress(batch.path(), ClassName, SaveNumber, saveRound(1)),
                   "storeProgress");
    storeOneByOne(single.path(), saveRound(1), &writes);
    return bytesOf(batch.path()) == bytesOf(single.path()) && !bytesOf(batch.path()).isEmpty();
}

void BM_Save(benchmark::State &state)
{
    if (!saveSidesAgree())
        state.SkipWithError("the batch store and the single writes leave different files");
    SaveFile file;
    const exam::ProgressSave rounds[] = {saveRound(1), saveRound(2)};
    int round = 0;
    const quint64 before = exam::profileFileOpenCount();
    for (auto _ : state)
        bench::require(exam::storeProgress(file.path(), ClassName, SaveNumber, rounds[++round % 2]),
                       "storeProgress");
    countOpens(state, before);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Save_Baseline210SingleWrites(benchmark::State &state)
{
    SaveFile file;
    const exam::ProgressSave rounds[] = {saveRound(1), saveRound(2)};
    int round = 0;
    int writes = 0;
    const quint64 before = exam::profileFileOpenCount();
    for (auto _ : state)
        storeOneByOne(file.path(), rounds[++round % 2], &writes);
    state.counters["writes"] = writes;
    countOpens(state, before);
}
BENCHMARK(BM_Save_Baseline210SingleWrites)->Unit(benchmark::kMillisecond);

// --- Parsing one 1 MB profile -------------------------------------------------------------------

// Result profiles of many students in one file, one section each (GB18030 names), CRLF: every key
// is one that a parser must index.
const QByteArray &oneMegabyte()
{
    static const QByteArray bytes = [] {
        QByteArray all;
        for (int student = 0; all.size() < 1024 * 1024; ++student) {
            ProfileText part;
            const QString n = QString::number(1001 + student);
            part.section(ClassName + n);
            for (int i = 1; i <= 100; ++i)
                part.line(exam::ResultKeys::answer(n, i), QString::number(i * 13 % 1000));
            all += part.bytes();
        }
        return all;
    }();
    return bytes;
}

const QString &oneMegabyteFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("one-megabyte.cho"));
        writeFile(file, oneMegabyte());
        return file;
    }();
    return path;
}

// The keys every parser must index: one per key line of the file.
qsizetype keysInTheFile()
{
    return oneMegabyte().count('=');
}

// Reports the keys a parser indexed, and fails the benchmark when it indexed another number.
void parsed(benchmark::State &state, qsizetype keys)
{
    state.SetBytesProcessed(qint64(state.iterations()) * oneMegabyte().size());
    state.counters["keys"] = double(keys);
    if (keys != keysInTheFile())
        state.SkipWithError("the parser indexed another number of keys than the file holds");
}

void BM_Parse(benchmark::State &state)
{
    const QByteArray &bytes = oneMegabyte();
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::ProfileSnapshot::fromBytes(bytes));
    parsed(state, exam::ProfileIndex::build(bytes).keyCount());
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_Parse_FromFile(benchmark::State &state)
{
    const QString &path = oneMegabyteFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::ProfileSnapshot::load(path));
    parsed(state, exam::ProfileIndex::build(bytesOf(path)).keyCount());
}
BENCHMARK(BM_Parse_FromFile)->Unit(benchmark::kMillisecond);

// inih calls back per key; the table it fills is what the snapshot holds.
using KeyTable = std::unordered_map<std::string, std::string>;
KeyTable inihTable(const QByteArray &bytes)
{
    KeyTable table;
    ini_parse_string(
        bytes.constData(),
        [](void *user, const char *section, const char *name, const char *value) {
            auto &map = *static_cast<KeyTable *>(user);
            map.emplace(std::string(section) + '\x1f' + name, value);
            return 1;
        },
        &table);
    return table;
}

void BM_Parse_BaselineInih(benchmark::State &state)
{
    const QByteArray &bytes = oneMegabyte();
    qsizetype keys = 0;
    for (auto _ : state) {
        KeyTable table = inihTable(bytes);
        keys = qsizetype(table.size());
        benchmark::DoNotOptimize(table);
    }
    parsed(state, keys);
}
BENCHMARK(BM_Parse_BaselineInih)->Unit(benchmark::kMillisecond);

qsizetype simpleIniKeys(const CSimpleIniA &ini)
{
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    qsizetype keys = 0;
    for (const auto &section : sections)
        keys += ini.GetSectionSize(section.pItem);
    return keys;
}

void BM_Parse_BaselineSimpleIni(benchmark::State &state)
{
    const QByteArray &bytes = oneMegabyte();
    for (auto _ : state) {
        CSimpleIniA ini(false, false, false);
        ini.LoadData(bytes.constData(), std::size_t(bytes.size()));
        benchmark::DoNotOptimize(ini.IsEmpty());
    }
    CSimpleIniA ini(false, false, false);
    ini.LoadData(bytes.constData(), std::size_t(bytes.size()));
    parsed(state, simpleIniKeys(ini));
}
BENCHMARK(BM_Parse_BaselineSimpleIni)->Unit(benchmark::kMillisecond);

// QSettings splits the file into sections at once but parses a section only when a key of it is
// asked for, and keeps a parsed file until the file's time stamp changes. Each iteration gives the
// file a new time stamp (outside the timing) and lists all keys, which parses every section (the
// list itself is extra work the others do not do).
void BM_Parse_BaselineQSettings(benchmark::State &state)
{
    const QString &path = oneMegabyteFile();
    QDateTime stamp = QDateTime::currentDateTime();
    qsizetype keys = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stamp = stamp.addSecs(1);
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(stamp, QFileDevice::FileModificationTime))
            state.SkipWithError("cannot change the file's time stamp");
        file.close();
        state.ResumeTiming();
        QSettings settings(path, QSettings::IniFormat);
        keys = settings.allKeys().size();
    }
    parsed(state, keys);
}
BENCHMARK(BM_Parse_BaselineQSettings)->Unit(benchmark::kMillisecond);

// --- Sort routine -------------------------------------------------------------------------------

// The ordering the routine is defined by, done literally: pick the largest remaining key, the
// higher position among equal ones, until none is left.
QList<int> quadraticSelection(const QList<double> &keys)
{
    const qsizetype n = keys.size();
    QList<bool> taken(n, false);
    QList<int> order;
    order.reserve(n);
    for (qsizetype round = 0; round < n; ++round) {
        qsizetype best = -1;
        for (qsizetype i = 0; i < n; ++i) {
            if (!taken.at(i) && (best < 0 || keys.at(i) >= keys.at(best)))
                best = i;
        }
        taken[best] = true;
        order.append(int(best));
    }
    return order;
}

QList<double> scores(qsizetype count)
{
    QRandomGenerator random(3);
    QList<double> keys;
    for (qsizetype i = 0; i < count; ++i)
        keys.append(random.bounded(101)); // scores: many ties
    return keys;
}

void BM_Sort(benchmark::State &state)
{
    const QList<double> keys = scores(state.range(0));
    if (exam::sortPermutation(keys, exam::SortDirection::Descending) != quadraticSelection(keys))
        state.SkipWithError("the sort routine and the selection disagree");
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::sortPermutation(keys, exam::SortDirection::Descending));
}
BENCHMARK(BM_Sort)->Arg(2000)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_Sort_BaselineQuadraticSelection(benchmark::State &state)
{
    const QList<double> keys = scores(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(quadraticSelection(keys));
}
BENCHMARK(BM_Sort_BaselineQuadraticSelection)->Arg(2000)->Arg(32767)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
