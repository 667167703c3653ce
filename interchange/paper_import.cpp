#include "interchange/paper_import.h"

#include "interchange/paper_content.h"
#include "repository/atomic_save.h"
#include "repository/file_ops.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"

#include <QDir>

#include <limits>

namespace exam::interchange {
namespace {

// A new document name in the folder for `bytes`, added to `files`; false with `error` set when
// the folder has no free name left.
bool nameDocument(const QString &folder, DocumentNamer &namer, const QByteArray &bytes,
                  RandomSource &random, QList<NewFile> &files, QString &name, QString &error)
{
    // The name is free in any letter case and has no temporaries beside it.
    name = namer.next(QStringLiteral("RTF"), random);
    if (name.isEmpty()) {
        error = QStringLiteral("在 %1 中找不到可用的考题文件名").arg(folder);
        return false;
    }
    files.append({QDir(folder).filePath(name), bytes});
    return true;
}

} // namespace

PaperImportOutcome appendQuestionsToPaper(const QString &repositoryRoot, const QString &paper,
                                          const QList<InterchangeQuestion> &questions,
                                          RandomSource &random,
                                          const std::function<void(int, int)> &progress)
{
    PaperImportOutcome outcome;
    const RepositoryPaths paths(repositoryRoot);
    const QString name = trimBlanks(paper);
    const QString folder = paths.paperFolder(name);
    if (!isListedPaper(repositoryRoot, name)) {
        outcome.error = QStringLiteral("考试库中没有试卷“%1”").arg(name);
        return outcome;
    }
    PaperData data = loadPaper(paths.paperProfile(name));
    const qsizetype total = data.questionCount + questions.size();
    if (total > std::numeric_limits<qint16>::max()) {
        outcome.error =
            QStringLiteral("试卷的考题数已达上限,不能再加入 %1 道考题").arg(questions.size());
        return outcome;
    }

    DocumentNamer namer(folder);
    QList<NewFile> files;
    files.reserve(questions.size() * 2);
    data.questions.resize(total + 2);
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const InterchangeQuestion &q = questions.at(i);
        PaperQuestion &entry = data.question(static_cast<int>(data.questionCount + 1 + i));
        if (!nameDocument(folder, namer, q.questionRtf, random, files, entry.questionFile,
                          outcome.error) ||
            !nameDocument(folder, namer, q.explanationRtf, random, files, entry.explainFile,
                          outcome.error))
            return outcome;
        entry.answer = q.answer;
        entry.mark = q.mark;
    }
    const auto stored = [&](qsizetype documents) {
        if (progress && documents % 2 == 0)
            progress(static_cast<int>(documents / 2), static_cast<int>(questions.size()));
    };
    if (const Result saved = saveNewFilesAtomically(files, stored); !saved) {
        outcome.error = saved.message();
        return outcome;
    }
    data.questionCount = static_cast<qint16>(total);
    data.fullMark = totalMark(data);
    if (const Result saved = savePaper(paths.paperProfile(name), data); !saved) {
        outcome.error = saved.message();
        for (const NewFile &file : std::as_const(files))
            fileOps().remove(file.path);
        return outcome;
    }
    outcome.ok = true;
    outcome.added = static_cast<int>(questions.size());
    return outcome;
}

} // namespace exam::interchange
