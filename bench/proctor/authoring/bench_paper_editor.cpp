// The paper editor on a 200-question paper: opening it (working folder emptied, paper loaded, the
// grid's plain texts read from the paper folder, the first question copied and shown; target:
// 50 ms) and "确定" (changed files copied back, profile written, junk files cleared; under 300 ms).
#include "bench/bench_checks.h"
#include "platform/dialogs/fake_dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_window.h"
#include "repository/paper_profile.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

using namespace exam;
using namespace exam::platform;

namespace {

const QString Paper = QStringLiteral("期末考试");
constexpr int QuestionCount = 200;

// A question file as a teacher writes it: the stem and seven options, a few formats.
void writeQuestionFile(const QString &path, int number, const QString &kind)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("%1 %2：").arg(kind).arg(number), bold);
    cursor.insertText(
        QStringLiteral("在下列关于计算机网络的说法中，哪些是正确的？请选出所有正确的选项。"),
        QTextCharFormat());
    for (const char *option : {"A", "B", "C", "D", "E", "F", "G"}) {
        cursor.insertBlock();
        cursor.insertText(QLatin1String(option) +
                          QStringLiteral(". 选项内容，包含一些较长的中文说明文字。"));
    }
    bench::require(rtf::saveRtfFile(path, document), "rtf::saveRtfFile");
}

struct LargePaper
{
    QTemporaryDir root;
    QTemporaryDir work;
    FakeDialogs dialogs;
    SecureRandomSource random;

    LargePaper()
    {
        const RepositoryPaths paths(root.path());
        bench::require(paths.createPaperFolders(Paper), "createPaperFolders");
        PaperData data;
        data.questionCount = qint16(QuestionCount);
        data.defaultMark = 1;
        data.questions = QList<PaperQuestion>(QuestionCount + 2);
        for (int i = 1; i <= QuestionCount; ++i) {
            PaperQuestion &q = data.question(i);
            q.questionFile = QStringLiteral("%1.RTF").arg(1000 + i);
            q.explainFile = QStringLiteral("%1.RTF").arg(5000 + i);
            q.answer = QString::number(i % 7 + 1);
            writeQuestionFile(paths.paperFile(Paper, q.questionFile), i, QStringLiteral("第"));
            writeQuestionFile(paths.paperFile(Paper, q.explainFile), i, QStringLiteral("解析"));
        }
        bench::require(savePaper(paths.paperProfile(Paper), data), "savePaper");
    }

    QString workingFolder() const { return work.path() + QStringLiteral("/PCTEST"); }
};

// Each opening gets a working folder of its own, as after a close some time ago: ext4 creates
// files slowly right after many were deleted in the same place, which a teacher never meets.
QString freshWorkingFolder(const LargePaper &paper, int run)
{
    return paper.work.path() + QStringLiteral("/run%1/PCTEST").arg(run);
}

// Load and the plain text of every question, then question 1 copied and shown.
void BM_OpenPaper(benchmark::State &state)
{
    LargePaper paper;
    int run = 0;
    for (auto _ : state) {
        PaperEditor editor(paper.root.path(), Paper, freshWorkingFolder(paper, ++run),
                           paper.dialogs, paper.random);
        bench::require(editor.open(), "open");
        editor.activate();
        benchmark::DoNotOptimize(editor.table().plainText(QuestionCount));
    }
    // The files an opening writes, what a slow disk pays for.
    state.counters["files_copied"] =
        double(QDir(freshWorkingFolder(paper, run)).entryList(QDir::Files).size());
}
BENCHMARK(BM_OpenPaper)->Unit(benchmark::kMillisecond);

// The same through the window: grid rows, font menus, the editors and the answer boxes.
void BM_OpenEditorWindow(benchmark::State &state)
{
    LargePaper paper;
    int run = 0;
    for (auto _ : state) {
        PaperEditorWindow window(paper.root.path(), Paper, freshWorkingFolder(paper, ++run),
                                 paper.dialogs, paper.random);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.editor().current());
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditorWindow)->Unit(benchmark::kMillisecond);

// Opening right after the same paper was closed in the same working folder (worst case).
void BM_ReopenPaper(benchmark::State &state)
{
    LargePaper paper;
    for (auto _ : state) {
        PaperEditor editor(paper.root.path(), Paper, paper.workingFolder(), paper.dialogs,
                           paper.random);
        bench::require(editor.open(), "open");
        editor.activate();
        benchmark::DoNotOptimize(editor.table().plainText(QuestionCount));
        state.PauseTiming();
        editor.clearWorkingFolder();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReopenPaper)->Unit(benchmark::kMillisecond);

// "确定" after one question was edited.
void BM_SavePaper(benchmark::State &state)
{
    LargePaper paper;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<PaperEditor>(paper.root.path(), Paper, paper.workingFolder(),
                                                    paper.dialogs, paper.random);
        bench::require(editor->open(), "open");
        editor->activate();
        editor->select(100);
        QTextCursor(editor->questionDocument()).insertText(QStringLiteral("改"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(editor->save());
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SavePaper)->Unit(benchmark::kMillisecond);

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
