#include "interchange/paper_content.h"

#include "interchange/interchange_question.h"
#include "platform/rtf/rtf.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace exam::interchange {
namespace {

// The document of one file the paper names; an empty document when no file is named.
Result loadDocument(const RepositoryPaths &paths, const QString &paper, const QString &fileName,
                    std::unique_ptr<QTextDocument> &document)
{
    document = std::make_unique<QTextDocument>();
    const QString name = trimBlanks(fileName);
    if (name.isEmpty())
        return {};
    return rtf::loadRtfFile(paths.paperFile(paper, name), document.get());
}

} // namespace

bool ExportQuestion::isTrueFalse() const
{
    return options == trueFalseOptions() && correct.size() == 1;
}

std::unique_ptr<QTextDocument> ExportQuestion::stem() const
{
    std::unique_ptr<QTextDocument> stem(question->clone());
    if (firstOption >= 0) {
        QTextCursor cursor(stem.get());
        cursor.setPosition(std::max(0, stem->findBlockByNumber(firstOption).position() - 1));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    return stem;
}

QStringList ExportQuestion::answerTexts() const
{
    if (firstOption >= 0)
        return options;
    const int count = std::max(2, correct.isEmpty() ? 0 : correct.constLast() + 1);
    QStringList letters;
    for (int i = 0; i < count; ++i)
        letters.append(QChar(static_cast<char16_t>(u'A' + i)));
    return letters;
}

bool isListedPaper(const QString &repositoryRoot, const QString &paper)
{
    const RepositoryPaths paths(repositoryRoot);
    const QList<PaperEntry> roster = readPaperRoster(ProfileSnapshot::load(paths.systemProfile()));
    return !paper.isEmpty() && QFileInfo(paths.paperFolder(paper)).isDir() &&
           std::any_of(roster.cbegin(), roster.cend(),
                       [&paper](const PaperEntry &entry) { return entry.name == paper; });
}

Result loadPaperContent(const QString &repositoryRoot, const QString &paper, PaperContent &content,
                        const std::function<void(int, int)> &progress)
{
    const RepositoryPaths paths(repositoryRoot);
    content.name = trimBlanks(paper);
    if (!isListedPaper(repositoryRoot, content.name))
        return Result::failure(QStringLiteral("考试库中没有试卷“%1”").arg(content.name));
    const ProfileSnapshot profile = ProfileSnapshot::load(paths.paperProfile(content.name));
    content.settings = readPaperSettings(profile, PaperReader::Console);
    const PaperData data = loadPaper(profile);
    content.fullMark = totalMark(data);
    content.questions.clear();
    content.questions.reserve(static_cast<size_t>(data.questionCount));
    for (int k = 1; k <= data.questionCount; ++k) {
        const PaperQuestion &q = data.question(k);
        ExportQuestion out;
        out.number = k;
        if (Result loaded = loadDocument(paths, content.name, q.questionFile, out.question);
            !loaded)
            return loaded;
        if (Result loaded = loadDocument(paths, content.name, q.explainFile, out.explanation);
            !loaded)
            return loaded;
        out.firstOption = firstOptionBlock(*out.question);
        out.options = optionTexts(*out.question, out.firstOption);
        out.correct = answerIndices(q.answer);
        out.mark = questionMark(q.mark, data.defaultMark);
        content.questions.push_back(std::move(out));
        if (progress)
            progress(k, data.questionCount);
    }
    return {};
}

QString answerLetters(const QList<int> &correct)
{
    QStringList letters;
    for (const int index : correct)
        letters.append(QChar(static_cast<char16_t>(u'A' + index)));
    return letters.join(u'、');
}

} // namespace exam::interchange
