// The document of a 100-question paper with explanations, from the default template: question
// and explanation files read, blocks copied and filled, the RTF written. Target: under 1 s.
#include "bench/bench_checks.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/paper_document_export.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

using namespace exam;

namespace {

// A question file as a teacher writes it: the stem and seven options, a few formats.
bool writeQuestionFile(const QString &path, int number, const QString &kind)
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
    return rtf::saveRtfFile(path, document).ok();
}

struct LargePaper
{
    QTemporaryDir root;
    QTemporaryDir output;
    AuthoringRequest request;

    explicit LargePaper(int questions)
    {
        const RepositoryPaths paths(root.path());
        const QString paper = QStringLiteral("期末考试");
        bench::require(paths.createSystemFolder(), "createSystemFolder");
        QFile::copy(QStringLiteral(EXAM_TEMPLATES_DIR "/paper.dot"),
                    paths.systemFile(QStringLiteral("paper.dot")));
        bench::require(paths.createPaperFolders(paper), "createPaperFolders");
        PaperData data;
        data.questionCount = qint16(questions);
        data.defaultMark = 1;
        data.questions = QList<PaperQuestion>(questions + 2);
        for (int i = 1; i <= questions; ++i) {
            PaperQuestion &q = data.question(i);
            q.questionFile = QStringLiteral("%1.RTF").arg(1000 + i);
            q.explainFile = QStringLiteral("%1.RTF").arg(5000 + i);
            q.answer = QString::number(i % 7 + 1);
            writeQuestionFile(paths.paperFile(paper, q.questionFile), i, QStringLiteral("题目"));
            writeQuestionFile(paths.paperFile(paper, q.explainFile), i, QStringLiteral("解题辅导"));
        }
        bench::require(savePaper(paths.paperProfile(paper), data), "savePaper");
        request.repositoryRoot = root.path();
        request.row = PaperRow(paper);
    }
};

void BM_WritePaperDocument(benchmark::State &state)
{
    LargePaper paper(int(state.range(0)));
    for (auto _ : state) {
        const PaperDocumentOutcome outcome =
            writePaperDocument(paper.request, true, paper.output.path());
        if (!outcome.ok) {
            state.SkipWithError(qPrintable(outcome.error));
            break;
        }
        state.PauseTiming();
        QFile::remove(outcome.filePath);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WritePaperDocument)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
