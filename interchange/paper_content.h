#pragma once

// A paper of the repository read for the writers: its settings, and per question the question and
// explanation documents, the option lines found in the question, the standard answer and the mark.

#include "repository/paper_profile.h"
#include "repository/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <functional>
#include <memory>
#include <vector>

namespace exam::interchange {

struct ExportQuestion
{
    int number = 0;
    std::unique_ptr<QTextDocument> question;
    std::unique_ptr<QTextDocument> explanation;
    int firstOption = -1; // paragraph of the "A." line; -1 when the question has no lettered lines
    QStringList options;  // texts of the lettered lines, letters removed
    QList<int> correct;   // 0-based option numbers of the standard answer
    double mark = 0;      // own mark, or the paper's default mark

    bool isTrueFalse() const;
    // The question without its lettered lines (a new document; pictures keep their names and are
    // found in `question`'s resources).
    std::unique_ptr<QTextDocument> stem() const;
    // The texts of the answers other programs get: the lettered lines, or for a question without
    // them the bare letters "A", "B", … up to the last right option (at least two).
    QStringList answerTexts() const;
};

struct PaperContent
{
    QString name;
    PaperSettings settings;
    qint16 fullMark = 0;
    std::vector<ExportQuestion> questions;
};

// True when the repository's paper list names the paper and its folder is there.
bool isListedPaper(const QString &repositoryRoot, const QString &paper);

// Reads the paper; fails with a Chinese text when it is not listed or a question or explanation
// file it names cannot be read. `progress` (may be empty) hears (done, total).
Result loadPaperContent(const QString &repositoryRoot, const QString &paper, PaperContent &content,
                        const std::function<void(int, int)> &progress = {});

// The option letters of an answer: {0, 2} gives "A、C".
QString answerLetters(const QList<int> &correct);

} // namespace exam::interchange
