#include "proctor/authoring/paper_document_export.h"

#include "platform/desktop/desktop_services.h"
#include "platform/dialogs/dialogs.h"
#include "platform/rtf/rtf.h"
#include "proctor/authoring/current_paper.h"
#include "proctor/authoring/paper_document.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextDocument>
#include <memory>

namespace exam {
namespace {

QString cutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir().mkpath(documents) ? documents : QDir::homePath();
}

QString freeDocumentPath(const QString &folder, const QString &paper, const QString &extension)
{
    QString base;
    for (const QChar c : paper)
        base += c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c) ? QChar(u'_') : c;
    if (base.isEmpty() || base.count(u'.') == base.size())
        base.prepend(u'_');
    const QDir dir(folder);
    QString path = dir.filePath(base + u'.' + extension);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(extension));
    return path;
}

namespace {

// Loads one question or explanation file of the paper into `document`; none is named: nothing.
Result loadPaperFile(const RepositoryPaths &paths, const QString &paper, const QString &fileName,
                     std::unique_ptr<QTextDocument> &document)
{
    if (fileName.isEmpty())
        return {};
    document = std::make_unique<QTextDocument>();
    return rtf::loadRtfFile(paths.paperFile(paper, fileName), document.get());
}

PaperCover coverOf(const PaperRow &row)
{
    PaperCover cover;
    cover.paperName = cutAtNul(row.name()).trimmed();
    cover.author = cutAtNul(row.at(PaperColumn::Author));
    cover.testTime = cutAtNul(row.at(PaperColumn::TestTime));
    cover.questionCount = cutAtNul(row.at(PaperColumn::QuestionCount));
    cover.fullMark = cutAtNul(row.at(PaperColumn::FullMark));
    return cover;
}

// Fills the questions and the answer key; stops at the first unreadable file.
Result fillQuestions(PaperDocumentFiller &filler, const RepositoryPaths &paths,
                     const QString &paper, const PaperData &data, bool withExplanations)
{
    const int count = std::max<int>(0, data.questionCount);
    if (!filler.repeatQuestionBlock(count))
        return Result::failure(
            QStringLiteral("试卷模板中没有完整的试题段落（“[QUESTION No]”至“第[QUESTION]”）。"));
    for (int i = 1; i <= count; ++i) {
        const PaperQuestion &q = data.question(i);
        const QString mark =
            q.mark.trimmed().isEmpty() ? QString::number(data.defaultMark) : q.mark.trimmed();
        std::unique_ptr<QTextDocument> question;
        std::unique_ptr<QTextDocument> explanation;
        if (Result loaded = loadPaperFile(paths, paper, q.questionFile.trimmed(), question);
            !loaded)
            return loaded;
        if (withExplanations) {
            if (Result loaded = loadPaperFile(paths, paper, q.explainFile.trimmed(), explanation);
                !loaded)
                return loaded;
        }
        filler.fillNextQuestion(i, mark, question.get(), explanation.get());
    }
    if (filler.repeatAnswerBlock(count)) {
        for (int i = 1; i <= count; ++i) {
            const QString answer = data.question(i).answer.trimmed();
            filler.fillNextAnswer(i, answer.isEmpty() ? QString::fromUtf16(NoAnswerText) : answer);
        }
    }
    return {};
}

} // namespace

PaperDocumentOutcome writePaperDocument(const AuthoringRequest &request, bool withExplanations,
                                        const QString &outputFolder)
{
    PaperDocumentOutcome outcome;
    const PaperCover cover = coverOf(request.row);
    const QString &paper = cover.paperName;
    if (paper.isEmpty()) {
        outcome.error = QStringLiteral("没有选中试卷。");
        return outcome;
    }
    setCurrentPaper(paper);
    const RepositoryPaths paths(request.repositoryRoot);
    const PaperData data = loadPaper(paths.paperProfile(paper));

    QTextDocument document;
    const QString templatePath = paths.systemFile(QStringLiteral("paper.dot"));
    if (!QFileInfo(templatePath).isFile()) {
        outcome.error =
            QStringLiteral("找不到试卷模板 %1。").arg(QDir::toNativeSeparators(templatePath));
        return outcome;
    }
    if (const Result loaded = rtf::loadRtfFile(templatePath, &document); !loaded) {
        outcome.error = loaded.message();
        return outcome;
    }

    PaperDocumentFiller filler(document);
    filler.fillCover(cover);
    const Result filled = fillQuestions(filler, paths, paper, data, withExplanations);
    outcome.error = filled.message();

    if (!QDir().mkpath(outputFolder)) {
        outcome.error =
            QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(outputFolder));
        return outcome;
    }
    const QString path = freeDocumentPath(outputFolder, paper, QStringLiteral("rtf"));
    if (const Result saved = rtf::saveRtfFile(path, document); !saved) {
        outcome.error = saved.message();
        return outcome;
    }
    outcome.filePath = path;
    outcome.ok = filled.ok();
    return outcome;
}

void exportPaperDocument(const AuthoringRequest &request, const PaperDocumentContext &context)
{
    platform::Dialogs &dialogs = *request.dialogs;
    const bool withExplanations = dialogs.yesNo(nullptr, QStringLiteral("是否要同时输出解题辅导?"));
    const QString folder =
        context.outputFolder.isEmpty() ? documentsFolder() : context.outputFolder;
    const PaperDocumentOutcome outcome = writePaperDocument(request, withExplanations, folder);

    platform::openWrittenDocument(
        dialogs, nullptr, outcome, QStringLiteral("试卷已成功输出到WORD中!"),
        QStringLiteral("该功能需要您的计算机安装 WORD 软件."), context.openDocument);
}

AuthoringAction paperDocumentExporter(PaperDocumentContext context)
{
    return [context](const AuthoringRequest &request) { exportPaperDocument(request, context); };
}

} // namespace exam
