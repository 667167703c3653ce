#pragma once

// Fills the paper template (sys/paper.dot, RTF) into a printable paper, with the steps a word
// processor is driven through: find a placeholder, select it, type or insert over it, copy a
// stretch of paragraphs and paste it again. The template's own text, formats and pictures stay.
//
// Template placeholders (found as plain text, letter case ignored):
//   cover, once each:   [PAPER NAME] [AUTHOR] [TESTTIME] [QUESTION_COUNT] [FULLMARK]
//   question block:     from the paragraph holding [QUESTION No] to the paragraph holding
//                       第[QUESTION]; [MARK] between them; the question goes in place of [QUESTION]
//   answer block:       the one paragraph holding [ANSWER No] and [OP]

#include <QString>
#include <QTextCursor>

class QTextDocument;

namespace exam {

struct PaperCover
{
    QString paperName;
    QString author;
    QString testTime; // minutes
    QString questionCount;
    QString fullMark;
};

// Text for a question without standard answer in the answer key.
inline constexpr char16_t NoAnswerText[] = u"[no answer]";

class PaperDocumentFiller
{
public:
    // Works on `document`, which holds the template; the filler does not own it.
    explicit PaperDocumentFiller(QTextDocument &document);

    // Types each cover value over its placeholder. A placeholder the template lacks is skipped.
    void fillCover(const PaperCover &cover);

    // Replaces the question block with `count` copies of itself (none: the block goes). False when
    // the template has no complete question block.
    bool repeatQuestionBlock(int count);
    // Fills the first block not filled yet: its number, mark and question, then the explanation
    // (if any) in a paragraph of its own after the question. `question` and `explanation` may be
    // null (no file named); their pictures are handed over to this document.
    void fillNextQuestion(int number, const QString &mark, QTextDocument *question,
                          QTextDocument *explanation);

    // Replaces the answer paragraph with `count` copies. False when the template has none, which
    // leaves a paper without answer key.
    bool repeatAnswerBlock(int count);
    // Fills the first answer paragraph not filled yet.
    void fillNextAnswer(int number, const QString &answer);

private:
    QTextCursor find(const QString &placeholder, const QTextCursor &from) const;
    void typeOver(QTextCursor &selection, const QString &text);
    void insertDocument(QTextCursor &at, QTextDocument &source);
    void repeatParagraphs(int firstPosition, int lastPosition, int count);

    QTextDocument &m_document;
    QTextCursor m_cursor; // where the filling of questions and answers goes on
    int m_pictureCopies = 0;
};

} // namespace exam
