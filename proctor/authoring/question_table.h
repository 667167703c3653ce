#pragma once

// The editor's table of questions: the paper's PaperData (file names, standard answers, marks)
// together with the plain text of every question as the grid shows it. Every operation the editor
// offers on the order of the questions lives here, apart from any window.
//
// Rows are numbered as the paper numbers its questions: 1 … count(). The PaperData kept here always
// holds rows 0 … count() + 1, as loadPaper() gives them.

#include "repository/paper_profile.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace exam {

class QuestionTable
{
public:
    // `plainTexts[k - 1]` is the text of question k; missing texts are empty.
    explicit QuestionTable(PaperData paper = {}, QStringList plainTexts = {});

    int count() const { return m_paper.questionCount; }
    bool isValidRow(int row) const { return row >= 1 && row <= count(); }
    const PaperData &paper() const { return m_paper; }
    const PaperQuestion &question(int row) const { return m_paper.questions.at(row); }
    const QString &plainText(int row) const { return m_texts.at(row - 1); }
    qint16 defaultMark() const { return m_paper.defaultMark; }

    void setPlainText(int row, const QString &text);
    void setAnswer(int row, const QString &answer);
    void setMark(int row, const QString &mark);
    void setQuestionFile(int row, const QString &name);
    void setExplainFile(int row, const QString &name);
    void setDefaultMark(qint16 mark);

    // A blank question after row `current` (at row 1 when `current` is 0): the questions below
    // move down by one; the new one takes the two file names, an empty answer and the mark of the
    // question above it. Returns the new row, or 0 when the paper cannot hold another question.
    int insertAfter(int current, const QString &questionFile, const QString &explainFile);
    // Adds a question after the last one; returns its row, or 0 when the paper is full.
    int append(const PaperQuestion &question, const QString &plainText);
    // Removes question `row` unless it is the only one; returns false then (or for a bad row).
    bool remove(int row);
    // Exchanges question `row` with the one above (below); false at the ends.
    bool moveUp(int row);
    bool moveDown(int row);

    // The running total of the marks (totalMark of the paper).
    qint16 total() const;
    // The paper with its full mark set to the total, ready to be saved.
    PaperData paperToSave() const;

    // True when some question's text file has this name (trimmed, any letter case).
    bool hasQuestionFile(const QString &name) const;
    // The question and explanation file names of every question, trimmed and in lower case.
    QSet<QString> referencedFiles() const;

private:
    void keepSpareRows();
    void swapRows(int a, int b);

    PaperData m_paper;
    QStringList m_texts;
};

} // namespace exam
