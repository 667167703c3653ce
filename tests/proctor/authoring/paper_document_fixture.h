#pragma once

// A repository with the default paper template and one paper whose question and explanation
// files are small RTF documents, for the document export tests.

#include "platform/rtf/rtf.h"
#include "proctor/authoring/authoring_hooks.h"
#include "repository/paper_profile.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace document_test {

struct QuestionSpec
{
    QString text;        // question text; empty: the profile names no question file
    QString explanation; // empty: no explanation file
    QString answer;
    QString mark;
};

inline QString questionText(int i)
{
    return QStringLiteral("题目%1：下列说法正确的是 A.甲 B.乙 C.丙").arg(i);
}

inline QString explanationText(int i)
{
    return QStringLiteral("解题辅导%1：应选甲和丙。").arg(i);
}

// A one-paragraph RTF document, with a picture of one colour after the text when given one.
inline bool writeRtfFile(const QString &path, const QString &text, const QColor &picture = {})
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(text);
    if (picture.isValid()) {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(picture);
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), image);
        QTextImageFormat format;
        format.setName(QStringLiteral("pic"));
        format.setWidth(4);
        format.setHeight(3);
        cursor.insertImage(format);
    }
    return rtf::saveRtfFile(path, document).ok();
}

class PaperRepository
{
public:
    explicit PaperRepository(const QString &root) : m_paths(root) {}

    const exam::RepositoryPaths &paths() const { return m_paths; }

    bool installTemplate(const QString &source = QStringLiteral(EXAM_TEMPLATES_DIR "/paper.dot"))
    {
        return m_paths.createSystemFolder() &&
               QFile::copy(source, m_paths.systemFile(QStringLiteral("paper.dot")));
    }

    // Writes the paper profile and its files; question i's files are "<i>01.RTF" and "<i>02.RTF".
    bool makePaper(const QString &paper, const QList<QuestionSpec> &questions, qint16 defaultMark)
    {
        if (!m_paths.createPaperFolders(paper))
            return false;
        exam::PaperData data;
        data.questionCount = qint16(questions.size());
        data.defaultMark = defaultMark;
        data.questions = QList<exam::PaperQuestion>(questions.size() + 2);
        for (int i = 1; i <= questions.size(); ++i) {
            const QuestionSpec &wanted = questions.at(i - 1);
            exam::PaperQuestion &q = data.question(i);
            q.answer = wanted.answer;
            q.mark = wanted.mark;
            if (!wanted.text.isEmpty()) {
                q.questionFile = QString::number(i) + QStringLiteral("01.RTF");
                if (!writeRtfFile(m_paths.paperFile(paper, q.questionFile), wanted.text))
                    return false;
            }
            if (!wanted.explanation.isEmpty()) {
                q.explainFile = QString::number(i) + QStringLiteral("02.RTF");
                if (!writeRtfFile(m_paths.paperFile(paper, q.explainFile), wanted.explanation))
                    return false;
            }
        }
        data.fullMark = exam::totalMark(data);
        return exam::savePaper(m_paths.paperProfile(paper), data).ok();
    }

private:
    exam::RepositoryPaths m_paths;
};

// The paper list row of a paper as paper management holds it.
inline exam::PaperRow paperRow(const QString &paper, int questions, const QString &fullMark)
{
    exam::PaperRow row(paper);
    row.set(exam::PaperColumn::Author, QStringLiteral("王老师"));
    row.set(exam::PaperColumn::TestTime, QStringLiteral("45"));
    row.set(exam::PaperColumn::QuestionCount, QString::number(questions));
    row.set(exam::PaperColumn::FullMark, fullMark);
    return row;
}

// The visible text of an RTF file.
inline QString documentText(const QString &path)
{
    QTextDocument document;
    return rtf::loadRtfFile(path, &document) ? document.toPlainText() : QString();
}

// True when the texts occur in `text` in this order, each after the one before.
inline bool inOrder(const QString &text, const QStringList &parts, QString *missing)
{
    qsizetype from = 0;
    for (const QString &part : parts) {
        const qsizetype at = text.indexOf(part, from);
        if (at < 0) {
            *missing = part;
            return false;
        }
        from = at + part.size();
    }
    return true;
}

} // namespace document_test
