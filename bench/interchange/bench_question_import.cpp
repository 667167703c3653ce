// Importing 1 000 GIFT questions, as a teacher's file of a term's questions holds them: Chinese
// stems, four options, every fifth question with several right options and weights, every seventh
// true/false, general feedback on every third, comments and categories. Measured twice: reading
// the file into questions (parsing, documents, RTF), and the whole "examtool import" (reading,
// then 2 000 question files and the profile stored in a paper, each store flushed to disk, new
// names drawn against one listing of the folder). Target: 1 s for the whole import.

#include "bench/bench_checks.h"
#include "interchange/paper_import.h"
#include "interchange/question_readers.h"
#include "repository/paper_profile.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace exam;

namespace {

constexpr int QuestionCount = 1000;
const QString Paper = QStringLiteral("期末题库");

QString giftFile()
{
    QString text = QStringLiteral("// 高一物理 期末复习题\n$CATEGORY: 物理/期末\n\n");
    for (int i = 1; i <= QuestionCount; ++i) {
        text += QStringLiteral("// 第 %1 题\n::物理%1:: ").arg(i);
        const QString stem =
            QStringLiteral(
                "一辆汽车以 %1 m/s 的速度匀速行驶,经过 %2 s 后,下列关于它的说法中正确的是")
                .arg(i % 30 + 5)
                .arg(i % 12 + 1);
        if (i % 7 == 0) {
            text += stem + QStringLiteral("汽车做匀速直线运动。{T}\n\n");
            continue;
        }
        text += stem + QStringLiteral(" {\n");
        const bool several = i % 5 == 0;
        for (int option = 0; option < 4; ++option) {
            const QString body = QStringLiteral("通过的路程为 %1 m,平均速度不变\\: 选项 %2")
                                     .arg(i * (option + 2))
                                     .arg(option + 1);
            if (several)
                text +=
                    (option % 2 == 0 ? QStringLiteral("  ~%50%") : QStringLiteral("  ~%-100%")) +
                    body + u'\n';
            else
                text += (option == i % 4 ? QStringLiteral("  =") : QStringLiteral("  ~")) + body +
                        QStringLiteral("#再想一想\n");
        }
        if (i % 3 == 0)
            text += QStringLiteral("  ####路程等于速度乘以时间,匀速运动的速度处处相同。\n");
        text += QStringLiteral("}\n\n");
    }
    return text;
}

struct Repository
{
    QTemporaryDir dir;
    QString file;

    explicit Repository(const QByteArray &gift) : file(dir.filePath(QStringLiteral("题目.gift")))
    {
        const RepositoryPaths paths(dir.path());
        bench::require(dir.isValid() && paths.createSystemFolder() &&
                           paths.createPaperFolders(Paper),
                       "repository folders");
        bench::require(
            writePaperRoster(paths.systemProfile(), {{Paper, QStringLiteral("1"), {}}}) &&
                writeNewPaperSettings(paths.paperProfile(Paper), newPaperSettings(Paper)),
            "paper list and paper profile");
        QFile out(file);
        bench::require(out.open(QIODevice::WriteOnly) && out.write(gift) == gift.size(),
                       "GIFT file");
    }
};

void BM_ReadGift1000(benchmark::State &state)
{
    const QString text = giftFile();
    for (auto _ : state) {
        const interchange::ReadResult result = interchange::readGift(text);
        if (result.questions.size() != QuestionCount)
            state.SkipWithError("not every question was read");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ReadGift1000)->Unit(benchmark::kMillisecond);

void BM_ImportGift1000IntoPaper(benchmark::State &state)
{
    const QByteArray gift = giftFile().toUtf8();
    SecureRandomSource random;
    for (auto _ : state) {
        state.PauseTiming();
        Repository repository(gift);
        state.ResumeTiming();
        const interchange::ReadResult read = interchange::readQuestionFile(repository.file);
        const interchange::PaperImportOutcome outcome = interchange::appendQuestionsToPaper(
            repository.dir.path(), Paper, read.questions, random);
        if (outcome.added != QuestionCount)
            state.SkipWithError("not every question was stored");
        state.PauseTiming();
        // The folder's 2 000 files go with the repository, outside the measured time.
        repository.dir.remove();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportGift1000IntoPaper)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    // Documents and fonts need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
