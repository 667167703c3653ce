#pragma once

// Questions on their way in from another format and out to one. A question of this system is a
// rich-text document that holds the question and its options as lettered lines ("A. …", one per
// option, up to seven), an explanation document, the standard answer in digit form ("13" for A
// and C) and an own mark (empty: the paper's default mark).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace exam::interchange {

inline constexpr int MaxOptions = 7;

// One question read from a file, ready to be stored in a paper.
struct InterchangeQuestion
{
    int line = 0;              // where it starts in its file, 1-based
    QByteArray questionRtf;    // the question with its options as lettered lines
    QByteArray explanationRtf; // an empty document when the file had no feedback
    QString answer;            // digit form, ascending
    QString mark;              // own mark; empty = the paper's default mark
};

// A question of the file that was left out, and why.
struct SkippedQuestion
{
    int line = 0;
    QString reason;
    friend bool operator==(const SkippedQuestion &, const SkippedQuestion &) = default;
};

// What a reader made of a file. A file with an error is not imported at all, not even the
// questions before the error.
struct ReadResult
{
    QList<InterchangeQuestion> questions;
    QList<SkippedQuestion> skipped;
    int errorLine = 0;
    QString error;

    bool ok() const { return error.isEmpty(); }
    void fail(int line, const QString &message)
    {
        errorLine = line;
        error = message;
        questions.clear();
    }
};

// A question in the terms every format shares, before it becomes documents.
struct QuestionParts
{
    int line = 0;
    QStringList options; // option texts without their letters
    QList<int> correct;  // 0-based indices of the right options
    QString mark;        // own mark, or empty
};

// "A. text" for option 0.
QString optionLine(int index, const QString &text);
// The digit form of the right options: {2, 0} gives "13".
QString answerDigits(const QList<int> &correct);
// The option indices of a digit-form answer: "13" gives {0, 2}. Digits outside 1 … 7 are left out.
QList<int> answerIndices(const QString &answer);

// The texts of "是" and "非", the two options of a true-false question as the client shows them.
QStringList trueFalseOptions();

// Appends the options to `question` as lettered paragraphs and makes the stored question; the
// skip reason instead when it has more than seven options or no right one.
struct BuiltQuestion
{
    InterchangeQuestion question;
    QString skipReason; // not empty: the question cannot be held
};
BuiltQuestion buildQuestion(const QuestionParts &parts, QTextDocument &question,
                            const QTextDocument &explanation);
// The same for a question and explanation in plain text.
BuiltQuestion buildPlainQuestion(const QuestionParts &parts, const QString &question,
                                 const QString &explanation);

// Adds a built question to `result`, or its skip reason.
void addBuilt(ReadResult &result, const QuestionParts &parts, BuiltQuestion built);

// The number of the first paragraph of the question's option lines: the last run of paragraphs
// lettered "A." (or "A、", "A．", "A)"), "B.", … in order up to the end, empty paragraphs allowed
// at the end. -1 when the question has no such lines.
int firstOptionBlock(const QTextDocument &question);
// The option texts of the lettered lines from paragraph `first` on, letters removed.
QStringList optionTexts(const QTextDocument &question, int first);

} // namespace exam::interchange
