// The login window's work on a large repository: listing papers and classes at start-up from a
// system profile with many papers and classes, the admission check against a result profile that
// holds a finished 200-question attempt, and a whole re-login (checks, password, login write).

#include "bench/bench_checks.h"
#include "candidate/admission.h"
#include "candidate/login_model.h"
#include "candidate/password_prompt.h"
#include "platform/dialogs/fake_dialogs.h"
#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

const QString Paper = QStringLiteral("期末考试");
const QString Class1 = QStringLiteral("高一(1)班");
const QString Number = QStringLiteral("1001");

class FixedPrompt final : public PasswordPrompt
{
public:
    std::optional<QString> ask(const QString &) override { return QStringLiteral("back"); }
};

// A repository with `papers` open papers and `classes` classes, each class admitted to each paper,
// and one student whose attempt at Paper was interrupted after answering 200 questions.
class Repository
{
public:
    Repository(int papers, int classes) : m_paths(m_dir.path())
    {
        QDir().mkpath(m_paths.systemFolder());
        exam::ProfileBatch system(m_paths.systemProfile());
        system.set(QStringLiteral("TestName"), QStringLiteral("TestNameCount"),
                   QString::number(papers));
        system.set(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount"),
                   QString::number(classes));
        for (int p = 1; p <= papers; ++p) {
            const QString paper = p == 1 ? Paper : QStringLiteral("试卷%1").arg(p);
            system.set(QStringLiteral("TestName"), QString::number(p), paper);
            system.set(QStringLiteral("TestName"), paper, QStringLiteral("1"));
            system.set(QStringLiteral("LetViewTest"), paper, QStringLiteral("1"));
        }
        for (int c = 1; c <= classes; ++c) {
            const QString name = c == 1 ? Class1 : QStringLiteral("班级%1").arg(c);
            system.set(QStringLiteral("ClassName"), QString::number(c), name);
            system.set(QStringLiteral("FirstNumber"), name, QString::number(c * 1000 + 1));
            system.set(QStringLiteral("LastNumber"), name, QString::number(c * 1000 + 60));
            for (int p = 1; p <= papers; ++p)
                system.set(p == 1 ? Paper : QStringLiteral("试卷%1").arg(p), name,
                           QStringLiteral("1"));
        }
        bench::require(system.store(), "store");

        bench::require(m_paths.createPaperFolders(Paper), "createPaperFolders");
        bench::require(writeProfileString(QStringLiteral("MAIN"), QStringLiteral("RELOGINPASSWD"),
                                          QStringLiteral("back"), m_paths.paperProfile(Paper)),
                       "writeProfileString");
        exam::ProfileBatch result(m_paths.resultProfile(Paper, Class1, Number));
        result.set(Class1, Number, QStringLiteral("张三"));
        result.set(Class1, Number + QStringLiteral("TIME1"),
                   QStringLiteral("2008,06,01  09:05:00"));
        for (int i = 1; i <= 200; ++i) {
            result.set(Class1, Number + QStringLiteral("DA%1").arg(i), QStringLiteral("13"));
            result.set(Class1, Number + QStringLiteral("SX%1").arg(i), QString::number(201 - i));
        }
        bench::require(result.store(), "store");
    }

    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
};

void BM_StartUp(benchmark::State &state)
{
    const Repository repo(int(state.range(0)), int(state.range(1)));
    FakeDialogs dialogs;
    FixedPrompt prompt;
    for (auto _ : state) {
        CandidateState candidate;
        LoginModel model(repo.root(), candidate, dialogs, prompt);
        benchmark::DoNotOptimize(model.start());
    }
}
BENCHMARK(BM_StartUp)->Args({10, 10})->Args({100, 60})->Unit(benchmark::kMillisecond);

void BM_AdmissionCheck(benchmark::State &state)
{
    const Repository repo(20, 20);
    const LoginEntries entries{Paper, Class1, Number, QStringLiteral("张三"), {}};
    for (auto _ : state) {
        CandidateState candidate;
        benchmark::DoNotOptimize(checkAdmission(repo.paths(), entries, candidate).admitted);
    }
}
BENCHMARK(BM_AdmissionCheck)->Unit(benchmark::kMicrosecond);

void BM_Relogin(benchmark::State &state)
{
    const Repository repo(20, 20);
    FakeDialogs dialogs;
    FixedPrompt prompt;
    const LoginEntries entries{Paper, Class1, Number, QStringLiteral("张三"), {}};
    for (auto _ : state) {
        CandidateState candidate;
        LoginModel model(repo.root(), candidate, dialogs, prompt);
        if (!model.logIn(entries))
            state.SkipWithError("re-login refused");
    }
}
BENCHMARK(BM_Relogin)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
