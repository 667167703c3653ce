#pragma once

// Papers with questions for the paper editor tests: a repository in a temporary folder, question
// files written as RTF, and a private working folder.

#include "authoring_fixture.h"

#include "platform/rtf/rtf.h"
#include "repository/paper_profile.h"
#include "repository/profile_values.h"

#include <QDir>
#include <QTextDocument>

namespace editor_test {

inline QByteArray rtfOf(const QString &text)
{
    QTextDocument document;
    document.setPlainText(text);
    return rtf::writeRtf(document);
}

struct QuestionSpec
{
    QString text;
    QString answer;
    QString mark;
};

// A repository with a paper list and papers whose questions are files "<paper>q<k>.RTF" and
// "<paper>e<k>.RTF", plus a private working folder.
class EditorRepository : public authoring_test::Repository
{
public:
    EditorRepository() { QDir().mkpath(workingFolder()); }

    QString workingFolder() const { return m_work.path() + QStringLiteral("/PCTEST"); }

    QString paperFolder(const QString &paper) const { return paths().paperFolder(paper); }

    static QString questionFileName(const QString &paper, int k)
    {
        return QStringLiteral("%1q%2.RTF").arg(paper).arg(k);
    }

    void makeQuestionPaper(const QString &paper, const QList<QuestionSpec> &questions,
                           qint16 defaultMark = 5)
    {
        makePaper(paper, {{QStringLiteral("TESTTIME"), QStringLiteral("30")}});
        exam::PaperData data;
        data.questionCount = static_cast<qint16>(questions.size());
        data.defaultMark = defaultMark;
        data.questions.resize(questions.size() + 2);
        for (int k = 1; k <= questions.size(); ++k) {
            const QuestionSpec &wanted = questions.at(k - 1);
            exam::PaperQuestion &q = data.questions[k];
            q.questionFile = questionFileName(paper, k);
            q.explainFile = QStringLiteral("%1e%2.RTF").arg(paper).arg(k);
            q.answer = wanted.answer;
            q.mark = wanted.mark;
            authoring_test::writeFile(paths().paperFile(paper, q.questionFile), rtfOf(wanted.text));
            authoring_test::writeFile(paths().paperFile(paper, q.explainFile),
                                      rtfOf(QStringLiteral("解析") + wanted.text));
        }
        data.fullMark = exam::totalMark(data);
        QVERIFY(exam::savePaper(paths().paperProfile(paper), data));
    }

    // A paper of `count` questions "第k题" with the answer k and no own mark.
    void makeNumberedPaper(const QString &paper, int count)
    {
        QList<QuestionSpec> questions;
        for (int k = 1; k <= count; ++k)
            questions.append({QStringLiteral("第%1题").arg(k), QString::number(k), QString()});
        makeQuestionPaper(paper, questions);
    }

    // The "*.rtf" file names of a folder in lower case.
    static QSet<QString> rtfNames(const QString &folder)
    {
        QSet<QString> names;
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*.rtf"), QStringLiteral("*.RTF")}, QDir::Files);
        for (const QString &name : files)
            names.insert(name.toLower());
        return names;
    }

private:
    QTemporaryDir m_work;
};

} // namespace editor_test
