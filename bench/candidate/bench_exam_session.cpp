// Exam start on a 200-question paper, showing one question (about 5 KB of RTF), and the progress
// save of a 200-question paper. Run with QT_QPA_PLATFORM=offscreen (set here when unset).

#include "bench/bench_checks.h"
#include "candidate/exam_window.h"
#include "platform/dialogs/fake_dialogs.h"
#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

constexpr int Questions = 200;

// A question as the console's editor saves it: font and colour tables, Chinese text in code page
// 936, some bold and coloured runs, the options on their own paragraphs.
QByteArray typicalQuestionRtf(int k)
{
    QStringEncoder gbk("GB18030");
    const auto chinese = [&gbk](const QString &text) {
        const QByteArray bytes = gbk.encode(text);
        QByteArray out;
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            out += b < 0x80 ? QByteArray(1, c) : "\\'" + QByteArray::number(b, 16);
        }
        return out;
    };
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";
    rtf += "\\b " + QByteArray::number(k) + ". " +
           chinese(QStringLiteral("阅读下面的材料，回答问题。")) + "\\b0\\par ";
    while (rtf.size() < 4200)
        rtf += chinese(QStringLiteral("在计算机网络中，协议是通信双方为了实现通信而设计的规则，"
                                      "包括语法、语义和时序三个要素。")) +
               "\\cf1 TCP/IP\\cf0 " + chinese(QStringLiteral("是互联网的基础。")) + "\\par ";
    const char *letters = "ABCDEFG";
    for (int j = 0; j < 4; ++j)
        rtf += "\\cf2 " + QByteArray(1, letters[j]) + ".\\cf0  " +
               chinese(QStringLiteral("选项内容：传输控制协议与网际协议")) + "\\par ";
    return rtf + "}";
}

class FixedRandom final : public exam::RandomSource
{
public:
    double uniform() override { return m_next = m_next * 0.618 + 0.1 - int(m_next * 0.618 + 0.1); }

private:
    double m_next = 0.3;
};

struct BenchRepository
{
    QTemporaryDir dir;
    QTemporaryDir cache;
    const QString paper = QStringLiteral("期末考试");
    FixedRandom random;
    exam::SystemClock clock;
    FakeDialogs dialogs;

    BenchRepository()
    {
        const exam::RepositoryPaths paths(dir.path());
        bench::require(paths.createPaperFolders(paper), "createPaperFolders");
        exam::ProfileBatch batch(paths.paperProfile(paper));
        batch.set(QStringLiteral("MAIN"), QStringLiteral("TESTTIME"), QStringLiteral("600"));
        batch.set(QStringLiteral("MAIN"), QStringLiteral("Question_conut"), QStringLiteral(" 200"));
        batch.set(QStringLiteral("MAIN"), QStringLiteral("Mark"), QStringLiteral(" 1"));
        batch.set(QStringLiteral("MAIN"), QStringLiteral("CHANGE_QUESTION_SORT"),
                  QStringLiteral("1"));
        for (int k = 1; k <= Questions; ++k) {
            const QString section = QString::number(k);
            const QString name = QString::number(10000000 + k * 7919) + u".RTF";
            batch.set(section, QStringLiteral("QUESTION"), name);
            batch.set(section, QStringLiteral("explain"), QString::number(20000000 + k) + u".RTF");
            batch.set(section, QStringLiteral("answer"), QString::number(k % 7 + 1));
            batch.set(section, QStringLiteral("mark"), QString());
            QFile file(paths.paperFolder(paper) + u'/' + name);
            if (file.open(QIODevice::WriteOnly))
                file.write(typicalQuestionRtf(k));
        }
        bench::require(batch.store(), "store");
    }

    CandidateState state() const
    {
        CandidateState s;
        s.paperName = paper;
        s.className = QStringLiteral("高三(1)班");
        s.examNumber = QStringLiteral("23");
        s.studentName = QStringLiteral("李四");
        return s;
    }

    ExamEnvironment environment(bool runsLocally)
    {
        ExamEnvironment env;
        env.repositoryRoot = dir.path();
        env.runsLocally = runsLocally;
        env.localCacheFolder = cache.path() + u"/kbtest4";
        env.random = &random;
        env.clock = &clock;
        return env;
    }
};

BenchRepository &repository()
{
    static BenchRepository repo;
    return repo;
}

// Read the profile, build the order, show the first question, stamp the start and save once.
void BM_ExamStart(benchmark::State &st)
{
    BenchRepository &repo = repository();
    const bool runsLocally = st.range(0) != 0;
    const QString result =
        exam::RepositoryPaths(repo.dir.path())
            .resultProfile(repo.paper, repo.state().className, repo.state().examNumber);
    for (auto _ : st) {
        // A first start: the start stamp and the first save create the result profile.
        st.PauseTiming();
        QFile::remove(result);
        st.ResumeTiming();
        CandidateState state = repo.state();
        ExamWindow window(state, repo.environment(runsLocally), repo.dialogs);
        benchmark::DoNotOptimize(window.session().currentQuestion());
    }
}
BENCHMARK(BM_ExamStart)->Arg(1)->Arg(0)->ArgName("inPlace")->Unit(benchmark::kMillisecond);

// Moving to another question: keep the page, load its RTF into the view, set the boxes.
void BM_ShowQuestion(benchmark::State &st)
{
    BenchRepository &repo = repository();
    CandidateState state = repo.state();
    ExamWindow window(state, repo.environment(true), repo.dialogs);
    int button = 0;
    for (auto _ : st) {
        window.session().selectQuestionButton(button % 20 + 1);
        ++button;
    }
}
BENCHMARK(BM_ShowQuestion)->Unit(benchmark::kMillisecond);

// The save every 60 seconds: TIME, DangQian, 200 answers and 200 order keys in one store.
// 600 minutes leave room for every iteration's clock tick.
void BM_SaveProgress(benchmark::State &st)
{
    BenchRepository &repo = repository();
    CandidateState state = repo.state();
    ExamWindow window(state, repo.environment(true), repo.dialogs);
    ExamSession &session = window.session();
    for (int p = 1; p <= 20; ++p) {
        session.selectQuestionButton(p);
        exam::OptionTicks ticks{};
        ticks[p % 7] = true;
        ticks[(p + 3) % 7] = true;
        session.recordAnswer(ticks);
    }
    // The clock moves between two saves, so every save stores a changed file.
    for (auto _ : st) {
        session.clockTick();
        benchmark::DoNotOptimize(session.saveProgress());
    }
}
BENCHMARK(BM_SaveProgress)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
