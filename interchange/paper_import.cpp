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

// Writes one document under a new name in the folder; its name, or empty with `error` set.
QString storeDocument(const QString &folder, DocumentNamer &namer, const QByteArray &rtf,
                      RandomSource &random, QStringList &written, QString &error)
{
    const QString name = namer.next(QStringLiteral("RTF"), random);
    if (name.isEmpty()) {
        error = QStringLiteral("在 %1 中找不到可用的考题文件名").arg(folder);
        return {};
    }
    // The name is free in any letter case and has no temporaries beside it.
    const QString path = QDir(folder).filePath(name);
    if (!saveFileAtomically(path, rtf, LeftoverTemporaries::RemovedByCaller).reportTo(&error))
        return {};
    written.append(path);
    return name;
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
        outcome.error = QStringLiteral("试卷的考题数已达上限,不能再加入 %1 道考题").arg(questions.size());
        return outcome;
    }

    DocumentNamer namer(folder);
    QStringList written;
    const auto undo = [&written] {
        for (const QString &path : std::as_const(written))
            fileOps().remove(path);
    };
    data.questions.resize(total + 2);
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const InterchangeQuestion &q = questions.at(i);
        PaperQuestion &entry = data.question(static_cast<int>(data.questionCount + 1 + i));
        entry.questionFile = storeDocument(folder, namer, q.questionRtf, random, written, outcome.error);
        if (!entry.questionFile.isEmpty())
            entry.explainFile = storeDocument(folder, namer, q.explanationRtf, random, written, outcome.error);
        if (entry.explainFile.isEmpty()) {
            undo();
            return outcome;
        }
        entry.answer = q.answer;
        entry.mark = q.mark;
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(questions.size()));
    }
    data.questionCount = static_cast<qint16>(total);
    data.fullMark = totalMark(data);
    if (!savePaper(paths.paperProfile(name), data, &outcome.error)) {
        undo();
        return outcome;
    }
    outcome.ok = true;
    outcome.added = static_cast<int>(questions.size());
    return outcome;
}

} // namespace exam::interchange
